#include "core/UnitName.h"

#include "core/PathText.h"

#include <string>

namespace morvane {

namespace {

bool endsWithZip(const std::string& text, std::size_t end) {
    if (end < 4)
        return false;
    std::string tail = text.substr(end - 4, 4);
    for (char& c : tail)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return tail == ".zip";
}

} // namespace

std::filesystem::path shownUnitName(const std::filesystem::path& displayName) {
    const std::string name = displayName.string();
    // Only ZIP files are opened as archives, so the first ".zip:" ends the
    // file's own path; a member's folders come after it.
    for (std::size_t colon = name.find(':'); colon != std::string::npos;
         colon = name.find(':', colon + 1)) {
        if (endsWithZip(name, colon) && colon + 1 < name.size())
            return pathFromUtf8(
                pathFromUtf8(std::string_view(name).substr(0, colon)).filename().string() +
                name.substr(colon));
    }
    return displayName.filename();
}

} // namespace morvane
