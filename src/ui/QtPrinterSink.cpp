#include "ui/QtPrinterSink.h"

#include "ui/Fonts.h"

#include <cmath>

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QString>

namespace morvane {

namespace {

constexpr double TwipsPerInch = 1440;

} // namespace

QtPrinterSink::QtPrinterSink(QPrinter& printer) : m_printer(printer) {
    registerFontSubstitutes();
    m_printer.setFullPage(false);
}

QtPrinterSink::~QtPrinterSink() {
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

bool QtPrinterSink::setFontName(const std::u16string& face) {
    if (face.empty())
        return fail();
    m_font.setFamily(QString::fromStdU16String(face));
    return true;
}

bool QtPrinterSink::setFontSize(float points) {
    if (!std::isfinite(points) || points <= 0)
        return fail();
    m_font.setPointSizeF(points);
    return true;
}

bool QtPrinterSink::setCurrentX(float twips) {
    if (!std::isfinite(twips))
        return fail();
    m_xTwips = twips;
    return true;
}

bool QtPrinterSink::setCurrentY(float twips) {
    if (!std::isfinite(twips))
        return fail();
    m_yTwips = twips;
    return true;
}

bool QtPrinterSink::printLine(const std::u16string& text) {
    if (!ensurePainter())
        return fail();
    for (; m_pendingPages > 0; --m_pendingPages)
        if (!m_printer.newPage())
            return fail();

    // Metrics of the printer, not of the screen: the font's point size maps
    // to device pixels through the printer's resolution.
    const QFontMetricsF metrics(m_font, &m_printer);
    const double dotsPerTwipX = m_printer.logicalDpiX() / TwipsPerInch;
    const double dotsPerTwipY = m_printer.logicalDpiY() / TwipsPerInch;
    const QPointF baseline(m_xTwips * dotsPerTwipX, m_yTwips * dotsPerTwipY + metrics.ascent());
    m_painter->setFont(m_font);
    m_painter->drawText(baseline, QString::fromStdU16String(text));

    m_xTwips = 0;
    m_yTwips += metrics.lineSpacing() / dotsPerTwipY;
    return true;
}

bool QtPrinterSink::newPage() {
    ++m_pendingPages;
    m_xTwips = 0;
    m_yTwips = 0;
    return true;
}

bool QtPrinterSink::endDocument() {
    // A document with nothing printed still becomes a file when one was
    // asked for; a paper printer is spared the blank sheet.
    if (!m_painter || !m_painter->isActive()) {
        if (!m_beginFailed && !m_printer.outputFileName().isEmpty())
            ensurePainter();
    }
    bool ok = !m_beginFailed;
    if (m_painter && m_painter->isActive())
        ok = m_painter->end() && ok;

    m_pendingPages = 0;
    m_xTwips = 0;
    m_yTwips = 0;
    m_beginFailed = false;
    return ok ? true : fail();
}

bool QtPrinterSink::ensurePainter() {
    if (m_painter && m_painter->isActive())
        return true;
    // One attempt per document: a printer that refused once (an unwritable
    // file, no printer) would refuse every line again.
    if (m_beginFailed)
        return false;
    if (!m_painter)
        m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(&m_printer)) {
        m_beginFailed = true;
        return false;
    }
    return true;
}

bool QtPrinterSink::fail() {
    m_anyFailed = true;
    return false;
}

} // namespace morvane
