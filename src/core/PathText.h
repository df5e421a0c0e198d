#pragma once

#include <filesystem>
#include <string_view>

namespace morvane {

// The path that UTF-8 text (an argument, a name built from one) names. On
// Windows a path made from a plain string reads it in the C library's code
// page, which no setting makes UTF-8, so a Japanese name would be lost; the
// text goes in as UTF-8 there. Elsewhere the bytes are the path, as before.
std::filesystem::path pathFromUtf8(std::string_view utf8);

} // namespace morvane
