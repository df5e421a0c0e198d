#include "core/LeadingNumber.h"

#include "core/DoubleText.h"
#include "core/RunError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <type_traits>

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

// The value of the digits at the start of s; length is how many there are.
double radixNumber(std::string_view s, int radix, std::size_t& length) {
    std::uint64_t value = 0;
    length = 0;
    for (char c : s) {
        const int digit = radix == 16 ? hexValue(c) : (c >= '0' && c <= '7' ? c - '0' : -1);
        if (digit < 0)
            break;
        value = value * radix + digit;
        if (value > 0xFFFFFFFF)
            throw runError(ErrorNumber::Overflow);
        ++length;
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

// The power of ten of a number's first significant digit, exponent included
// (saturated far beyond any double): above 0 the number is large, below 0
// small. Only asked for numbers that are not all zeros.
std::int64_t decimalMagnitude(std::string_view whole, std::string_view fraction,
                              std::int64_t exponent) {
    const std::size_t firstWhole = whole.find_first_not_of('0');
    if (firstWhole != std::string_view::npos)
        return exponent + static_cast<std::int64_t>(whole.size() - firstWhole) - 1;
    const std::size_t firstFraction = fraction.find_first_not_of('0');
    return exponent - static_cast<std::int64_t>(firstFraction) - 1;
}

// The value of the number at the start of s; length is how many characters
// it takes, 0 when s starts with no number.
double decimalNumber(std::string_view s, std::size_t& length) {
    length = 0;
    std::size_t i = 0;
    const bool negative = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    const std::size_t wholeBegin = i;
    while (i < s.size() && isDigit(s[i]))
        ++i;
    const std::string_view whole = s.substr(wholeBegin, i - wholeBegin);
    std::string_view fraction;
    if (i < s.size() && s[i] == '.') {
        const std::size_t fractionBegin = ++i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
        fraction = s.substr(fractionBegin, i - fractionBegin);
    }
    if (whole.empty() && fraction.empty())
        return 0;
    length = i;

    // The number as from_chars reads it: no "+", and "e" for E, d and D.
    std::string number;
    if (negative)
        number += '-';
    number += whole;
    if (i > wholeBegin + whole.size())
        number += '.';
    number += fraction;
    std::int64_t exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        const bool negativeExponent = j < s.size() && s[j] == '-';
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        const std::size_t firstDigit = j;
        while (j < s.size() && isDigit(s[j])) {
            exponent = std::min<std::int64_t>(exponent * 10 + (s[j] - '0'), 1'000'000'000);
            ++j;
        }
        if (j > firstDigit) {
            length = j;
            number += 'e';
            number.append(s.substr(i + 1, j - i - 1));
            if (negativeExponent)
                exponent = -exponent;
        } else {
            exponent = 0;
        }
    }
    if (const auto exact = exactDecimal(number))
        return *exact;
    // from_chars, not strtod: no locale can change the decimal separator,
    // and the window toolkit sets the user's.
    double value = 0;
    const auto [end, error] = fromChars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) {
        if (decimalMagnitude(whole, fraction, exponent) > 0)
            throw runError(ErrorNumber::Overflow);
        // Too small for a double: zero, with the number's sign, as a
        // correctly rounded conversion gives.
        return negative ? -0.0 : 0.0;
    }
    return value;
}

// The leading number of a text, and whether it is the whole text: every
// character but the ignored ones is part of it.
template <typename Char> double leadingNumberOf(std::basic_string_view<Char> text, bool& whole) {
    // No character beyond ASCII can continue a number, so the first one ends
    // the text that matters.
    std::string copy;
    std::string_view s;
    bool beyondAscii = false;
    const auto plain = [](Char c) { return !isIgnored(c) && static_cast<std::uint32_t>(c) < 0x80; };
    if constexpr (std::is_same_v<Char, char>) {
        // Nearly every field of a coordinate file is such a text: read in place.
        if (std::all_of(text.begin(), text.end(), plain))
            s = text;
    }
    if (s.size() != text.size()) {
        for (Char c : text) {
            if (isIgnored(c))
                continue;
            const auto u = static_cast<std::uint32_t>(c);
            if (u >= 0x80) {
                beyondAscii = true;
                break;
            }
            copy += static_cast<char>(u);
        }
        s = copy;
    }
    std::size_t length = 0;
    double value;
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) {
        value = radixNumber(s.substr(2), 16, length);
        length += length > 0 ? 2 : 0;
    } else if (s.size() >= 2 && s[0] == '&' && (s[1] == 'O' || s[1] == 'o')) {
        value = radixNumber(s.substr(2), 8, length);
        length += length > 0 ? 2 : 0;
    } else {
        value = decimalNumber(s, length);
    }
    whole = !beyondAscii && length > 0 && length == s.size();
    return value;
}

template <typename Char> double leadingNumberOf(std::basic_string_view<Char> text) {
    bool whole;
    return leadingNumberOf(text, whole);
}

template <typename Char> std::optional<double> wholeNumberOf(std::basic_string_view<Char> text) {
    bool whole;
    const double value = leadingNumberOf(text, whole);
    return whole ? std::optional<double>(value) : std::nullopt;
}

// Full-width digits, point, signs and E, and the minus sign U+2212, as their
// ASCII forms.
std::u16string asciiNumberForms(std::u16string_view text) {
    std::u16string ascii(text);
    for (char16_t& c : ascii) {
        if (c >= u'０' && c <= u'９')
            c = static_cast<char16_t>(u'0' + (c - u'０'));
        else if (c == u'．')
            c = u'.';
        else if (c == u'＋')
            c = u'+';
        else if (c == u'－' || c == u'\u2212')
            c = u'-';
        else if (c == u'Ｅ')
            c = u'E';
        else if (c == u'ｅ')
            c = u'e';
    }
    return ascii;
}

} // namespace

double leadingNumber(std::u16string_view text) {
    return leadingNumberOf(text);
}

double fieldNumber(std::u16string_view text) {
    return leadingNumber(asciiNumberForms(text));
}

std::optional<double> wholeFieldNumber(std::u16string_view text) {
    return wholeNumberOf(std::u16string_view(asciiNumberForms(text)));
}

double leadingNumber(std::string_view text) {
    return leadingNumberOf(text);
}

std::optional<double> wholeNumber(std::string_view text) {
    return wholeNumberOf(text);
}

std::int32_t leadingInt32(std::string_view text) {
    const double rounded = std::nearbyint(leadingNumber(text));
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
        throw runError(ErrorNumber::Overflow);
    return static_cast<std::int32_t>(rounded);
}

} // namespace morvane
