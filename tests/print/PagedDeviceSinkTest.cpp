#include "print/PagedDeviceSink.h"

#include "core/PointTable.h"
#include "core/Text.h"
#include "output/ReportPrint.h"
#include "print/PdfTools.h"
#include "support/LocalTime.h"
#include "support/PointTableFixture.h"
#include "support/RecordingUiSink.h"
#include "support/TestPoints.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <ostream>
#include <regex>
#include <string>

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace morvane {
namespace {

using namespace test;

// Margins that differ from each other and from Qt's default, so that a
// position measured from the page instead of the printable area shows.
constexpr double LeftMarginMm = 12;
constexpr double TopMarginMm = 8;
// pdftotext boxes come from the font's ascent, which rounds a little.
constexpr double PositionTolerancePt = 0.5;
// As fine as a high-resolution printer, as morvane-check writes its PDF.
constexpr int PdfWriterDotsPerInch = 1200;

// The window prints on a QPrinter, morvane-check on a QPdfWriter; both
// write PDF here, so that the tests can read back what was printed.
enum class Device { Printer, PdfWriter };

const char* deviceName(Device device) {
    return device == Device::Printer ? "Printer" : "PdfWriter";
}

void PrintTo(Device device, std::ostream* out) {
    *out << deviceName(device);
}

// A device with its own answer to "does an empty document become a file", as
// its caller gives it.
struct PdfDevice {
    std::unique_ptr<QPagedPaintDevice> device;
    PagedDeviceSink::KeepsEmptyDocument keepsEmptyDocument;
};

PdfDevice pdfDevice(Device kind, const std::string& path) {
    const QString file = QString::fromStdString(path);
    PdfDevice made;
    if (kind == Device::Printer) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(file);
        printer->setFullPage(false);
        made.keepsEmptyDocument = [p = printer.get()] { return !p->outputFileName().isEmpty(); };
        made.device = std::move(printer);
    } else {
        auto writer = std::make_unique<QPdfWriter>(file);
        writer->setResolution(PdfWriterDotsPerInch);
        made.keepsEmptyDocument = [] { return true; };
        made.device = std::move(writer);
    }
    made.device->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                           QMarginsF(LeftMarginMm, TopMarginMm, 10, 10),
                                           QPageLayout::Millimeter));
    return made;
}

std::u16string padRight(std::u16string text, std::size_t width) {
    text.resize(std::max(text.size(), width), u' ');
    return text;
}

std::u16string padLeft(const std::u16string& text, std::size_t width) {
    return std::u16string(width > text.size() ? width - text.size() : 0, u' ') + text;
}

// Report-like lines: a heading that starts at the line's left end, then two
// point lines with a right-aligned number, a Japanese name and coordinates.
std::u16string reportLine(std::int32_t i) {
    const std::u16string n = toUtf16(std::to_string(i));
    if (i % 3 == 1)
        return u"同名点 " + n;
    return padLeft(n, 6) + u"  " + padRight(u"基準点" + n, 15) + u"-42102.345   12544.218";
}

// The report-like lines first..last, as lines first..last of a report.
std::vector<std::u16string> sampleReport(std::int32_t first, std::int32_t last) {
    std::vector<std::u16string> lines;
    for (std::int32_t i = first; i <= last; ++i)
        lines.push_back(reportLine(i));
    return lines;
}

// The run the printed lines are of; its footer closes every page.
RunSummary sampleRun() {
    RunSummary run;
    run.file = "points.sim";
    run.tolerance = 0.05;
    run.startedAt = localTime(2026, 12, 7, 14, 30);
    return run;
}

// The footer as pdftotext lays it out, its gaps read as spaces.
std::string sampleFooterWords(std::int32_t page, std::int32_t pages) {
    return "points.sim 較差 0 から 0.05 m 2026-12-07 14:30 " + std::to_string(page) + " / " +
           std::to_string(pages);
}

// One line in the report's face at a position, as the print command sets it.
void printAt(PagedDeviceSink& sink, float xTwips, float yTwips, const std::u16string& text) {
    EXPECT_TRUE(sink.setFontName(u"ＭＳ ゴシック"));
    EXPECT_TRUE(sink.setFontSize(10));
    EXPECT_TRUE(sink.setCurrentX(xTwips));
    EXPECT_TRUE(sink.setCurrentY(yTwips));
    EXPECT_TRUE(sink.printLine(text));
}

// The PDF is one page with one word, whose box starts at this distance from
// the printable corner.
void expectOnlyWordAt(const std::string& pdf, const std::u16string& text, double xPt, double yPt) {
    const auto pages = pdfWords(pdf);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].size(), 1u);
    EXPECT_EQ(toUtf16(pages[0][0].text), text);
    EXPECT_NEAR(pages[0][0].xMin, mmToPt(LeftMarginMm) + xPt, PositionTolerancePt);
    EXPECT_NEAR(pages[0][0].yMin, mmToPt(TopMarginMm) + yPt, PositionTolerancePt);
}

class PagedDeviceSinkTest : public test::PointTableFixture,
                            public testing::WithParamInterface<Device> {
protected:
    std::string pdfPath(const std::string& name) const {
        return m_dir.filePath(QString::fromStdString(name)).toStdString();
    }

    // Report lines 1..count through the print command onto the device;
    // whether any printer step failed.
    static bool printLinesToPdf(std::int32_t count, const std::string& path) {
        const std::vector<std::u16string> lines = sampleReport(1, count);
        PdfDevice pdf = pdfDevice(GetParam(), path);
        PagedDeviceSink sink(*pdf.device, pdf.keepsEmptyDocument);
        RecordingUiSink ui;
        morvane::printReports({{ReportLines(lines), sampleRun()}}, ui, sink);
        return !sink.anyFailed();
    }

    QTemporaryDir m_dir;
};

INSTANTIATE_TEST_SUITE_P(Devices, PagedDeviceSinkTest,
                         testing::Values(Device::Printer, Device::PdfWriter),
                         [](const testing::TestParamInfo<Device>& device) {
                             return std::string(deviceName(device.param));
                         });

struct PageCase {
    const char* what;
    std::int32_t lines;
    std::int32_t pages;
};

const PageCase PageCases[] = {
    {"no line still makes a file", 0, 1},
    {"one line", 1, 1},
    {"69 lines: the break after the last adds no page", 69, 1},
    {"70 lines", 70, 2},
    {"138 lines", 138, 2},
    {"139 lines", 139, 3},
};

TEST_P(PagedDeviceSinkTest, SixtyNineLinesToAPageWithoutATrailingEmptyPage) {
    for (const auto& c : PageCases) {
        SCOPED_TRACE(c.what);
        const std::string pdf = pdfPath(std::to_string(c.lines) + ".pdf");
        EXPECT_TRUE(printLinesToPdf(c.lines, pdf));
        EXPECT_EQ(pdfPageCount(pdf), c.pages);
    }
}

TEST_P(PagedDeviceSinkTest, EveryPageHoldsItsLinesInOrderAsTextThenItsFooter) {
    const std::string pdf = pdfPath("report.pdf");
    ASSERT_TRUE(printLinesToPdf(139, pdf));

    const std::int32_t firstLineOfPage[] = {1, 70, 139, 140};
    for (std::int32_t page = 1; page <= 3; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        std::string expected;
        for (const auto& line : sampleReport(firstLineOfPage[page - 1], firstLineOfPage[page] - 1))
            expected += toUtf8(line) + "\n";
        expected += sampleFooterWords(page, 3);
        EXPECT_EQ(pdfPageLines(pdf, page), wordLines(expected));
    }
}

TEST_P(PagedDeviceSinkTest, LinesStartAtTheReportOffsetsFromThePrintableCorner) {
    const std::string pdf = pdfPath("report.pdf");
    ASSERT_TRUE(printLinesToPdf(70, pdf));
    const auto pages = pdfWords(pdf);
    ASSERT_EQ(pages.size(), 2u);
    ASSERT_FALSE(pages[0].empty());
    ASSERT_FALSE(pages[1].empty());

    // 2000 twips = 100 pt across, 1000 twips = 50 pt down, on both pages.
    const double left = mmToPt(LeftMarginMm) + 100;
    const double top = mmToPt(TopMarginMm) + 50;
    // Lines 1 and 70 are headings, which start at the line's left end.
    for (const auto& page : pages) {
        EXPECT_EQ(toUtf16(page.front().text), u"同名点");
        EXPECT_NEAR(page.front().xMin, left, PositionTolerancePt);
        EXPECT_NEAR(page.front().yMin, top, PositionTolerancePt);
    }

    // Consecutive lines one line of a 10-point face apart, with no gap.
    const auto& firstPage = pages[0];
    std::vector<double> lineTops;
    for (const auto& w : firstPage)
        if (lineTops.empty() || w.yMin > lineTops.back() + 1)
            lineTops.push_back(w.yMin);
    ASSERT_EQ(lineTops.size(), 70u) << "69 lines and the footer";
    const double pitch = (lineTops[68] - lineTops.front()) / 68;
    EXPECT_GE(pitch, 10.0);
    EXPECT_LE(pitch, 11.5);
}

// The footer's first word is the file name. On a full page and on a page of
// one line alike it starts where the lines do, 16012 twips (800.6 pt) down,
// below the last line and smaller than the lines.
TEST_P(PagedDeviceSinkTest, TheFooterSitsBelowTheLinesInASmallerSize) {
    const std::string pdf = pdfPath("report.pdf");
    ASSERT_TRUE(printLinesToPdf(70, pdf));
    const auto pages = pdfWords(pdf);
    ASSERT_EQ(pages.size(), 2u);

    for (const auto& page : pages) {
        ASSERT_FALSE(page.empty());
        const auto footer = std::find_if(page.begin(), page.end(),
                                         [](const PdfWord& w) { return w.text == "points.sim"; });
        ASSERT_NE(footer, page.end());
        EXPECT_NEAR(footer->xMin, mmToPt(LeftMarginMm) + 100, PositionTolerancePt);
        EXPECT_NEAR(footer->yMin, mmToPt(TopMarginMm) + 800.6, PositionTolerancePt);
        EXPECT_LT(footer->yMax - footer->yMin, 9.0);
        for (auto w = page.begin(); w != footer; ++w)
            EXPECT_LT(w->yMax, footer->yMin) << w->text;
    }
}

TEST_P(PagedDeviceSinkTest, ColumnsLineUpInAFixedPitchFace) {
    const std::string pdf = pdfPath("report.pdf");
    ASSERT_TRUE(printLinesToPdf(69, pdf));
    const auto pages = pdfWords(pdf);
    ASSERT_EQ(pages.size(), 1u);

    // The name starts after a six-character number and two spaces: 8 half
    // widths of 5 pt, whatever the number's digits.
    const double nameLeft = mmToPt(LeftMarginMm) + 100 + 8 * 5;
    std::vector<double> nameStarts;
    for (const auto& w : pages[0])
        if (toUtf16(w.text).starts_with(u"基準点"))
            nameStarts.push_back(w.xMin);
    ASSERT_EQ(nameStarts.size(), 46u);
    EXPECT_NEAR(nameStarts.front(), nameLeft, PositionTolerancePt);
    for (double x : nameStarts)
        EXPECT_NEAR(x, nameStarts.front(), 0.01);
}

struct PositionCase {
    const char* what;
    float xTwips;
    float yTwips;
};

const PositionCase PositionCases[] = {
    {"the printable corner", 0, 0},
    {"one inch across, two down", 1440, 2880},
    {"far across, near the top", 6000, 300},
};

TEST_P(PagedDeviceSinkTest, PositionsAreTwipsFromThePrintableCorner) {
    for (const auto& c : PositionCases) {
        SCOPED_TRACE(c.what);
        const std::string pdf = pdfPath("position.pdf");
        {
            PdfDevice device = pdfDevice(GetParam(), pdf);
            PagedDeviceSink sink(*device.device, device.keepsEmptyDocument);
            printAt(sink, c.xTwips, c.yTwips, u"印");
            EXPECT_TRUE(sink.endDocument());
        }
        expectOnlyWordAt(pdf, u"印", c.xTwips / 20, c.yTwips / 20);
    }
}

TEST_P(PagedDeviceSinkTest, MissingGothicFaceBecomesEmbeddedSearchableIpaGothic) {
    const std::string pdf = pdfPath("report.pdf");
    ASSERT_TRUE(printLinesToPdf(3, pdf));
    // Embedded, and with a Unicode map so that the Japanese text can be
    // searched and copied.
    EXPECT_TRUE(std::regex_search(pdfFonts(pdf), std::regex(R"(\bIPAGothic\b.*yes\s+\w+\s+yes)")))
        << pdfFonts(pdf);
}

TEST_P(PagedDeviceSinkTest, AnUnwritableFileIsReportedAndNothingIsWritten) {
    const std::string pdf = pdfPath("missing-folder/report.pdf");
    EXPECT_FALSE(printLinesToPdf(70, pdf));
    EXPECT_FALSE(std::filesystem::exists(pdf));
}

TEST_P(PagedDeviceSinkTest, AnEmptyDocumentNobodyKeepsWritesNothing) {
    const std::string pdf = pdfPath("empty.pdf");
    {
        PdfDevice device = pdfDevice(GetParam(), pdf);
        PagedDeviceSink sink(*device.device, [] { return false; });
        EXPECT_TRUE(sink.newPage());
        EXPECT_TRUE(sink.endDocument());
        EXPECT_FALSE(sink.anyFailed());
    }
    EXPECT_FALSE(std::filesystem::exists(pdf));
}

// A page break and a position left over from one document must not carry
// into the next on the same device.
TEST_P(PagedDeviceSinkTest, EndDocumentLeavesTheSinkReadyForTheNext) {
    const std::string pdf = pdfPath("twice.pdf");
    {
        PdfDevice device = pdfDevice(GetParam(), pdf);
        PagedDeviceSink sink(*device.device, device.keepsEmptyDocument);
        printAt(sink, 3000, 3000, u"一");
        EXPECT_TRUE(sink.newPage());
        EXPECT_TRUE(sink.setCurrentY(3000));
        EXPECT_TRUE(sink.endDocument());

        EXPECT_TRUE(sink.printLine(u"二"));
        EXPECT_TRUE(sink.endDocument());
    }
    expectOnlyWordAt(pdf, u"二", 0, 0);
}

} // namespace
} // namespace morvane
