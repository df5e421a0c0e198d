#include "WindowTestSupport.h"
#include "support/Process.h"
#include "support/TestFiles.h"
#include "support/TestPoints.h"
#include "support/ZipFiles.h"

#include <filesystem>
#include <iterator>
#include <optional>
#include <string>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using namespace morvane::test;

// The commands on the last run's report, in the result text's menu and on
// Ctrl+P: when they are offered, the files they propose and what they write.
class ReportCommandsTest : public WindowFixture {
    Q_OBJECT

private slots:
    void printButtonAsksForAPrinter() {
        user->printerAnswer = false;
        control<QPushButton>("printButton")->click();
        QCOMPARE(user->printerDialogs, 1);
        QVERIFY(user->messages.isEmpty());
    }

    void theReportCommandsNeedAReport_data() {
        QTest::addColumn<QString>("next");
        QTest::addColumn<bool>("report");
        QTest::newRow("before any check") << "" << false;
        QTest::newRow("after findings") << "findings" << true;
        QTest::newRow("after a clean check") << "clean" << true;
        QTest::newRow("after a cancel") << "cancel" << false;
        QTest::newRow("after a failed check") << "gone.sim" << false;
    }

    void theReportCommandsNeedAReport() {
        QFETCH(QString, next);
        QFETCH(bool, report);

        TempFile clean(morvane::test::simaFile({u"A01,1,P1,100,200,", u"A01,2,P2,300,400,"}));
        if (!next.isEmpty())
            checkThreePoints();
        if (next == "clean" || next == "cancel" || next == "gone.sim") {
            user->files.push_back(
                next == "cancel"
                    ? std::nullopt
                    : std::optional(next == "clean" ? clean.path() : clean.folder() / "gone.sim"));
            clickStart();
        }

        QStringList entries;
        bool editingFirst = false;
        withResultTextMenu([&](QMenu& menu) {
            const QList<QAction*> actions = menu.actions();
            editingFirst = actions.front()->objectName() == "edit-undo";
            for (const QAction* a : actions.mid(actions.size() - 4)) {
                entries << (a->isSeparator() ? "---" : a->text()) + (a->isEnabled() ? "" : " off") +
                               (a->isShortcutVisibleInContextMenu() ? a->shortcut().toString()
                                                                    : "");
            }
        });
        QVERIFY(editingFirst);
        const QString off = report ? "" : " off";
        QCOMPARE(entries, QStringList({"---", u"レポートを印刷..."_q + off + "Ctrl+P",
                                       u"PDFに保存..."_q + off, u"CSVに保存..."_q + off}));

        // Ctrl+P prints wherever the focus is, when there is a report.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        for (const char* name : {"startButton", "lowerField", "resultText", "resultList"}) {
            control<QWidget>(name)->setFocus();
            QTest::keyClick(control<QWidget>(name), Qt::Key_P, Qt::ControlModifier);
        }
        QCOMPARE(user->printerDialogs, report ? 4 : 0);
    }

    void savingAPdfWritesTheReportOrSaysWhyNot_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("written");
        QTest::newRow("beside the checked file") << "site.pdf" << true;
        QTest::newRow("cancelled") << "" << false;
        QTest::newRow("folder missing") << "nowhere/site.pdf" << false;
        QTest::newRow("a folder in the way") << "taken.pdf" << false;
    }

    void savingAPdfWritesTheReportOrSaysWhyNot() {
        QFETCH(QString, target);
        QFETCH(bool, written);

        checkThreePoints();
        std::filesystem::create_directory(site->folder() / "taken.pdf");
        const auto pdf = site->folder() / target.toStdString();
        user->savedFiles.push_back(target.isEmpty() ? std::nullopt : std::optional(pdf));
        clickMenuEntry("savePdfAction");

        QCOMPARE(user->suggestedSaves, QStringList{qtPath(site->folder() / "site.pdf")});
        QCOMPARE(user->saveFilters, QStringList{"PDF (*.pdf)"});
        // The file chosen stands for the printer: no printer dialog.
        QCOMPARE(user->printerDialogs, 0);
        const bool failed = !written && !target.isEmpty();
        QCOMPARE(user->messages.size(), failed ? 1 : 0);
        if (failed)
            QVERIFY(user->messages.front().startsWith(u"PDFに保存できませんでした。\n\n"_q));
        // Nothing half-written is left beside the report's place.
        QCOMPARE(std::distance(std::filesystem::directory_iterator(site->folder()), {}),
                 written ? 3 : 2);
        if (written) {
            const auto text = morvane::test::runProcess(PDFTOTEXT, {"-layout", pdf.string(), "-"});
            QVERIFY2(QString::fromStdString(text.out).simplified().contains(
                         u"1 P1 100.000 200.000 較差 0.022"_q),
                     text.out.c_str());
        }
    }

    void savingCsvWritesTheFindingsOrSaysWhyNot_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("written");
        QTest::newRow("beside the checked file") << "site.csv" << true;
        QTest::newRow("folder missing") << "nowhere/site.csv" << false;
    }

    void savingCsvWritesTheFindingsOrSaysWhyNot() {
        QFETCH(QString, target);
        QFETCH(bool, written);

        checkThreePoints();
        const auto csv = site->folder() / target.toStdString();
        user->savedFiles.push_back(csv);
        clickMenuEntry("saveCsvAction");

        QCOMPARE(user->suggestedSaves, QStringList{qtPath(site->folder() / "site.csv")});
        QCOMPARE(user->saveFilters, QStringList{"CSV (*.csv)"});
        QCOMPARE(user->messages.size(), written ? 0 : 1);
        if (!written) {
            QVERIFY(user->messages.front().startsWith(u"CSVに保存できませんでした。\n\n"_q));
            return;
        }
        // The same bytes as the command line's CSV of that file.
        const std::string bytes = morvane::test::readFile(csv);
        QVERIFY(bytes.rfind("\xEF\xBB\xBF"
                            "file,kind,distance,number1,name1,x1,y1,line1,",
                            0) == 0);
        const auto line = morvane::test::runProcess(
            MORVANE_CHECK_EXE, {"--quiet", "--format", "csv", site->path().string()});
        QCOMPARE(QString::fromStdString(bytes), QString::fromStdString(line.out));
    }

    // A file of several sheets: the findings and the report of each sheet,
    // though the window's table holds only the last.
    void anArchiveIsSavedSheetBySheet() {
        TempFile archive(cityArchive(), "city.zip");
        user->files.push_back(archive.path());
        clickStart();

        // Every sheet's rows under one header, as the command line writes them.
        const auto csv = archive.folder() / "city.csv";
        user->savedFiles.push_back(csv);
        clickMenuEntry("saveCsvAction");
        QCOMPARE(user->suggestedSaves, QStringList{qtPath(archive.folder() / "city.csv")});
        const auto line = morvane::test::runProcess(
            MORVANE_CHECK_EXE, {"--quiet", "--format", "csv", archive.path().string()});
        QCOMPARE(QString::fromStdString(morvane::test::readFile(csv)),
                 QString::fromStdString(line.out));
        QCOMPARE(QString::fromStdString(line.out).count(u"city.zip:"_q), 2);

        // On paper each sheet from a new page, its footer naming it.
        const auto pdf = archive.folder() / "city.pdf";
        user->savedFiles.push_back(pdf);
        clickMenuEntry("savePdfAction");
        const auto printed = morvane::test::runProcess(PDFTOTEXT, {"-layout", pdf.string(), "-"});
        const QStringList pages = QString::fromStdString(printed.out).split(u'\f');
        QCOMPARE(pages.size(), 4); // three pages, and what follows the last break
        const QString expectedPages[] = {u"1.010 city.zip:a.xml 較差 0 から 0.05 m"_q,
                                         u"■ city.zip:b.xml XML の形式が正しくありません"_q,
                                         u"7.000 city.zip:c.xml 較差 0 から 0.05 m"_q};
        for (int page = 0; page < 3; ++page)
            QVERIFY2(pages[page].simplified().contains(expectedPages[page]),
                     qPrintable(pages[page]));
    }

    // A CSV cannot say that a check stopped: the window says so before the
    // file is chosen.
    void aCsvAfterAStoppedCheckIsSaidToBePartial() {
        TempFile many(morvane::test::simaFileOf(morvane::test::findingPairs(1002, 0)), "many.sim");
        user->files.push_back(many.path());
        user->answers.push_back(morvane::Answer::Yes);
        clickStart();
        user->savedFiles.push_back(std::nullopt);
        clickMenuEntry("saveCsvAction");
        QCOMPARE(
            user->messages,
            QStringList{
                u"検査が途中で打ち切られたため、CSV には打ち切りまでの結果だけが入ります。"_q});
    }

    // How every published sheet comes: a ZIP of one. The window names the ZIP
    // and proposes its files beside it under its name; the footer keeps the
    // sheet's whole member path.
    void aZipOfOneSheetIsNamedAfterTheZip() {
        TempFile archive(morvane::test::zipOf({{"maps/a.xml", FirstSheet}}), "parcel.zip");
        user->files.push_back(archive.path());
        clickStart();
        QCOMPARE(window->windowTitle(), u"parcel.zip（3点）較差 0 ≤ d < 0.05 m - Morvane　V1.2"_q);

        const auto pdf = archive.folder() / "parcel.pdf";
        user->savedFiles.push_back(pdf);
        clickMenuEntry("savePdfAction");
        user->savedFiles.push_back(std::nullopt);
        clickMenuEntry("saveCsvAction");
        QCOMPARE(user->suggestedSaves,
                 (QStringList{qtPath(pdf), qtPath(archive.folder() / "parcel.csv")}));
        const auto printed = morvane::test::runProcess(PDFTOTEXT, {"-layout", pdf.string(), "-"});
        QVERIFY2(QString::fromStdString(printed.out)
                     .simplified()
                     .contains(u"parcel.zip:maps/a.xml 較差 0 から 0.05 m"_q),
                 printed.out.c_str());
    }
};

QTEST_MAIN(ReportCommandsTest)
#include "ReportCommandsTest.moc"
