#include "input/ZipArchive.h"

#include "core/RunError.h"
#include "core/Text.h"
#include "input/RegularFile.h"

#include <algorithm>
#include <unistd.h>
#include <zip.h>

namespace morvane {

namespace {

RunError damaged(const char* reason) {
    return RunError::withoutNumber(u"ZIP ファイルが壊れています（" + toUtf16(reason) + u"）。");
}

RunError damaged(int errorCode) {
    zip_error_t error;
    zip_error_init_with_code(&error, errorCode);
    RunError e = damaged(zip_error_strerror(&error));
    zip_error_fini(&error);
    return e;
}

} // namespace

ZipMemberReader::ZipMemberReader(zip_file* file) : m_file(file) {}

ZipMemberReader::~ZipMemberReader() {
    zip_fclose(m_file);
}

std::size_t ZipMemberReader::read(char* buffer, std::size_t size) {
    const zip_int64_t n = zip_fread(m_file, buffer, size);
    if (n < 0)
        throw damaged(zip_file_strerror(m_file));
    return static_cast<std::size_t>(n);
}

ZipArchive::ZipArchive(const std::filesystem::path& path) {
    RegularFile file(path);
    int errorCode = 0;
    // libzip takes the descriptor over when it opens the archive, and closes
    // it with the archive; when it cannot, the descriptor is still ours.
    const int descriptor = file.release();
    m_archive = zip_fdopen(descriptor, ZIP_CHECKCONS, &errorCode);
    if (!m_archive) {
        ::close(descriptor);
        throw damaged(errorCode);
    }
}

ZipArchive::ZipArchive(std::string bytes) : m_bytes(std::move(bytes)) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(m_bytes.data(), m_bytes.size(), 0, &error);
    if (source)
        m_archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!m_archive) {
        RunError e = damaged(zip_error_strerror(&error));
        zip_source_free(source);
        zip_error_fini(&error);
        throw e;
    }
    zip_error_fini(&error);
}

ZipArchive::~ZipArchive() {
    zip_discard(m_archive);
}

std::vector<ZipMember> ZipArchive::members() const {
    const zip_int64_t count = zip_get_num_entries(m_archive, 0);
    std::vector<ZipMember> members;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(m_archive, static_cast<zip_uint64_t>(i), 0, &stat) != 0)
            throw damaged(zip_strerror(m_archive));
        if (!(stat.valid & ZIP_STAT_NAME) || !(stat.valid & ZIP_STAT_SIZE))
            throw damaged(ZIP_ER_INCONS);
        std::string name = stat.name;
        if (name.ends_with('/'))
            continue;
        const bool encrypted =
            (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE;
        const std::uint64_t compressed = (stat.valid & ZIP_STAT_COMP_SIZE) ? stat.comp_size : 0;
        members.push_back({std::move(name), stat.index, stat.size, compressed, encrypted});
    }
    std::sort(members.begin(), members.end(),
              [](const ZipMember& a, const ZipMember& b) { return a.name < b.name; });
    return members;
}

std::unique_ptr<ZipMemberReader> ZipArchive::open(const ZipMember& member) const {
    zip_file_t* file = zip_fopen_index(m_archive, member.index, 0);
    if (!file)
        throw damaged(zip_strerror(m_archive));
    return std::make_unique<ZipMemberReader>(file);
}

} // namespace morvane
