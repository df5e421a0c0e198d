#include "support/ZipFiles.h"

#include <zip.h>

namespace morvane::test {

std::string zipOf(const std::vector<ZipMember>& members) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(buffer);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    for (const ZipMember& m : members) {
        if (m.name.ends_with('/')) {
            zip_dir_add(archive, m.name.c_str(), ZIP_FL_ENC_UTF_8);
            continue;
        }
        zip_source_t* source = zip_source_buffer(archive, m.bytes.data(), m.bytes.size(), 0);
        const zip_int64_t index = zip_file_add(archive, m.name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (m.stored)
            zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
        if (m.encrypted)
            zip_file_set_encryption(archive, static_cast<zip_uint64_t>(index), ZIP_EM_AES_256,
                                    "secret");
    }
    zip_close(archive);
    // libzip writes nothing for an archive without members.
    if (members.empty()) {
        zip_source_free(buffer);
        zip_error_fini(&error);
        return std::string("PK\5\6", 4) + std::string(18, '\0');
    }
    zip_source_open(buffer);
    zip_source_seek(buffer, 0, SEEK_END);
    std::string bytes(static_cast<std::size_t>(zip_source_tell(buffer)), '\0');
    zip_source_seek(buffer, 0, SEEK_SET);
    zip_source_read(buffer, bytes.data(), bytes.size());
    zip_source_close(buffer);
    zip_source_free(buffer);
    zip_error_fini(&error);
    return bytes;
}

std::string declaringSize(std::string zip, std::uint32_t size) {
    const auto patch = [&](std::string_view signature, std::size_t offset) {
        for (std::size_t at = zip.find(signature); at != std::string::npos;
             at = zip.find(signature, at + 1))
            for (std::size_t i = 0; i < 4; ++i)
                zip[at + offset + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    };
    patch(std::string_view("PK\3\4", 4), 22);
    patch(std::string_view("PK\1\2", 4), 24);
    return zip;
}

} // namespace morvane::test
