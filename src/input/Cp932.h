#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace morvane {

// Code page 932 as glibc's "CP932" maps it, not "SHIFT_JIS": 0x5C is the
// backslash and 0x8160 U+FF5E, as the files' authors' systems read them. The
// core carries the mapping (input/Cp932Table.h), so names decode and their
// keys order the same on every platform.

// Code page 932 text to UTF-16. A byte that does not decode becomes U+FFFD
// and decoding goes on with the next byte.
std::u16string decodeCp932(std::string_view bytes);

// The character's code in code page 932: 0..255 for one byte, the two-byte
// code as a signed 16-bit value (so most Japanese characters are negative),
// and 63 ("?") for a character without a code page 932 form, U+FFFD included.
std::int16_t cp932Code(char16_t c);

// Sum of code(c_i) * 10^(L-i) over the L characters of the name, added term
// by term in double precision; a term or sum beyond a double throws error 6.
// A surrogate pair is one character, code 63. The key only orders names so
// that equal ones meet: different names can share a key (a long name loses
// its last characters to rounding, and the codes overlap across places), so
// the duplicate-name check compares the names themselves among equal keys.
double NameKey(std::u16string_view name);

} // namespace morvane
