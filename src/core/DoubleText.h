#pragma once

#include <charconv>
#include <system_error>
#include <version>

namespace morvane {

// The conversions of <charconv> between doubles and text, which every
// number the reports and data formats show goes through. Some C++ libraries
// (that of the browser page's compiler among them) have them for integers
// only; there the portable ones below stand in, and they give the same
// characters and the same values.

// The same conversions through the C library's correctly rounded printf and
// strtod, which must be in the "C" locale (no front end that uses these sets
// another). Built everywhere, so that they can be compared with the standard
// ones where both exist.
namespace portable {

std::to_chars_result toChars(char* first, char* last, double value);
std::to_chars_result toChars(char* first, char* last, double value, std::chars_format format);
std::to_chars_result toChars(char* first, char* last, double value, std::chars_format format,
                             int precision);
std::from_chars_result fromChars(const char* first, const char* last, double& value);

} // namespace portable

#if defined(__cpp_lib_to_chars)

inline std::to_chars_result toChars(char* first, char* last, double value) {
    return std::to_chars(first, last, value);
}
inline std::to_chars_result toChars(char* first, char* last, double value,
                                    std::chars_format format) {
    return std::to_chars(first, last, value, format);
}
inline std::to_chars_result toChars(char* first, char* last, double value, std::chars_format format,
                                    int precision) {
    return std::to_chars(first, last, value, format, precision);
}
inline std::from_chars_result fromChars(const char* first, const char* last, double& value) {
    return std::from_chars(first, last, value);
}

#else

using portable::fromChars;
using portable::toChars;

#endif

} // namespace morvane
