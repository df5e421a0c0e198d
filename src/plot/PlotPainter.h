#pragma once

#include "plot/PlotMapping.h"

#include <cstdint>
#include <vector>

#include <QImage>
#include <QString>

class QPainter;

namespace morvane {

struct PointTable;

// Draws a run's points and findings, north up: grey dots for the points
// (none for points at exactly 0, 0), coincident points as red rings joined by
// a line, duplicate names as blue rings joined by a dashed line, duplicate
// point numbers likewise in purple, point labels
// where they have room; over that the chosen finding, a scale bar, a north
// arrow and a title line. Points, findings and labels are drawn into a layer
// that is kept until the view changes, with the dots and rings set pixel by
// pixel, so that a full table repaints quickly.
//
// The table must stay unchanged while the painter is used.
class PlotPainter {
public:
    explicit PlotPainter(const PointTable& table);

    // chosenFinding: an index into table.findings, or -1. An empty title
    // draws no title line. The painter's device has this pixel ratio.
    void paint(QPainter& painter, const PlotView& view, std::int32_t chosenFinding,
               const QString& title, qreal devicePixelRatio = 1);

    // The height a title line takes, for a view that leaves it free.
    static double titleHeight();

private:
    const QImage& layer(const PlotView& view, qreal devicePixelRatio);
    void drawFindings(QImage& image, const PlotView& deviceView, qreal devicePixelRatio);
    void drawLabels(QImage& image, const PlotView& view, const std::vector<std::int32_t>& visible,
                    qreal devicePixelRatio) const;

    const PointTable& m_table;
    QImage m_layer;
    PlotView m_layerView;
    qreal m_layerRatio = 0;
    // The points inside the last layer, reused from layer to layer.
    std::vector<std::int32_t> m_visible;
    // The two points of each finding, in the order of the findings.
    struct FindingPoints {
        PlanePoint first;
        PlanePoint second;
    };
    std::vector<FindingPoints> m_findingPoints;
};

} // namespace morvane
