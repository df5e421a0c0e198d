#include "core/PointLine.h"

#include "core/NumberFormat.h"
#include "core/PointTable.h"
#include "core/Text.h"
#include "support/PointTableFixture.h"

#include <cmath>
#include <limits>
#include <memory>

#include <gtest/gtest.h>

namespace morvane {
namespace {

struct FormatCase {
    double value;
    std::u16string_view text;
};

constexpr FormatCase Formats[] = {
    {0, u"0.000"},
    {-0.0, u"0.000"},
    {0.0004, u"0.000"},
    {0.0005, u"0.001"},
    {-0.0004, u"-0.000"},
    {-12.5678, u"-12.568"},
    {56.7, u"56.700"},
    {1.0005, u"1.001"}, // 1.000499999... in binary; the 15-digit form decides
    {2.0005, u"2.001"},
    {123456.7895, u"123456.790"},
    {-42102.3455, u"-42102.346"},
    {0.354, u"0.354"},
    {9.9995, u"10.000"},
    {999.9999, u"1000.000"},
    {123456789.0, u"123456789.000"},
    {1e15, u"1000000000000000.000"},
    {1e-300, u"0.000"},
    {5.0, u"5.000"},
};

TEST(NumberFormat, ThreeDecimalsFromTheFifteenDigitForm) {
    for (const auto& c : Formats) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(formatThreeDecimals(c.value), c.text);
    }
}

TEST(NumberFormat, IntegersArePlainDigits) {
    EXPECT_EQ(formatInteger(0), u"0");
    EXPECT_EQ(formatInteger(-5), u"-5");
    EXPECT_EQ(formatInteger(1234567), u"1234567");
    EXPECT_EQ(formatInteger(std::numeric_limits<std::int32_t>::min()), u"-2147483648");
}

class PointLine : public test::PointTableFixture {
protected:
    std::u16string line(std::int32_t no, std::u16string name, double x, double y) {
        data().numbers[2] = no;
        data().names.assign(2, name);
        data().xs[2] = x;
        data().ys[2] = y;
        return pointLine(data(), 2.0);
    }
};

TEST_F(PointLine, LaysOutNumberNameXAndY) {
    struct Case {
        const char* what;
        std::int32_t no;
        std::u16string name;
        double x, y;
        std::u16string text;
    };
    const Case cases[] = {
        {"the example", 12, u"P12", -12.5678, 56.7, u"    12  P12            -12.568   56.700"},
        {"number 0", 0, u"A", 0, 0, u"     0  A              0.000   0.000"},
        {"negative number", -5, u"A", 0, 0, u"    -5  A              0.000   0.000"},
        {"six digits fill the column", 123456, u"A", 1, 1, u"123456  A              1.000   1.000"},
        {"seven digits push the line right", 1234567, u"A", 1, 1,
         u"1234567  A              1.000   1.000"},
        {"a sign counts as a character", -123456, u"A", 1, 1,
         u"-123456  A              1.000   1.000"},
        {"the 32-bit limit in full", -2147483647 - 1, u"A", 1, 1,
         u"-2147483648  A              1.000   1.000"},
        {"empty name is 15 spaces", 1, u"", 1, 1, u"     1                 1.000   1.000"},
        {"14 characters leave one space", 1, u"ABCDEFGHIJKLMN", 1, 1,
         u"     1  ABCDEFGHIJKLMN 1.000   1.000"},
        {"15 characters keep one space before X", 1, u"ABCDEFGHIJKLMNO", 1, 1,
         u"     1  ABCDEFGHIJKLMNO 1.000   1.000"},
        {"16 characters push the line right", 1, u"T-2024-0612-0001", 1, 1,
         u"     1  T-2024-0612-0001 1.000   1.000"},
        {"20 characters in full", 1, u"ABCDEFGHIJKLMNOPQRST", 1, 1,
         u"     1  ABCDEFGHIJKLMNOPQRST 1.000   1.000"},
        {"a Japanese character counts one", 1, u"境界点", 1, 1,
         u"     1  境界点            1.000   1.000"},
        {"a pair across the column's edge stays whole", 1, u"ABCDEFGHIJKLMN\U00020BB7Z", 1, 1,
         u"     1  ABCDEFGHIJKLMN\U00020BB7Z 1.000   1.000"},
        {"a pair ending the column counts two", 1, u"ABCDEFGHIJKLM\U00020BB7", 1, 1,
         u"     1  ABCDEFGHIJKLM\U00020BB7 1.000   1.000"},
        {"nine integer digits in full", 1, u"A", 123456789.0, -1,
         u"     1  A              123456789.000   -1.000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(line(c.no, c.name, c.x, c.y), c.text);
    }
}

// The command line makes its report in UTF-8 straight away: the same text,
// column widths still counted in UTF-16 code units.
TEST_F(PointLine, InUtf8TheSameLineConverted) {
    const std::u16string names[] = {
        u"P12", u"境界点",           u"ABCDEFGHIJKLMN\U00020BB7Z",
        u"",    u"T-2024-0612-0001", std::u16string(1, u'\xD800') + u"X"};
    for (const auto& name : names) {
        const std::u16string utf16 = line(-1234567, name, -42102.3455, 1.0005);
        std::string utf8 = "before ";
        appendPointLine(utf8, data(), 2.0);
        EXPECT_EQ(utf8, "before " + toUtf8(utf16));
    }
}

TEST_F(PointLine, PositionIsRoundedHalfToEven) {
    data().numbers[2] = 2;
    data().numbers[3] = 3;
    EXPECT_EQ(pointLine(data(), 2.5).substr(0, 6), u"     2");
    EXPECT_EQ(pointLine(data(), 2.6).substr(0, 6), u"     3");
}

} // namespace
} // namespace morvane
