#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morvane {

class UiSink;

// Usable positions are 1..TableCapacity; slot 0 exists but is never a point.
inline constexpr std::int32_t TableCapacity = 499'999;

// The point table and report buffer of a check run: 1-based, fixed capacity,
// sized once and reused by every run so that nothing is allocated per point.
struct RunData {
    RunData();

    std::vector<std::int32_t> PointNo;
    std::vector<std::u16string> PointName;
    std::vector<double> PointX;
    std::vector<double> PointY;
    // Indexed by sort position: a key and the point position it belongs to,
    // always moved together. Positions are integral values held as doubles.
    std::vector<double> SortKey;
    std::vector<double> SortIndex;
    std::vector<std::u16string> ReportLine;

    std::int32_t PointCount = 0;
    // The next report line to write; lines 1..ReportPos-1 are filled.
    std::int32_t ReportPos = 0;
    // Set once a finding no longer fits: no check adds more in this run.
    bool ReportFull = false;
};

// Empties every slot 1..TableCapacity, the counters, the result list and the
// result text.
void shokika(RunData& d, UiSink& ui);

// Converts a position held as a double back to an index: nearest, halves to even.
std::int32_t roundHalfEven(double value);

} // namespace morvane
