#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

struct zip;
struct zip_file;

namespace morvane {

// One file stored in a ZIP archive, as its central directory declares it.
struct ZipMember {
    // In UTF-8, whatever the archive holds: a name without the UTF-8 flag that
    // is no UTF-8 is read as code page 932, as Japanese Windows writes it.
    std::string name;
    std::uint64_t index = 0;
    // Unpacked, as declared.
    std::uint64_t size = 0;
    // As stored in the archive.
    std::uint64_t compressedSize = 0;
    bool encrypted = false;
};

// The bytes of one member, as they are unpacked.
class ZipMemberReader {
public:
    explicit ZipMemberReader(zip_file* file);
    ~ZipMemberReader();
    ZipMemberReader(const ZipMemberReader&) = delete;
    ZipMemberReader& operator=(const ZipMemberReader&) = delete;

    // The next bytes, up to size; 0 at the end. Throws "ZIP ファイルが壊れています"
    // for data that does not unpack or fails its checksum.
    std::size_t read(char* buffer, std::size_t size);

private:
    zip_file* m_file;
};

// A ZIP archive opened from a file or from bytes in memory (a ZIP inside a
// ZIP). Members are read into memory or streamed, never written anywhere.
class ZipArchive {
public:
    // Throws error 53, 70 or 75 for a path that is no readable regular file,
    // and "ZIP ファイルが壊れています" for one that is no consistent archive.
    explicit ZipArchive(const std::filesystem::path& path);
    explicit ZipArchive(std::string bytes);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // The files (not folders), sorted by name.
    std::vector<ZipMember> members() const;
    std::unique_ptr<ZipMemberReader> open(const ZipMember& member) const;

private:
    // The bytes of an archive opened from memory, which libzip reads in place.
    std::string m_bytes;
    zip* m_archive = nullptr;
};

} // namespace morvane
