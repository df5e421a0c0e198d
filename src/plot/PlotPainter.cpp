#include "plot/PlotPainter.h"

#include "core/NumberFormat.h"
#include "core/PointTable.h"
#include "print/Fonts.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <utility>

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace morvane {

namespace {

constexpr QRgb Background = 0xffffffff;
constexpr QRgb PointGrey = 0xff808080;
constexpr QRgb CoincidentRed = 0xffdc0000;
constexpr QRgb DuplicateBlue = 0xff0064dc;
constexpr QRgb DuplicateNumberPurple = 0xffa000c8;
const QColor LabelColor(50, 50, 50);
const QColor ChosenHalo(255, 170, 0, 170);

// Visible points up to this many are each tried for a label; beyond it no
// label could have room anyway.
constexpr std::size_t MaxLabelledPoints = 3000;
// Dots are larger while the points on the screen are this few or fewer.
constexpr std::size_t FewPoints = 50'000;
constexpr double RingRadius = 4.5;
constexpr double ChosenRingRadius = 8;
constexpr int LabelPixels = 12;
constexpr int TitlePixels = 14;
constexpr double TitleBand = 24;
// The dash of a duplicate-name line: so many pixels drawn of every period.
constexpr int DashPeriod = 10;
constexpr int DashDrawn = 6;

QString qText(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// Writes straight into an image of 32-bit pixels: a dot or a ring for each of
// hundreds of thousands of points costs a few stores, not a painter call.
class Pixels {
public:
    explicit Pixels(QImage& image)
        : m_bits(reinterpret_cast<QRgb*>(image.bits())), m_stride(image.bytesPerLine() / 4),
          m_width(image.width()), m_height(image.height()) {}

    void set(int x, int y, QRgb color) {
        if (x >= 0 && y >= 0 && x < m_width && y < m_height)
            m_bits[static_cast<qsizetype>(y) * m_stride + x] = color;
    }

    void square(int left, int top, int size, QRgb color) {
        for (int y = top; y < top + size; ++y)
            for (int x = left; x < left + size; ++x)
                set(x, y, color);
    }

    void stamp(int x, int y, const std::vector<std::pair<int, int>>& offsets, QRgb color) {
        for (const auto& [dx, dy] : offsets)
            set(x + dx, y + dy, color);
    }

    // One pixel wide, from a to b; a dashed line leaves gaps.
    void line(ScreenPoint a, ScreenPoint b, QRgb color, bool dashed) {
        if (!(inside(a) && inside(b)) && !clipSegment(a, b, -1, -1, m_width, m_height))
            return;
        int x0 = nearest(a.left);
        int y0 = nearest(a.top);
        const int x1 = nearest(b.left);
        const int y1 = nearest(b.top);
        const int dx = std::abs(x1 - x0);
        const int dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1;
        const int sy = y0 < y1 ? 1 : -1;
        int error = dx + dy;
        for (int step = 0;; ++step) {
            if (!dashed || step % DashPeriod < DashDrawn)
                set(x0, y0, color);
            if (x0 == x1 && y0 == y1)
                break;
            const int twice = 2 * error;
            if (twice >= dy) {
                error += dy;
                x0 += sx;
            }
            if (twice <= dx) {
                error += dx;
                y0 += sy;
            }
        }
    }

private:
    bool inside(ScreenPoint p) const {
        return p.left >= 0 && p.top >= 0 && p.left < m_width && p.top < m_height;
    }

    // Only ever given values just around the screen: -1 and more.
    static int nearest(double v) { return static_cast<int>(std::floor(v + 0.5)); }

    QRgb* m_bits;
    qsizetype m_stride;
    int m_width;
    int m_height;
};

// One bit a pixel: which pixels hold something to draw. A full screen takes
// a quarter of a megabyte, so marking stays in the cache where setting the
// image's pixels at random would not.
class PixelMarks {
public:
    PixelMarks(int width, int height)
        : m_width(width), m_height(height), m_wordsPerRow((width + 63) / 64),
          m_words(static_cast<std::size_t>(m_wordsPerRow) * std::max(0, height), 0) {}

    void mark(int x, int y) {
        if (x >= 0 && y >= 0 && x < m_width && y < m_height)
            m_words[static_cast<std::size_t>(y) * m_wordsPerRow + x / 64] |= std::uint64_t(1)
                                                                             << (x % 64);
    }

    // Calls f(x, y) for every marked pixel, row by row.
    template <typename F> void forEach(F&& f) const {
        for (int y = 0; y < m_height; ++y)
            for (int w = 0; w < m_wordsPerRow; ++w) {
                std::uint64_t bits = m_words[static_cast<std::size_t>(y) * m_wordsPerRow + w];
                while (bits) {
                    f(w * 64 + std::countr_zero(bits), y);
                    bits &= bits - 1;
                }
            }
    }

private:
    int m_width;
    int m_height;
    int m_wordsPerRow;
    std::vector<std::uint64_t> m_words;
};

// The pixels of a ring about 1.5 pixels thick around (0, 0).
std::vector<std::pair<int, int>> ringOffsets(double radius, double thickness) {
    std::vector<std::pair<int, int>> offsets;
    const int reach = static_cast<int>(std::ceil(radius + thickness));
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const double d = std::hypot(dx, dy);
            if (d >= radius - thickness / 2 && d < radius + thickness / 2)
                offsets.emplace_back(dx, dy);
        }
    return offsets;
}

QRgb findingColor(FindingKind kind) {
    switch (kind) {
    case FindingKind::DuplicateName:
        break;
    case FindingKind::CoincidentPoint:
        return CoincidentRed;
    case FindingKind::DuplicateNumber:
        return DuplicateNumberPurple;
    }
    return DuplicateBlue;
}

// A pair that should be one point but lies in two places (a name or a number
// given twice) is dashed; coincident points are joined by a solid line.
Qt::PenStyle findingLine(FindingKind kind) {
    return kind == FindingKind::CoincidentPoint ? Qt::SolidLine : Qt::DashLine;
}

PlotView deviceView(const PlotView& view, qreal ratio) {
    PlotView device = view;
    device.pixelsPerMetre *= ratio;
    device.width = std::round(view.width * ratio);
    device.height = std::round(view.height * ratio);
    return device;
}

QPointF qPoint(ScreenPoint s) {
    return {s.left, s.top};
}

QFont labelFont(int pixels) {
    QFont font = proportionalGothicFont(9);
    font.setPixelSize(pixels);
    return font;
}

// "43 道3": the point number and its name, as the report names a point.
QString pointLabel(const PointTable& table, std::int32_t position) {
    return qText(formatInteger(table.numbers[position])) + QLatin1Char(' ') +
           qText(table.names[position]).trimmed();
}

void drawScaleBar(QPainter& painter, const PlotView& view) {
    constexpr double Left = 16;
    constexpr double FromBottom = 16;
    const double metres = scaleBarMetres(view.pixelsPerMetre, std::min(200.0, view.width / 3));
    const double length = metres * view.pixelsPerMetre;
    const QString text = QString::fromStdString(scaleBarLabel(metres));
    painter.setFont(labelFont(LabelPixels));
    const QFontMetricsF metrics(painter.font());
    const double y = view.height - FromBottom;
    const QRectF back(Left - 6, y - metrics.height() - 10,
                      std::max(length, metrics.horizontalAdvance(text)) + 12,
                      metrics.height() + 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 220));
    painter.drawRect(back);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(QPointF(Left, y), QPointF(Left + length, y));
    painter.drawLine(QPointF(Left, y - 5), QPointF(Left, y + 1));
    painter.drawLine(QPointF(Left + length, y - 5), QPointF(Left + length, y + 1));
    painter.drawText(QPointF(Left, y - 8), text);
}

void drawNorthArrow(QPainter& painter, const PlotView& view, double top) {
    const double x = view.width - 28;
    painter.setFont(labelFont(TitlePixels));
    const QFontMetricsF metrics(painter.font());
    const QString north = QStringLiteral("N");
    painter.setPen(Qt::black);
    painter.drawText(QPointF(x - metrics.horizontalAdvance(north) / 2, top + metrics.ascent()),
                     north);
    const double tip = top + metrics.height() + 2;
    QPainterPath left;
    left.moveTo(x, tip);
    left.lineTo(x - 8, tip + 30);
    left.lineTo(x, tip + 22);
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(x, tip);
    right.lineTo(x + 8, tip + 30);
    right.lineTo(x, tip + 22);
    right.closeSubpath();
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::black);
    painter.drawPath(left);
    painter.setBrush(Qt::white);
    painter.drawPath(right);
}

// numbersFound: the key also explains the point-number colour, which only a
// run with that check can show.
void drawTitle(QPainter& painter, const PlotView& view, const QString& title, bool numbersFound) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(0, 0, view.width, TitleBand));
    painter.setPen(QColor(160, 160, 160));
    painter.drawLine(QPointF(0, TitleBand - 0.5), QPointF(view.width, TitleBand - 0.5));
    painter.setFont(labelFont(TitlePixels));
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(painter.font());
    const double baseline = (TitleBand - metrics.height()) / 2 + metrics.ascent();
    painter.drawText(QPointF(8, baseline), title);

    // The key at the right end, where the title leaves room: what the
    // colours mean.
    std::vector<std::pair<FindingKind, QString>> key;
    if (numbersFound)
        key.emplace_back(FindingKind::DuplicateNumber, QStringLiteral(u"同一点番号"));
    key.emplace_back(FindingKind::DuplicateName, QStringLiteral(u"同一名称"));
    key.emplace_back(FindingKind::CoincidentPoint, QStringLiteral(u"同一座標値"));
    constexpr double SampleWidth = 26 + RingRadius + 24;
    double keyWidth = 0;
    for (const auto& item : key)
        keyWidth += metrics.horizontalAdvance(item.second) + SampleWidth;
    if (8 + metrics.horizontalAdvance(title) + 24 + keyWidth > view.width)
        return;
    double right = view.width - 8;
    for (const auto& [kind, name] : key) {
        const double textWidth = metrics.horizontalAdvance(name);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(right - textWidth, baseline), name);
        const QColor color = QColor::fromRgb(findingColor(kind));
        const double middle = TitleBand / 2;
        const double lineEnd = right - textWidth - 6;
        painter.setPen(QPen(color, 1.5, findingLine(kind)));
        painter.drawLine(QPointF(lineEnd - 26, middle), QPointF(lineEnd, middle));
        painter.setPen(QPen(color, 1.5));
        painter.setBrush(Qt::white);
        painter.drawEllipse(QPointF(lineEnd - 26, middle), RingRadius, RingRadius);
        painter.drawEllipse(QPointF(lineEnd, middle), RingRadius, RingRadius);
        right -= textWidth + SampleWidth;
    }
}

} // namespace

PlotPainter::PlotPainter(const PointTable& table) : m_table(table) {}

double PlotPainter::titleHeight() {
    return TitleBand;
}

void PlotPainter::paint(QPainter& painter, const PlotView& view, std::int32_t chosenFinding,
                        const QString& title, qreal devicePixelRatio) {
    painter.drawImage(QPointF(0, 0), layer(view, devicePixelRatio));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    if (chosenFinding >= 0 && chosenFinding < static_cast<std::int32_t>(m_table.findings.size())) {
        const Finding& f = m_table.findings[chosenFinding];
        const PlanePoint a = planePoint(m_table, f.first);
        const PlanePoint b = planePoint(m_table, f.second);
        const QColor color = QColor::fromRgb(findingColor(f.kind));
        // Cut to a little beyond the screen, so that a far pair still shows
        // the way to its other point.
        constexpr double Beyond = 50;
        ScreenPoint sa = toScreen(view, a);
        ScreenPoint sb = toScreen(view, b);
        const bool joined =
            isPlotted(a) && isPlotted(b) &&
            clipSegment(sa, sb, -Beyond, -Beyond, view.width + Beyond, view.height + Beyond);
        if (joined) {
            painter.setPen(QPen(ChosenHalo, 7, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(qPoint(sa), qPoint(sb));
            painter.setPen(QPen(color, 2, findingLine(f.kind)));
            painter.drawLine(qPoint(sa), qPoint(sb));
        }
        painter.setBrush(Qt::NoBrush);
        for (const PlanePoint p : {a, b}) {
            const ScreenPoint s = toScreen(view, p);
            if (!isPlotted(p) || s.left < -Beyond || s.top < -Beyond ||
                s.left > view.width + Beyond || s.top > view.height + Beyond)
                continue;
            painter.setPen(QPen(ChosenHalo, 6));
            painter.drawEllipse(qPoint(s), ChosenRingRadius, ChosenRingRadius);
            painter.setPen(QPen(color, 2.5));
            painter.drawEllipse(qPoint(s), ChosenRingRadius, ChosenRingRadius);
        }
    }

    drawScaleBar(painter, view);
    drawNorthArrow(painter, view, (title.isEmpty() ? 0 : TitleBand) + 8);
    if (!title.isEmpty())
        drawTitle(
            painter, view, title,
            std::any_of(m_table.findings.begin(), m_table.findings.end(),
                        [](const Finding& f) { return f.kind == FindingKind::DuplicateNumber; }));
    painter.restore();
}

const QImage& PlotPainter::layer(const PlotView& view, qreal devicePixelRatio) {
    const bool same = !m_layer.isNull() && devicePixelRatio == m_layerRatio &&
                      view.centre.x == m_layerView.centre.x &&
                      view.centre.y == m_layerView.centre.y &&
                      view.pixelsPerMetre == m_layerView.pixelsPerMetre &&
                      view.width == m_layerView.width && view.height == m_layerView.height;
    if (same)
        return m_layer;

    const PlotView device = deviceView(view, devicePixelRatio);
    const int width = std::max(1, static_cast<int>(device.width));
    const int height = std::max(1, static_cast<int>(device.height));
    if (m_layer.width() != width || m_layer.height() != height)
        m_layer = QImage(width, height, QImage::Format_RGB32);
    m_layer.setDevicePixelRatio(1);
    m_layer.fill(Background);

    // Which pixels hold a point: one pass over the whole table marks them in a
    // bitmap small enough to stay in the cache, however the points lie; the
    // dots are then set row by row, once a pixel however many points share it.
    m_visible.clear();
    std::size_t visible = 0;
    PixelMarks marks(width, height);
    const double scale = device.pixelsPerMetre;
    const double middleLeft = device.width / 2;
    const double middleTop = device.height / 2;
    for (std::int32_t i = 1; i <= m_table.pointCount; ++i) {
        const double x = m_table.xs[i];
        const double y = m_table.ys[i];
        if (x == 0 && y == 0)
            continue;
        const double left = middleLeft + (y - device.centre.y) * scale;
        const double top = middleTop - (x - device.centre.x) * scale;
        if (!(left >= 0 && left < width && top >= 0 && top < height))
            continue;
        marks.mark(static_cast<int>(left), static_cast<int>(top));
        if (++visible <= MaxLabelledPoints)
            m_visible.push_back(i);
    }

    Pixels pixels(m_layer);
    const int dot = static_cast<int>(
        std::lround((visible <= FewPoints ? 3 : 2) * std::max<qreal>(1, devicePixelRatio)));
    marks.forEach([&](int x, int y) { pixels.square(x - dot / 2, y - dot / 2, dot, PointGrey); });
    drawFindings(m_layer, device, devicePixelRatio);

    m_layer.setDevicePixelRatio(devicePixelRatio);
    if (visible <= MaxLabelledPoints)
        drawLabels(m_layer, view, m_visible, devicePixelRatio);
    m_layerView = view;
    m_layerRatio = devicePixelRatio;
    return m_layer;
}

void PlotPainter::drawFindings(QImage& image, const PlotView& device, qreal devicePixelRatio) {
    Pixels pixels(image);
    const double ratio = std::max<qreal>(1, devicePixelRatio);
    const auto ring = ringOffsets(RingRadius * ratio, 1.5 * ratio);
    // A ring reaches a few pixels beyond the screen's edge; so do the marks.
    const int reach = static_cast<int>(std::ceil(RingRadius * ratio + ratio));
    PixelMarks duplicateRings(image.width() + 2 * reach, image.height() + 2 * reach);
    PixelMarks numberRings(image.width() + 2 * reach, image.height() + 2 * reach);
    PixelMarks coincidentRings(image.width() + 2 * reach, image.height() + 2 * reach);
    bool numbersFound = false;

    if (m_findingPoints.size() != m_table.findings.size()) {
        // In the order of the findings, so that each layer reads them in one
        // sweep rather than at random all over the table.
        m_findingPoints.clear();
        m_findingPoints.reserve(m_table.findings.size());
        for (const Finding& f : m_table.findings)
            m_findingPoints.push_back(
                {planePoint(m_table, f.first), planePoint(m_table, f.second)});
    }
    for (std::size_t k = 0; k < m_findingPoints.size(); ++k) {
        const Finding& f = m_table.findings[k];
        const auto [a, b] = m_findingPoints[k];
        const ScreenPoint sa = toScreen(device, a);
        const ScreenPoint sb = toScreen(device, b);
        const bool coincident = f.kind == FindingKind::CoincidentPoint;
        const bool number = f.kind == FindingKind::DuplicateNumber;
        numbersFound = numbersFound || number;
        PixelMarks& rings = coincident ? coincidentRings : number ? numberRings : duplicateRings;
        for (const auto& [p, s] : {std::pair(a, sa), std::pair(b, sb)})
            if (isPlotted(p) && s.left > -reach && s.top > -reach &&
                s.left < image.width() + reach && s.top < image.height() + reach)
                rings.mark(static_cast<int>(s.left + reach + 0.5),
                           static_cast<int>(s.top + reach + 0.5));
        // A pair on one pixel is its ring alone.
        if (isPlotted(a) && isPlotted(b) &&
            (std::abs(sa.left - sb.left) >= 1 || std::abs(sa.top - sb.top) >= 1))
            pixels.line(sa, sb, findingColor(f.kind), !coincident);
    }
    // Red over the others: a point in several kinds of finding shows its
    // nearer trouble.
    duplicateRings.forEach(
        [&](int x, int y) { pixels.stamp(x - reach, y - reach, ring, DuplicateBlue); });
    if (numbersFound)
        numberRings.forEach(
            [&](int x, int y) { pixels.stamp(x - reach, y - reach, ring, DuplicateNumberPurple); });
    coincidentRings.forEach(
        [&](int x, int y) { pixels.stamp(x - reach, y - reach, ring, CoincidentRed); });
}

void PlotPainter::drawLabels(QImage& image, const PlotView& view,
                             const std::vector<std::int32_t>& visible,
                             qreal devicePixelRatio) const {
    // The points of findings are tried first: theirs are the labels wanted.
    std::vector<std::int32_t> order;
    order.reserve(visible.size());
    std::vector<char> inFinding(static_cast<std::size_t>(m_table.pointCount) + 1, 0);
    for (const Finding& f : m_table.findings)
        for (const std::int32_t position : {f.first, f.second})
            if (position >= 1 && position <= m_table.pointCount)
                inFinding[position] = 1;
    for (const std::int32_t i : visible)
        if (inFinding[i])
            order.push_back(i);
    for (const std::int32_t i : visible)
        if (!inFinding[i])
            order.push_back(i);

    const QFont font = labelFont(LabelPixels);
    const QFontMetricsF metrics(font, &image);
    // Clear of the ring that marks a chosen finding.
    constexpr double Gap = 12;
    constexpr double LabelSpacing = 8;
    std::vector<QString> texts;
    std::vector<LabelBox> boxes;
    texts.reserve(order.size());
    boxes.reserve(order.size());
    for (const std::int32_t i : order) {
        texts.push_back(pointLabel(m_table, i));
        const ScreenPoint s = toScreen(view, planePoint(m_table, i));
        const double width = metrics.horizontalAdvance(texts.back());
        // Left of a point near the right edge, rather than no label at all.
        const double left =
            s.left + Gap + width <= view.width ? s.left + Gap : s.left - Gap - width;
        // With some room on either side, so that two labels never run into one.
        boxes.push_back({left - LabelSpacing / 2, s.top - metrics.height() / 2,
                         width + LabelSpacing, metrics.height()});
    }
    // The dots are obstacles too: a label covers no other point.
    constexpr double DotReach = 3;
    std::vector<LabelBox> dots;
    dots.reserve(visible.size());
    for (const std::int32_t i : visible) {
        const ScreenPoint s = toScreen(view, planePoint(m_table, i));
        dots.push_back({s.left - DotReach, s.top - DotReach, 2 * DotReach, 2 * DotReach});
    }
    // Nor does one run under the title line, the north arrow or the scale bar.
    dots.push_back({0, 0, view.width, TitleBand});
    dots.push_back({view.width - 60, 0, 60, TitleBand + 80});
    dots.push_back({0, view.height - 56, 240, 56});
    const auto placed = placeLabels(boxes, dots, image.width() / devicePixelRatio,
                                    image.height() / devicePixelRatio);
    if (placed.empty())
        return;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(LabelColor);
    for (const std::int32_t k : placed)
        painter.drawText(QPointF(boxes[k].left + LabelSpacing / 2, boxes[k].top + metrics.ascent()),
                         texts[k]);
}

} // namespace morvane
