#include "plot/PlotMapping.h"

#include "core/NumberFormat.h"
#include "core/PointTable.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>

namespace morvane {

namespace {

// The first view of a finding shows this many tolerances around its points.
constexpr double FrameTolerances = 10;
// Of a pair's distance, on every side of a pair far apart.
constexpr double FarPairMargin = 0.25;
// A frame at least this wide around the points, so that a tolerance of 0 or a
// pair on one spot still shows some surroundings.
constexpr double MinFrameMargin = 0.1;

double clampedScale(double pixelsPerMetre) {
    return std::clamp(pixelsPerMetre, MinPixelsPerMetre, MaxPixelsPerMetre);
}

} // namespace

void PlaneBox::add(PlanePoint p) {
    if (empty) {
        minX = maxX = p.x;
        minY = maxY = p.y;
        empty = false;
        return;
    }
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
}

PlaneBox PlaneBox::grown(double margin) const {
    if (empty)
        return *this;
    return {minX - margin, maxX + margin, minY - margin, maxY + margin, false};
}

PlotView framing(const PlaneBox& box, double width, double height, double margin) {
    PlotView view{{0, 0}, 1, width, height};
    if (box.empty)
        return view;
    view.centre = box.centre();
    const double usableWidth = std::max(1.0, width - 2 * margin);
    const double usableHeight = std::max(1.0, height - 2 * margin);
    const double eastWest = box.maxY - box.minY;
    const double northSouth = box.maxX - box.minX;
    double scale = MaxPixelsPerMetre;
    if (eastWest > 0)
        scale = std::min(scale, usableWidth / eastWest);
    if (northSouth > 0)
        scale = std::min(scale, usableHeight / northSouth);
    view.pixelsPerMetre = clampedScale(scale);
    return view;
}

PlotView zoomedAbout(const PlotView& view, ScreenPoint fixed, double factor) {
    const PlanePoint under = toPlane(view, fixed);
    PlotView zoomed = view;
    zoomed.pixelsPerMetre = clampedScale(view.pixelsPerMetre * factor);
    // Put the centre where it keeps `under` at `fixed`.
    zoomed.centre.x = under.x + (fixed.top - view.height / 2) / zoomed.pixelsPerMetre;
    zoomed.centre.y = under.y - (fixed.left - view.width / 2) / zoomed.pixelsPerMetre;
    return zoomed;
}

PlotView panned(const PlotView& view, double dx, double dy) {
    PlotView moved = view;
    moved.centre.x += dy / view.pixelsPerMetre;
    moved.centre.y -= dx / view.pixelsPerMetre;
    return moved;
}

PlotView resized(const PlotView& view, double width, double height) {
    PlotView sized = view;
    sized.width = width;
    sized.height = height;
    return sized;
}

PlanePoint planePoint(const PointTable& table, std::int32_t position) {
    return {table.xs[position], table.ys[position]};
}

PlaneBox plottedBox(const PointTable& table) {
    PlaneBox box;
    for (std::int32_t i = 1; i <= table.pointCount; ++i) {
        const PlanePoint p = planePoint(table, i);
        if (isPlotted(p) && std::isfinite(p.x) && std::isfinite(p.y))
            box.add(p);
    }
    return box;
}

PlaneBox findingBox(const PointTable& table, const Finding& finding, double tolerance) {
    PlaneBox box;
    for (const std::int32_t position : {finding.first, finding.second}) {
        if (position < 1 || position > table.pointCount)
            continue;
        const PlanePoint p = planePoint(table, position);
        if (isPlotted(p))
            box.add(p);
    }
    const double margin =
        std::max({FrameTolerances * tolerance, FarPairMargin * finding.distance, MinFrameMargin});
    return box.grown(margin);
}

bool clipSegment(ScreenPoint& a, ScreenPoint& b, double left, double top, double right,
                 double bottom) {
    // Liang-Barsky: the part of a + t (b - a), 0 <= t <= 1, inside the box.
    const double dx = b.left - a.left;
    const double dy = b.top - a.top;
    double enter = 0;
    double leave = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.left - left, right - a.left, a.top - top, bottom - a.top};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
        if (enter > leave)
            return false;
    }
    const ScreenPoint start = a;
    a = {start.left + enter * dx, start.top + enter * dy};
    b = {start.left + leave * dx, start.top + leave * dy};
    return true;
}

PlotView overview(const PointTable& table, double width, double height, double titleHeight) {
    // Room for the marks of findings at the edge, and for the scale bar and
    // the north arrow beside the points rather than over them.
    constexpr double Margin = 64;
    PlotView view = framing(plottedBox(table), width, height - titleHeight, Margin);
    view.height = height;
    // The framed area sits below the title band.
    view.centre.x += titleHeight / 2 / view.pixelsPerMetre;
    return view;
}

double scaleBarMetres(double pixelsPerMetre, double maxPixels) {
    const double longest = maxPixels / pixelsPerMetre;
    double power = std::pow(10.0, std::floor(std::log10(longest)));
    // log10 may land a hair below an exact power.
    if (power * 10 <= longest)
        power *= 10;
    for (const double step : {5.0, 2.0, 1.0})
        if (step * power <= longest)
            return step * power;
    return power / 2;
}

std::string scaleBarLabel(double metres) {
    struct LengthUnit {
        double metres;
        const char* name;
    };
    constexpr LengthUnit Units[] = {{1000, "km"}, {1, "m"}, {0.01, "cm"}, {0.001, "mm"}};
    // A power of ten computed as 10^k may fall a hair short of the unit.
    constexpr double Slack = 1 - 1e-9;
    const LengthUnit* unit = &Units[std::size(Units) - 1];
    for (const LengthUnit& u : Units) {
        if (metres >= u.metres * Slack) {
            unit = &u;
            break;
        }
    }
    // 0.05 / 0.01 is 5.000000000000001: rounded to thousandths of the unit,
    // which keeps a bar under a millimetre readable as well.
    constexpr double Thousandths = 1000;
    const double count = std::round(metres / unit->metres * Thousandths) / Thousandths;
    return formatPlainDecimal(count) + ' ' + unit->name;
}

std::vector<std::int32_t> placeLabels(const std::vector<LabelBox>& labels,
                                      const std::vector<LabelBox>& obstacles, double width,
                                      double height) {
    // Placed boxes by the grid cells they touch, so that each test looks only
    // at near neighbours.
    constexpr double CellSize = 64;
    const int columns = std::max(1, static_cast<int>(std::ceil(width / CellSize)));
    const int rows = std::max(1, static_cast<int>(std::ceil(height / CellSize)));
    std::vector<std::vector<std::int32_t>> cells(static_cast<std::size_t>(columns) * rows);
    // Obstacles first, then the labels placed so far.
    std::vector<LabelBox> taken;
    const auto cellRange = [&](const LabelBox& b) {
        const int firstColumn = std::clamp(static_cast<int>(b.left / CellSize), 0, columns - 1);
        const int lastColumn =
            std::clamp(static_cast<int>((b.left + b.width) / CellSize), 0, columns - 1);
        const int firstRow = std::clamp(static_cast<int>(b.top / CellSize), 0, rows - 1);
        const int lastRow =
            std::clamp(static_cast<int>((b.top + b.height) / CellSize), 0, rows - 1);
        return std::array<int, 4>{firstColumn, lastColumn, firstRow, lastRow};
    };
    const auto take = [&](const LabelBox& b) {
        const auto [firstColumn, lastColumn, firstRow, lastRow] = cellRange(b);
        const auto index = static_cast<std::int32_t>(taken.size());
        taken.push_back(b);
        for (int r = firstRow; r <= lastRow; ++r)
            for (int c = firstColumn; c <= lastColumn; ++c)
                cells[static_cast<std::size_t>(r) * columns + c].push_back(index);
    };
    const auto isFree = [&](const LabelBox& b) {
        const auto [firstColumn, lastColumn, firstRow, lastRow] = cellRange(b);
        for (int r = firstRow; r <= lastRow; ++r)
            for (int c = firstColumn; c <= lastColumn; ++c)
                for (const std::int32_t other : cells[static_cast<std::size_t>(r) * columns + c]) {
                    const LabelBox& o = taken[other];
                    if (b.left < o.left + o.width && o.left < b.left + b.width &&
                        b.top < o.top + o.height && o.top < b.top + b.height)
                        return false;
                }
        return true;
    };

    for (const LabelBox& o : obstacles)
        if (o.left + o.width > 0 && o.top + o.height > 0 && o.left < width && o.top < height)
            take(o);
    std::vector<std::int32_t> placed;
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(labels.size()); ++i) {
        const LabelBox& b = labels[i];
        if (b.left < 0 || b.top < 0 || b.left + b.width > width || b.top + b.height > height ||
            !isFree(b))
            continue;
        placed.push_back(i);
        take(b);
    }
    return placed;
}

} // namespace morvane
