#pragma once

#include "core/RunSummary.h"
#include "output/ReportPrint.h"
#include "run/CheckRun.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include <QList>
#include <QObject>

class QAction;
class QMenu;
class QPrinter;
class QWidget;

namespace morvane {

struct PointTable;
struct WindowDialogs;
class UiSink;

// The commands on the last run's report: print it, save it as a PDF, save its
// findings as CSV. Their actions (printAction, savePdfAction, saveCsvAction)
// are enabled only while a run has left a report. The window tells them when a
// run starts, of each unit it checks and when it ends; they keep what the
// table cannot: the report of each unit of a file of several, since the
// table holds the last unit only.
class ReportCommands : public QObject {
    Q_OBJECT

public:
    // The actions live in the window (Ctrl+P works wherever its focus is),
    // which also owns the dialogs. Through ui they ask for the printer and say
    // why printing or saving failed. The table is the window's, holding the
    // last unit.
    ReportCommands(QWidget* window, UiSink& ui, const PointTable& table,
                   const WindowDialogs& dialogs);
    ~ReportCommands() override;

    // The table is about to change: nothing is left to print or save.
    void runStarting();
    // After each unit, while the table holds it (UnitHooks::done).
    void unitDone(const PointTable& table, const CheckedUnit& unit);
    // tableRun is the table's run when it completed. checkedFile is the file
    // whose report the run left, under whose name the files are proposed;
    // empty when it left none (a cancel, an error outside the units), and then
    // nothing of the run is kept.
    void runEnded(const std::optional<RunSummary>& tableRun,
                  const std::filesystem::path& checkedFile);

    // Appends the commands to a menu, in their order.
    void addTo(QMenu& menu) const;

    // The printer dialog, then the report on the printer chosen there; also
    // before any run, as the print button allows.
    void print();
    // What print prints on; the printer dialog sets it up.
    QPrinter& printer();
    // True while a PDF is written: its file, chosen already, answers the
    // printer question.
    bool savingPdf() const { return m_savingPdf; }

private:
    void enableActions();
    bool reportAvailable() const { return m_tableRun || !m_unitReports.empty(); }
    // A check of the last run (of any of its units) ended before its end.
    bool checkStoppedEarly() const;
    std::vector<ReportToPrint> reportsToPrint() const;
    void saveAsPdf();
    void saveAsCsv();

    QWidget* m_window;
    UiSink& m_ui;
    const PointTable& m_table;
    const WindowDialogs& m_dialogs;
    std::unique_ptr<QPrinter> m_printer;

    // Of the run the table holds (the last unit's), when it completed.
    std::optional<RunSummary> m_tableRun;
    // Each unit of the last file, when it had several; empty otherwise.
    std::vector<UnitReport> m_unitReports;
    std::filesystem::path m_checkedFile;
    bool m_savingPdf = false;

    // In the menu's order; a command added here is enabled with the others.
    QList<QAction*> m_actions;
};

} // namespace morvane
