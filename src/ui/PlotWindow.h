#pragma once

#include "core/RunSummary.h"
#include "plot/PlotMapping.h"

#include <cstdint>
#include <filesystem>

#include <QWidget>

class QLabel;

namespace morvane {

struct PointTable;
class PlotCanvas;

// The plot of the last run in a window of its own: north up, the wheel
// zooms about the pointer, dragging pans, Home shows every point, N and P
// (or the arrow keys) step to the next and previous finding. The status line
// gives X and Y under the pointer, and after a key the middle of the view the
// key moved to. The window keeps its size and place in the user's settings.
class PlotWindow : public QWidget {
    Q_OBJECT

public:
    explicit PlotWindow(QWidget* parent = nullptr);
    ~PlotWindow() override;

    // Shows the run's points and findings, all of them in view. The table
    // must stay unchanged until forgetRun or the next showRun.
    // The title names the run as the main window does: a file's name, or a
    // sheet's shown name when the file held several.
    void showRun(const PointTable& table, const RunSummary& run, const std::filesystem::path& name);
    // The table is about to change: nothing is drawn until the next showRun.
    void forgetRun();
    bool hasRun() const;

    // Frames finding `index` of the table's findings and marks it chosen.
    void showFinding(std::int32_t index);
    // Every plotted point in view.
    void showAll();

    // -1 while no finding is chosen.
    std::int32_t chosenFinding() const;
    PlotView view() const;

signals:
    // A key stepped to this finding.
    void findingStepped(std::int32_t index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void step(std::int32_t by);
    void showPointer(PlanePoint p);
    void saveGeometryToSettings();

    PlotCanvas* m_canvas;
    QLabel* m_status;
    const PointTable* m_table = nullptr;
    double m_tolerance = 0;
};

} // namespace morvane
