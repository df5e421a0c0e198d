#include "print/PagedDeviceSink.h"

#include "print/Fonts.h"

#include <cmath>
#include <utility>

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QString>

namespace morvane {

namespace {

constexpr double TwipsPerInch = 1440;

} // namespace

PagedDeviceSink::PagedDeviceSink(QPagedPaintDevice& device, KeepsEmptyDocument keepsEmptyDocument)
    : m_device(device), m_keepsEmptyDocument(std::move(keepsEmptyDocument)) {
    registerFontSubstitutes();
}

PagedDeviceSink::~PagedDeviceSink() {
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

bool PagedDeviceSink::setFontName(const std::u16string& face) {
    if (face.empty())
        return fail();
    m_font.setFamily(QString::fromStdU16String(face));
    return true;
}

bool PagedDeviceSink::setFontSize(float points) {
    if (!std::isfinite(points) || points <= 0)
        return fail();
    m_font.setPointSizeF(points);
    return true;
}

bool PagedDeviceSink::setCurrentX(float twips) {
    if (!std::isfinite(twips))
        return fail();
    m_xTwips = twips;
    return true;
}

bool PagedDeviceSink::setCurrentY(float twips) {
    if (!std::isfinite(twips))
        return fail();
    m_yTwips = twips;
    return true;
}

bool PagedDeviceSink::printLine(const std::u16string& text) {
    if (!ensurePainter())
        return fail();
    for (; m_pendingPages > 0; --m_pendingPages)
        if (!m_device.newPage())
            return fail();

    // Metrics of the device, not of the screen: the font's point size maps
    // to device pixels through the device's resolution.
    const QFontMetricsF metrics(m_font, &m_device);
    const double dotsPerTwipX = m_device.logicalDpiX() / TwipsPerInch;
    const double dotsPerTwipY = m_device.logicalDpiY() / TwipsPerInch;
    const QPointF baseline(m_xTwips * dotsPerTwipX, m_yTwips * dotsPerTwipY + metrics.ascent());
    m_painter->setFont(m_font);
    m_painter->drawText(baseline, QString::fromStdU16String(text));

    m_xTwips = 0;
    m_yTwips += metrics.lineSpacing() / dotsPerTwipY;
    return true;
}

bool PagedDeviceSink::newPage() {
    ++m_pendingPages;
    m_xTwips = 0;
    m_yTwips = 0;
    return true;
}

bool PagedDeviceSink::endDocument() {
    // Nothing was printed: whether that is still a document is the caller's call.
    if (!m_painter || !m_painter->isActive()) {
        if (!m_beginFailed && m_keepsEmptyDocument && m_keepsEmptyDocument())
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

bool PagedDeviceSink::ensurePainter() {
    if (m_painter && m_painter->isActive())
        return true;
    // One attempt per document: a device that refused once (an unwritable
    // file, no printer) would refuse every line again.
    if (m_beginFailed)
        return false;
    if (!m_painter)
        m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(&m_device)) {
        m_beginFailed = true;
        return false;
    }
    return true;
}

bool PagedDeviceSink::fail() {
    m_anyFailed = true;
    return false;
}

} // namespace morvane
