#include "core/NumberFormat.h"

#include "core/DoubleText.h"

#include <charconv>
#include <cmath>
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
// half away from zero. Empty for a value below half a thousandth.
std::string thousandthsDigits(double value) {
    // "d.dddddddddddddde±x": 15 significant digits and a decimal exponent,
    // from to_chars so that no locale can change the decimal separator.
    char buf[64];
    const auto scientific = toChars(buf, buf + sizeof buf, std::fabs(value),
                                    std::chars_format::scientific, SignificantDigits - 1);
    std::string digits;
    digits += buf[0];
    digits.append(buf + 2, SignificantDigits - 1);
    const char* exponentText = buf + SignificantDigits + 2;
    if (*exponentText == '+')
        ++exponentText;
    int exponent = 0;
    std::from_chars(exponentText, scientific.ptr, exponent);

    // The digits to keep are those down to the thousandths: exponent + 1
    // integer digits and three decimals.
    const int keep = exponent + 1 + Decimals;
    std::string kept;
    bool roundUp = false;
    if (keep >= SignificantDigits) {
        kept = digits + std::string(keep - SignificantDigits, '0');
    } else if (keep >= 0) {
        kept = digits.substr(0, keep);
        roundUp = digits[keep] >= '5';
    }
    if (roundUp) {
        int i = static_cast<int>(kept.size()) - 1;
        for (; i >= 0 && kept[i] == '9'; --i)
            kept[i] = '0';
        if (i >= 0)
            ++kept[i];
        else
            kept.insert(kept.begin(), '1');
    }
    return kept;
}

} // namespace

std::int64_t shownThousandths(double value) {
    if (!std::isfinite(value))
        return std::isnan(value) ? 0 : (value < 0 ? -ThousandthsLimit : ThousandthsLimit);
    const std::string kept = thousandthsDigits(value);
    std::int64_t count = 0;
    for (const char digit : kept) {
        count = count * 10 + (digit - '0');
        if (count >= ThousandthsLimit) {
            count = ThousandthsLimit;
            break;
        }
    }
    return value < 0 ? -count : count;
}

std::u16string formatThreeDecimals(double value) {
    if (!std::isfinite(value))
        return widen(std::isnan(value) ? "NaN" : (value < 0 ? "-Inf" : "Inf"));

    std::string kept = thousandthsDigits(value);
    if (kept.size() < Decimals + 1)
        kept.insert(0, Decimals + 1 - kept.size(), '0');
    const std::size_t point = kept.size() - Decimals;
    const std::size_t firstNonZero = kept.find_first_not_of('0');
    const std::size_t start = std::min(firstNonZero, point - 1);

    std::string out = value < 0 ? "-" : "";
    out += kept.substr(start, point - start);
    out += '.';
    out += kept.substr(point);
    return widen(out);
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

std::u16string formatInteger(std::int32_t value) {
    char buf[16];
    const auto end = std::to_chars(buf, buf + sizeof buf, value).ptr;
    return widen(std::string(buf, end));
}

} // namespace morvane
