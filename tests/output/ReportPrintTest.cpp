#include "output/ReportPrint.h"

#include "core/PointTable.h"
#include "support/LocalTime.h"
#include "support/PointTableFixture.h"
#include "support/RecordingPrinterSink.h"
#include "support/RecordingUiSink.h"
#include "support/TestPoints.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace morvane {
namespace {

class ReportPrintTest : public test::PointTableFixture {
protected:
    // Lines 1..count, each one distinct so that order and identity show.
    static std::vector<std::u16string> reportOf(std::int32_t count) {
        std::vector<std::u16string> lines;
        for (std::int32_t i = 1; i <= count; ++i)
            lines.push_back(u"点" + std::u16string(1, u'0' + i % 10) + u" 行" +
                            std::u16string(static_cast<std::size_t>(i / 10 + 1), u'ー'));
        return lines;
    }
};

// The print command over lines given as text, as over a run's findings.
void printReport(const std::vector<std::u16string>& lines, const std::optional<RunSummary>& run,
                 UiSink& ui, PrinterSink& printer) {
    printReports({{ReportLines(lines), run}}, ui, printer);
}

// The printer dialog is the only window operation the command uses.
const std::vector<std::string> OneDialog{"choosePrinter"};
const std::vector<std::string> TwoDialogs{"choosePrinter", "choosePrinter"};

RunSummary sampleRun() {
    RunSummary run;
    run.file = std::filesystem::path("現場") / "sample.sim";
    run.lower = 0;
    run.tolerance = 0.05;
    run.startedAt = test::localTime(2026, 12, 7, 14, 30, 59);
    return run;
}

std::u16string sampleFooter(std::int32_t page, std::int32_t pages) {
    return u"sample.sim　較差 0 から 0.05 m　2026-12-07 14:30　" + std::u16string(1, u'0' + page) +
           u" / " + std::u16string(1, u'0' + pages);
}

PrinterOp fontName() {
    return {PrinterOpKind::FontName, u"ＭＳ ゴシック"};
}
PrinterOp fontSize(float points) {
    return {PrinterOpKind::FontSize, {}, points};
}
PrinterOp x2000() {
    return {PrinterOpKind::MoveX, {}, 2000};
}
PrinterOp moveY(float twips) {
    return {PrinterOpKind::MoveY, {}, twips};
}
PrinterOp line(const std::u16string& text) {
    return {PrinterOpKind::Line, text};
}
PrinterOp newPage() {
    return {PrinterOpKind::PageBreak};
}
PrinterOp endDoc() {
    return {PrinterOpKind::EndDocument};
}

// 8 points, half a line below where line 69 of 216 twips ends: 1000 + 69.5 x 216.
void addFooter(std::vector<PrinterOp>& ops, const std::u16string& text) {
    ops.insert(ops.end(), {fontSize(8), moveY(16012), x2000(), line(text)});
}

// The whole job for lines 1..lineCount of d, with a page break after each line
// listed in breaksAfter. footers holds each page's footer, none without a run.
std::vector<PrinterOp> job(const std::vector<std::u16string>& d, std::int32_t lineCount,
                           const std::set<std::int32_t>& breaksAfter,
                           const std::vector<std::u16string>& footers = {}) {
    std::vector<PrinterOp> ops{fontName(), fontSize(10), x2000(), moveY(1000)};
    std::size_t page = 0;
    for (std::int32_t i = 1; i <= lineCount; ++i) {
        ops.push_back(x2000());
        ops.push_back(line(d[static_cast<std::size_t>(i - 1)]));
        if (breaksAfter.contains(i)) {
            if (!footers.empty())
                addFooter(ops, footers.at(page++));
            ops.push_back(newPage());
            if (!footers.empty())
                ops.push_back(fontSize(10));
            ops.push_back(moveY(1000));
        }
    }
    if (!footers.empty())
        addFooter(ops, footers.at(page));
    ops.push_back(endDoc());
    return ops;
}

std::vector<std::u16string> sampleFooters(std::int32_t pages) {
    std::vector<std::u16string> footers;
    for (std::int32_t page = 1; page <= pages; ++page)
        footers.push_back(sampleFooter(page, pages));
    return footers;
}

struct PagingCase {
    const char* what;
    std::int32_t reportPos;
    std::set<std::int32_t> breaksAfter;
    std::int32_t pages;
};

const PagingCase PagingCases[] = {
    {"counter never set", 0, {}, 1},
    {"run without findings", 1, {}, 1},
    {"one line", 2, {}, 1},
    {"one finding", 4, {}, 1},
    {"68 lines", 69, {}, 1},
    {"69 lines fill one page", 70, {}, 1},
    {"70 lines start a second page", 71, {69}, 2},
    {"138 lines fill two pages", 139, {69}, 2},
    {"139 lines", 140, {69, 138}, 3},
};

TEST_F(ReportPrintTest, PrintsEveryLineAndEachPageEndsWithItsFooter) {
    for (const auto& c : PagingCases) {
        SCOPED_TRACE(c.what);
        const auto d = reportOf(c.reportPos - 1);
        RecordingUiSink ui;
        RecordingPrinterSink printer;

        printReport(d, sampleRun(), ui, printer);

        EXPECT_EQ(ui.calls, OneDialog);
        const std::int32_t lines = c.reportPos > 1 ? c.reportPos - 1 : 0;
        EXPECT_EQ(printer.ops, job(d, lines, c.breaksAfter, sampleFooters(c.pages)));
    }
}

// Nothing has completed yet: no run to describe, so the lines (if any were
// left) print as they are and nothing is added.
TEST_F(ReportPrintTest, WithoutARunTheLinesPrintBare) {
    const std::pair<std::int32_t, std::set<std::int32_t>> cases[] = {{0, {}}, {70, {69}}};
    for (const auto& [lines, breaks] : cases) {
        SCOPED_TRACE(lines);
        const auto d = reportOf(lines);
        RecordingUiSink ui;
        RecordingPrinterSink printer;

        printReport(d, std::nullopt, ui, printer);

        EXPECT_EQ(printer.ops, job(d, lines, breaks));
    }
}

struct FooterCase {
    const char* what;
    std::function<void(RunSummary&)> change;
    std::u16string_view footer;
};

const FooterCase FooterCases[] = {
    {"as run", [](RunSummary&) {}, u"sample.sim　較差 0 から 0.05 m　2026-12-07 14:30　1 / 1"},
    {"the file name only, never its folder",
     [](RunSummary& r) { r.file = std::filesystem::path("/") / "測量" / "現場Ａ.sim"; },
     u"現場Ａ.sim　較差 0 から 0.05 m　2026-12-07 14:30　1 / 1"},
    {"a long name loses its middle, never the page number",
     [](RunSummary& r) {
         r.file = u8"令和8年度_千葉県_地籍調査_第12工区_境界点_観測結果_最終版_修正3回目.sim";
     },
     u"令和8年度_千葉県_地籍調…果_最終版_修正3回目.sim　較差 0 から 0.05 m　2026-12-07 14:30　1 / "
     u"1"},
    {"ASCII counts half", [](RunSummary& r) { r.file = std::string(50, 'a') + ".sim"; },
     u"aaaaaaaaaaaaaaaaaaaaaaaa…aaaaaaaaaaaaaaaaaaaa.sim　較差 0 から 0.05 m　2026-12-07 14:30　1 "
     u"/ 1"},
    {"band numbers as typed",
     [](RunSummary& r) {
         r.lower = 0.005;
         r.tolerance = 12.5;
     },
     u"sample.sim　較差 0.005 から 12.5 m　2026-12-07 14:30　1 / 1"},
    {"an empty band as it was given",
     [](RunSummary& r) {
         r.lower = 0.1;
         r.tolerance = 0.1;
     },
     u"sample.sim　較差 0.1 から 0.1 m　2026-12-07 14:30　1 / 1"},
    {"single digits padded",
     [](RunSummary& r) { r.startedAt = test::localTime(2027, 1, 5, 9, 4, 0); },
     u"sample.sim　較差 0 から 0.05 m　2027-01-05 09:04　1 / 1"},
    {"duplicate-name check stopped",
     [](RunSummary& r) { r.duplicateNameCheck = CheckEnd::Stopped; },
     u"sample.sim　較差 0 から 0.05 m　2026-12-07 14:30　1 / 1　打ち切り"},
    {"report full in the coincident-point check",
     [](RunSummary& r) { r.coincidentPointCheck = CheckEnd::ReportFull; },
     u"sample.sim　較差 0 から 0.05 m　2026-12-07 14:30　1 / 1　打ち切り"},
};

TEST_F(ReportPrintTest, TheFooterSaysWhichRunThePageIsOf) {
    for (const auto& c : FooterCases) {
        SCOPED_TRACE(c.what);
        const auto d = reportOf(3);
        RunSummary run = sampleRun();
        c.change(run);
        RecordingUiSink ui;
        RecordingPrinterSink printer;

        printReport(d, run, ui, printer);

        ASSERT_GE(printer.ops.size(), 2u);
        EXPECT_EQ(printer.ops[printer.ops.size() - 2], line(std::u16string(c.footer)));
    }
}

TEST_F(ReportPrintTest, CancelIssuesNoPrinterOperationAndTheNextClickAsksAgain) {
    const auto d = reportOf(3);
    RecordingUiSink ui;
    ui.printerConfirmed = false;
    RecordingPrinterSink printer;

    printReport(d, sampleRun(), ui, printer);
    EXPECT_EQ(ui.calls, OneDialog);
    EXPECT_TRUE(printer.ops.empty());

    ui.printerConfirmed = true;
    printReport(d, sampleRun(), ui, printer);
    EXPECT_EQ(ui.calls, TwoDialogs);
    EXPECT_EQ(printer.ops, job(d, 3, {}, sampleFooters(1)));
}

TEST_F(ReportPrintTest, PrintingTwicePrintsTheSameReportTwice) {
    const auto d = reportOf(70);
    RecordingUiSink ui;
    RecordingPrinterSink first;
    RecordingPrinterSink second;

    printReport(d, sampleRun(), ui, first);
    printReport(d, sampleRun(), ui, second);

    EXPECT_EQ(first.ops, second.ops);
    EXPECT_EQ(ui.calls, TwoDialogs) << "the print command shows nothing and touches no control";
}

struct FailureCase {
    const char* what;
    PrinterOpKind kind;
    std::int32_t occurrence;
};

// A failing step is skipped and the job goes on unchanged: the calls made are
// the same as when nothing fails.
const FailureCase FailureCases[] = {
    {"font name", PrinterOpKind::FontName, 1},
    {"font size", PrinterOpKind::FontSize, 1},
    {"first position", PrinterOpKind::MoveY, 1},
    {"a line mid-page", PrinterOpKind::Line, 5},
    {"the line that fills the page", PrinterOpKind::Line, 69},
    {"the footer's size", PrinterOpKind::FontSize, 2},
    {"the footer's position", PrinterOpKind::MoveY, 2},
    {"the first footer", PrinterOpKind::Line, 70},
    {"the first page break", PrinterOpKind::PageBreak, 1},
    {"the size back for page 2", PrinterOpKind::FontSize, 3},
    {"the position after the page break", PrinterOpKind::MoveY, 3},
    {"the first line of page 2", PrinterOpKind::Line, 71},
    {"the last page break", PrinterOpKind::PageBreak, 2},
    {"the last footer", PrinterOpKind::Line, 143},
};

TEST_F(ReportPrintTest, AFailingPrinterStepIsSkippedAndTheRestRuns) {
    for (const auto& c : FailureCases) {
        SCOPED_TRACE(c.what);
        const auto d = reportOf(140);
        RecordingUiSink ui;
        RecordingPrinterSink printer;
        printer.failOn(c.kind, c.occurrence);

        printReport(d, sampleRun(), ui, printer);

        EXPECT_EQ(printer.ops, job(d, 140, {69, 138}, sampleFooters(3)));
        EXPECT_EQ(ui.calls, OneDialog);
    }
}

TEST_F(ReportPrintTest, EveryStepFailingStillReachesEndDoc) {
    const auto d = reportOf(70);
    RecordingUiSink ui;
    RecordingPrinterSink printer;
    for (auto kind : {PrinterOpKind::FontName, PrinterOpKind::FontSize, PrinterOpKind::MoveX,
                      PrinterOpKind::MoveY, PrinterOpKind::Line, PrinterOpKind::PageBreak})
        for (std::int32_t n = 1; n <= 80; ++n)
            printer.failOn(kind, n);

    printReport(d, sampleRun(), ui, printer);

    EXPECT_EQ(printer.ops, job(d, 70, {69}, sampleFooters(2)));
}

// A run's report is made from its findings as it prints: the kind's heading,
// then each point's line, the first with its distance.
TEST_F(ReportPrintTest, ARunsFindingsPrintAsTheirReportLines) {
    PointTable& d = data();
    test::loadPoints(d, {{u"A1", 1.5, -2.25}, {u"境界点", 1.5, -2.25}, {u"A1", 10, 20}});
    d.findings = {{FindingKind::CoincidentPoint, 1, 2, 0},
                  {FindingKind::DuplicateName, 3, 1, 18.0}};
    d.nextReportLine = 7;
    RecordingUiSink ui;
    RecordingPrinterSink printer;

    morvane::printReport(d, std::nullopt, ui, printer);

    std::vector<std::u16string> printed;
    for (const PrinterOp& op : printer.ops)
        if (op.kind == PrinterOpKind::Line)
            printed.push_back(op.text);
    EXPECT_EQ(printed, (std::vector<std::u16string>{
                           u"同一座標値",
                           u"     1  A1             1.500   -2.250  較差 0.000",
                           u"     2  境界点            1.500   -2.250",
                           u"同一名称",
                           u"     3  A1             10.000   20.000  較差 18.000",
                           u"     1  A1             1.500   -2.250",
                       }));
}

// The sheets of an archive in turn: each from a new page, counting its own
// pages in its own footer; a sheet that failed prints its lines bare.
TEST_F(ReportPrintTest, SeveralReportsEachStartOnANewPageWithTheirOwnFooters) {
    RunSummary second = sampleRun();
    second.file = "city.zip:b.xml";
    const std::vector<std::u16string> failed{u"■ city.zip:c.xml", u"実行時エラー"};
    // Seventy lines take two pages; each report's job is built on its own.
    const auto d = reportOf(70);
    const std::vector<std::u16string>& first = d;
    std::vector<PrinterOp> expected = job(d, 70, {69}, sampleFooters(2));
    expected.pop_back();
    expected.push_back(newPage());
    const auto secondLines = reportOf(2);
    std::vector<PrinterOp> secondJob = job(secondLines, 2, {});
    secondJob.pop_back();
    expected.insert(expected.end(), secondJob.begin(), secondJob.end());
    addFooter(expected, u"city.zip:b.xml　較差 0 から 0.05 m　2026-12-07 14:30　1 / 1");
    expected.insert(expected.end(), {newPage(), fontName(), fontSize(10), x2000(), moveY(1000),
                                     x2000(), line(failed[0]), x2000(), line(failed[1]), endDoc()});

    RecordingUiSink ui;
    RecordingPrinterSink printer;
    printReports({{ReportLines(first), sampleRun()},
                  {ReportLines(secondLines), second},
                  {ReportLines(failed), std::nullopt}},
                 ui, printer);

    EXPECT_EQ(ui.calls, OneDialog);
    EXPECT_EQ(printer.ops, expected);
}

} // namespace
} // namespace morvane
