#include "print/PdfReport.h"

#include "output/ReportPrint.h"
#include "print/PagedDeviceSink.h"

#include <cstdio>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <system_error>

#include <QFile>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTemporaryFile>

namespace morvane {

namespace fs = std::filesystem;

struct PdfReportWriter::Application {
    // QGuiApplication keeps references to argc and argv for its lifetime.
    int argc = 1;
    char name[14] = "morvane-check";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QGuiApplication> app;
};

namespace {

// What a high-resolution printer gives a PDF, so that the report matches one
// that the window prints to a file.
constexpr int PdfDotsPerInch = 1200;

QString qtPath(const fs::path& path) {
    return QFile::decodeName(path.c_str());
}

fs::path stdPath(const QString& path) {
    return fs::path(QFile::encodeName(path).toStdString());
}

[[noreturn]] void cannotWrite(const fs::path& target, const std::string& why) {
    throw std::runtime_error("cannot write the PDF report " + target.string() + ": " + why);
}

// The permissions a file created by this process gets; the temporary file is
// created private and must not stay that way once it is the report.
fs::perms createdFilePerms() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<fs::perms>(0666 & ~mask);
}

// Qt's warnings (a missing runtime folder on a server, font notes) are not the
// user's concern: every printing failure is reported by the writer itself.
void keepSeriousQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "morvane-check: Qt: %s\n", qPrintable(text));
}

} // namespace

PdfReportWriter::PdfReportWriter() : m_app(std::make_unique<Application>()) {
    if (QCoreApplication::instance())
        return;
    qInstallMessageHandler(keepSeriousQtMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    m_app->app = std::make_unique<QGuiApplication>(m_app->argc, m_app->argv);
}

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
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    QTemporaryFile temp(qtPath(folder / ("." + target.filename().string() + ".XXXXXX")));
    if (!temp.open())
        cannotWrite(target, temp.errorString().toStdString());

    {
        QPdfWriter writer(&temp);
        writer.setResolution(PdfDotsPerInch);
        // No margins: the report's own offsets place the text on the sheet,
        // and 69 lines of the stand-in face then fit on A4.
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        writer.setTitle(QFile::decodeName(target.stem().c_str()));
        writer.setCreator(QStringLiteral("morvane-check"));
        // A report without findings is still a report: a page with its footer.
        PagedDeviceSink sink(writer, [] { return true; });
        print(sink);
        if (sink.anyFailed())
            cannotWrite(target, "the printer failed");
    }
    // The writer does not report a failed write (a full disk); the file does,
    // though Qt has no words for why.
    if (!temp.flush() || temp.error() != QFileDevice::NoError)
        cannotWrite(target, "the file could not be written in full");

    const fs::path written = stdPath(temp.fileName());
    std::error_code ec;
    fs::permissions(written, createdFilePerms(), ec);
    fs::rename(written, target, ec);
    if (ec)
        cannotWrite(target, ec.message());
    temp.setAutoRemove(false);
}

} // namespace morvane
