#include "core/LeadingNumber.h"

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace morvane {
namespace {

// Coordinates are read through a short cut for plain decimals; it must give
// the very double that the C library's correctly rounded conversion gives,
// on both sides of every limit of the short cut (digits that fit 2^53, up to
// 22 decimals), signed zeros included.
TEST(LeadingNumber, PlainDecimalsRoundLikeTheCLibrary) {
    std::mt19937_64 rng(12);
    const auto digits = [&](std::size_t n) {
        std::string s;
        for (std::size_t i = 0; i < n; ++i)
            s += static_cast<char>('0' + rng() % 10);
        return s;
    };
    for (int trial = 0; trial < 200'000; ++trial) {
        const char* const signs[] = {"", "-", "+"};
        std::string text = signs[rng() % 3];
        const std::size_t whole = rng() % 19;
        const std::size_t decimals = whole == 0 ? 1 + rng() % 25 : rng() % 25;
        text += digits(whole);
        if (decimals > 0 || rng() % 2)
            text += "." + digits(decimals);
        const double expected = std::strtod(text.c_str(), nullptr);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(leadingNumber(std::string_view(text))),
                  std::bit_cast<std::uint64_t>(expected))
            << text;
    }
}

} // namespace
} // namespace morvane
