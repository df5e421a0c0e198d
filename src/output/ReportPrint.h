#pragma once

#include "core/RunSummary.h"

#include <optional>

namespace morvane {

struct PointTable;
class UiSink;
class PrinterSink;

// Prints report lines 1..nextReportLine-1 of the last run, 69 to a page, on the
// printer chosen in the printer dialog. Printer failures are skipped.
// With the run that made the lines, every page (at least one, even without
// lines) carries a footer below its lines: file name, band, start time, page
// n / N, and 打ち切り when a check ended early. Without a run (nothing has
// completed yet) the lines print bare.
void printReport(const PointTable& table, const std::optional<RunSummary>& run, UiSink& ui,
                 PrinterSink& printer);

} // namespace morvane
