#pragma once

#include "core/TextEncoding.h"
#include "input/ByteSource.h"
#include "input/EncodingDetection.h"
#include "input/RegularFile.h"
#include "input/Utf16Transcoder.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

// Splits a byte stream into comma-separated fields, one set of rules for
// every field: leading spaces and tabs are skipped; a field ends at a comma,
// CR, LF or CR LF; an unquoted field loses its trailing spaces; a quoted field
// runs to its closing quote (never past a line end) and whatever follows the
// quote up to the delimiter is dropped. Ctrl-Z (0x1A) ends the stream.
//
// Memory stays bounded whatever the input: a field keeps at most its first
// maxFieldBytes bytes (trailing spaces of an unquoted field are counted, not
// stored, so they never use up that room); the rest is read and dropped by
// the same rules, and fieldCut() says so.
class FieldReader {
public:
    using Source = ByteSource;

    static constexpr std::size_t DefaultBufferSize = 64 * 1024;
    // Far beyond any real field: a name of more than about 300 characters
    // already overflows its name key, and a number has a few dozen digits.
    static constexpr std::size_t MaxFieldBytes = 64 * 1024;

    explicit FieldReader(Source source, std::size_t bufferSize = DefaultBufferSize,
                         std::size_t maxFieldBytes = MaxFieldBytes);
    static FieldReader fromBytes(std::string bytes);

    // True when no byte is left or the next byte is Ctrl-Z.
    bool atEnd();
    // The raw bytes of the next field, valid until the next call. At the end
    // it throws error 62 (input past end of file).
    std::string_view readField();
    // True when the last field read was longer than maxFieldBytes and only
    // its beginning was kept.
    bool fieldCut() const { return m_cut; }
    // The line (1-based; CR, LF and CR LF each end one) on which the last
    // field read began.
    std::int32_t fieldLine() const { return m_fieldLine; }
    // True when the last field read was ended by CR, LF or CR LF (not by a
    // comma or the end of the input), so that a record can end on its line.
    bool fieldEndedLine() const { return m_endedLine; }

private:
    static constexpr int End = -1;
    int peek();
    bool fill();
    void keep(const char* bytes, std::size_t size);
    void keepSpaces(std::size_t count);
    void keepUnquoted(const char* bytes, std::size_t size);

    Source m_source;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_len = 0;
    bool m_exhausted = false;
    std::size_t m_maxField;
    std::string m_field;
    std::size_t m_pendingSpaces = 0;
    bool m_cut = false;
    bool m_endedLine = false;
    std::int32_t m_line = 1;
    std::int32_t m_fieldLine = 1;
};

// What the bytes of the fields are: code page 932 as the file holds them, or
// UTF-8 (a UTF-8 file's own, or a UTF-16 file's after transcoding).
enum class FieldEncoding { Cp932, Utf8 };

// A coordinate file opened for sequential field input. Only regular files are
// accepted, and that is checked before anything is read, so a folder, a FIFO
// or a device never blocks or reads forever. Its encoding is decided on
// opening (see decideEncoding), which may read the whole file once; the
// fields then come from the start of the text, after any byte order mark.
class CoordinateFile {
public:
    // A new stream of the same bytes from their start, each time it is called.
    using TextOpener = std::function<ByteSource()>;

    // Throws error 53 (not found), 70 (no permission), 75 (not a usable file)
    // or 57 (reading failed while deciding the encoding).
    explicit CoordinateFile(const std::filesystem::path& path,
                            EncodingChoice encoding = EncodingChoice::Auto);
    // Bytes that cannot be rewound, such as a ZIP member unpacked as it is
    // read: the encoding is decided on one stream of them and the fields come
    // from the next. Throws what the streams throw.
    CoordinateFile(const TextOpener& openText, EncodingChoice encoding);
    CoordinateFile(const CoordinateFile&) = delete;
    CoordinateFile& operator=(const CoordinateFile&) = delete;

    FieldReader& fields() { return m_fields; }
    FileEncoding encoding() const { return m_encoding; }
    FieldEncoding fieldEncoding() const {
        return m_encoding == FileEncoding::Cp932 ? FieldEncoding::Cp932 : FieldEncoding::Utf8;
    }

private:
    void takeEncoding(const EncodingDecision& decision);
    std::size_t readText(char* buffer, std::size_t size);

    std::optional<RegularFile> m_file;
    // The bytes the fields come from, past any byte order mark.
    ByteSource m_bytes;
    FileEncoding m_encoding = FileEncoding::Cp932;
    std::optional<Utf16Transcoder> m_utf16;
    FieldReader m_fields;
};

} // namespace morvane
