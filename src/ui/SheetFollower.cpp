#include "ui/SheetFollower.h"

#include "core/NumberFormat.h"
#include "core/UnitName.h"
#include "run/CheckRun.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

namespace morvane {

namespace {

// The window as a sheet checked again sees it: the band and the answers of
// the first check, the window's result list; the result text, the status and
// the notices stay as the first check left them.
class ReplaySink : public UiSink {
public:
    ReplaySink(UiSink& window, std::u16string lower, std::u16string tolerance,
               std::deque<Answer> answers)
        : m_window(window), m_lower(std::move(lower)), m_tolerance(std::move(tolerance)),
          m_answers(std::move(answers)) {}

    std::u16string toleranceText() override { return m_tolerance; }
    void setToleranceText(const std::u16string&) override {}
    std::u16string lowerBoundText() override { return m_lower; }
    std::optional<std::filesystem::path> chooseCoordinateFile() override { return std::nullopt; }
    bool choosePrinter() override { return false; }
    void setStatusText(const std::u16string&) override {}
    void setStatusColor(Rgb) override {}
    void setBusyCursor(bool on) override { m_window.setBusyCursor(on); }
    void redraw() override {}
    void clearResultList() override { m_window.clearResultList(); }
    void addResultItem(const std::u16string& text) override { m_window.addResultItem(text); }
    std::int32_t resultItemCount() override { return m_window.resultItemCount(); }
    std::u16string resultText() override { return {}; }
    void setResultText(const std::u16string&) override {}
    Answer askYesNo(const std::u16string&) override {
        // A question asked now was asked the first time too, in this order.
        if (m_answers.empty())
            return Answer::Yes;
        const Answer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    void showMessage(const std::u16string&) override {}
    void showError(const std::u16string&, const ErrorPlace&) override {}

private:
    UiSink& m_window;
    std::u16string m_lower;
    std::u16string m_tolerance;
    std::deque<Answer> m_answers;
};

} // namespace

SheetFollower::SheetFollower(QPlainTextEdit* resultText, PointTable& table, UiSink& window,
                             SheetShown shown)
    : QObject(resultText), m_text(resultText), m_table(table), m_window(window),
      m_shown(std::move(shown)) {
    connect(m_text, &QPlainTextEdit::cursorPositionChanged, this, &SheetFollower::followCursor);
}

void SheetFollower::runStarting() {
    m_units.clear();
    m_tableUnit.reset();
}

void SheetFollower::unitStarting() {
    m_units.emplace_back();
}

void SheetFollower::answered(Answer answer) {
    if (!m_units.empty())
        m_units.back().answers.push_back(answer);
}

void SheetFollower::unitDone(const CheckedUnit& unit) {
    if (m_units.empty())
        return;
    Unit& done = m_units.back();
    done.name = unit.name;
    done.firstLine = unit.firstResultLine;
    done.summary = unit.summary;
}

void SheetFollower::runEnded(const PathRun& run) {
    // One unit has nothing to follow: the table holds it.
    if (run.unitCount < 2 || m_units.size() != run.unitCount) {
        m_units.clear();
        return;
    }
    m_path = run.file;
    m_lower = formatShortest(run.lower);
    m_tolerance = formatShortest(run.tolerance);
    m_tableUnit = m_units.size() - 1;
}

void SheetFollower::followCursor() {
    const QTextCursor cursor = m_text->textCursor();
    followLine(m_text->document()->findBlock(cursor.selectionStart()).blockNumber());
}

void SheetFollower::followLine(int line) {
    // Lines stand for reports only as the run wrote them.
    if (!m_tableUnit || m_text->document()->isModified())
        return;
    // A unit's lines start at its heading, the line above its report.
    std::optional<std::size_t> unit;
    for (std::size_t i = 0; i < m_units.size() && m_units[i].firstLine - 1 <= line; ++i)
        unit = i;
    if (unit && *unit != *m_tableUnit && m_units[*unit].summary)
        showUnit(*unit);
}

void SheetFollower::showUnit(std::size_t unit) {
    const Unit& shown = m_units[unit];
    ReplaySink replay(m_window, m_lower, m_tolerance, shown.answers);
    const auto summary = recheckUnit(m_table, replay, m_path, shown.name);
    m_window.setBusyCursor(false);
    m_window.redraw();
    if (!summary) {
        // The file changed since: nothing of it to follow any more.
        m_units.clear();
        m_tableUnit.reset();
        return;
    }
    m_tableUnit = unit;
    m_shown(*summary, shown.firstLine, shownUnitName(summary->file));
}

} // namespace morvane
