#include "core/LeadingNumber.h"

#include "core/RunError.h"
#include "core/Text.h"
#include "support/PointTableFixture.h"

#include <string>

#include <gtest/gtest.h>

namespace morvane {
namespace {

struct NumberCase {
    const char* what;
    std::u16string_view text;
    double value;
};

constexpr NumberCase Cases[] = {
    {"plain decimal", u"0.05", 0.05},
    {"window field with CR LF", u"0.05\r\n", 0.05},
    {"lower field default", u"0\r\n", 0},
    {"unit after a space", u" 1.5mm", 1.5},
    {"letters only", u"abc", 0},
    {"empty", u"", 0},
    {"negative", u"-1", -1},
    {"explicit plus", u"+2.5", 2.5},
    {"spaces inside the number are removed", u"1 2 . 5", 12.5},
    {"tabs and line feeds are removed", u"\t1\n2", 12},
    {"CR ends the number", u"1\r2", 1},
    {"ideographic space ends the number", u"1\u30002", 1},
    {"second line is ignored", u"3.25\r\n7", 3.25},
    {"fraction without integer digits", u".5", 0.5},
    {"trailing point", u"5.", 5},
    {"sign alone", u"-", 0},
    {"point alone", u".", 0},
    {"exponent E", u"1.5E2", 150},
    {"exponent lower-case e", u"1.5e-2", 0.015},
    {"exponent D", u"2D3", 2000},
    {"exponent lower-case d", u"2d+1", 20},
    {"exponent letter without digits", u"7e", 7},
    {"exponent sign without digits", u"7e+", 7},
    {"comma is not a decimal separator", u"1,5", 1},
    {"second point ends the number", u"1.2.3", 1.2},
    {"full-width digits are not digits", u"１２", 0},
    {"hex", u"&H1F", 31},
    {"hex lower case", u"&hff", 255},
    {"hex 16-bit wraps", u"&HFFFF", -1},
    {"hex 17 bits", u"&H10000", 65536},
    {"hex 32-bit wraps", u"&HFFFFFFFF", -1},
    {"hex 0x8000 wraps", u"&H8000", -32768},
    {"hex stops at non-digit", u"&H1G", 1},
    {"hex without digits", u"&H", 0},
    {"octal", u"&O777", 511},
    {"octal lower case", u"&o17", 15},
    {"octal 16-bit wraps", u"&O177777", -1},
    {"octal stops at 8", u"&O78", 7},
    {"underflow is zero", u"1e-400", 0},
};

TEST(LeadingNumber, ReadsTheLeadingNumber) {
    for (const auto& c : Cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(leadingNumber(c.text), c.value);
    }
}

// What an input method types in the two fields reads as its ASCII form;
// anything else still ends the number.
constexpr NumberCase FieldCases[] = {
    {"full-width tolerance", u"０．０５", 0.05},
    {"full-width signs and exponent", u"－１．５Ｅ２", -150},
    {"full-width plus and lower-case e", u"＋２ｅ－１", 0.2},
    {"minus sign U+2212", u"\u22120.5", -0.5},
    {"mixed widths", u"0．0５", 0.05},
    {"full-width letter ends the number", u"１２Ｄ３", 12},
    {"ASCII stays as it was", u"0.05\r\n", 0.05},
    {"ideographic space still ends it", u"１\u3000２", 1},
};

TEST(LeadingNumber, FieldsReadFullWidthInput) {
    for (const auto& c : FieldCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(fieldNumber(c.text), c.value);
    }
}

TEST(LeadingNumber, ByteTextReadsLikeUtf16Text) {
    for (const auto& c : Cases) {
        bool ascii = true;
        std::string bytes;
        for (char16_t ch : c.text) {
            ascii = ascii && ch < 0x80;
            bytes += static_cast<char>(ch);
        }
        if (!ascii)
            continue;
        SCOPED_TRACE(c.what);
        EXPECT_EQ(leadingNumber(std::string_view(bytes)), c.value);
    }
    // A double-byte character ends the number in both forms.
    EXPECT_EQ(leadingNumber(std::string_view("12\x82\x50")), 12);
}

TEST(LeadingNumber, OverflowIsError6) {
    for (const char16_t* text : {u"1e400", u"-1e400", u"&H100000000", u"&O77777777777"}) {
        SCOPED_TRACE(toUtf8(text));
        try {
            leadingNumber(std::u16string_view(text));
            ADD_FAILURE() << "no error";
        } catch (const RunError& e) {
            EXPECT_EQ(e.number(), 6);
            EXPECT_EQ(e.message(), u"オーバーフローしました。");
        }
    }
}

struct PointNumberCase {
    const char* what;
    const char* text;
    std::int32_t value;
};

constexpr PointNumberCase PointNumbers[] = {
    {"integer", "12", 12},
    {"half rounds to even, down", "2.5", 2},
    {"half rounds to even, up", "3.5", 4},
    {"negative half", "-2.5", -2},
    {"largest", "2147483647", 2147483647},
    {"smallest", "-2147483648", -2147483647 - 1},
    {"rounds into range", "2147483647.4", 2147483647},
    {"no number", "abc", 0},
};

TEST(LeadingNumber, PointNumbersRoundHalfToEven) {
    for (const auto& c : PointNumbers) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(leadingInt32(c.text), c.value);
    }
}

TEST(LeadingNumber, PointNumberOutside32BitsIsError6) {
    for (const char* text : {"2147483648", "-2147483649", "12345678901234567890", "2147483647.5"}) {
        SCOPED_TRACE(text);
        test::expectRunError([&] { leadingInt32(text); }, 6);
    }
}

} // namespace
} // namespace morvane
