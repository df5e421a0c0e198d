#include "WindowTestSupport.h"
#include "core/Finding.h"
#include "plot/PlotMapping.h"
#include "support/TestFiles.h"
#include "support/TestPoints.h"
#include "ui/MainWindow.h"
#include "ui/PlotWindow.h"
#include "ui/ResultTextFiller.h"

#include <memory>
#include <optional>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QWheelEvent>

using namespace morvane::test;

// The result text and the plot window: a finding's lines open the plot on it,
// and the text's selection and the plot's finding follow each other.
class TextPlotLinkTest : public WindowFixture {
    Q_OBJECT

private:
    // Double-clicks the given line (0-based) of the result text.
    void doubleClickLine(int line) {
        auto* text = control<QPlainTextEdit>("resultText");
        const QTextCursor at(text->document()->findBlockByNumber(line));
        QTest::mouseDClick(text->viewport(), Qt::LeftButton, {}, text->cursorRect(at).center());
    }

    morvane::PlotWindow* openedPlot() {
        auto* plot = window->findChild<morvane::PlotWindow*>();
        if (!plot || !plot->isVisible())
            qFatal("the plot window is not open");
        return plot;
    }

    // The lines of a finding of ThreePoints as the result text selects them.
    static QString findingLines(int finding) {
        const QStringList lines = ThreePointsText.split(u'\n');
        return lines.mid(morvane::firstReportLineOf(finding), morvane::ReportLinesPerFinding)
            .join(QChar::ParagraphSeparator);
    }

private slots:
    void doubleClickOnAFindingOpensThePlotCentredOnIt_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("finding");
        QTest::newRow("heading of the first") << 0 << 0;
        QTest::newRow("second point of the first") << 2 << 0;
        QTest::newRow("first point of the second") << 4 << 1;
    }

    void doubleClickOnAFindingOpensThePlotCentredOnIt() {
        QFETCH(int, line);
        QFETCH(int, finding);
        checkThreePoints();
        doubleClickLine(line);

        auto* plot = openedPlot();
        QCOMPARE(plot->chosenFinding(), finding);
        QCOMPARE(control<QPlainTextEdit>("resultText")->textCursor().selectedText(),
                 findingLines(finding));
        // Centred between the pair's points (1 and 3, or 1 and 2), with ten
        // tolerances around both on the screen.
        const morvane::PlanePoint other =
            finding == 0 ? morvane::PlanePoint{103, 204} : morvane::PlanePoint{100.01, 200.02};
        const morvane::PlotView view = plot->view();
        QVERIFY(qAbs(view.centre.x - (100 + other.x) / 2) < 1e-9);
        QVERIFY(qAbs(view.centre.y - (200 + other.y) / 2) < 1e-9);
        for (const morvane::PlanePoint corner :
             {morvane::PlanePoint{99.5, 199.5},
              morvane::PlanePoint{other.x + 0.5, other.y + 0.5}}) {
            const morvane::ScreenPoint s = morvane::toScreen(view, corner);
            QVERIFY(s.left >= 0 && s.left <= view.width && s.top >= 0 && s.top <= view.height);
        }
        // North up: the northern point of the pair is higher on the screen.
        QVERIFY(morvane::toScreen(view, other).top < morvane::toScreen(view, {100, 200}).top);
    }

    void theContextMenuOpensThePlotOnItsLine() {
        checkThreePoints();
        // The menu opens at (20, 20): on the first line, of the first finding.
        withResultTextMenu([](QMenu& menu) {
            auto* plot = menu.findChild<QAction*>(QStringLiteral("showPlotAction"));
            QVERIFY(plot && plot->isEnabled());
            QCOMPARE(plot->text(), u"配置図を表示"_q);
            plot->trigger();
        });
        QCOMPARE(openedPlot()->chosenFinding(), 0);
    }

    void keysStepThroughFindingsAndSelectTheirLines() {
        checkThreePoints();
        doubleClickLine(1);
        auto* plot = openedPlot();
        auto* text = control<QPlainTextEdit>("resultText");

        auto* readout = plot->findChild<QLabel*>(QStringLiteral("plotStatus"));
        QVERIFY(readout);

        // The readout gives the middle of where each key went: between the
        // finding's two points, or of all points after Home. A key that goes
        // nowhere (N on the last finding) leaves it as it was.
        const QString middleOfFirst = u"X 101.500　Y 202.000"_q;
        const QString middleOfSecond = u"X 100.005　Y 200.010"_q;
        const struct {
            Qt::Key key;
            int finding;
            QString readout;
        } steps[] = {{Qt::Key_N, 1, middleOfSecond},
                     {Qt::Key_N, 1, QString()},
                     {Qt::Key_P, 0, middleOfFirst},
                     {Qt::Key_Right, 1, middleOfSecond},
                     {Qt::Key_Up, 0, middleOfFirst}};
        for (const auto& step : steps) {
            readout->clear();
            QTest::keyClick(plot, step.key);
            QCOMPARE(plot->chosenFinding(), step.finding);
            QCOMPARE(text->textCursor().selectedText(), findingLines(step.finding));
            QCOMPARE(readout->text(), step.readout);
        }
        readout->clear();
        QTest::keyClick(plot, Qt::Key_Home);
        const morvane::PlotView all = plot->view();
        QVERIFY(qAbs(all.centre.x - 101.5) < 1e-9 && qAbs(all.centre.y - 202) < 1e-9);
        QCOMPARE(readout->text(), u"X 101.500　Y 202.000"_q);
    }

    void selectingAFindingsLinesMovesThePlot() {
        checkThreePoints();
        doubleClickLine(0);
        auto* plot = openedPlot();
        auto* text = control<QPlainTextEdit>("resultText");
        text->setTextCursor(QTextCursor(text->document()->findBlockByNumber(5)));
        QCOMPARE(plot->chosenFinding(), 1);
        QVERIFY(qAbs(plot->view().centre.x - 100.005) < 1e-9);
    }

    void ctrlMOpensThePlotAndAnEditedTextNoLongerMaps() {
        checkThreePoints();
        auto* text = control<QPlainTextEdit>("resultText");
        text->setTextCursor(QTextCursor(text->document()->findBlockByNumber(3)));
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(text, Qt::Key_M, Qt::ControlModifier);
        auto* plot = openedPlot();
        QCOMPARE(plot->chosenFinding(), 1);

        // Once a line is deleted, line numbers say nothing about findings.
        QTextCursor first(text->document()->firstBlock());
        first.select(QTextCursor::BlockUnderCursor);
        first.removeSelectedText();
        text->setTextCursor(QTextCursor(text->document()->findBlockByNumber(1)));
        doubleClickLine(1);
        QCOMPARE(plot->chosenFinding(), 1);
    }

    // A long report is still filling when the plot steps to a finding whose
    // lines are not in the text yet: they are selected all the same.
    void aFindingBeyondTheFilledTextIsSelected() {
        constexpr int Findings = morvane::ResultTextFiller::LinesAtOnce;
        TempFile pairs(simaFileOf(findingPairs(0, Findings)));
        user->files.push_back(pairs.path());
        user->answers.push_back(morvane::Answer::No);
        clickStart();
        doubleClickLine(1);
        auto* plot = openedPlot();
        QVERIFY(window->findChild<morvane::ResultTextFiller*>()->filling());
        emit plot->findingStepped(Findings - 1);
        const QStringList lines = QString::fromStdU16String(window->resultText()).split(u"\r\n"_q);
        const int first = morvane::firstReportLineOf(Findings - 1);
        QCOMPARE(control<QPlainTextEdit>("resultText")->textCursor().selectedText(),
                 lines.mid(first, morvane::ReportLinesPerFinding).join(QChar::ParagraphSeparator));
    }

    void aRunWithoutFindingsStillPlotsItsPoints() {
        TempFile points(morvane::test::simaFileOf(morvane::test::separatePoints(3)));
        user->files.push_back(points.path());
        clickStart();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(control<QPlainTextEdit>("resultText"), Qt::Key_M, Qt::ControlModifier);
        auto* plot = openedPlot();
        QCOMPARE(plot->chosenFinding(), -1);
        QVERIFY(qAbs(plot->view().centre.x - 20) < 1e-9);
        QTest::keyClick(plot, Qt::Key_N);
        QCOMPARE(plot->chosenFinding(), -1);
    }

    void wheelZoomsAboutThePointer() {
        checkThreePoints();
        doubleClickLine(0);
        auto* canvas = openedPlot()->findChild<QWidget*>(QStringLiteral("plotCanvas"));
        QVERIFY(canvas);
        const QPointF pointer(40, 30);
        const morvane::PlotView before = openedPlot()->view();
        QWheelEvent wheel(pointer, canvas->mapToGlobal(pointer), {}, {0, 120}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas, &wheel);
        const morvane::PlotView after = openedPlot()->view();
        QVERIFY(after.pixelsPerMetre > before.pixelsPerMetre);
        const morvane::PlanePoint under = morvane::toPlane(before, {pointer.x(), pointer.y()});
        const morvane::ScreenPoint now = morvane::toScreen(after, under);
        QVERIFY(qAbs(now.left - pointer.x()) < 1e-6 && qAbs(now.top - pointer.y()) < 1e-6);
    }

    void plotWindowKeepsItsSizeForTheNextTime() {
        checkThreePoints();
        doubleClickLine(0);
        openedPlot()->resize(640, 480);
        openedPlot()->close();
        // The next session: a new window, the settings kept.
        window = std::make_unique<morvane::MainWindow>(user->dialogs());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        checkThreePoints();
        doubleClickLine(0);
        QCOMPARE(openedPlot()->size(), QSize(640, 480));
    }

    // Every sheet's findings lead to the plot: the cursor in a sheet's report
    // makes the list and the plot that sheet's, checked again alone with the
    // run's band.
    void theListAndThePlotFollowTheSheetBeingRead() {
        QList<QStringList> alone;
        for (const std::string* sheet : {&FirstSheet, &SecondSheet}) {
            TempFile file(*sheet, "sheet.xml");
            window->checkFile(file.path());
            alone << listItems(control<QListView>("resultList"));
        }
        TempFile archive(cityArchive(), "city.zip");
        user->files.push_back(archive.path());
        clickStart();
        auto* list = control<QListView>("resultList");
        QCOMPARE(listItems(list), alone[1]);
        const QString text = control<QPlainTextEdit>("resultText")->toPlainText();
        const qsizetype heading = text.indexOf(u"■ city.zip:c.xml\n"_q);
        QVERIFY(heading > 0);
        const int secondAt = static_cast<int>(text.left(heading).count(u'\n'));

        doubleClickLine(1);
        auto* plot = openedPlot();
        QCOMPARE(plot->windowTitle(), u"配置図 - city.zip:a.xml"_q);
        QCOMPARE(plot->chosenFinding(), 0);
        QVERIFY(qAbs(plot->view().centre.y - 1.005) < 1e-9);
        QCOMPARE(listItems(list), alone[0]);

        doubleClickLine(secondAt + 2);
        QCOMPARE(plot->windowTitle(), u"配置図 - city.zip:c.xml"_q);
        QCOMPARE(plot->chosenFinding(), 0);
        QCOMPARE(listItems(list), alone[1]);
        QCOMPARE(control<QPlainTextEdit>("resultText")->textCursor().selectedText(),
                 text.split(u'\n')
                     .mid(secondAt + 1, morvane::ReportLinesPerFinding)
                     .join(QChar::ParagraphSeparator));
        // The result text stays the whole run's.
        QCOMPARE(control<QPlainTextEdit>("resultText")->toPlainText(), text);
    }

    // The window tells the plot of each run: an open plot shows the next run
    // at once, titled with what the table holds, and nothing while a run is
    // missing.
    void anOpenPlotFollowsEachRun() {
        checkThreePoints();
        doubleClickLine(0);
        auto* plot = openedPlot();
        QCOMPARE(plot->windowTitle(), u"配置図 - site.sim"_q);

        // Of a file of several sheets, the table holds the last: c.xml, whose
        // two points are 0.02 apart at (7, 7).
        TempFile archive(cityArchive(), "city.zip");
        window->checkFile(archive.path());
        QVERIFY(plot->isVisible() && plot->hasRun());
        QCOMPARE(plot->windowTitle(), u"配置図 - city.zip:c.xml"_q);
        QCOMPARE(plot->chosenFinding(), -1);
        QVERIFY(qAbs(plot->view().centre.x - 7.01) < 1e-9);
        QVERIFY(qAbs(plot->view().centre.y - 7) < 1e-9);

        user->files.push_back(std::nullopt);
        clickStart();
        QVERIFY(!plot->hasRun());
        QCOMPARE(plot->windowTitle(), u"配置図"_q);
    }
};

QTEST_MAIN(TextPlotLinkTest)
#include "TextPlotLinkTest.moc"
