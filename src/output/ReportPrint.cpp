#include "output/ReportPrint.h"

#include "output/PrinterSink.h"
#include "run/RunData.h"
#include "run/UiSink.h"

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

void Command2_Click(const RunData& d, UiSink& ui, PrinterSink& printer) {
    if (!ui.ChoosePrinter())
        return;

    // A failing printer step is skipped on purpose: the rest of the report
    // still prints, and EndDoc is always attempted.
    printer.SetFontName(ReportFace);
    printer.SetFontSize(ReportFontPoints);
    printer.SetCurrentX(LineStartTwips);
    printer.SetCurrentY(PageTopTwips);

    // The buffer never holds more than its slots, but a counter that claims
    // otherwise must not read past them.
    const auto slots = static_cast<std::int64_t>(d.ReportLine.size());
    const auto end = static_cast<std::int32_t>(std::min<std::int64_t>(d.ReportPos, slots));
    for (std::int32_t i = 1; i < end; ++i) {
        printer.SetCurrentX(LineStartTwips);
        printer.PrintLine(d.ReportLine[i]);
        if (i % LinesPerPage == 0) {
            printer.NewPage();
            printer.SetCurrentY(PageTopTwips);
        }
    }

    printer.EndDoc();
}

} // namespace morvane
