#include "core/LeadingNumber.h"
#include "core/NumberFormat.h"
#include "core/Text.h"
#include "support/Locales.h"

#include <bit>
#include <cstdint>

#include <gtest/gtest.h>

namespace morvane {
namespace {

// The window toolkit sets the C library's locale from the environment; a
// report must read the same whatever it is.
class NumberLocale : public testing::Test {
protected:
    static void SetUpTestSuite() { s_ready = test::ensureNumberLocales(s_why); }
    void SetUp() override { ASSERT_TRUE(s_ready) << s_why; }

    static inline bool s_ready = false;
    static inline std::string s_why;
};

struct FormatCase {
    double value;
    std::u16string_view text;
};

constexpr FormatCase Formats[] = {
    {0.354, u"0.354"},
    {-42102.3455, u"-42102.346"},
    {1234567.5, u"1234567.500"},
    {1e15, u"1000000000000000.000"},
};

TEST_F(NumberLocale, FormatsIgnoreTheLocale) {
    for (const char* name : test::NumberLocales) {
        test::ScopedLocale locale(name);
        ASSERT_TRUE(locale.active()) << name;
        SCOPED_TRACE(name);
        for (const auto& c : Formats)
            EXPECT_EQ(toUtf8(formatThreeDecimals(c.value)), toUtf8(c.text));
        EXPECT_EQ(toUtf8(formatInteger(-1234567)), "-1234567");
        EXPECT_EQ(formatPlainDecimal(-1234567.25), "-1234567.25");
    }
}

struct ParseCase {
    const char* text;
    double value;
};

// Long and exponent forms take the general conversion, short ones a shortcut.
constexpr ParseCase Parses[] = {
    {"0.354", 0.354}, {"-12345.678901234567890", -12345.678901234567890},
    {"1.5e3", 1500},  {"2,5", 2},
    {"1D-2", 0.01},   {"1e-400", 0},
};

TEST_F(NumberLocale, ParsingIgnoresTheLocale) {
    for (const char* name : test::NumberLocales) {
        test::ScopedLocale locale(name);
        ASSERT_TRUE(locale.active()) << name;
        for (const auto& c : Parses) {
            SCOPED_TRACE(std::string(name) + " " + c.text);
            EXPECT_EQ(std::bit_cast<std::uint64_t>(leadingNumber(std::string_view(c.text))),
                      std::bit_cast<std::uint64_t>(c.value));
        }
    }
}

} // namespace
} // namespace morvane
