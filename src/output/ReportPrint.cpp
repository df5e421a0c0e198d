#include "output/ReportPrint.h"

#include "core/NumberFormat.h"
#include "core/PointTable.h"
#include "core/PrinterSink.h"
#include "core/Text.h"
#include "core/UiSink.h"
#include "core/UnitName.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <vector>

namespace morvane {

namespace {

// The printed page layout; the paper is never measured. 69 = 3 x 23, so a
// page holds whole findings of three lines each.
constexpr char16_t ReportFace[] = u"ＭＳ ゴシック";
constexpr float ReportFontPoints = 10;
constexpr float LineStartTwips = 2000;
constexpr float PageTopTwips = 1000;
constexpr std::int32_t LinesPerPage = 69;
// A report line is 10.8 points (216 twips) high at most: the stand-in face
// spaces its 10-point lines 10.78 points apart, "ＭＳ ゴシック" exactly 10.
constexpr float ReportLineTwips = 216;
// The footer is smaller than the lines it describes and sits half a line
// below where a full page's last line ends: about 800 points down, which
// leaves it 11 mm above the foot of an A4 sheet without margins.
constexpr float FooterFontPoints = 8;
constexpr float FooterTopTwips =
    PageTopTwips + LinesPerPage * ReportLineTwips + ReportLineTwips / 2;
constexpr char16_t FooterGap[] = u"　";

// Zero-padded to width; the C library's locale must not reach the paper.
std::u16string digits(std::int32_t value, int width = 1) {
    std::u16string text = formatInteger(value);
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), u'0');
    return text;
}

// "2026-12-07 14:30" in the machine's time zone, where the run was started.
std::u16string localStartTime(std::chrono::system_clock::time_point startedAt) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(startedAt);
    std::tm local{};
#ifdef _WIN32
    // Windows has the same thread-safe conversion under another name.
    if (localtime_s(&local, &seconds) != 0)
#else
    if (!localtime_r(&seconds, &local))
#endif
        return u"";
    return digits(local.tm_year + 1900, 4) + u"-" + digits(local.tm_mon + 1, 2) + u"-" +
           digits(local.tm_mday, 2) + u" " + digits(local.tm_hour, 2) + u":" +
           digits(local.tm_min, 2);
}

// Half-width cells of a character in the fixed-pitch face: ASCII and
// half-width katakana take one, everything else two.
int cellsOf(char32_t c) {
    return c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F) ? 1 : 2;
}

// The rest of a footer takes at most about 70 of the 123 cells an A4 line
// holds at 8 points; a longer file name loses its middle, so the page
// number stays on the paper and the name's start and extension stay legible.
constexpr int FooterNameCells = 50;

std::u16string footerFileName(const std::u16string& name) {
    struct Character {
        std::size_t offset;
        std::size_t units;
        int cells;
    };
    std::vector<Character> characters;
    int total = 0;
    for (std::size_t i = 0; i < name.size();) {
        const bool pair = startsSurrogatePair(name, i);
        const Character c{i, pair ? 2u : 1u, pair ? 2 : cellsOf(name[i])};
        characters.push_back(c);
        total += c.cells;
        i += c.units;
    }
    if (total <= FooterNameCells)
        return name;
    // The ellipsis is full width in a Japanese face.
    const int half = (FooterNameCells - 2) / 2;
    std::size_t headEnd = 0;
    for (int cells = 0; const Character& c : characters) {
        if (cells + c.cells > half)
            break;
        cells += c.cells;
        headEnd = c.offset + c.units;
    }
    std::size_t tailStart = name.size();
    // Reverse iterators, not std::views: clang 14 (the fuzz build) cannot
    // compile libstdc++ 12's range views.
    int tailCells = 0;
    for (auto c = characters.rbegin(); c != characters.rend(); ++c) {
        if (tailCells + c->cells > half)
            break;
        tailCells += c->cells;
        tailStart = c->offset;
    }
    return name.substr(0, headEnd) + u"…" + name.substr(tailStart);
}

std::u16string footerText(const RunSummary& run, std::int32_t page, std::int32_t pages) {
    std::u16string text = footerFileName(toUtf16(shownUnitName(run.file).string()));
    text += FooterGap + (u"較差 " + formatShortest(run.lower) + u" から " +
                         formatShortest(run.tolerance) + u" m");
    text += FooterGap + localStartTime(run.startedAt);
    text += FooterGap + digits(page) + u" / " + digits(pages);
    if (run.cutShort())
        text += FooterGap + std::u16string(u"打ち切り");
    return text;
}

void printFooter(PrinterSink& printer, const std::u16string& text) {
    printer.setFontSize(FooterFontPoints);
    printer.setCurrentY(FooterTopTwips);
    printer.setCurrentX(LineStartTwips);
    printer.printLine(text);
}

} // namespace

namespace {

// The pages of one report, from the top of the current page on; leaves the
// last page open.
void printPages(const ReportLines& lines, const std::optional<RunSummary>& run,
                PrinterSink& printer) {
    printer.setFontName(ReportFace);
    printer.setFontSize(ReportFontPoints);
    printer.setCurrentX(LineStartTwips);
    printer.setCurrentY(PageTopTwips);

    const auto lineCount = static_cast<std::int32_t>(lines.size());
    // A run without findings still gets its page, so the paper says which
    // file was checked and found clean.
    const std::int32_t pages = std::max((lineCount + LinesPerPage - 1) / LinesPerPage, 1);

    std::int32_t page = 1;
    for (std::int32_t i = 1; i <= lineCount; ++i) {
        printer.setCurrentX(LineStartTwips);
        printer.printLine(lines[static_cast<std::size_t>(i - 1)]);
        if (i % LinesPerPage == 0 && i < lineCount) {
            if (run)
                printFooter(printer, footerText(*run, page, pages));
            printer.newPage();
            ++page;
            if (run)
                printer.setFontSize(ReportFontPoints);
            printer.setCurrentY(PageTopTwips);
        }
    }
    if (run)
        printFooter(printer, footerText(*run, page, pages));
}

} // namespace

void printReport(const PointTable& table, const std::optional<RunSummary>& run, UiSink& ui,
                 PrinterSink& printer) {
    printReports({{table.writtenReportLines(), run}}, ui, printer);
}

void printReports(const std::vector<ReportToPrint>& reports, UiSink& ui, PrinterSink& printer) {
    if (!ui.choosePrinter())
        return;
    for (std::size_t i = 0; i < reports.size(); ++i) {
        if (i > 0)
            printer.newPage();
        printPages(reports[i].lines, reports[i].run, printer);
    }
    printer.endDocument();
}

} // namespace morvane
