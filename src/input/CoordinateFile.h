#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

// Splits a byte stream into comma-separated fields, one set of rules for
// every field: leading spaces and tabs are skipped; a field ends at a comma,
// CR, LF or CR LF; an unquoted field loses its trailing spaces; a quoted field
// runs to its closing quote (never past a line end) and whatever follows the
// quote up to the delimiter is dropped. Ctrl-Z (0x1A) ends the stream.
class FieldReader {
public:
    // Fills the buffer and returns the number of bytes put there; 0 at the end.
    using Source = std::function<std::size_t(char* buffer, std::size_t size)>;

    explicit FieldReader(Source source, std::size_t bufferSize = 64 * 1024);
    static FieldReader fromBytes(std::string bytes);

    // True when no byte is left or the next byte is Ctrl-Z.
    bool atEnd();
    // The raw bytes of the next field, valid until the next call. At the end
    // it throws error 62 (input past end of file).
    std::string_view readField();

private:
    static constexpr int End = -1;
    int peek();
    bool fill();

    Source m_source;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_len = 0;
    bool m_exhausted = false;
    std::string m_field;
};

// A coordinate file opened for sequential field input. Only regular files are
// accepted, and that is checked before anything is read, so a folder, a FIFO
// or a device never blocks or reads forever.
class CoordinateFile {
public:
    // Throws error 53 (not found), 70 (no permission) or 75 (not a usable file).
    explicit CoordinateFile(const std::filesystem::path& path);
    ~CoordinateFile();
    CoordinateFile(const CoordinateFile&) = delete;
    CoordinateFile& operator=(const CoordinateFile&) = delete;

    FieldReader& fields() { return m_fields; }
    void close();

private:
    std::size_t readSome(char* buffer, std::size_t size);

    int m_fd = -1;
    FieldReader m_fields;
};

} // namespace morvane
