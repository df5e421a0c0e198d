#include "input/EncodingDetection.h"

#include "support/TestFiles.h"

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

namespace morvane {
namespace {

// The bytes of a literal, NULs included.
template <std::size_t N> std::string raw(const char (&bytes)[N]) {
    return std::string(bytes, N - 1);
}

// A source over bytes in memory that hands over at most `piece` at a time.
ByteSource sourceOver(const std::string& bytes, std::size_t piece) {
    return [&bytes, piece, offset = std::size_t{0}](char* buffer, std::size_t size) mutable {
        const std::size_t n = std::min({size, piece, bytes.size() - offset});
        std::copy_n(bytes.data() + offset, n, buffer);
        offset += n;
        return n;
    };
}

struct DetectionCase {
    const char* what;
    std::string bytes;
    FileEncoding encoding;
    std::size_t markLength = 0;
};

const DetectionCase Guesses[] = {
    {"empty file", "", FileEncoding::Cp932},
    {"ASCII only", "A01,1,P1,1,2\r\n", FileEncoding::Cp932},
    {"code page 932 kanji", test::cp932(u"A01,1,境界1,1,2\r\n"), FileEncoding::Cp932},
    {"UTF-8 kanji",
     "A01,1,\xE5\xA2\x83\xE7\x95\x8C"
     "1,1,2\r\n",
     FileEncoding::Utf8},
    // Two half-width katakana in code page 932, and "ñ" in UTF-8: the rare
    // wrong guess.
    {"code page 932 half-width katakana that are UTF-8", "A01,1,\xC3\xB1,1,2", FileEncoding::Utf8},
    {"UTF-8 mark",
     "\xEF\xBB\xBF"
     "A01",
     FileEncoding::Utf8WithBom, 3},
    {"UTF-8 mark alone", "\xEF\xBB\xBF", FileEncoding::Utf8WithBom, 3},
    {"UTF-16LE mark",
     "\xFF\xFE"
     "A\0",
     FileEncoding::Utf16Le, 2},
    {"UTF-16BE mark", raw("\xFE\xFF\0A"), FileEncoding::Utf16Be, 2},
    {"UTF-8 until an ill-formed byte at the end", "\xE5\xA2\x83,\x80", FileEncoding::Cp932},
    {"UTF-8 cut short by the end", "\xE5\xA2\x83,\xE5\xA2", FileEncoding::Cp932},
    {"overlong form", "\xC0\xBC\xE5\xA2\x83", FileEncoding::Cp932},
    {"UTF-8 surrogate", "\xED\xA0\x80", FileEncoding::Cp932},
    {"what follows Ctrl-Z has no say", "\xE5\xA2\x83\x1A\x80\x81", FileEncoding::Utf8},
    {"nor does a multi-byte character after it", "P1\x1A\xE5\xA2\x83", FileEncoding::Cp932},
    {"a character cut short by Ctrl-Z", "\xE5\xA2\x1A", FileEncoding::Cp932},
};

TEST(EncodingDetection, GuessesFromTheWholeFile) {
    for (const auto& c : Guesses) {
        SCOPED_TRACE(c.what);
        // One byte at a time puts every character across pieces.
        for (std::size_t piece : {1, 2, 3, 64 * 1024}) {
            SCOPED_TRACE(piece);
            const auto d = decideEncoding(EncodingChoice::Auto, sourceOver(c.bytes, piece));
            EXPECT_EQ(d.encoding, c.encoding);
            EXPECT_EQ(d.markLength, c.markLength);
        }
    }
}

TEST(EncodingDetection, OneIllFormedByteFarIntoTheFileMakesItCodePage932) {
    // Beyond the first 64 KiB read, and a character across the reads' border.
    std::string bytes(64 * 1024 - 1, 'A');
    bytes += "\xE5\xA2\x83";
    bytes += std::string(200'000, '1');
    EXPECT_EQ(decideEncoding(EncodingChoice::Auto, sourceOver(bytes, 64 * 1024)).encoding,
              FileEncoding::Utf8);
    bytes += "\xB1";
    EXPECT_EQ(decideEncoding(EncodingChoice::Auto, sourceOver(bytes, 64 * 1024)).encoding,
              FileEncoding::Cp932);
}

struct ChoiceCase {
    const char* what;
    EncodingChoice choice;
    std::string bytes;
    FileEncoding encoding;
    std::size_t markLength;
};

const ChoiceCase Choices[] = {
    {"code page 932 over valid UTF-8", EncodingChoice::Cp932, "\xC3\xB1", FileEncoding::Cp932, 0},
    {"code page 932 keeps a mark as bytes", EncodingChoice::Cp932, "\xEF\xBB\xBF",
     FileEncoding::Cp932, 0},
    {"UTF-8 over code page 932", EncodingChoice::Utf8, "\x8B\xAB", FileEncoding::Utf8, 0},
    {"UTF-8 drops its mark", EncodingChoice::Utf8,
     "\xEF\xBB\xBF"
     "A",
     FileEncoding::Utf8WithBom, 3},
    {"UTF-16 without a mark is little-endian", EncodingChoice::Utf16, raw("A\0"),
     FileEncoding::Utf16Le, 0},
    {"UTF-16 with a little-endian mark", EncodingChoice::Utf16,
     "\xFF\xFE"
     "A\0",
     FileEncoding::Utf16Le, 2},
    {"UTF-16 with a big-endian mark", EncodingChoice::Utf16, raw("\xFE\xFF\0A"),
     FileEncoding::Utf16Be, 2},
};

TEST(EncodingDetection, AChoiceOverridesTheGuess) {
    for (const auto& c : Choices) {
        SCOPED_TRACE(c.what);
        const auto d = decideEncoding(c.choice, sourceOver(c.bytes, 1));
        EXPECT_EQ(d.encoding, c.encoding);
        EXPECT_EQ(d.markLength, c.markLength);
    }
}

} // namespace
} // namespace morvane
