#pragma once

namespace morvane {

struct PointTable;
class UiSink;
class PrinterSink;

// Prints report lines 1..nextReportLine-1 of the last run, 69 to a page, on the
// printer chosen in the printer dialog. Printer failures are skipped.
void printReport(const PointTable& table, UiSink& ui, PrinterSink& printer);

} // namespace morvane
