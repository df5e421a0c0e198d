#include "checks/LookAlikeNames.h"
#include "core/PointTable.h"

#include <stdexcept>

namespace morvane {

// Built without ICU: names compare exactly; the look-alike comparison is
// refused before a check starts, so these never run in a sound caller.
bool lookAlikeNamesAvailable() {
    return false;
}

std::optional<std::u16string> lookAlikeForm(std::u16string_view) {
    throw std::runtime_error("look-alike names are not available: built without ICU");
}

LookAlikeNames::LookAlikeNames(const PointTable& table) : m_table(table) {
    throw std::runtime_error("look-alike names are not available: built without ICU");
}

std::u16string_view LookAlikeNames::operator[](std::int32_t position) const {
    return m_table.names[position];
}

} // namespace morvane
