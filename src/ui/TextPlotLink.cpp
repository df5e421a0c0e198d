#include "ui/TextPlotLink.h"

#include "core/Finding.h"
#include "core/PointTable.h"
#include "ui/PlotWindow.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextBlock>
#include <QTextDocument>

namespace morvane {

TextPlotLink::TextPlotLink(QWidget* window, QPlainTextEdit* resultText, const PointTable& table)
    : QObject(window), m_window(window), m_text(resultText), m_table(table) {
    m_text->viewport()->installEventFilter(this);
    auto* plotKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_M), window);
    connect(plotKey, &QShortcut::activated, this,
            [this] { openPlotAtLine(m_text->textCursor().blockNumber()); });
    connect(m_text, &QPlainTextEdit::cursorPositionChanged, this,
            &TextPlotLink::followTextSelection);
}

void TextPlotLink::runStarting() {
    m_run.reset();
    m_firstLine = 0;
    if (m_plot)
        m_plot->forgetRun();
}

void TextPlotLink::runShown(const std::optional<RunSummary>& run, std::int32_t firstLine,
                            const std::filesystem::path& name) {
    m_run = run;
    m_firstLine = firstLine;
    m_name = name;
    // An open plot shows the new run; a closed one waits for the next open.
    if (m_plot && m_plot->isVisible() && m_run)
        m_plot->showRun(m_table, *m_run, m_name);
}

bool TextPlotLink::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_text->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto& mouse = *static_cast<QMouseEvent*>(event);
        const int line = m_text->cursorForPosition(mouse.position().toPoint()).blockNumber();
        // Elsewhere a double click selects a word, as always.
        if (mouse.button() == Qt::LeftButton && findingAtLine(line)) {
            openPlotAtLine(line);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TextPlotLink::addMenuEntry(QMenu& menu, const QPoint& at) {
    const int line = m_text->cursorForPosition(at).blockNumber();
    menu.addSeparator();
    QAction* plot = menu.addAction(QStringLiteral(u"配置図を表示"), this,
                                   [this, line] { openPlotAtLine(line); });
    plot->setObjectName(QStringLiteral("showPlotAction"));
    plot->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    plot->setShortcutVisibleInContextMenu(true);
    plot->setEnabled(m_run.has_value());
}

std::optional<std::int32_t> TextPlotLink::findingAtLine(int line) const {
    if (m_lineReader)
        m_lineReader(line);
    const int reportLine = line - m_firstLine;
    if (!m_run || m_text->document()->isModified() || reportLine < 0)
        return std::nullopt;
    const std::int32_t finding = findingAtReportLine(reportLine);
    if (finding >= static_cast<std::int32_t>(m_table.findings.size()))
        return std::nullopt;
    return finding;
}

void TextPlotLink::openPlotAtLine(int line) {
    if (m_lineReader)
        m_lineReader(line);
    if (!m_run)
        return;
    if (!m_plot) {
        m_plot = new PlotWindow(m_window);
        connect(m_plot, &PlotWindow::findingStepped, this, &TextPlotLink::selectFindingLines);
    }
    if (!m_plot->hasRun())
        m_plot->showRun(m_table, *m_run, m_name);
    const auto finding = findingAtLine(line);
    if (finding) {
        selectFindingLines(*finding);
        m_plot->showFinding(*finding);
    }
    m_plot->show();
    m_plot->raise();
    m_plot->activateWindow();
}

void TextPlotLink::selectFindingLines(std::int32_t finding) {
    const int firstLine = m_firstLine + firstReportLineOf(finding);
    const int lastLine = firstLine + ReportLinesPerFinding - 1;
    if (m_lineReader)
        m_lineReader(lastLine);
    const QTextBlock first = m_text->document()->findBlockByNumber(firstLine);
    const QTextBlock last = m_text->document()->findBlockByNumber(lastLine);
    if (!first.isValid() || !last.isValid() || !findingAtLine(firstLine))
        return;
    QTextCursor cursor(first);
    cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    m_selectingFinding = true;
    m_text->setTextCursor(cursor);
    m_text->ensureCursorVisible();
    m_selectingFinding = false;
}

void TextPlotLink::followTextSelection() {
    if (m_selectingFinding || !m_plot || !m_plot->isVisible() || !m_plot->hasRun())
        return;
    const QTextCursor cursor = m_text->textCursor();
    const int line = m_text->document()->findBlock(cursor.selectionStart()).blockNumber();
    const auto finding = findingAtLine(line);
    if (finding && *finding != m_plot->chosenFinding())
        m_plot->showFinding(*finding);
}

} // namespace morvane
