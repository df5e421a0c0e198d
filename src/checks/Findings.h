#pragma once

#include "core/Finding.h"

#include <string_view>

namespace morvane {

struct PointTable;
class UiSink;

// Writes one finding: four list items (heading, the first point's line with
// "  較差 " and the distance, the second point's line, a spacer; each line
// with its file where a job's two points come from two) and three
// report lines (the same without the spacer). A finding is written whole or
// not at all: when its three lines no longer fit in the report, nothing is
// written, the report is marked full and the user told once; returns false.
// A written finding is also kept as data in table.findings.
bool writeFinding(PointTable& table, UiSink& ui, FindingKind kind, std::u16string_view listHeading,
                  std::u16string_view reportHeading, double first, double second, double dist);

} // namespace morvane
