#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace morvane {

// UTF-16 <-> UTF-8 for the edges (terminal, paths, exception texts) and the
// names of UTF-8 and UTF-16 files. An unpaired surrogate becomes U+FFFD, and
// so does each maximal ill-formed part of UTF-8 (the bytes that could still
// have begun a character, or one byte that could not).
std::string toUtf8(std::u16string_view text);
std::u16string toUtf16(std::string_view utf8);

// Text added to the end of out in out's own encoding: UTF-8 to a std::string
// (as toUtf8 makes it), as it is to a std::u16string. Lets one writer make a
// report in either.
void appendText(std::string& out, std::u16string_view text);
inline void appendText(std::u16string& out, std::u16string_view text) {
    out += text;
}

// How the bytes at the start of a UTF-8 text (at least one) begin: a
// well-formed character of `length` bytes, or an ill-formed part of `length`
// bytes that stands for one U+FFFD. A character cut short by the end of the
// bytes is ill-formed; its length is what there is.
struct Utf8Step {
    std::size_t length;
    bool wellFormed;
};
Utf8Step utf8Step(std::string_view bytes);

// The halves of a character beyond U+FFFF in UTF-16.
constexpr bool isHighSurrogate(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
constexpr bool isLowSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}
// Whether text[i] and text[i + 1] are one character: a surrogate pair.
constexpr bool startsSurrogatePair(std::u16string_view text, std::size_t i) {
    return i + 1 < text.size() && isHighSurrogate(text[i]) && isLowSurrogate(text[i + 1]);
}

// Trims ASCII spaces and ideographic spaces (U+3000) at both ends.
std::u16string trimSpaces(std::u16string_view text);

// A value as an error message quotes it: whole up to 40 characters (a
// surrogate pair is one), else its first 40 and its length
// ("P1111…（60000 文字）"), so that the message stays a line.
std::u16string shownValue(std::u16string_view text);

} // namespace morvane
