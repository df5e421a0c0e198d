#include "checks/Distance.h"

#include "core/DoubleText.h"
#include "core/NumberFormat.h"

#include <charconv>
#include <string>

namespace morvane {

namespace {

// The smallest whole number of millimetres at or above a bound: the ceiling
// of 1000 times the shortest decimal that reads back as it, worked out on
// its digits so that 0.05 gives 50 however the double lies beside 0.05.
std::int64_t millimetresFrom(double bound) {
    if (bound == 0)
        return 0;
    char buf[40];
    const auto end = toChars(buf, buf + sizeof buf, bound, std::chars_format::scientific).ptr;
    const std::string text(buf, end); // "-d.ddde-xx"
    const bool negative = text[0] == '-';
    const std::size_t e = text.find('e');
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < e; ++i)
        if (text[i] != '.')
            digits += text[i];
    int exponent = 0;
    const char* from = text.c_str() + e + 1;
    if (*from == '+')
        ++from;
    std::from_chars(from, text.c_str() + text.size(), exponent);

    // |bound| * 1000 = digits * 10^shift
    const int shift = exponent - static_cast<int>(digits.size()) + 1 + 3;
    if (static_cast<int>(digits.size()) + shift > 17) // far beyond any distance shown
        return negative ? -ThousandthsLimit : ThousandthsLimit;
    const int kept = static_cast<int>(digits.size()) + std::min(shift, 0);
    std::int64_t whole = 0;
    for (int i = 0; i < kept; ++i)
        whole = whole * 10 + (digits[i] - '0');
    for (int i = 0; i < shift; ++i)
        whole *= 10;
    const bool fraction = digits.find_first_not_of('0', std::max(kept, 0)) != std::string::npos;
    return negative ? -whole : whole + fraction;
}

} // namespace

DistanceBand::DistanceBand(double lower, double tolerance)
    : m_lowest(millimetresFrom(lower)), m_beyond(millimetresFrom(tolerance)) {
    m_lowest = std::max<std::int64_t>(m_lowest, 0);
    // A distance shows fewer than m_beyond millimetres only while its 15-digit
    // form is below m_beyond - 0.5; the margin covers that form's rounding.
    m_reach = empty() ? 0 : (static_cast<double>(m_beyond) - 0.5) / 1000 * (1 + 0x1p-30);
}

std::int64_t DistanceBand::exactMillimetres(double dist) {
    return shownThousandths(dist);
}

} // namespace morvane
