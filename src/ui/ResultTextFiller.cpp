#include "ui/ResultTextFiller.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace morvane {

namespace {

// Where the text from `from` on ends after `lines` lines, or at its end.
qsizetype endAfterLines(const QString& text, qsizetype from, int lines) {
    for (int i = 0; i < lines; ++i) {
        const qsizetype lineEnd = text.indexOf(u'\n', from);
        if (lineEnd < 0)
            return text.size();
        from = lineEnd + 1;
    }
    return from;
}

void insertAtEnd(QTextDocument& document, const QString& text) {
    // A report is no edit the user could undo, nor one that makes its lines
    // stop standing for the findings.
    const bool modified = document.isModified();
    document.setUndoRedoEnabled(false);
    QTextCursor end(&document);
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    document.setUndoRedoEnabled(true);
    document.setModified(modified);
}

} // namespace

ResultTextFiller::ResultTextFiller(QPlainTextEdit* field) : QObject(field), m_field(field) {
    m_nextTurn.setSingleShot(true);
    m_nextTurn.setInterval(0);
    connect(&m_nextTurn, &QTimer::timeout, this, &ResultTextFiller::fillForATurn);
    m_field->installEventFilter(this);
    m_field->viewport()->installEventFilter(this);
}

void ResultTextFiller::setText(const QString& text) {
    m_nextTurn.stop();
    m_rest.clear();
    m_from = 0;
    if (endAfterLines(text, 0, LinesAtOnce) == text.size()) {
        m_field->setPlainText(text);
        emit filled();
        return;
    }
    const qsizetype headEnd = endAfterLines(text, 0, PieceLines);
    m_field->setPlainText(text.first(headEnd));
    m_rest = text;
    m_from = headEnd;
    m_nextTurn.start();
}

void ResultTextFiller::appendText(const QString& text) {
    if (filling()) {
        // Not compacted here: a run of many sheets may add thousands of texts
        // before the event loop takes the next piece.
        m_rest += text;
        return;
    }
    m_rest = text;
    m_from = 0;
    const bool atOnce = endAfterLines(text, 0, LinesAtOnce) == text.size();
    putPiece(atOnce ? text.size() : endAfterLines(text, 0, PieceLines));
    if (filling())
        m_nextTurn.start();
}

void ResultTextFiller::finish() {
    m_nextTurn.stop();
    if (filling())
        putPiece(m_rest.size());
}

void ResultTextFiller::reachLine(int line) {
    // The last block may be the start of a line still to come.
    if (filling() && line >= m_field->document()->blockCount() - 1)
        finish();
}

void ResultTextFiller::fillForATurn() {
    if (!filling())
        return;
    // Several pieces a turn on a fast machine: each turn also repaints.
    QElapsedTimer turn;
    turn.start();
    do
        putPiece(endAfterLines(m_rest, m_from, PieceLines));
    while (filling() && turn.elapsed() < TurnMilliseconds);
    if (filling())
        m_nextTurn.start();
}

void ResultTextFiller::putPiece(qsizetype end) {
    insertAtEnd(*m_field->document(), m_rest.sliced(m_from, end - m_from));
    m_from = end;
    if (filling())
        return;
    QString().swap(m_rest);
    m_from = 0;
    emit filled();
}

bool ResultTextFiller::eventFilter(QObject* watched, QEvent* event) {
    if (filling()) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::InputMethod:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::Drop:
            finish();
            break;
        case QEvent::MouseButtonPress:
            // The middle button pastes the selection.
            if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
                finish();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace morvane
