#include "input/Utf16Transcoder.h"

#include "core/Text.h"

#include <cstdint>
#include <cstring>
#include <utility>

namespace morvane {

namespace {

constexpr std::size_t InputSize = 64 * 1024;
// A surrogate pair: the most one character takes.
constexpr std::size_t MaxUnitBytes = 4;
constexpr char32_t Replacement = 0xFFFD;

std::size_t encodeUtf8(char32_t c, char* out) {
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | (c >> 6));
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (c >> 12));
        out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

} // namespace

Utf16Transcoder::Utf16Transcoder(ByteSource source, bool bigEndian)
    : m_source(std::move(source)), m_bigEndian(bigEndian), m_input(InputSize) {}

void Utf16Transcoder::refill() {
    std::memmove(m_input.data(), m_input.data() + m_pos, m_len - m_pos);
    m_len -= m_pos;
    m_pos = 0;
    while (m_len < MaxUnitBytes && !m_sourceEnded) {
        const std::size_t n = m_source(m_input.data() + m_len, m_input.size() - m_len);
        m_sourceEnded = n == 0;
        m_len += n;
    }
}

char16_t Utf16Transcoder::unitAt(std::size_t pos) const {
    const auto first = static_cast<std::uint8_t>(m_input[pos]);
    const auto second = static_cast<std::uint8_t>(m_input[pos + 1]);
    return static_cast<char16_t>(m_bigEndian ? first << 8 | second : second << 8 | first);
}

std::size_t Utf16Transcoder::operator()(char* buffer, std::size_t size) {
    std::size_t n = 0;
    while (n < size && m_pendingPos < m_pendingLen)
        buffer[n++] = m_pending[m_pendingPos++];
    while (n < size) {
        if (m_len - m_pos < MaxUnitBytes && !m_sourceEnded)
            refill();
        const std::size_t left = m_len - m_pos;
        if (left == 0)
            break;
        char32_t c = Replacement;
        if (left == 1) {
            m_pos += 1; // an odd last byte
        } else {
            const char16_t unit = unitAt(m_pos);
            m_pos += 2;
            if (isHighSurrogate(unit) && left >= 4 && isLowSurrogate(unitAt(m_pos))) {
                c = 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (unitAt(m_pos) - 0xDC00);
                m_pos += 2;
            } else if (!isHighSurrogate(unit) && !isLowSurrogate(unit)) {
                c = unit;
            }
        }
        char bytes[4];
        const std::size_t length = encodeUtf8(c, bytes);
        if (size - n >= length) {
            std::memcpy(buffer + n, bytes, length);
            n += length;
        } else {
            const std::size_t fits = size - n;
            std::memcpy(buffer + n, bytes, fits);
            n += fits;
            std::memcpy(m_pending, bytes + fits, length - fits);
            m_pendingPos = 0;
            m_pendingLen = length - fits;
        }
    }
    return n;
}

} // namespace morvane
