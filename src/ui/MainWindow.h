#pragma once

#include "core/UiSink.h"
#include "ui/Dialogs.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QWidget>

class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QListView;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace morvane {

struct PointTable;
class CheckOptions;
class ReportCommands;
class ResultListModel;
class ResultTextFiller;
class SheetFollower;
class TextPlotLink;

// The character filter of the two number fields: returns the code to insert,
// 0 to drop the key. Enter (13) is dropped, so each field stays one line.
std::int16_t filterNumberFieldKey(std::int16_t key);

// The main window. It owns the run's data, shows it through UiSink on its
// controls and hands Start (a click, a drop, a named file) to the core; it
// decides nothing itself. What follows a run lives beside it: ReportCommands
// (print, PDF, CSV) and TextPlotLink (the result text and the plot), both
// told when a run starts and when it ends; CheckOptions holds what the next
// run checks.
// Controls carry their names as object names (findChild<...>("lowerField")).
class MainWindow : public QWidget, public UiSink {
    Q_OBJECT

public:
    // Without dialogs the real ones are used; tests pass scripted ones.
    explicit MainWindow(std::optional<WindowDialogs> dialogs = std::nullopt,
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    // Checks the file as if it had been chosen in the file dialog after Start:
    // for a file named on the command line or dropped on the window.
    void checkFile(const std::filesystem::path& file);
    // The same for several files, checked together as one job (one file:
    // checkFile).
    void checkFiles(std::vector<std::filesystem::path> files);

    std::u16string toleranceText() override;
    void setToleranceText(const std::u16string& text) override;
    std::u16string lowerBoundText() override;
    void refuseBand(BandField field, const std::u16string& message) override;
    std::optional<std::filesystem::path> chooseCoordinateFile() override;
    CheckChoice checkChoice() override;
    std::vector<std::filesystem::path> chooseCoordinateFiles() override;
    bool choosePrinter() override;
    void setStatusText(const std::u16string& text) override;
    void setStatusColor(Rgb color) override;
    void setBusyCursor(bool on) override;
    void redraw() override;
    void clearResultList() override;
    void addResultItem(const std::u16string& text) override;
    std::int32_t resultItemCount() override;
    std::u16string resultText() override;
    void setResultText(const std::u16string& text) override;
    void appendResultText(const std::u16string& text) override;
    Answer askYesNo(const std::u16string& prompt) override;
    void showMessage(const std::u16string& text) override;
    void showError(const std::u16string& message, const ErrorPlace& place) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void startRun();
    // Puts list items and result text that a run has produced since the last
    // call into their controls. Until then nothing can be painted or read by
    // the user, because a run does not return to the event loop.
    void showPending();

    // Qt's editing commands, then the plot's entry, the choice of checks and
    // the report commands.
    std::unique_ptr<QMenu> makeResultTextMenu(const QPoint& position);
    void showResultTextMenu(const QPoint& position);

    std::unique_ptr<PointTable> m_table;
    WindowDialogs m_dialogs;
    // Told of each run (see the class comment).
    ReportCommands* m_reports;
    TextPlotLink* m_plotLink;
    SheetFollower* m_sheetFollower;
    CheckOptions* m_checkOptions;

    QPushButton* m_startButton;
    QLabel* m_bandLabel;
    QPlainTextEdit* m_lowerField;
    QLabel* m_toLabel;
    QPlainTextEdit* m_toleranceField;
    QLabel* m_status;
    QPushButton* m_printButton;
    QPlainTextEdit* m_resultText;
    ResultTextFiller* m_resultTextFiller;
    QListView* m_resultList;
    ResultListModel* m_listItems;

    // Set by a run and not yet in m_resultText (see showPending).
    std::u16string m_pendingResultText;
    bool m_resultPending = false;
    // Added by a run after what m_resultText (or the pending text) shows.
    std::u16string m_pendingAddition;
    bool m_busy = false;
    bool m_running = false;
    // Answers the run's next file question instead of the dialog, once.
    std::vector<std::filesystem::path> m_givenFiles;
};

} // namespace morvane
