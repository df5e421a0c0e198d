#include "output/ReportPrint.h"

#include "core/PointTable.h"
#include "core/PrinterSink.h"
#include "core/UiSink.h"

#include <algorithm>
#include <cstdint>

namespace morvane {

namespace {

// The printed page layout: no header, no page number, and the paper is never
// measured. 69 = 3 x 23, so a page holds whole findings of three lines each.
constexpr char16_t ReportFace[] = u"ＭＳ ゴシック";
constexpr float ReportFontPoints = 10;
constexpr float LineStartTwips = 2000;
constexpr float PageTopTwips = 1000;
constexpr std::int32_t LinesPerPage = 69;

} // namespace

void printReport(const PointTable& table, UiSink& ui, PrinterSink& printer) {
    if (!ui.choosePrinter())
        return;

    // A failing printer step is skipped on purpose: the rest of the report
    // still prints, and endDocument is always attempted.
    printer.setFontName(ReportFace);
    printer.setFontSize(ReportFontPoints);
    printer.setCurrentX(LineStartTwips);
    printer.setCurrentY(PageTopTwips);

    // The buffer never holds more than its slots, but a counter that claims
    // otherwise must not read past them.
    const auto slots = static_cast<std::int64_t>(table.reportLines.size());
    const auto end = static_cast<std::int32_t>(std::min<std::int64_t>(table.nextReportLine, slots));
    for (std::int32_t i = 1; i < end; ++i) {
        printer.setCurrentX(LineStartTwips);
        printer.printLine(table.reportLines[i]);
        if (i % LinesPerPage == 0) {
            printer.newPage();
            printer.setCurrentY(PageTopTwips);
        }
    }

    printer.endDocument();
}

} // namespace morvane
