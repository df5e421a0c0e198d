#include "web/WebPrinter.h"

#include "core/NumberFormat.h"
#include "core/Text.h"
#include "export/DataText.h"

namespace morvane {

namespace {

// A line is 1.08 times its font's size high, as the report's face spaces
// its lines (216 twips at 10 points).
constexpr float LineSpacing = 1.08f;
constexpr float TwipsPerPoint = 20;

} // namespace

bool WebPrinter::setFontName(const std::u16string& face) {
    m_face = face;
    return true;
}

bool WebPrinter::setFontSize(float points) {
    m_points = points;
    return true;
}

bool WebPrinter::setCurrentX(float twips) {
    m_x = twips;
    return true;
}

bool WebPrinter::setCurrentY(float twips) {
    m_y = twips;
    return true;
}

bool WebPrinter::printLine(const std::u16string& text) {
    if (!m_pageOpen) {
        m_layout += m_layout.size() > 1 ? ",[" : "[";
        m_pageOpen = true;
        m_lineOnPage = false;
    }
    if (m_lineOnPage)
        m_layout += ',';
    m_layout += "{\"x\":" + formatPlainDecimal(m_x) + ",\"y\":" + formatPlainDecimal(m_y) +
                ",\"face\":" + jsonString(toUtf8(m_face)) +
                ",\"points\":" + formatPlainDecimal(m_points) +
                ",\"text\":" + jsonString(toUtf8(text)) + "}";
    m_lineOnPage = true;
    m_x = 0;
    m_y += m_points * LineSpacing * TwipsPerPoint;
    return true;
}

bool WebPrinter::newPage() {
    // A page without a line is still a sheet of paper.
    if (!m_pageOpen)
        m_layout += m_layout.size() > 1 ? ",[" : "[";
    m_layout += ']';
    m_pageOpen = false;
    return true;
}

bool WebPrinter::endDocument() {
    if (m_pageOpen)
        m_layout += ']';
    m_pageOpen = false;
    m_layout += ']';
    return true;
}

} // namespace morvane
