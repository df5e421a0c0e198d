#include "core/PathText.h"

#include <string>

namespace morvane {

std::filesystem::path pathFromUtf8(std::string_view utf8) {
#ifdef _WIN32
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#else
    return std::filesystem::path(utf8);
#endif
}

} // namespace morvane
