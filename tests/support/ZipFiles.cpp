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
        const zip_int64_t index = zip_file_add(archive, m.name.c_str(), source,
                                               m.rawName ? ZIP_FL_ENC_RAW : ZIP_FL_ENC_UTF_8);
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

namespace {

// Changes the bytes at offset after every local header ("PK\3\4") or
// central directory entry ("PK\1\2") signature.
template <typename Change>
void patchHeaders(std::string& zip, std::string_view signature, std::size_t offset, Change change) {
    for (std::size_t at = zip.find(signature); at != std::string::npos;
         at = zip.find(signature, at + 1))
        change(zip.data() + at + offset);
}

constexpr std::string_view LocalHeader("PK\3\4", 4);
constexpr std::string_view CentralHeader("PK\1\2", 4);

} // namespace

std::string declaringSize(std::string zip, std::uint32_t size) {
    const auto declare = [size](char* field) {
        for (std::size_t i = 0; i < 4; ++i)
            field[i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    };
    patchHeaders(zip, LocalHeader, 22, declare);
    patchHeaders(zip, CentralHeader, 24, declare);
    return zip;
}

std::string withoutUtf8Flags(std::string zip) {
    // Bit 11 of the general purpose flags, in their high byte.
    const auto clear = [](char* flags) { flags[1] = static_cast<char>(flags[1] & ~0x08); };
    patchHeaders(zip, LocalHeader, 6, clear);
    patchHeaders(zip, CentralHeader, 8, clear);
    return zip;
}

} // namespace morvane::test
