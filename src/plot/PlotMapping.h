#pragma once

#include "core/Finding.h"

#include <cstdint>
#include <string>
#include <vector>

namespace morvane {

struct PointTable;

// A place on the survey plane in metres: X is the northing, Y the easting.
struct PlanePoint {
    double x = 0;
    double y = 0;
};

// A place on the screen in pixels from the top-left corner.
struct ScreenPoint {
    double left = 0;
    double top = 0;
};

// The smallest box around some plane points; empty until one is added.
struct PlaneBox {
    double minX = 0;
    double maxX = 0;
    double minY = 0;
    double maxY = 0;
    bool empty = true;

    void add(PlanePoint p);
    // Grows the box by margin metres on every side.
    PlaneBox grown(double margin) const;
    PlanePoint centre() const { return {(minX + maxX) / 2, (minY + maxY) / 2}; }
};

// What the plot shows: north up, east right, one scale for both axes. The
// centre lies in the middle of a screen of width x height pixels.
struct PlotView {
    PlanePoint centre;
    double pixelsPerMetre = 1;
    double width = 0;
    double height = 0;
};

// How far a view may zoom: from a whole country on a few pixels down to a
// tenth of a millimetre a pixel, well past the millimetres a file holds.
inline constexpr double MinPixelsPerMetre = 1e-5;
inline constexpr double MaxPixelsPerMetre = 1e4;

inline ScreenPoint toScreen(const PlotView& view, PlanePoint p) {
    return {view.width / 2 + (p.y - view.centre.y) * view.pixelsPerMetre,
            view.height / 2 - (p.x - view.centre.x) * view.pixelsPerMetre};
}

inline PlanePoint toPlane(const PlotView& view, ScreenPoint s) {
    return {view.centre.x - (s.top - view.height / 2) / view.pixelsPerMetre,
            view.centre.y + (s.left - view.width / 2) / view.pixelsPerMetre};
}

// The view of a screen that shows the whole box, leaving margin pixels free
// on every side. An empty box gives a view of the origin at one pixel a metre.
PlotView framing(const PlaneBox& box, double width, double height, double margin);

// Zoomed by factor (above 1 nearer) so that the plane point under `fixed`
// stays under it.
PlotView zoomedAbout(const PlotView& view, ScreenPoint fixed, double factor);

// Moved with the pointer: what was at s is then at s + (dx, dy).
PlotView panned(const PlotView& view, double dx, double dy);

// Same centre and scale on a screen of another size.
PlotView resized(const PlotView& view, double width, double height);

// A point at exactly (0, 0) has no coordinates: it is never drawn.
inline bool isPlotted(PlanePoint p) {
    return !(p.x == 0 && p.y == 0);
}

// Point `position` of the table.
PlanePoint planePoint(const PointTable& table, std::int32_t position);

// Every plotted point of the table.
PlaneBox plottedBox(const PointTable& table);

// What the first view of a finding frames: both points and what lies within
// ten times the tolerance around them; a pair far apart (a duplicate name)
// with a quarter of its distance on every side. Empty when neither point is
// plotted.
PlaneBox findingBox(const PointTable& table, const Finding& finding, double tolerance);

// The longest scale bar of 1, 2 or 5 times a power of ten metres that is at
// most maxPixels long.
double scaleBarMetres(double pixelsPerMetre, double maxPixels);

// The scale bar's length as a reader says it: "500 km", "2 km", "50 m",
// "20 cm", "5 mm". Plain digits, never an exponent, in the largest unit of
// which the length is at least one.
std::string scaleBarLabel(double metres);

// Cuts the segment a-b to the box left..right, top..bottom; false when
// nothing of it lies inside. Lines far off the screen are cut before drawing,
// so no pixel coordinate overflows at a deep zoom.
bool clipSegment(ScreenPoint& a, ScreenPoint& b, double left, double top, double right,
                 double bottom);

// The overview of a run: every plotted point on a screen of width x height,
// below a title band of titleHeight pixels, clear of the scale bar and the
// north arrow.
PlotView overview(const PointTable& table, double width, double height, double titleHeight = 0);

// A label's box on the screen.
struct LabelBox {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// Which labels to draw, first come first served: a label that would overlap
// one already placed or an obstacle (the dots of the points), or leave the
// screen, is left out. Returns the indices of the placed labels in the order
// given.
std::vector<std::int32_t> placeLabels(const std::vector<LabelBox>& labels,
                                      const std::vector<LabelBox>& obstacles, double width,
                                      double height);

} // namespace morvane
