#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QPlainTextEdit;

namespace morvane {

// Puts the run's text into the result text field. A text field takes a few
// microseconds a line, so a report of hundreds of thousands of lines would
// hold the window for a second: a long text goes in a piece at a time, its
// first lines at once and the rest in the turns of the event loop, so that
// the findings are on screen and the window answers while the text fills. What reads or edits the
// text beyond its filled part calls finish() first; a key, a drop, a paste or the menu in the field
// does so by itself. Once filled, the field is as if the text had been set in one step.
class ResultTextFiller : public QObject {
    Q_OBJECT

public:
    // A text of up to LinesAtOnce lines goes in at once, as a report of a
    // few thousand findings always has. A longer one goes in PieceLines at a
    // time: the first piece at once, then pieces one after the other for
    // about TurnMilliseconds a turn of the event loop.
    static constexpr int LinesAtOnce = 20000;
    static constexpr int PieceLines = 2000;
    static constexpr int TurnMilliseconds = 25;

    explicit ResultTextFiller(QPlainTextEdit* field);

    // Replaces the field's text (LF line breaks), as setPlainText does: no
    // edit to undo. What was still to come of the last text is dropped.
    void setText(const QString& text);
    // Adds text at the end, after whatever is still to come; no edit to undo.
    // The document's modified flag stays as it was.
    void appendText(const QString& text);
    // Puts in all that is still to come, now.
    void finish();
    // Finishes unless the field already holds this line (0-based) whole.
    void reachLine(int line);
    bool filling() const { return m_from < m_rest.size(); }

signals:
    // The field holds the whole text.
    void filled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Puts in pieces for about TurnMilliseconds, then waits for the next turn.
    void fillForATurn();
    // Puts in what is still to come up to `end`.
    void putPiece(qsizetype end);

    QPlainTextEdit* m_field;
    // Still to come: m_rest from m_from on.
    QString m_rest;
    qsizetype m_from = 0;
    QTimer m_nextTurn;
};

} // namespace morvane
