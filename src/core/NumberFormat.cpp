#include "core/NumberFormat.h"

#include "core/DoubleText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace morvane {

namespace {

constexpr int SignificantDigits = 15;
constexpr int Decimals = 3;

std::u16string widen(const std::string& s) {
    return std::u16string(s.begin(), s.end());
}

// The digits formatThreeDecimals shows of |value|, down to the thousandths,
// without the point: the value's 15-significant-digit decimal form rounded
// half away from zero. Empty for a value below half a thousandth. Kept on the
// stack: a report of 166,167 findings formats a million of them.
struct Thousandths {
    // The largest double has 309 integer digits; one more for a carry.
    char digits[320];
    int size = 0;
    std::string_view view() const { return {digits, static_cast<std::size_t>(size)}; }
};

// The value's 15-significant-digit decimal form: its digits, and the
// decimal exponent of the first. From to_chars, so that no locale can change
// the decimal separator.
int fifteenDigits(double magnitude, char (&digits)[SignificantDigits]) {
    char buf[64];
    // The shortest form first, at a fraction of the cost: when it has at most
    // 15 significant digits it is the 15-digit form, as 15-digit decimals lie
    // several units in the last place apart and so only one of them is within
    // half a unit of the value. Coordinates in millimetres always are.
    auto written = toChars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
    const char* mark = std::find(buf, written.ptr, 'e');
    // "d.ddde±x" or "de±x".
    const auto shortest = (mark - buf > 1 ? mark - buf - 1 : 1);
    if (shortest <= SignificantDigits) {
        digits[0] = buf[0];
        const char* rest = mark - buf > 1 ? buf + 2 : mark;
        char* end = std::copy(rest, mark, digits + 1);
        std::fill(end, digits + SignificantDigits, '0');
    } else {
        // "d.dddddddddddddde±x".
        written = toChars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific,
                          SignificantDigits - 1);
        mark = buf + SignificantDigits + 1;
        digits[0] = buf[0];
        std::copy(static_cast<const char*>(buf + 2), mark, digits + 1);
    }
    const char* exponentText = mark + 1;
    if (*exponentText == '+')
        ++exponentText;
    int exponent = 0;
    std::from_chars(exponentText, written.ptr, exponent);
    return exponent;
}

// The thousandths of a magnitude, straight from its product with 1000, for
// most values. The 15-digit form lies within 5e-15 of the value (relative),
// the product within 2^-53 of its own, so the product rounds as the form
// does unless its fraction is within about that much of a half; those (and
// values from 1e12 on) take the full conversion. Below 1e12 the product's
// whole part and fraction are exact.
std::optional<std::int64_t> quickThousandths(double magnitude) {
    if (!(magnitude < 1e12))
        return std::nullopt;
    const double scaled = magnitude * 1000;
    const double whole = std::floor(scaled);
    const double aboveHalf = scaled - whole - 0.5;
    if (!(std::fabs(aboveHalf) > scaled * 1e-14))
        return std::nullopt;
    return static_cast<std::int64_t>(whole) + (aboveHalf > 0 ? 1 : 0);
}

Thousandths thousandthsDigits(double value) {
    const double magnitude = std::fabs(value);
    if (const auto count = quickThousandths(magnitude)) {
        Thousandths kept;
        kept.size = static_cast<int>(
            std::to_chars(kept.digits, kept.digits + sizeof kept.digits, *count).ptr - kept.digits);
        return kept;
    }

    char digits[SignificantDigits];
    const int exponent = fifteenDigits(magnitude, digits);

    // The digits to keep are those down to the thousandths: exponent + 1
    // integer digits and three decimals.
    const int keep = exponent + 1 + Decimals;
    Thousandths kept;
    bool roundUp = false;
    if (keep >= SignificantDigits) {
        std::copy(digits, digits + SignificantDigits, kept.digits);
        std::fill(kept.digits + SignificantDigits, kept.digits + keep, '0');
        kept.size = keep;
    } else if (keep >= 0) {
        std::copy(digits, digits + keep, kept.digits);
        kept.size = keep;
        roundUp = digits[keep] >= '5';
    }
    if (roundUp) {
        int i = kept.size - 1;
        for (; i >= 0 && kept.digits[i] == '9'; --i)
            kept.digits[i] = '0';
        if (i >= 0) {
            ++kept.digits[i];
        } else {
            std::copy_backward(kept.digits, kept.digits + kept.size, kept.digits + kept.size + 1);
            kept.digits[0] = '1';
            ++kept.size;
        }
    }
    return kept;
}

} // namespace

char* writeThreeDecimals(char* buf, double value) {
    if (const auto count = quickThousandths(std::fabs(value))) {
        char* out = buf;
        if (value < 0)
            *out++ = '-';
        out = std::to_chars(out, out + 16, *count / 1000).ptr;
        const auto decimals = static_cast<int>(*count % 1000);
        out[0] = '.';
        out[1] = static_cast<char>('0' + decimals / 100);
        out[2] = static_cast<char>('0' + decimals / 10 % 10);
        out[3] = static_cast<char>('0' + decimals % 10);
        return out + 4;
    }
    if (!std::isfinite(value)) {
        const std::string_view word = std::isnan(value) ? "NaN" : (value < 0 ? "-Inf" : "Inf");
        return std::copy(word.begin(), word.end(), buf);
    }
    const Thousandths kept = thousandthsDigits(value);
    const std::string_view digits = kept.view();
    char* out = buf;
    if (value < 0)
        *out++ = '-';
    // At least one integer digit: the leading zeros of a short count are
    // shown down to "0.", those of a long one are none.
    const int missing = Decimals + 1 - kept.size;
    if (missing > 0) {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, missing - 1, '0');
        return std::copy(digits.begin(), digits.end(), out);
    }
    const std::size_t point = digits.size() - Decimals;
    const std::size_t firstNonZero = digits.find_first_not_of('0');
    const std::size_t start = std::min(firstNonZero, point - 1);
    out = std::copy(digits.begin() + static_cast<std::ptrdiff_t>(start),
                    digits.begin() + static_cast<std::ptrdiff_t>(point), out);
    *out++ = '.';
    return std::copy(digits.begin() + static_cast<std::ptrdiff_t>(point), digits.end(), out);
}

namespace {

template <class Text> void appendThreeDecimalsTo(Text& out, double value) {
    // A sign, the largest double's 309 integer digits and a carry, the point
    // and three decimals.
    char buf[ThreeDecimalsRoom];
    out.append(buf, writeThreeDecimals(buf, value));
}

template <class Text> void appendIntegerTo(Text& out, std::int32_t value) {
    char buf[16];
    const auto end = std::to_chars(buf, buf + sizeof buf, value).ptr;
    out.append(buf, end);
}

} // namespace

std::int64_t shownThousandths(double value) {
    if (!std::isfinite(value))
        return std::isnan(value) ? 0 : (value < 0 ? -ThousandthsLimit : ThousandthsLimit);
    const Thousandths kept = thousandthsDigits(value);
    std::int64_t count = 0;
    for (const char digit : kept.view()) {
        count = count * 10 + (digit - '0');
        if (count >= ThousandthsLimit) {
            count = ThousandthsLimit;
            break;
        }
    }
    return value < 0 ? -count : count;
}

void appendThreeDecimals(std::u16string& out, double value) {
    appendThreeDecimalsTo(out, value);
}

void appendThreeDecimals(std::string& out, double value) {
    appendThreeDecimalsTo(out, value);
}

std::u16string formatThreeDecimals(double value) {
    std::u16string out;
    appendThreeDecimals(out, value);
    return out;
}

std::u16string formatShortest(double value) {
    char buf[32];
    const auto end = toChars(buf, buf + sizeof buf, value).ptr;
    return widen(std::string(buf, end));
}

std::string formatPlainDecimal(double value) {
    // Fixed notation without a precision is still the shortest that round-
    // trips; the largest double has 309 integer digits, the smallest 1074
    // decimals.
    char buf[1100];
    const auto end = toChars(buf, buf + sizeof buf, value, std::chars_format::fixed).ptr;
    return std::string(buf, end);
}

void appendInteger(std::u16string& out, std::int32_t value) {
    appendIntegerTo(out, value);
}

void appendInteger(std::string& out, std::int32_t value) {
    appendIntegerTo(out, value);
}

std::u16string formatInteger(std::int32_t value) {
    std::u16string out;
    appendInteger(out, value);
    return out;
}

} // namespace morvane
