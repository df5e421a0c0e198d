#include "core/Text.h"

#include <string>

#include <gtest/gtest.h>

namespace morvane {
namespace {

struct Utf8Case {
    const char* what;
    std::string bytes;
    std::u16string text;
};

// One U+FFFD for each maximal part that could still have begun a character,
// or for one byte that could not.
const Utf8Case Utf8Cases[] = {
    {"ASCII", "P-1", u"P-1"},
    {"two, three and four bytes", "\xC3\xB1\xE5\xA2\x83\xF0\xA0\xAE\xB7", u"ñ境\U00020BB7"},
    {"lone continuation byte", "a\x80z", u"a\uFFFDz"},
    {"two continuation bytes are two parts", "\x80\xBF", u"\uFFFD\uFFFD"},
    {"cut-short three-byte character is one part", "\xE5\xA2z", u"\uFFFDz"},
    {"cut short by the end", "a\xF0\xA0\xAE", u"a\uFFFD"},
    {"overlong two-byte lead", "\xC0\x80", u"\uFFFD\uFFFD"},
    {"overlong three-byte form", "\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
    {"surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
    {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
    {"no lead byte above F4", "\xF5\x80", u"\uFFFD\uFFFD"},
    {"the standard's example",
     "a\xF1\x80\x80\xE1\x80\xC2"
     "b\x80"
     "c\x80\xBF"
     "d",
     u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd"},
    {"code page 932 kanji bytes", "\x8B\xAB\x8A\x45", u"\uFFFD\uFFFD\uFFFDE"},
};

TEST(Text, Utf8ToUtf16ReplacesEachMaximalIllFormedPart) {
    for (const auto& c : Utf8Cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(toUtf16(c.bytes), c.text);
    }
}

} // namespace
} // namespace morvane
