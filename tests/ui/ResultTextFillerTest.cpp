#include "ui/ResultTextFiller.h"

#include "WindowTestSupport.h"

#include <memory>

#include <QContextMenuEvent>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

using morvane::ResultTextFiller;
using namespace morvane::test;

// A long result text filled a piece at a time: at once as far as its first
// piece, whole in the end, and at once when something needs it whole.
class ResultTextFillerTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QPlainTextEdit> field;
    ResultTextFiller* filler = nullptr;

    // Numbered lines, each with its LF: by default a text too long to go in
    // at once, ending in half a piece.
    static QString lines(int count = ResultTextFiller::LinesAtOnce +
                                     ResultTextFiller::PieceLines / 2,
                         int from = 0) {
        QString text;
        for (int i = from; i < from + count; ++i)
            text += QStringLiteral("line %1\n").arg(i);
        return text;
    }

    void waitUntilFilled() {
        if (filler->filling())
            QVERIFY(QSignalSpy(filler, &ResultTextFiller::filled).wait(5000));
    }

private slots:
    void init() {
        field = std::make_unique<QPlainTextEdit>();
        filler = new ResultTextFiller(field.get());
        field->show();
        QVERIFY(QTest::qWaitForWindowExposed(field.get()));
    }

    // Shown at once as far as its first piece; once filled, as setPlainText
    // would have left it, with nothing to undo and not modified. Text added
    // meanwhile follows the rest; a new text drops it.
    void aLongTextEndsAsIfSetWhole() {
        filler->setText(lines());
        filler->appendText(lines(2, 1000000));
        QCOMPARE(field->document()->blockCount(), ResultTextFiller::PieceLines + 1);
        waitUntilFilled();
        QCOMPARE(field->toPlainText(), lines() + lines(2, 1000000));
        QVERIFY(!field->document()->isUndoAvailable());
        QVERIFY(!field->document()->isModified());

        // Up to LinesAtOnce lines, set or added, are there at once.
        const QString atOnce = lines(ResultTextFiller::LinesAtOnce);
        filler->setText(atOnce);
        filler->appendText(atOnce);
        QCOMPARE(field->toPlainText(), atOnce + atOnce);

        filler->setText(lines());
        filler->setText(u"new\n"_q);
        QTest::qWait(20);
        QCOMPARE(field->toPlainText(), u"new\n"_q);
    }

    // An edit made before text is added stays one: its lines no longer
    // stand for findings.
    void addingKeepsAnEditAnEdit() {
        field->document()->setModified(true);
        filler->appendText(lines());
        waitUntilFilled();
        QVERIFY(field->document()->isModified());
    }

    // What could edit or read the whole text finishes it first; a left click
    // (on a finding in view) does not wait for it.
    void userInputFinishesTheTextFirst_data() {
        QTest::addColumn<int>("input");
        QTest::addColumn<bool>("finishes");
        QTest::newRow("key") << 0 << true;
        QTest::newRow("middle button") << 1 << true;
        QTest::newRow("context menu") << 2 << true;
        QTest::newRow("left button") << 3 << false;
    }

    void userInputFinishesTheTextFirst() {
        QFETCH(int, input);
        QFETCH(bool, finishes);
        const QString text = lines();
        filler->setText(text);
        QWidget* viewport = field->viewport();
        if (input == 0) {
            QTest::keyClick(field.get(), Qt::Key_End, Qt::ControlModifier);
            QCOMPARE(field->textCursor().position(), text.size());
        } else if (input == 2) {
            field->setContextMenuPolicy(Qt::NoContextMenu);
            QContextMenuEvent menu(QContextMenuEvent::Mouse, {5, 5},
                                   viewport->mapToGlobal(QPoint(5, 5)));
            QCoreApplication::sendEvent(viewport, &menu);
        } else {
            QTest::mousePress(viewport, input == 1 ? Qt::MiddleButton : Qt::LeftButton, {}, {5, 5});
        }
        QCOMPARE(field->toPlainText() == text, finishes);
    }

    // The last block filled may be the start of a line still to come.
    void reachingALineBeyondTheFilledOnesFinishes() {
        filler->setText(lines());
        filler->reachLine(ResultTextFiller::PieceLines - 1);
        QVERIFY(filler->filling());
        filler->reachLine(ResultTextFiller::PieceLines);
        QCOMPARE(field->toPlainText(), lines());
    }
};

QTEST_MAIN(ResultTextFillerTest)
#include "ResultTextFillerTest.moc"
