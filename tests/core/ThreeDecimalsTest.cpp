#include "core/NumberFormat.h"
#include "core/Text.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace morvane {
namespace {

// The three decimals as the rule states them, by the slow road only: the
// value's 15 significant digits as the full conversion gives them, then
// rounded half away from zero at the thousandths.
std::string byFullConversion(double value) {
    char buf[64];
    const auto end =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14)
            .ptr;
    std::string digits = std::string(1, buf[0]) + std::string(buf + 2, buf + 16);
    const int exponent = std::stoi(std::string(buf + 17, end));
    const int keep = exponent + 4;
    std::string kept;
    if (keep >= 15) {
        kept = digits + std::string(static_cast<std::size_t>(keep - 15), '0');
    } else if (keep >= 0) {
        kept = digits.substr(0, static_cast<std::size_t>(keep));
        if (digits[static_cast<std::size_t>(keep)] >= '5') {
            int i = keep - 1;
            for (; i >= 0 && kept[static_cast<std::size_t>(i)] == '9'; --i)
                kept[static_cast<std::size_t>(i)] = '0';
            if (i >= 0)
                ++kept[static_cast<std::size_t>(i)];
            else
                kept.insert(kept.begin(), '1');
        }
    }
    if (kept.size() < 4)
        kept.insert(0, 4 - kept.size(), '0');
    const std::size_t point = kept.size() - 3;
    const std::size_t start = std::min(kept.find_first_not_of('0'), point - 1);
    return (value < 0 ? "-" : "") + kept.substr(start, point - start) + "." + kept.substr(point);
}

// The shown text takes shortcuts, through the value's product with 1000 and
// through its shortest form; it must give what the full conversion gives
// for every kind of value a report shows: millimetre coordinates, computed
// distances, values at the rounding edge, and any double at all.
TEST(ThreeDecimals, TheShortcutGivesWhatTheFullConversionGives) {
    std::mt19937_64 random(20261208);
    std::uniform_int_distribution<std::int64_t> millimetres(-999'999'999'999, 999'999'999'999);
    // Up to the largest values the first shortcut takes.
    std::uniform_int_distribution<std::int64_t> manyMillimetres(-999'999'999'999'999,
                                                                999'999'999'999'999);
    std::uniform_real_distribution<double> metres(-1e6, 1e6);
    std::uniform_int_distribution<std::uint64_t> bits;
    for (int i = 0; i < 200'000; ++i) {
        const double candidates[] = {
            static_cast<double>(millimetres(random)) / 1000,
            static_cast<double>(manyMillimetres(random)) / 1000,
            std::hypot(metres(random), metres(random) / 1e4),
            static_cast<double>(millimetres(random) % 10'000'000) / 1000 + 0.0005,
            std::bit_cast<double>(bits(random)),
        };
        for (const double value : candidates) {
            if (!std::isfinite(value))
                continue;
            ASSERT_EQ(toUtf8(formatThreeDecimals(value)), byFullConversion(value))
                << std::bit_cast<std::uint64_t>(value);
        }
    }
    for (const double value :
         {0.0, -0.0, 1.0005, 0.0495, 999999999999.9995, 1e-300, 5e-324, 1.7976931348623157e308,
          123456789012.3456, 0.00049999999999999, 0.001, -0.001, 0.0015, 999999999999.999, 1e12,
          1e12 + 0.125, 4503599627370.495, -12345.6785})
        EXPECT_EQ(toUtf8(formatThreeDecimals(value)), byFullConversion(value)) << value;
}

} // namespace
} // namespace morvane
