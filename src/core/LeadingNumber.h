#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace morvane {

// The value of the longest leading number in a text, after every space, tab
// and line feed is removed: optional sign, digits, decimal point, exponent
// (E or D, either case), or an "&H"/"&O" integer. No number gives 0; a value
// beyond a double throws error 6. The decimal separator is always ".".
double leadingNumber(std::u16string_view text);
// The number typed into the lower-bound or tolerance field: full-width
// digits, point, signs and E, and the minus sign U+2212, as an input method
// types them, count as their ASCII forms; then the leading-number rule.
double fieldNumber(std::u16string_view text);
// fieldNumber when its leading number is the whole text (spaces, tabs and line
// feeds aside); nothing when anything else follows it or there is no number.
std::optional<double> wholeFieldNumber(std::u16string_view text);
// The same over single-byte text (a raw field of the coordinate file; every
// byte of 0x80 and above ends the number, as a double-byte character would).
double leadingNumber(std::string_view text);
// leadingNumber when it is the whole text, as wholeFieldNumber, without the
// full-width forms: a byte of 0x80 and above is never part of a number.
std::optional<double> wholeNumber(std::string_view text);

// A point number: the leading number rounded half to even; outside the
// 32-bit range it throws error 6.
std::int32_t leadingInt32(std::string_view text);

} // namespace morvane
