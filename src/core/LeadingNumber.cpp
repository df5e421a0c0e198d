#include "core/LeadingNumber.h"

#include "core/RunError.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <optional>
#include <string>

namespace morvane {

namespace {

template <typename Char> bool isIgnored(Char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Values up to 16 bits wrap to a signed 16-bit integer and up to 32 bits to a
// signed 32-bit one, so "&HFFFF" is -1 and "&H10000" is 65536.
double wrapRadixValue(std::uint64_t value) {
    if (value <= 0xFFFF)
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    if (value <= 0xFFFFFFFF)
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    throw runError(ErrorNumber::Overflow);
}

double radixNumber(std::string_view s, int radix) {
    std::uint64_t value = 0;
    for (char c : s) {
        const int digit = radix == 16 ? hexValue(c) : (c >= '0' && c <= '7' ? c - '0' : -1);
        if (digit < 0)
            break;
        value = value * radix + digit;
        if (value > 0xFFFFFFFF)
            throw runError(ErrorNumber::Overflow);
    }
    return wrapRadixValue(value);
}

// Digits and decimals that fit a double exactly, divided once by an exact
// power of ten: one correctly rounded operation, so the same value strtod
// gives, without its cost on the hundreds of thousands of coordinates of a
// large file. Nothing for a number with an exponent or too many digits.
std::optional<double> exactDecimal(std::string_view number) {
    constexpr std::uint64_t ExactLimit = std::uint64_t(1) << 53;
    static constexpr double PowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                             1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    std::size_t i = 0;
    const bool negative = !number.empty() && number[0] == '-';
    if (!number.empty() && (number[0] == '-' || number[0] == '+'))
        ++i;
    std::uint64_t mantissa = 0;
    std::size_t decimals = 0;
    bool point = false;
    for (; i < number.size(); ++i) {
        if (number[i] == '.') {
            point = true;
            continue;
        }
        if (!isDigit(number[i]))
            return std::nullopt;
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(number[i] - '0');
        if (mantissa > ExactLimit)
            return std::nullopt;
        decimals += point;
    }
    if (decimals >= std::size(PowersOfTen))
        return std::nullopt;
    const double magnitude = static_cast<double>(mantissa) / PowersOfTen[decimals];
    return negative ? -magnitude : magnitude;
}

double decimalNumber(std::string_view s) {
    std::string number;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        number += s[i++];
    bool digits = false;
    while (i < s.size() && isDigit(s[i]))
        number += s[i++], digits = true;
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        while (i < s.size() && isDigit(s[i]))
            number += s[i++], digits = true;
    }
    if (!digits)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exponent += s[j++];
        const std::size_t firstDigit = j;
        while (j < s.size() && isDigit(s[j]))
            exponent += s[j++];
        if (j > firstDigit)
            number += exponent;
    }
    if (const auto exact = exactDecimal(number))
        return *exact;
    // strtod in the "C" locale: the window toolkit sets the user's locale,
    // whose decimal separator may be a comma.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    const double value = strtod_l(number.c_str(), nullptr, cLocale);
    if (std::isinf(value))
        throw runError(ErrorNumber::Overflow);
    return value;
}

template <typename Char> double leadingNumberOf(std::basic_string_view<Char> text) {
    // No character beyond ASCII can continue a number, so the first one ends
    // the text that matters.
    std::string s;
    for (Char c : text) {
        if (isIgnored(c))
            continue;
        const auto u = static_cast<std::uint32_t>(c);
        if (u >= 0x80)
            break;
        s += static_cast<char>(u);
    }
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h')
            return radixNumber(std::string_view(s).substr(2), 16);
        if (s[1] == 'O' || s[1] == 'o')
            return radixNumber(std::string_view(s).substr(2), 8);
    }
    return decimalNumber(s);
}

} // namespace

double leadingNumber(std::u16string_view text) {
    return leadingNumberOf(text);
}

double leadingNumber(std::string_view text) {
    return leadingNumberOf(text);
}

std::int32_t leadingInt32(std::string_view text) {
    const double rounded = std::nearbyint(leadingNumber(text));
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
        throw runError(ErrorNumber::Overflow);
    return static_cast<std::int32_t>(rounded);
}

} // namespace morvane
