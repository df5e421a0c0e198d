#pragma once

#include <cstdint>

namespace morvane {

enum class FindingKind { DuplicateName, CoincidentPoint, DuplicateNumber };

// One finding as data, beside its report lines: the two points (table
// positions) in the order the report gives them, and their distance.
struct Finding {
    FindingKind kind = FindingKind::DuplicateName;
    std::int32_t first = 0;
    std::int32_t second = 0;
    double distance = 0;
};

// A finding is written as three report lines: its heading, then the line of
// each point. Everything that maps report lines to findings goes through these.
inline constexpr std::int32_t ReportLinesPerFinding = 3;

// The finding whose lines include a report line, counted 0-based from the
// first line of the findings.
constexpr std::int32_t findingAtReportLine(std::int32_t line) {
    return line / ReportLinesPerFinding;
}

// The first report line (0-based, as above) of a finding.
constexpr std::int32_t firstReportLineOf(std::int32_t finding) {
    return finding * ReportLinesPerFinding;
}

// How many findings a stretch of report lines holds.
constexpr std::int32_t findingsInReportLines(std::int32_t lines) {
    return lines / ReportLinesPerFinding;
}

} // namespace morvane
