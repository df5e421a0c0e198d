#include "print/PdfReport.h"

#include "output/ReportPrint.h"
#include "print/PagedDeviceSink.h"
#include "print/QtOutputFile.h"

#include <stdexcept>
#include <string>

#include <QCoreApplication>
#include <QFile>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

namespace morvane {

namespace fs = std::filesystem;

namespace {

// What a high-resolution printer gives a PDF, so that the report matches one
// that the window prints to a file.
constexpr int PdfDotsPerInch = 1200;

} // namespace

PdfReportWriter::PdfReportWriter() : m_gui(std::make_unique<OffscreenGui>()) {}

PdfReportWriter::~PdfReportWriter() = default;

void PdfReportWriter::write(const PointTable& table, const std::optional<RunSummary>& run,
                            UiSink& ui, const fs::path& target) {
    writeWith([&](PrinterSink& sink) { printReport(table, run, ui, sink); }, target);
}

void PdfReportWriter::write(const std::vector<ReportToPrint>& reports, UiSink& ui,
                            const fs::path& target) {
    writeWith([&](PrinterSink& sink) { printReports(reports, ui, sink); }, target);
}

void PdfReportWriter::writeWith(const std::function<void(PrinterSink&)>& print,
                                const fs::path& target) {
    QtOutputFile file(target, "the PDF report");
    {
        QPdfWriter writer(&file.device());
        writer.setResolution(PdfDotsPerInch);
        // No margins: the report's own offsets place the text on the sheet,
        // and 69 lines of the stand-in face then fit on A4.
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        writer.setTitle(QFile::decodeName(target.stem().c_str()));
        // The program that made it: the window or the command line.
        writer.setCreator(QCoreApplication::applicationName());
        // A report without findings is still a report: a page with its footer.
        PagedDeviceSink sink(writer, [] { return true; });
        print(sink);
        if (sink.anyFailed())
            file.fail("the printer failed");
    }
    file.commit();
}

} // namespace morvane
