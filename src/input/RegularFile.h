#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace morvane {

// A regular file opened for reading. Anything else (a folder, a FIFO, a
// device) is refused before a byte is read, so nothing blocks or reads
// forever.
class RegularFile {
public:
    // Throws error 53 (not found), 70 (no permission) or 75 (no regular file).
    explicit RegularFile(const std::filesystem::path& path);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // The next bytes, up to size; 0 at the end (and once closed). Throws
    // error 57 when reading fails.
    std::size_t read(char* buffer, std::size_t size);
    // Throws error 57 when the file cannot be positioned.
    void seek(std::int64_t offset);
    // Gives the open descriptor to a new owner; this object is closed after.
    int release();
    void close();

private:
    int m_fd = -1;
};

} // namespace morvane
