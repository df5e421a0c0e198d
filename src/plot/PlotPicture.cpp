#include "plot/PlotPicture.h"

#include "core/NumberFormat.h"
#include "core/PointTable.h"
#include "core/Text.h"
#include "core/UnitName.h"
#include "plot/PlotPainter.h"
#include "print/QtOutputFile.h"

#include <stdexcept>

#include <QImage>
#include <QPainter>

namespace morvane {

namespace fs = std::filesystem;

namespace {

constexpr std::u16string_view Gap = u"　";
// Qt's PNG quality: light compression. A full table's grey dots compress
// poorly whatever the effort; the default effort takes twice as long for a
// file a quarter smaller.
constexpr int PngQuality = 80;

} // namespace

std::u16string plotTitle(const RunSummary& run) {
    std::u16string title = toUtf16(shownUnitName(run.file).string());
    title += Gap;
    title +=
        u"較差 " + formatShortest(run.lower) + u" から " + formatShortest(run.tolerance) + u" m";
    title += Gap;
    title += formatInteger(run.points) + u" 点";
    // The counts of the checks made only: a 0 would read as a clean result.
    const auto addCount = [&](bool made, std::u16string_view heading, std::int32_t findings) {
        if (!made)
            return;
        title += Gap;
        title += heading;
        title += u" " + formatInteger(findings);
    };
    addCount(run.checks.duplicateNames, u"同一名称", run.duplicateNames);
    addCount(run.checks.coincidentPoints, u"同一座標値", run.coincidentPoints);
    addCount(run.checks.duplicateNumbers, u"同一点番号", run.duplicateNumbers);
    if (run.cutShort()) {
        title += Gap;
        title += u"打ち切り";
    }
    return title;
}

PlotPictureWriter::PlotPictureWriter() : m_gui(std::make_unique<OffscreenGui>()) {}

PlotPictureWriter::~PlotPictureWriter() = default;

void PlotPictureWriter::write(const PointTable& table, const RunSummary& run, std::int32_t width,
                              std::int32_t height, const fs::path& target) {
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        throw std::runtime_error("cannot write the plot " + target.string() +
                                 ": no memory for a picture of that size");
    {
        QPainter painter(&image);
        PlotPainter plot(table);
        plot.paint(painter, overview(table, width, height, PlotPainter::titleHeight()), -1,
                   QString::fromStdU16String(plotTitle(run)));
    }

    QtOutputFile file(target, "the plot");
    if (!image.save(&file.device(), "PNG", PngQuality))
        file.fail("the file could not be written in full");
    file.commit();
}

} // namespace morvane
