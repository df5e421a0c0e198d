#pragma once

#include <cstdint>

namespace morvane {

enum class FindingKind { DuplicateName, CoincidentPoint };

// One finding as data, beside its report lines: the two points (table
// positions) in the order the report gives them, and their distance.
struct Finding {
    FindingKind kind = FindingKind::DuplicateName;
    std::int32_t first = 0;
    std::int32_t second = 0;
    double distance = 0;
};

} // namespace morvane
