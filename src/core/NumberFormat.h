#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace morvane {

// A value with exactly three decimals and at least one integer digit, no
// grouping, no padding: the "##0.000" and "########0.000" patterns. Rounding
// works on the value's 15-significant-digit decimal form, half away from zero,
// so 1.0005 shows 1.001 as a surveyor reading the file expects. A "-" goes
// first whenever the value is below zero, even if every digit shown is 0.
std::u16string formatThreeDecimals(double value);
// The same, added to the end of out (in UTF-16 or in UTF-8).
void appendThreeDecimals(std::u16string& out, double value);
void appendThreeDecimals(std::string& out, double value);

// The text formatThreeDecimals makes, in ASCII at buf, which has room for
// ThreeDecimalsRoom characters; returns its end.
inline constexpr std::size_t ThreeDecimalsRoom = 320;
char* writeThreeDecimals(char* buf, double value);

// The thousandths formatThreeDecimals shows, as a count: 0.0495 shows
// "0.050" and gives 50. Beyond ±ThousandthsLimit (and for infinities) the
// count stops there; NaN gives 0.
inline constexpr std::int64_t ThousandthsLimit = std::int64_t{1} << 60;
std::int64_t shownThousandths(double value);

// The "#####0" pattern: plain decimal digits, a leading "-" for negatives.
std::u16string formatInteger(std::int32_t value);
// The same, added to the end of out (in UTF-16 or in UTF-8).
void appendInteger(std::u16string& out, std::int32_t value);
void appendInteger(std::string& out, std::int32_t value);

// The shortest text that reads back as the same double ("0.05", "1e-07"), for
// showing a band as the user typed it.
std::u16string formatShortest(double value);

// The shortest plain decimal that reads back as the same double: never an
// exponent ("0.0000001", "123456789012"), no grouping, "." whatever the
// locale; "inf", "-inf" or "nan" for a value that is no number. ASCII, for
// the data formats, which are written in UTF-8.
std::string formatPlainDecimal(double value);

} // namespace morvane
