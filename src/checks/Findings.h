#pragma once

#include "core/Finding.h"

#include <string_view>

namespace morvane {

struct PointTable;
class UiSink;

// Writes one finding: four list items (heading, the first point's line with
// "  較差 " and the distance, the second point's line, a spacer; each line
// with its file where a job's two points come from two) and three
// report lines (the same without the spacer, under the kind's report heading),
// which the finding, kept in table.findings, makes when they are read. A finding is written whole
// or not at all: when its three lines no longer fit in the report, nothing is written, the report
// is marked full and the user told once; returns false.
bool writeFinding(PointTable& table, UiSink& ui, FindingKind kind, double first, double second,
                  double dist);

} // namespace morvane
