#include "input/Cp932.h"

#include "core/RunError.h"
#include "support/PointTableFixture.h"

#include <string>

#include <gtest/gtest.h>

namespace morvane {
namespace {

struct DecodeCase {
    const char* what;
    std::string bytes;
    std::u16string text;
};

const DecodeCase Decodes[] = {
    {"ASCII", "P-12", u"P-12"},
    {"0x5C is the backslash", "\\", u"\\"},
    {"0x7E is the tilde", "~", u"~"},
    {"hiragana", "\x82\xa0", u"あ"},
    {"0x8160 is the full-width tilde", "\x81\x60", u"\uFF5E"},
    {"ideographic space", "\x81\x40", u"\u3000"},
    {"half-width katakana", "\xb1", u"\uFF71"},
    {"kanji with a backslash trail byte", "\x95\x5c", u"表"},
    {"NEC special character", "\x87\x40", u"①"},
    {"undefined byte becomes U+FFFD and decoding goes on",
     "a\x80"
     "b",
     u"a\uFFFD"
     "b"},
    {"cut-short double-byte character", "a\x82", u"a\uFFFD"},
    {"invalid trail byte", "\x81\x20x", u"\uFFFD x"},
};

TEST(Cp932, DecodesByteByByteReplacingWhatDoesNotDecode) {
    for (const auto& c : Decodes) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(decodeCp932(c.bytes), c.text);
    }
}

struct NameKeyCase {
    const char* what;
    std::u16string_view name;
    double key;
};

// Earlier characters weigh ten times more, so "12" and "21" differ.
constexpr NameKeyCase Keys[] = {
    {"empty name", u"", 0},
    {"one digit", u"1", 49},
    {"two digits", u"12", 540},
    {"same digits reversed", u"21", 549},
    {"double-byte code is signed", u"あ", -32096},
    {"half-width katakana is one byte", u"\uFF71", 177},
    {"ideographic space", u"\u3000", -32448},
    {"no code page 932 form counts 63", u"\u5C5B", 63},
    {"replacement character counts 63", u"\uFFFD", 63},
    {"three characters", u"P12", 80 * 100 + 49 * 10 + 50},
    {"a character beyond U+FFFF is one character, 63", u"\U00020BB7", 63},
    {"and counts once for the weights", u"1\U00020BB7", 49 * 10 + 63},
    {"an unpaired surrogate is one unmapped character",
     u"\xD842"
     "1",
     63 * 10 + 49},
};

TEST(NameKey, MatchesCodePage932Weights) {
    for (const auto& c : Keys) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(NameKey(c.name), c.key);
    }
}

TEST(NameKey, LongNamesCollideButNeverOverflowQuietly) {
    // 20 characters exceed a double's precision: different names, same key.
    EXPECT_EQ(NameKey(u"BOUNDARY-POINT-00001"), NameKey(u"BOUNDARY-POINT-00002"));
    EXPECT_NE(NameKey(u"BOUNDARY-POINT-00001"), NameKey(u"AOUNDARY-POINT-00001"));
    // A name of 400 characters needs powers of ten beyond a double.
    test::expectRunError([&] { NameKey(std::u16string(400, u'A')); }, 6);
    EXPECT_NO_THROW(NameKey(std::u16string(300, u'A')));
}

} // namespace
} // namespace morvane
