#include "plot/PlotPicture.h"

#include "core/NumberFormat.h"
#include "core/PointTable.h"
#include "core/Text.h"
#include "plot/PlotPainter.h"

#include <cstdio>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryFile>

namespace morvane {

namespace fs = std::filesystem;

struct PlotPictureWriter::Application {
    // QGuiApplication keeps references to argc and argv for its lifetime.
    int argc = 1;
    char name[14] = "morvane-check";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QGuiApplication> app;
};

namespace {

constexpr std::u16string_view Gap = u"　";
// Qt's PNG quality: light compression. A full table's grey dots compress
// poorly whatever the effort; the default effort takes twice as long for a
// file a quarter smaller.
constexpr int PngQuality = 80;

QString qtPath(const fs::path& path) {
    return QFile::decodeName(path.c_str());
}

[[noreturn]] void cannotWrite(const fs::path& target, const std::string& why) {
    throw std::runtime_error("cannot write the plot " + target.string() + ": " + why);
}

// The permissions a file created by this process gets; the temporary file is
// created private and must not stay that way once it is the picture.
fs::perms createdFilePerms() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<fs::perms>(0666 & ~mask);
}

// Qt's warnings (a missing runtime folder on a server, font notes) are not the
// user's concern: every failure is reported by the writer itself.
void keepSeriousQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "morvane-check: Qt: %s\n", qPrintable(text));
}

} // namespace

std::u16string plotTitle(const RunSummary& run) {
    std::u16string title = toUtf16(run.file.filename().string());
    title += Gap;
    title +=
        u"較差 " + formatShortest(run.lower) + u" から " + formatShortest(run.tolerance) + u" m";
    title += Gap;
    title += formatInteger(run.points) + u" 点";
    title += Gap;
    title += u"同一名称 " + formatInteger(run.duplicateNames);
    title += Gap;
    title += u"同一座標値 " + formatInteger(run.coincidentPoints);
    if (run.cutShort()) {
        title += Gap;
        title += u"打ち切り";
    }
    return title;
}

PlotPictureWriter::PlotPictureWriter() : m_app(std::make_unique<Application>()) {
    if (QCoreApplication::instance())
        return;
    qInstallMessageHandler(keepSeriousQtMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    m_app->app = std::make_unique<QGuiApplication>(m_app->argc, m_app->argv);
}

PlotPictureWriter::~PlotPictureWriter() = default;

void PlotPictureWriter::write(const PointTable& table, const RunSummary& run, std::int32_t width,
                              std::int32_t height, const fs::path& target) {
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        cannotWrite(target, "no memory for a picture of that size");
    {
        QPainter painter(&image);
        PlotPainter plot(table);
        plot.paint(painter, overview(table, width, height, PlotPainter::titleHeight()), -1,
                   QString::fromStdU16String(plotTitle(run)));
    }

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    QTemporaryFile temp(qtPath(folder / ("." + target.filename().string() + ".XXXXXX")));
    if (!temp.open())
        cannotWrite(target, temp.errorString().toStdString());
    if (!image.save(&temp, "PNG", PngQuality) || !temp.flush() ||
        temp.error() != QFileDevice::NoError)
        cannotWrite(target, "the file could not be written in full");

    const fs::path written(QFile::encodeName(temp.fileName()).toStdString());
    std::error_code ec;
    fs::permissions(written, createdFilePerms(), ec);
    fs::rename(written, target, ec);
    if (ec)
        cannotWrite(target, ec.message());
    temp.setAutoRemove(false);
}

} // namespace morvane
