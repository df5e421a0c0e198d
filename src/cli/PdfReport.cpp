#include "cli/PdfReport.h"

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
#include <QPrinter>
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

void PdfReportWriter::write(const PointTable& table, UiSink& ui, const fs::path& target) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    QTemporaryFile temp(qtPath(folder / ("." + target.filename().string() + ".XXXXXX")));
    if (!temp.open())
        cannotWrite(target, temp.errorString().toStdString());
    // The printer opens the file by its name.
    temp.close();

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(temp.fileName());
    // No margins: the report's own offsets place the text on the sheet, and
    // 69 lines of the stand-in face then fit on A4.
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    printer.setDocName(QFile::decodeName(target.stem().c_str()));
    printer.setCreator(QStringLiteral("morvane-check"));
    {
        printer.setFullPage(false);
        PagedDeviceSink sink(printer, [] { return true; });
        printReport(table, ui, sink);
        if (sink.anyFailed() || printer.printerState() == QPrinter::Error)
            cannotWrite(target, "the printer failed");
    }

    const fs::path written = stdPath(temp.fileName());
    std::error_code ec;
    fs::permissions(written, createdFilePerms(), ec);
    fs::rename(written, target, ec);
    if (ec)
        cannotWrite(target, ec.message());
    temp.setAutoRemove(false);
}

} // namespace morvane
