#include "input/ZipArchive.h"

#include "core/RunError.h"
#include "core/Text.h"
#include "input/Cp932.h"
#include "input/RegularFile.h"

#include <algorithm>
#include <cstring>
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

bool isUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        const Utf8Step step = utf8Step(bytes);
        if (!step.wellFormed)
            return false;
        bytes.remove_prefix(step.length);
    }
    return true;
}

// The member's name in UTF-8. libzip hands out no general purpose flags, but
// its strict name is the raw one unchanged only where the UTF-8 flag (or a
// Unicode path field) vouches for it or the name is ASCII; elsewhere it reads
// the bytes as code page 437, which no Japanese Windows ever wrote. Such a
// name stays as it is when it is UTF-8 after all, as some tools write it
// without the flag, and is read as code page 932 when it is not.
std::string memberName(zip_t* archive, zip_uint64_t index) {
    const char* raw = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
    const char* strict = zip_get_name(archive, index, ZIP_FL_ENC_STRICT);
    if (!raw || !strict)
        throw damaged(zip_strerror(archive));
    if (std::strcmp(raw, strict) == 0 || isUtf8(raw))
        return raw;
    return toUtf8(decodeCp932(raw));
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
        std::string name = memberName(m_archive, stat.index);
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
