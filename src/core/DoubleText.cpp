#include "core/DoubleText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace morvane::portable {

namespace {

// A positive finite value as d.ddd x 10^exponent: the digits without the
// point, never with a trailing zero (but "0" for zero).
struct Decimal {
    std::string digits;
    int exponent = 0;
};

// printf's "%.*e" form of |value|, read back into digits and exponent.
Decimal scientificDigits(double value, int precision, std::string* text = nullptr) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", precision, std::fabs(value));
    Decimal d;
    const char* p = buf;
    for (; *p != 'e'; ++p)
        if (*p != '.')
            d.digits += *p;
    d.exponent = std::atoi(p + 1);
    if (text)
        *text = buf;
    return d;
}

double readBack(const Decimal& d) {
    const std::string text =
        d.digits.substr(0, 1) + "." + d.digits.substr(1) + "e" + std::to_string(d.exponent);
    return std::strtod(text.c_str(), nullptr);
}

// The next decimal of as many digits, one unit in the last digit up.
Decimal nextUp(Decimal d) {
    int i = static_cast<int>(d.digits.size()) - 1;
    for (; i >= 0 && d.digits[i] == '9'; --i)
        d.digits[i] = '0';
    if (i >= 0) {
        ++d.digits[i];
    } else {
        d.digits.insert(d.digits.begin(), '1');
        d.digits.pop_back();
        ++d.exponent;
    }
    return d;
}

void dropTrailingZeros(Decimal& d) {
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
}

// The fewest significant digits that read back as |value|, and of those the
// nearest to it, as the standard's shortest form chooses.
Decimal shortest(double value) {
    value = std::fabs(value);
    if (value == 0)
        return {"0", 0};
    int exponentBits = 0;
    // A power of two has a gap below it half the one above, so the nearest
    // decimal of a length may miss while the one above it reads back.
    const bool powerOfTwo = std::frexp(value, &exponentBits) == 0.5;
    for (int digits = 1; digits < 17; ++digits) {
        Decimal nearest = scientificDigits(value, digits - 1);
        if (readBack(nearest) == value) {
            dropTrailingZeros(nearest);
            return nearest;
        }
        if (powerOfTwo) {
            Decimal above = nextUp(nearest);
            if (readBack(above) == value) {
                dropTrailingZeros(above);
                return above;
            }
        }
    }
    Decimal all = scientificDigits(value, 16);
    dropTrailingZeros(all);
    return all;
}

std::string exponentText(int exponent) {
    std::string text = exponent < 0 ? "e-" : "e+";
    const std::string digits = std::to_string(std::abs(exponent));
    if (digits.size() < 2)
        text += '0';
    return text + digits;
}

std::string scientificText(const Decimal& d) {
    std::string text = d.digits.substr(0, 1);
    if (d.digits.size() > 1)
        text += "." + d.digits.substr(1);
    return text + exponentText(d.exponent);
}

std::string fixedText(const Decimal& d) {
    if (d.exponent < 0)
        return "0." + std::string(-d.exponent - 1, '0') + d.digits;
    const std::size_t whole = static_cast<std::size_t>(d.exponent) + 1;
    if (d.digits.size() <= whole)
        return d.digits + std::string(whole - d.digits.size(), '0');
    return d.digits.substr(0, whole) + "." + d.digits.substr(whole);
}

// Fixed notation keeps every digit of the value's integer part, as printf
// does: only the fraction is cut to what reads back.
std::string shortestFixedText(double value, const Decimal& d) {
    if (std::fabs(value) < 0x1p53)
        return fixedText(d);
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.0f", std::fabs(value));
    return buf;
}

std::to_chars_result put(char* first, char* last, const std::string& text) {
    if (static_cast<std::size_t>(last - first) < text.size())
        return {last, std::errc::value_too_large};
    std::memcpy(first, text.data(), text.size());
    return {first + text.size(), std::errc()};
}

// "inf", "-inf", "nan" or "-nan", as the standard ones write them.
std::string nonFiniteText(double value) {
    const std::string sign = std::signbit(value) ? "-" : "";
    return sign + (std::isnan(value) ? "nan" : "inf");
}

// The shortest form in fixed or scientific notation, or in the shorter of
// the two.
enum class Notation { Fixed, Scientific, Shorter };

std::string formatted(double value, Notation notation) {
    if (!std::isfinite(value))
        return nonFiniteText(value);
    const std::string sign = std::signbit(value) ? "-" : "";
    const Decimal d = shortest(value);
    if (notation == Notation::Scientific)
        return sign + scientificText(d);
    const std::string fixed = shortestFixedText(value, d);
    if (notation == Notation::Fixed)
        return sign + fixed;
    // Fixed on a tie.
    const std::string scientific = scientificText(d);
    return sign + (fixed.size() <= scientific.size() ? fixed : scientific);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool startsWithWord(const char* first, const char* last, const char* word) {
    const std::size_t n = std::strlen(word);
    if (static_cast<std::size_t>(last - first) < n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if ((first[i] | 0x20) != word[i])
            return false;
    return true;
}

} // namespace

std::to_chars_result toChars(char* first, char* last, double value) {
    return put(first, last, formatted(value, Notation::Shorter));
}

std::to_chars_result toChars(char* first, char* last, double value, std::chars_format format) {
    return put(first, last,
               formatted(value, format == std::chars_format::fixed        ? Notation::Fixed
                                : format == std::chars_format::scientific ? Notation::Scientific
                                                                          : Notation::Shorter));
}

std::to_chars_result toChars(char* first, char* last, double value, std::chars_format format,
                             int precision) {
    if (!std::isfinite(value))
        return put(first, last, nonFiniteText(value));
    const char* conversion = format == std::chars_format::fixed ? "%.*f" : "%.*e";
    const int size = std::snprintf(nullptr, 0, conversion, precision, value);
    std::string text(static_cast<std::size_t>(size), '\0');
    std::snprintf(text.data(), text.size() + 1, conversion, precision, value);
    return put(first, last, text);
}

std::from_chars_result fromChars(const char* first, const char* last, double& value) {
    const char* p = first;
    const bool negative = p != last && *p == '-';
    if (negative)
        ++p;
    if (startsWithWord(p, last, "inf")) {
        p += startsWithWord(p, last, "infinity") ? 8 : 3;
        value = negative ? -HUGE_VAL : HUGE_VAL;
        return {p, std::errc()};
    }
    if (startsWithWord(p, last, "nan")) {
        p += 3;
        // "nan(chars)": letters, digits and underscores in the parentheses.
        if (p != last && *p == '(') {
            const char* q = p + 1;
            while (q != last &&
                   (isDigit(*q) || ((*q | 0x20) >= 'a' && (*q | 0x20) <= 'z') || *q == '_'))
                ++q;
            if (q != last && *q == ')')
                p = q + 1;
        }
        value = negative ? -NAN : NAN;
        return {p, std::errc()};
    }
    bool nonZeroDigit = false;
    std::size_t digits = 0;
    for (; p != last && isDigit(*p); ++p, ++digits)
        nonZeroDigit = nonZeroDigit || *p != '0';
    if (p != last && *p == '.')
        for (++p; p != last && isDigit(*p); ++p, ++digits)
            nonZeroDigit = nonZeroDigit || *p != '0';
    if (digits == 0)
        return {first, std::errc::invalid_argument};
    if (p != last && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        if (q != last && (*q == '+' || *q == '-'))
            ++q;
        if (q != last && isDigit(*q)) {
            while (q != last && isDigit(*q))
                ++q;
            p = q;
        }
    }
    const std::string text(first, p);
    const double read = std::strtod(text.c_str(), nullptr);
    // Beyond a double either way: the value is left as it was.
    if (std::isinf(read) || (read == 0 && nonZeroDigit))
        return {p, std::errc::result_out_of_range};
    value = read;
    return {p, std::errc()};
}

} // namespace morvane::portable
