#include "core/Text.h"

#include "core/NumberFormat.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace morvane {

namespace {

constexpr char32_t Replacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

} // namespace

void appendText(std::string& out, std::u16string_view text) {
    // The ASCII the text starts with (all of a name or a number, mostly) goes
    // in a byte a unit, in place.
    const std::size_t end = out.size();
    out.resize(end + text.size());
    std::size_t head = 0;
    for (; head < text.size() && text[head] < 0x80; ++head)
        out[end + head] = static_cast<char>(text[head]);
    out.resize(end + head);
    // The rest a character at a time, runs of ASCII at once.
    for (std::size_t i = head; i < text.size(); ++i) {
        std::size_t ascii = i;
        while (ascii < text.size() && text[ascii] < 0x80)
            ++ascii;
        if (ascii > i) {
            const std::size_t start = out.size();
            out.resize(start + (ascii - i));
            std::copy(text.begin() + static_cast<std::ptrdiff_t>(i),
                      text.begin() + static_cast<std::ptrdiff_t>(ascii), out.begin() + start);
            if (ascii == text.size())
                break;
            i = ascii;
        }
        const char16_t u = text[i];
        if (startsSurrogatePair(text, i)) {
            appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (isHighSurrogate(u) || isLowSurrogate(u)) {
            appendUtf8(out, Replacement);
        } else {
            appendUtf8(out, u);
        }
    }
}

std::string toUtf8(std::u16string_view text) {
    std::string out;
    appendText(out, text);
    return out;
}

Utf8Step utf8Step(std::string_view bytes) {
    const auto lead = static_cast<std::uint8_t>(bytes[0]);
    if (lead < 0x80)
        return {1, true};
    // The well-formed sequences: how many bytes follow the lead, and the
    // range of the first of them (the others are 0x80..0xBF). The narrower
    // ranges leave out overlong forms, surrogates and values past U+10FFFF.
    std::size_t length;
    std::uint8_t low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return {1, false};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (i >= bytes.size())
            return {i, false};
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        if (b < low || b > high)
            return {i, false};
        low = 0x80, high = 0xBF;
    }
    return {length, true};
}

std::u16string toUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b0 = static_cast<std::uint8_t>(utf8[i]);
        if (b0 < 0x80) {
            out += static_cast<char16_t>(b0);
            ++i;
            continue;
        }
        const Utf8Step step = utf8Step(utf8.substr(i));
        if (!step.wellFormed) {
            out += static_cast<char16_t>(Replacement);
        } else {
            // The lead's value bits, then six from each byte that follows.
            char32_t c = b0 & (0x7F >> step.length);
            for (std::size_t k = 1; k < step.length; ++k)
                c = (c << 6) | (static_cast<std::uint8_t>(utf8[i + k]) & 0x3F);
            appendUtf16(out, c);
        }
        i += step.length;
    }
    return out;
}

std::u16string trimSpaces(std::u16string_view text) {
    const auto isSpace = [](char16_t c) { return c == u' ' || c == u'\u3000'; };
    std::size_t begin = 0, end = text.size();
    while (begin < end && isSpace(text[begin]))
        ++begin;
    while (end > begin && isSpace(text[end - 1]))
        --end;
    return std::u16string(text.substr(begin, end - begin));
}

std::u16string shownValue(std::u16string_view text) {
    constexpr std::size_t MaxShown = 40;
    std::size_t characters = 0;
    std::size_t cut = text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isLowSurrogate(text[i]) && i > 0 && isHighSurrogate(text[i - 1]))
            continue;
        if (characters == MaxShown)
            cut = i;
        ++characters;
    }
    if (characters <= MaxShown)
        return std::u16string(text);
    return std::u16string(text.substr(0, cut)) + u"…（" +
           formatInteger(static_cast<std::int32_t>(
               std::min<std::size_t>(characters, std::numeric_limits<std::int32_t>::max()))) +
           u" 文字）";
}

} // namespace morvane
