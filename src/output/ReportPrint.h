#pragma once

#include "core/ReportLines.h"
#include "core/RunSummary.h"

#include <optional>
#include <string>
#include <vector>

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

// One report of a document of several: its lines, and the run that made
// them (none for a source that failed, whose lines then print bare).
struct ReportToPrint {
    ReportLines lines;
    std::optional<RunSummary> run;
};

// The reports of a file of several sources, one after the other in one
// document: each starts on a new page and counts its own pages in its
// footer, as printReport prints it alone.
void printReports(const std::vector<ReportToPrint>& reports, UiSink& ui, PrinterSink& printer);

} // namespace morvane
