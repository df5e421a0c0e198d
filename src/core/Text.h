#pragma once

#include <string>
#include <string_view>

namespace morvane {

// UTF-16 <-> UTF-8 for the edges (terminal, paths, exception texts). An
// unpaired surrogate or a malformed UTF-8 sequence becomes U+FFFD.
std::string toUtf8(std::u16string_view text);
std::u16string toUtf16(std::string_view utf8);

// Trims ASCII spaces and ideographic spaces (U+3000) at both ends.
std::u16string trimSpaces(std::u16string_view text);

} // namespace morvane
