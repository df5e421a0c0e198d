#include "ui/ReportCommands.h"

#include "core/FileFindings.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/Text.h"
#include "core/UiSink.h"
#include "export/FindingsCsv.h"
#include "print/PagedDeviceSink.h"
#include "print/PdfReport.h"
#include "print/QtOutputFile.h"
#include "ui/Dialogs.h"

#include <algorithm>
#include <sstream>
#include <string>

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QPrinter>
#include <QWidget>

namespace morvane {

namespace {

// Where a file made from the checked file's report is proposed: beside it,
// under its name ("site.sim" gives "site.pdf").
QString besideCheckedFile(const std::filesystem::path& checked, const char* extension) {
    std::filesystem::path suggested = std::filesystem::absolute(checked);
    suggested.replace_extension(extension);
    return QFile::decodeName(suggested.c_str());
}

} // namespace

ReportCommands::ReportCommands(QWidget* window, UiSink& ui, const PointTable& table,
                               const WindowDialogs& dialogs)
    : QObject(window), m_window(window), m_ui(ui), m_table(table), m_dialogs(dialogs) {
    auto* print = new QAction(QStringLiteral(u"レポートを印刷..."), window);
    print->setObjectName(QStringLiteral("printAction"));
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    print->setShortcutVisibleInContextMenu(true);
    // Added to the window, the shortcut works wherever the focus is in it.
    print->setShortcutContext(Qt::WindowShortcut);
    window->addAction(print);
    connect(print, &QAction::triggered, this, &ReportCommands::print);

    auto* savePdf = new QAction(QStringLiteral(u"PDFに保存..."), window);
    savePdf->setObjectName(QStringLiteral("savePdfAction"));
    connect(savePdf, &QAction::triggered, this, &ReportCommands::saveAsPdf);

    auto* saveCsv = new QAction(QStringLiteral(u"CSVに保存..."), window);
    saveCsv->setObjectName(QStringLiteral("saveCsvAction"));
    connect(saveCsv, &QAction::triggered, this, &ReportCommands::saveAsCsv);

    m_actions = {print, savePdf, saveCsv};
    enableActions();
}

ReportCommands::~ReportCommands() = default;

void ReportCommands::runStarting() {
    m_tableRun.reset();
    m_unitReports.clear();
    m_checkedFile.clear();
    enableActions();
}

void ReportCommands::unitDone(const PointTable& table, const CheckedUnit& unit) {
    // The next unit resets the table: a path of several keeps each unit's
    // report here.
    if (unit.ofSeveral())
        m_unitReports.push_back(keepUnitReport(table, unit, true));
}

void ReportCommands::runEnded(const std::optional<RunSummary>& tableRun,
                              const std::filesystem::path& checkedFile) {
    m_tableRun = tableRun;
    m_checkedFile = checkedFile;
    if (checkedFile.empty())
        m_unitReports.clear();
    enableActions();
}

void ReportCommands::addTo(QMenu& menu) const {
    for (QAction* action : m_actions)
        menu.addAction(action);
}

void ReportCommands::enableActions() {
    for (QAction* action : m_actions)
        action->setEnabled(reportAvailable());
}

std::vector<ReportToPrint> ReportCommands::reportsToPrint() const {
    std::vector<ReportToPrint> reports;
    if (m_unitReports.empty()) {
        reports.push_back({m_table.writtenReportLines(), m_tableRun});
        return reports;
    }
    reports.reserve(m_unitReports.size());
    for (const UnitReport& unit : m_unitReports)
        reports.push_back({ReportLines(unit.lines), unit.summary});
    return reports;
}

QPrinter& ReportCommands::printer() {
    // Made on first use: setting one up asks the print system for its printers.
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void ReportCommands::print() {
    try {
        QPrinter& paper = printer();
        // The report's offsets are measured from the printable area.
        paper.setFullPage(false);
        // Before any run there is nothing to print: the empty report still
        // becomes a file when the dialog chose one; paper is spared the blank
        // sheet.
        PagedDeviceSink sink(paper, [&paper] { return !paper.outputFileName().isEmpty(); });
        printReports(reportsToPrint(), m_ui, sink);
    } catch (const std::exception& e) {
        try {
            m_ui.showMessage(errorText(e, u"\r\n"));
        } catch (...) {
        }
    }
}

void ReportCommands::saveAsPdf() {
    if (!reportAvailable())
        return;
    try {
        const auto target = m_dialogs.chooseSaveFile(
            m_window, besideCheckedFile(m_checkedFile, ".pdf"), QStringLiteral("PDF (*.pdf)"));
        if (!target)
            return;
        m_savingPdf = true;
        PdfReportWriter().write(reportsToPrint(), m_ui, *target);
        m_savingPdf = false;
    } catch (const std::exception& e) {
        m_savingPdf = false;
        try {
            m_ui.showMessage(u"PDFに保存できませんでした。\r\n\r\n" + toUtf16(e.what()));
        } catch (...) {
        }
    }
}

bool ReportCommands::checkStoppedEarly() const {
    if (m_unitReports.empty())
        return m_tableRun && m_tableRun->cutShort();
    return std::any_of(m_unitReports.begin(), m_unitReports.end(), [](const UnitReport& unit) {
        return unit.summary && unit.summary->cutShort();
    });
}

void ReportCommands::saveAsCsv() {
    if (!reportAvailable())
        return;
    try {
        // A CSV has no place to say that a check stopped early: its reader is
        // told before the file is made.
        if (checkStoppedEarly())
            m_ui.showMessage(
                u"検査が途中で打ち切られたため、CSV には打ち切りまでの結果だけが入ります。");
        const auto target = m_dialogs.chooseSaveFile(
            m_window, besideCheckedFile(m_checkedFile, ".csv"), QStringLiteral("CSV (*.csv)"));
        if (!target)
            return;
        std::ostringstream csv;
        if (m_unitReports.empty()) {
            writeFindingsCsv(csv, fileFindings(m_table, *m_tableRun));
        } else {
            // One header, then the rows of every sheet that was checked.
            writeCsvHeader(csv);
            for (const UnitReport& unit : m_unitReports)
                if (unit.findings)
                    writeCsvRows(csv, *unit.findings);
        }
        const std::string bytes = csv.str();
        // Committed only when whole, as the PDF: a failure leaves an existing
        // file as it was.
        QtOutputFile file(*target, "the CSV file");
        if (file.device().write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()))
            file.fail(file.device().errorString().toStdString());
        file.commit();
    } catch (const std::exception& e) {
        try {
            m_ui.showMessage(u"CSVに保存できませんでした。\r\n\r\n" + toUtf16(e.what()));
        } catch (...) {
        }
    }
}

} // namespace morvane
