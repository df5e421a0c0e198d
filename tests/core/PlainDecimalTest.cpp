#include "core/NumberFormat.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace morvane {
namespace {

struct PlainCase {
    const char* what;
    double value;
    const char* text;
};

// The data formats promise plain decimals a spreadsheet reads: never an
// exponent, however small or large the value.
const PlainCase PlainCases[] = {
    {"whole metres", -42140.0, "-42140"},
    {"millimetres", 12633.82, "12633.82"},
    {"a distance with all its digits", 0.03705401462758136, "0.03705401462758136"},
    {"a sum that is not 0.3", 0.1 + 0.2, "0.30000000000000004"},
    {"small: shortest form would be 1e-07", 1e-7, "0.0000001"},
    {"large: shortest form would be 1e+21", 1e21, "1000000000000000000000"},
    {"negative zero keeps its sign", -0.0, "-0"},
    {"no number", std::numeric_limits<double>::infinity(), "inf"},
};

TEST(PlainDecimal, HasNoExponent) {
    for (const auto& c : PlainCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(formatPlainDecimal(c.value), c.text);
    }
}

double readBack(const std::string& text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_EQ(ec, std::errc()) << text;
    EXPECT_EQ(end, text.data() + text.size()) << text;
    return value;
}

// Any double, from the smallest subnormal to the largest, reads back bit for
// bit and never in exponent form.
TEST(PlainDecimal, ReadsBackAsTheSameDouble) {
    std::mt19937_64 random(11);
    for (int i = 0; i < 20000; ++i) {
        double value = std::bit_cast<double>(random());
        if (!std::isfinite(value))
            continue;
        const std::string text = formatPlainDecimal(value);
        ASSERT_EQ(text.find_first_not_of("-0123456789."), std::string::npos) << text;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(readBack(text)), std::bit_cast<std::uint64_t>(value))
            << text;
    }
    for (double extreme : {std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::denorm_min()})
        EXPECT_EQ(readBack(formatPlainDecimal(extreme)), extreme);
}

} // namespace
} // namespace morvane
