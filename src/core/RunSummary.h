#pragma once

#include "core/CheckChoice.h"
#include "core/CoordinateSystem.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

namespace morvane {

// How a check ended: through all points, stopped by the user's answer after
// too many findings, or cut off because the report was full.
enum class CheckEnd { Finished, Stopped, ReportFull };

// What a completed run read, checked and found: for the command line's
// summary, the window's title and the printed pages.
struct RunSummary {
    std::filesystem::path file;
    // The encoding the file was read in, as the user would name it.
    std::string encoding = "CP932";
    // What the file states: a map sheet its zone or a local system.
    CoordinateSystem coordinateSystem;
    std::int32_t points = 0;
    // The checks that were made; the counts and endings of the others stay 0
    // and Finished.
    CheckChoice checks;
    std::int32_t duplicateNames = 0;
    std::int32_t coincidentPoints = 0;
    std::int32_t duplicateNumbers = 0;
    // The band lower <= d < tolerance; empty when tolerance <= lower.
    double lower = 0;
    double tolerance = 0;
    CheckEnd duplicateNameCheck = CheckEnd::Finished;
    CheckEnd coincidentPointCheck = CheckEnd::Finished;
    CheckEnd duplicateNumberCheck = CheckEnd::Finished;
    std::chrono::system_clock::time_point startedAt;

    bool bandEmpty() const { return !(tolerance > lower); }
    bool cutShort() const {
        return duplicateNameCheck != CheckEnd::Finished ||
               coincidentPointCheck != CheckEnd::Finished ||
               duplicateNumberCheck != CheckEnd::Finished;
    }
};

} // namespace morvane
