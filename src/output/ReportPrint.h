#pragma once

namespace morvane {

struct RunData;
class UiSink;
class PrinterSink;

// Prints report lines 1..ReportPos-1 of the last run, 69 to a page, on the
// printer chosen in the printer dialog. Printer failures are skipped.
void Command2_Click(const RunData& d, UiSink& ui, PrinterSink& printer);

} // namespace morvane
