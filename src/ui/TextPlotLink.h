#pragma once

#include "core/RunSummary.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include <QObject>

class QMenu;
class QPlainTextEdit;
class QPoint;
class QWidget;

namespace morvane {

struct PointTable;
class PlotWindow;

// The link between the result text and the plot window. A finding's lines
// open the plot on that finding (double click, Ctrl+M, the context menu's
// "配置図を表示"); elsewhere they open it on all points. While the plot is
// open, selecting a finding's lines moves the plot there, and stepping to a
// finding in the plot selects its lines.
// Lines stand for findings only from runShown until the next run starts, and
// only while the user has not edited the text.
class TextPlotLink : public QObject {
    Q_OBJECT

public:
    // The plot window is made on first use, owned by the main window; the
    // table is the window's, holding the run the plot shows.
    TextPlotLink(QWidget* window, QPlainTextEdit* resultText, const PointTable& table);

    // The table is about to change: an open plot drops what it shows.
    void runStarting();
    // The result text now shows the table's run, when it completed, its report
    // starting at firstLine (below the reports of the sheets before it). An
    // open plot shows it at once, titled with name; a closed one when opened.
    void runShown(const std::optional<RunSummary>& run, std::int32_t firstLine,
                  const std::filesystem::path& name);

    // Called with a line of the result text before the link reads it, so
    // that the table then holds the run that line is of, and the text the
    // line itself.
    void setLineReader(std::function<void(int line)> reader) { m_lineReader = std::move(reader); }

    // The entry that opens the plot on the line under `at`, after a separator.
    void addMenuEntry(QMenu& menu, const QPoint& at);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Opens the plot on the finding of this line of the result text, or on
    // all points when the line holds none.
    void openPlotAtLine(int line);
    // The finding whose report lines include this line (0-based) of the
    // result text, once the line reader has had the line.
    std::optional<std::int32_t> findingAtLine(int line) const;
    void selectFindingLines(std::int32_t finding);
    void followTextSelection();

    QWidget* m_window;
    QPlainTextEdit* m_text;
    const PointTable& m_table;
    std::optional<RunSummary> m_run;
    std::int32_t m_firstLine = 0;
    std::filesystem::path m_name;
    PlotWindow* m_plot = nullptr;
    std::function<void(int line)> m_lineReader;
    // Set while the link itself selects a finding's lines.
    bool m_selectingFinding = false;
};

} // namespace morvane
