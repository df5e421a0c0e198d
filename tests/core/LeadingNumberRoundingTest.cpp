#include "core/LeadingNumber.h"
#include "core/RunError.h"

#include <bit>
#include <cmath>
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

// Numbers with an exponent, or too long for the shortcut, take the general
// conversion: the same double as the C library, zero where it underflows
// (with the number's sign), error 6 where it overflows.
TEST(LeadingNumber, ExponentsRoundLikeTheCLibrary) {
    std::mt19937_64 rng(34);
    const char* const exponentLetters[] = {"e", "E", "d", "D"};
    const char* const signs[] = {"", "-", "+"};
    for (int trial = 0; trial < 200'000; ++trial) {
        std::string text = signs[rng() % 3];
        const std::size_t digits = 1 + rng() % 30;
        for (std::size_t i = 0; i < digits; ++i)
            text += static_cast<char>('0' + (i == 0 && digits > 1 ? 1 + rng() % 9 : rng() % 10));
        text.insert(text.size() - rng() % digits, ".");
        text += exponentLetters[rng() % 4];
        text += signs[rng() % 3];
        text += std::to_string(rng() % 350);
        // The C library knows no D exponent.
        std::string cText = text;
        for (char& ch : cText)
            if (ch == 'd' || ch == 'D')
                ch = 'e';
        const double expected = std::strtod(cText.c_str(), nullptr);
        if (std::isinf(expected)) {
            try {
                leadingNumber(std::string_view(text));
                ADD_FAILURE() << text << " should overflow";
            } catch (const RunError& e) {
                EXPECT_EQ(e.number(), 6) << text;
            }
            continue;
        }
        ASSERT_EQ(std::bit_cast<std::uint64_t>(leadingNumber(std::string_view(text))),
                  std::bit_cast<std::uint64_t>(expected))
            << text;
    }
}

} // namespace
} // namespace morvane
