#include "input/CoordinateFile.h"

#include "core/RunError.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace morvane {

namespace {

constexpr char CtrlZ = 0x1A;

bool isLineEnd(int c) {
    return c == '\r' || c == '\n';
}
bool isDelimiter(int c) {
    return c == ',' || isLineEnd(c);
}

} // namespace

FieldReader::FieldReader(Source source, std::size_t bufferSize, std::size_t maxFieldBytes)
    : m_source(std::move(source)), m_buffer(std::max<std::size_t>(bufferSize, 1)),
      m_maxField(maxFieldBytes) {}

FieldReader FieldReader::fromBytes(std::string bytes) {
    auto offset = std::make_shared<std::size_t>(0);
    auto data = std::make_shared<std::string>(std::move(bytes));
    return FieldReader([data, offset](char* buffer, std::size_t size) {
        const std::size_t n = std::min(size, data->size() - *offset);
        std::memcpy(buffer, data->data() + *offset, n);
        *offset += n;
        return n;
    });
}

bool FieldReader::fill() {
    if (m_exhausted)
        return false;
    m_pos = 0;
    m_len = m_source(m_buffer.data(), m_buffer.size());
    if (m_len == 0)
        m_exhausted = true;
    return m_len > 0;
}

int FieldReader::peek() {
    if (m_pos == m_len && !fill())
        return End;
    const char c = m_buffer[m_pos];
    if (c == CtrlZ) {
        // Nothing after Ctrl-Z is ever read.
        m_exhausted = true;
        m_pos = m_len = 0;
        return End;
    }
    return static_cast<unsigned char>(c);
}

bool FieldReader::atEnd() {
    return peek() == End;
}

void FieldReader::keep(const char* bytes, std::size_t size) {
    const std::size_t room = m_maxField - m_field.size();
    if (size > room) {
        m_cut = true;
        size = room;
    }
    m_field.append(bytes, size);
}

void FieldReader::keepSpaces(std::size_t count) {
    const std::size_t room = m_maxField - m_field.size();
    if (count > room) {
        m_cut = true;
        count = room;
    }
    m_field.append(count, ' ');
}

void FieldReader::keepUnquoted(const char* bytes, std::size_t size) {
    // Spaces at the end of a run are held back until something else follows
    // them, so that the trailing ones, which the field loses anyway, take no room.
    std::size_t text = size;
    while (text > 0 && bytes[text - 1] == ' ')
        --text;
    if (text > 0) {
        if (m_pendingSpaces > 0)
            keepSpaces(m_pendingSpaces);
        m_pendingSpaces = 0;
        keep(bytes, text);
    }
    m_pendingSpaces += size - text;
}

std::string_view FieldReader::readField() {
    if (atEnd())
        throw runError(ErrorNumber::InputPastEnd);
    m_field.clear();
    m_pendingSpaces = 0;
    m_cut = false;
    m_endedLine = false;
    m_fieldLine = m_line;
    int c = peek();
    while (c == ' ' || c == '\t') {
        ++m_pos;
        c = peek();
    }
    if (c == '"') {
        ++m_pos;
        // Runs of ordinary bytes are copied straight from the buffer.
        for (c = peek(); c != End && c != '"' && !isLineEnd(c); c = peek()) {
            const std::size_t start = m_pos;
            while (m_pos < m_len && m_buffer[m_pos] != '"' && m_buffer[m_pos] != '\r' &&
                   m_buffer[m_pos] != '\n' && m_buffer[m_pos] != CtrlZ)
                ++m_pos;
            keep(m_buffer.data() + start, m_pos - start);
        }
        if (c == '"')
            ++m_pos;
        for (c = peek(); c != End && !isDelimiter(c); c = peek())
            ++m_pos;
    } else {
        for (; c != End && !isDelimiter(c); c = peek()) {
            const std::size_t start = m_pos;
            while (m_pos < m_len && !isDelimiter(m_buffer[m_pos]) && m_buffer[m_pos] != CtrlZ)
                ++m_pos;
            keepUnquoted(m_buffer.data() + start, m_pos - start);
        }
    }
    if (c == ',') {
        ++m_pos;
    } else if (c == '\n') {
        ++m_pos;
        ++m_line;
        m_endedLine = true;
    } else if (c == '\r') {
        ++m_pos;
        ++m_line;
        m_endedLine = true;
        if (peek() == '\n')
            ++m_pos;
    }
    return m_field;
}

CoordinateFile::CoordinateFile(const std::filesystem::path& path, EncodingChoice encoding)
    : m_file(std::in_place, path),
      m_bytes([this](char* buffer, std::size_t size) { return m_file->read(buffer, size); }),
      m_fields([this](char* buffer, std::size_t size) { return readText(buffer, size); }) {
    const EncodingDecision decision = decideEncoding(encoding, m_bytes);
    m_file->seek(static_cast<std::int64_t>(decision.markLength));
    takeEncoding(decision);
}

CoordinateFile::CoordinateFile(const TextOpener& openText, EncodingChoice encoding)
    : m_fields([this](char* buffer, std::size_t size) { return readText(buffer, size); }) {
    const EncodingDecision decision = decideEncoding(encoding, openText());
    m_bytes = openText();
    char mark[4];
    for (std::size_t skipped = 0; skipped < decision.markLength;) {
        const std::size_t n = m_bytes(mark, std::min(sizeof mark, decision.markLength - skipped));
        if (n == 0)
            break;
        skipped += n;
    }
    takeEncoding(decision);
}

void CoordinateFile::takeEncoding(const EncodingDecision& decision) {
    m_encoding = decision.encoding;
    if (m_encoding == FileEncoding::Utf16Le || m_encoding == FileEncoding::Utf16Be)
        m_utf16.emplace([this](char* buffer, std::size_t size) { return m_bytes(buffer, size); },
                        m_encoding == FileEncoding::Utf16Be);
}

std::size_t CoordinateFile::readText(char* buffer, std::size_t size) {
    return m_utf16 ? (*m_utf16)(buffer, size) : m_bytes(buffer, size);
}

} // namespace morvane
