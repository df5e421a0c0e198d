#include "input/Utf16Transcoder.h"

#include "core/Text.h"

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

namespace morvane {
namespace {

// The bytes of a literal, NULs included.
template <std::size_t N> std::string raw(const char (&bytes)[N]) {
    return std::string(bytes, N - 1);
}

// All the transcoder gives, asking for `room` bytes at a time from a source
// that hands over `piece` bytes at a time.
std::string transcode(const std::string& bytes, bool bigEndian, std::size_t room,
                      std::size_t piece) {
    Utf16Transcoder utf8(
        [&bytes, piece, offset = std::size_t{0}](char* buffer, std::size_t size) mutable {
            const std::size_t n = std::min({size, piece, bytes.size() - offset});
            std::copy_n(bytes.data() + offset, n, buffer);
            offset += n;
            return n;
        },
        bigEndian);
    std::string out;
    std::string buffer(room, '\0');
    while (const std::size_t n = utf8(buffer.data(), room))
        out.append(buffer.data(), n);
    return out;
}

struct TranscodeCase {
    const char* what;
    std::string littleEndian; // the big-endian bytes are these, each pair swapped
    std::u16string text;
};

const TranscodeCase Cases[] = {
    {"ASCII",
     std::string("A\0"
                 "0\0"
                 "1\0",
                 6),
     u"A01"},
    {"kanji", "\x83\x58\x4C\x75", u"境界"},
    {"surrogate pair", "\x42\xD8\xB7\xDF", u"\U00020BB7"},
    {"lone high surrogate, then a character",
     raw("\x42\xD8"
         "A\0"),
     u"\uFFFDA"},
    {"lone low surrogate", "\xB7\xDF", u"\uFFFD"},
    {"two high surrogates", "\x42\xD8\x42\xD8\xB7\xDF", u"\uFFFD\U00020BB7"},
    {"high surrogate at the end", raw("A\0\x42\xD8"), u"A\uFFFD"},
    {"odd last byte", raw("A\0B"), u"A\uFFFD"},
    {"U+001A", raw("\x1A\0"), u"\x1A"},
    {"a 0x1A byte inside a character", "\x1A\x4E\x30\x1A", u"\u4E1A\u1A30"},
    {"U+FFFE is a character", "\xFE\xFF", u"\uFFFE"},
};

std::string swapped(std::string bytes) {
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        std::swap(bytes[i], bytes[i + 1]);
    return bytes;
}

TEST(Utf16Transcoder, GivesUtf8ReplacingEachUnpairedSurrogate) {
    for (const auto& c : Cases) {
        SCOPED_TRACE(c.what);
        const std::string expected = toUtf8(c.text);
        // Small rooms cut characters; small pieces cut surrogate pairs.
        for (std::size_t room : {1, 2, 3, 4, 64 * 1024}) {
            for (std::size_t piece : {1, 3, 64 * 1024}) {
                SCOPED_TRACE(std::to_string(room) + " bytes out, " + std::to_string(piece) + " in");
                EXPECT_EQ(transcode(c.littleEndian, false, room, piece), expected);
                // The odd byte stays last.
                const bool odd = c.littleEndian.size() % 2;
                const std::string bigEndian =
                    odd ? swapped(c.littleEndian.substr(0, c.littleEndian.size() - 1)) +
                              c.littleEndian.back()
                        : swapped(c.littleEndian);
                EXPECT_EQ(transcode(bigEndian, true, room, piece), expected);
            }
        }
    }
}

TEST(Utf16Transcoder, ALargeTextPassesWhole) {
    std::u16string text;
    for (int i = 0; i < 100'000; ++i)
        text += u"A01,境\U00020BB7,";
    std::string bytes;
    for (char16_t u : text)
        bytes += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    EXPECT_EQ(transcode(bytes, false, 64 * 1024, 4093), toUtf8(text));
}

} // namespace
} // namespace morvane
