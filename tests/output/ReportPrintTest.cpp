#include "output/ReportPrint.h"

#include "core/PointTable.h"
#include "support/PointTableFixture.h"
#include "support/RecordingPrinterSink.h"
#include "support/RecordingUiSink.h"
#include "support/TestPoints.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace morvane {
namespace {

class ReportPrintTest : public test::PointTableFixture {
protected:
    // Lines 1..count, each one distinct so that order and identity show.
    static PointTable& reportOf(std::int32_t count) {
        std::vector<std::u16string> lines;
        for (std::int32_t i = 1; i <= count; ++i)
            lines.push_back(u"点" + std::u16string(1, u'0' + i % 10) + u" 行" +
                            std::u16string(static_cast<std::size_t>(i / 10 + 1), u'ー'));
        test::loadReport(data(), lines);
        return data();
    }
};

// The printer dialog is the only window operation the command uses.
const std::vector<std::string> OneDialog{"choosePrinter"};
const std::vector<std::string> TwoDialogs{"choosePrinter", "choosePrinter"};

PrinterOp fontName() {
    return {PrinterOpKind::FontName, u"ＭＳ ゴシック"};
}
PrinterOp fontSize() {
    return {PrinterOpKind::FontSize, {}, 10};
}
PrinterOp x2000() {
    return {PrinterOpKind::MoveX, {}, 2000};
}
PrinterOp y1000() {
    return {PrinterOpKind::MoveY, {}, 1000};
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

// The whole job for lines 1..lineCount of d, with a page break after each line
// listed in breaksAfter.
std::vector<PrinterOp> job(const PointTable& d, std::int32_t lineCount,
                           const std::set<std::int32_t>& breaksAfter) {
    std::vector<PrinterOp> ops{fontName(), fontSize(), x2000(), y1000()};
    for (std::int32_t i = 1; i <= lineCount; ++i) {
        ops.push_back(x2000());
        ops.push_back(line(d.reportLines[i]));
        if (breaksAfter.contains(i)) {
            ops.push_back(newPage());
            ops.push_back(y1000());
        }
    }
    ops.push_back(endDoc());
    return ops;
}

struct PagingCase {
    const char* what;
    std::int32_t reportPos;
    std::set<std::int32_t> breaksAfter;
};

const PagingCase PagingCases[] = {
    {"before any run", 0, {}},
    {"run without findings", 1, {}},
    {"one line", 2, {}},
    {"one finding", 4, {}},
    {"68 lines", 69, {}},
    {"69 lines fill one page", 70, {69}},
    {"70 lines start a second page", 71, {69}},
    {"138 lines fill two pages", 139, {69, 138}},
    {"139 lines", 140, {69, 138}},
};

TEST_F(ReportPrintTest, PrintsEveryLineWithABreakAfterEachFullPage) {
    for (const auto& c : PagingCases) {
        SCOPED_TRACE(c.what);
        PointTable& d = reportOf(c.reportPos - 1);
        d.nextReportLine = c.reportPos;
        RecordingUiSink ui;
        RecordingPrinterSink printer;

        printReport(d, ui, printer);

        EXPECT_EQ(ui.calls, OneDialog);
        const std::int32_t lines = c.reportPos > 1 ? c.reportPos - 1 : 0;
        EXPECT_EQ(printer.ops, job(d, lines, c.breaksAfter));
    }
}

TEST_F(ReportPrintTest, CancelIssuesNoPrinterOperationAndTheNextClickAsksAgain) {
    PointTable& d = reportOf(3);
    RecordingUiSink ui;
    ui.printerConfirmed = false;
    RecordingPrinterSink printer;

    printReport(d, ui, printer);
    EXPECT_EQ(ui.calls, OneDialog);
    EXPECT_TRUE(printer.ops.empty());

    ui.printerConfirmed = true;
    printReport(d, ui, printer);
    EXPECT_EQ(ui.calls, TwoDialogs);
    EXPECT_EQ(printer.ops, job(d, 3, {}));
}

TEST_F(ReportPrintTest, PrintingTwicePrintsTheSameReportTwice) {
    PointTable& d = reportOf(70);
    RecordingUiSink ui;
    RecordingPrinterSink first;
    RecordingPrinterSink second;

    printReport(d, ui, first);
    printReport(d, ui, second);

    EXPECT_EQ(first.ops, second.ops);
    EXPECT_EQ(d.nextReportLine, 71);
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
    {"the first page break", PrinterOpKind::PageBreak, 1},
    {"the position after the page break", PrinterOpKind::MoveY, 2},
    {"the first line of page 2", PrinterOpKind::Line, 70},
    {"the last page break", PrinterOpKind::PageBreak, 2},
};

TEST_F(ReportPrintTest, AFailingPrinterStepIsSkippedAndTheRestRuns) {
    for (const auto& c : FailureCases) {
        SCOPED_TRACE(c.what);
        PointTable& d = reportOf(140);
        RecordingUiSink ui;
        RecordingPrinterSink printer;
        printer.failOn(c.kind, c.occurrence);

        printReport(d, ui, printer);

        EXPECT_EQ(printer.ops, job(d, 140, {69, 138}));
        EXPECT_EQ(ui.calls, OneDialog);
    }
}

TEST_F(ReportPrintTest, EveryStepFailingStillReachesEndDoc) {
    PointTable& d = reportOf(70);
    RecordingUiSink ui;
    RecordingPrinterSink printer;
    for (auto kind : {PrinterOpKind::FontName, PrinterOpKind::FontSize, PrinterOpKind::MoveX,
                      PrinterOpKind::MoveY, PrinterOpKind::Line, PrinterOpKind::PageBreak})
        for (std::int32_t n = 1; n <= 80; ++n)
            printer.failOn(kind, n);

    printReport(d, ui, printer);

    EXPECT_EQ(printer.ops, job(d, 70, {69}));
}

TEST_F(ReportPrintTest, CounterBeyondTheBufferStopsAtTheLastSlot) {
    PointTable& d = data();
    d.reportLines[TableCapacity] = u"最後";
    d.nextReportLine = TableCapacity + 5;
    RecordingUiSink ui;
    RecordingPrinterSink printer;

    printReport(d, ui, printer);

    ASSERT_GE(printer.ops.size(), 3u);
    EXPECT_EQ(printer.ops[printer.ops.size() - 2], line(u"最後"));
    EXPECT_EQ(printer.ops.back(), endDoc());
}

} // namespace
} // namespace morvane
