#include "input/EncodingDetection.h"

#include "core/Text.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace morvane {

namespace {

constexpr char CtrlZ = 0x1A;
constexpr std::size_t ReadSize = 64 * 1024;
constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeMark = "\xFF\xFE";
constexpr std::string_view Utf16BeMark = "\xFE\xFF";

// Index of the first byte of 0x80 or above, or size. Eight bytes at a time:
// survey files are mostly ASCII digits.
std::size_t asciiRun(const char* bytes, std::size_t size) {
    constexpr std::uint64_t HighBits = 0x8080808080808080ULL;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        if (word & HighBits)
            break;
    }
    while (i < size && static_cast<std::uint8_t>(bytes[i]) < 0x80)
        ++i;
    return i;
}

// Reads until `size` bytes are there or the source ends.
std::size_t readFully(const ByteSource& source, char* buffer, std::size_t size) {
    std::size_t n = 0;
    while (n < size) {
        const std::size_t got = source(buffer + n, size - n);
        if (got == 0)
            break;
        n += got;
    }
    return n;
}

} // namespace

void Utf8Validator::feed(std::string_view bytes) {
    if (decided())
        return;
    if (const void* z = std::memchr(bytes.data(), CtrlZ, bytes.size())) {
        bytes = bytes.substr(0, static_cast<const char*>(z) - bytes.data());
        m_ended = true;
    }
    if (!m_carry.empty()) {
        // The carried beginning is at most three bytes; three more complete it.
        const std::size_t before = m_carry.size();
        m_carry.append(bytes.substr(0, 3));
        const Utf8Step step = utf8Step(m_carry);
        if (!step.wellFormed && step.length == m_carry.size() && !m_ended) {
            bytes.remove_prefix(m_carry.size() - before);
            return; // still cut short: a piece of one or two bytes
        }
        if (!step.wellFormed) {
            m_wellFormed = false;
            return;
        }
        m_multiByte = true;
        bytes.remove_prefix(step.length - before);
        m_carry.clear();
    }
    std::size_t i = 0;
    while (i < bytes.size()) {
        i += asciiRun(bytes.data() + i, bytes.size() - i);
        if (i == bytes.size())
            break;
        const Utf8Step step = utf8Step(bytes.substr(i));
        if (!step.wellFormed) {
            // A beginning that the piece's end cut off may go on in the next.
            if (i + step.length == bytes.size() && !m_ended)
                m_carry.assign(bytes.substr(i));
            else
                m_wellFormed = false;
            return;
        }
        m_multiByte = true;
        i += step.length;
    }
}

void Utf8Validator::finish() {
    if (!m_carry.empty())
        m_wellFormed = false;
    m_carry.clear();
    m_ended = true;
}

EncodingDecision decideEncoding(EncodingChoice choice, const ByteSource& source) {
    if (choice == EncodingChoice::Cp932)
        return {FileEncoding::Cp932, 0};

    std::vector<char> buffer(ReadSize);
    const std::size_t first = readFully(source, buffer.data(), Utf8Mark.size());
    const std::string_view start(buffer.data(), first);
    const bool utf16Le = start.starts_with(Utf16LeMark);
    const bool utf16Be = start.starts_with(Utf16BeMark);
    const bool utf8Mark = start.starts_with(Utf8Mark);

    switch (choice) {
    case EncodingChoice::Utf16:
        if (utf16Be)
            return {FileEncoding::Utf16Be, Utf16BeMark.size()};
        return {FileEncoding::Utf16Le, utf16Le ? Utf16LeMark.size() : 0};
    case EncodingChoice::Utf8:
        if (utf8Mark)
            return {FileEncoding::Utf8WithBom, Utf8Mark.size()};
        return {FileEncoding::Utf8, 0};
    default:
        break;
    }
    if (utf16Le)
        return {FileEncoding::Utf16Le, Utf16LeMark.size()};
    if (utf16Be)
        return {FileEncoding::Utf16Be, Utf16BeMark.size()};
    if (utf8Mark)
        return {FileEncoding::Utf8WithBom, Utf8Mark.size()};

    Utf8Validator utf8;
    utf8.feed(start);
    while (!utf8.decided()) {
        const std::size_t n = source(buffer.data(), buffer.size());
        if (n == 0)
            break;
        utf8.feed(std::string_view(buffer.data(), n));
    }
    utf8.finish();
    if (utf8.wellFormed() && utf8.multiByte())
        return {FileEncoding::Utf8, 0};
    return {FileEncoding::Cp932, 0};
}

} // namespace morvane
