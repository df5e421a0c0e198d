#pragma once

#include <cstdint>

namespace morvane {

// The coordinate system a file states for its points: one of the nineteen
// zones of the plane rectangular system, a local system of the survey's own,
// or nothing (SIMA files never say, and a map sheet may say something else).
struct CoordinateSystem {
    enum class Kind { Unstated, PlaneZone, Local };

    Kind kind = Kind::Unstated;
    // 1..19 for a plane rectangular zone, 0 otherwise.
    std::int32_t zone = 0;

    friend bool operator==(const CoordinateSystem&, const CoordinateSystem&) = default;
};

} // namespace morvane
