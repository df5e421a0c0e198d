#include "core/DoubleText.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace morvane;

namespace {

// The doubles a build meets and the ones where shortest forms go wrong:
// survey coordinates and distances in millimetres, powers of two (whose gap
// below is half the gap above), subnormals, the ends of the range, and any
// bit pattern at all.
std::vector<double> sampleDoubles() {
    std::vector<double> values = {0.0,
                                  -0.0,
                                  0.05,
                                  9.99,
                                  1e-7,
                                  1e22,
                                  1e23,
                                  5e-324,
                                  std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::max(),
                                  0x1p53,
                                  0x1p53 + 2,
                                  123456789012345680.0};
    for (int e = -1074; e <= 1023; ++e)
        values.push_back(std::ldexp(1.0, e));
    std::mt19937_64 random(20261208);
    std::uniform_int_distribution<std::int64_t> millimetres(-99'999'999'999, 99'999'999'999);
    for (int i = 0; i < 30'000; ++i) {
        values.push_back(static_cast<double>(millimetres(random)) / 1000);
        double bits = std::bit_cast<double>(random());
        if (std::isfinite(bits))
            values.push_back(bits);
    }
    return values;
}

// The text of value in form (0 shortest, 1 fixed, 2 scientific, 3 scientific
// with 15 digits) by a to_chars of either kind.
template <class ToChars> std::string textBy(ToChars toChars, double value, int form) {
    char buf[1100];
    const auto r = form == 0   ? toChars(buf, buf + sizeof buf, value)
                   : form == 1 ? toChars(buf, buf + sizeof buf, value, std::chars_format::fixed)
                   : form == 2
                       ? toChars(buf, buf + sizeof buf, value, std::chars_format::scientific)
                       : toChars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    return std::string(buf, r.ptr);
}

std::string standardText(double value, int form) {
    return textBy([](auto... args) { return std::to_chars(args...); }, value, form);
}

std::string portableText(double value, int form) {
    return textBy([](auto... args) { return portable::toChars(args...); }, value, form);
}

} // namespace

// Plain shortest, fixed shortest, scientific shortest and 15 significant
// digits: the four forms the core writes numbers in.
TEST(DoubleText, PortableWritingMatchesStandard) {
    const char* forms[] = {"shortest", "fixed", "scientific", "15 digits"};
    for (int form = 0; form < 4; ++form) {
        SCOPED_TRACE(forms[form]);
        int failures = 0;
        for (double value : sampleDoubles()) {
            const std::string expected = standardText(value, form);
            const std::string actual = portableText(value, form);
            EXPECT_EQ(actual, expected) << std::hexfloat << value;
            if (actual != expected && ++failures > 10)
                return;
        }
    }
}

TEST(DoubleText, PortableWritingRefusesShortBuffer) {
    char buf[4];
    const auto r = portable::toChars(buf, buf + sizeof buf, 0.125);
    EXPECT_EQ(r.ec, std::errc::value_too_large);
}

TEST(DoubleText, PortableReadingMatchesStandard) {
    std::vector<std::string> texts = {"0",
                                      "-0",
                                      "1",
                                      "1.",
                                      ".5",
                                      "-.5",
                                      "1e",
                                      "1e+",
                                      "1e-2x",
                                      "1E5",
                                      "-",
                                      ".",
                                      "",
                                      "+1",
                                      " 1",
                                      "0x1p3",
                                      "inf",
                                      "-INF",
                                      "infinity",
                                      "infinit",
                                      "nan",
                                      "NaN(ab_1)",
                                      "nan(",
                                      "1e400",
                                      "-1e400",
                                      "1e-400",
                                      "0e-999999",
                                      "4.9e-324",
                                      "2.4703282292062328e-324",
                                      "2.4703282292062327e-324",
                                      "9007199254740993",
                                      "9007199254740993.0000000000000001",
                                      "1.7976931348623158e308",
                                      "1.7976931348623159e308",
                                      "0.050000000000000002775557561562891",
                                      "12345678901234567890123456789e-20",
                                      "1,5",
                                      "12.5.3",
                                      "1e99999999999999999999"};
    std::mt19937_64 random(7);
    std::uniform_int_distribution<int> digit(0, 9), length(1, 25), exponent(-330, 310);
    for (int i = 0; i < 20'000; ++i) {
        std::string text;
        const int n = length(random);
        for (int k = 0; k < n; ++k)
            text += static_cast<char>('0' + digit(random));
        text.insert(static_cast<std::size_t>(digit(random)) % text.size(), ".");
        texts.push_back(text + "e" + std::to_string(exponent(random)));
        texts.push_back(standardText(std::bit_cast<double>(random()), 0));
    }
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        double expected = -1, actual = -1;
        const auto e = std::from_chars(text.data(), text.data() + text.size(), expected);
        const auto a = portable::fromChars(text.data(), text.data() + text.size(), actual);
        ASSERT_EQ(a.ptr - text.data(), e.ptr - text.data());
        ASSERT_EQ(a.ec, e.ec);
        if (std::isnan(expected))
            EXPECT_TRUE(std::isnan(actual));
        else
            EXPECT_EQ(std::bit_cast<std::uint64_t>(actual), std::bit_cast<std::uint64_t>(expected));
    }
}
