#include "ui/MainWindow.h"

#include "WindowTestSupport.h"
#include "core/Finding.h"
#include "print/Fonts.h"
#include "support/TestPoints.h"
#include "support/ZipFiles.h"
#include "ui/Dialogs.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLibraryInfo>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

using morvane::Answer;
using namespace morvane::test;

Q_DECLARE_METATYPE(morvane::Answer)

// The window itself: its controls as designed, what a run shows on them,
// Start by click, key, drop or a named file, the keys of its fields, and its
// dialogs. The report commands and the plot have tests of their own.
class MainWindowTest : public WindowFixture {
    Q_OBJECT

private slots:
    void opensWithTheDesignedValues() {
        QCOMPARE(window->windowTitle(), QStringLiteral(u"Morvane　V1.2"));
        QVERIFY(!window->windowIcon().isNull());
        QCOMPARE(window->size(), QSize(526, 670));
        QCOMPARE(window->palette().color(QPalette::Window), QColor(211, 248, 244));

        QCOMPARE(control<QPushButton>("startButton")->text(), QStringLiteral(u"開始"));
        QCOMPARE(control<QLabel>("bandLabel")->text(), QStringLiteral(u"較差"));
        QCOMPARE(control<QLabel>("toLabel")->text(), QStringLiteral(u"から"));
        QCOMPARE(control<QLabel>("status")->text(), QString());
        QCOMPARE(control<QPlainTextEdit>("resultText")->toPlainText(), QStringLiteral(u"結果"));
        QCOMPARE(control<QListView>("resultList")->model()->rowCount(), 0);
        auto* print = control<QPushButton>("printButton");
        QCOMPARE(print->text(), QStringLiteral(u"レポートの印刷"));
        QVERIFY(print->isHidden());

        // The run reads the fields with their line breaks as CR LF.
        QCOMPARE(QString::fromStdU16String(window->lowerBoundText()), QStringLiteral("0\r\n"));
        QCOMPARE(QString::fromStdU16String(window->toleranceText()), QStringLiteral("0.05\r\n"));
        QCOMPARE(window->resultItemCount(), 0);

        QCOMPARE(window->focusWidget(), control<QWidget>("startButton"));
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    // A size that is listed but fails to load (a file left out of the
    // resource) would show as a scaled neighbour or nothing at all.
    void iconOffersEveryDrawnSize() {
        const QIcon icon = window->windowIcon();
        QCOMPARE(icon.availableSizes(),
                 (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}}));
        for (const QSize& size : icon.availableSizes()) {
            const QImage image = icon.pixmap(size).toImage();
            QVERIFY2(!image.isNull(),
                     qPrintable(QStringLiteral("no %1 px icon").arg(size.width())));
            QCOMPARE(image.size(), size);
            // The tile is opaque in the middle and rounded off at the corners.
            QCOMPARE(image.pixelColor(size.width() / 2, size.height() / 2).alpha(), 255);
            QVERIFY(image.pixelColor(0, 0).alpha() < 32);
        }
    }

    void controlsSitWhereDesigned_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QString>("face");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QColor>("back");

        const QString gothic = QStringLiteral(u"ＭＳ ゴシック");
        const QString pGothic = QStringLiteral(u"ＭＳ Ｐゴシック");
        const QColor none;
        QTest::newRow("startButton")
            << "startButton" << QRect(120, 120, 975, 375) << gothic << 11.25 << false << none;
        QTest::newRow("bandLabel") << "bandLabel" << QRect(1200, 160, 495, 255) << gothic << 12.0
                                   << false << QColor(255, 255, 250);
        QTest::newRow("lowerField")
            << "lowerField" << QRect(1800, 120, 735, 390) << pGothic << 11.25 << false << none;
        QTest::newRow("toLabel") << "toLabel" << QRect(2760, 240, 495, 255) << QString() << 0.0
                                 << false << QColor(211, 248, 244);
        QTest::newRow("toleranceField")
            << "toleranceField" << QRect(3480, 120, 735, 390) << pGothic << 11.25 << false << none;
        QTest::newRow("status") << "status" << QRect(4800, 120, 2895, 375) << pGothic << 14.25
                                << true << White;
        QTest::newRow("printButton")
            << "printButton" << QRect(6480, 120, 1575, 375) << gothic << 9.0 << false << none;
        QTest::newRow("resultText")
            << "resultText" << QRect(120, 600, 7575, 9255) << gothic << 9.0 << false << none;
        QTest::newRow("resultList") << "resultList" << QRect(8040, 600, 8055, 9285) << gothic
                                    << 11.25 << false << QColor(255, 255, 250);
    }

    void controlsSitWhereDesigned() {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        QFETCH(QString, face);
        QFETCH(double, points);
        QFETCH(bool, bold);
        QFETCH(QColor, back);

        auto* w = control<QWidget>(name.toLatin1().constData());
        auto px = [](int t) { return qRound(t / 15.0); };
        QCOMPARE(w->geometry(),
                 QRect(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height())));
        // m_toLabel has no font of its own: it shows the window's.
        if (!face.isEmpty()) {
            QCOMPARE(w->font().family(), face);
            QCOMPARE(w->font().pointSizeF(), points);
        } else {
            QCOMPARE(w->font(), window->font());
        }
        QCOMPARE(w->font().weight(), bold ? QFont::Bold : QFont::Normal);
        QVERIFY(QFontMetrics(w->font()).inFontUcs4(U'較'));
        if (back.isValid()) {
            const auto role = qobject_cast<QListView*>(w) ? QPalette::Base : QPalette::Window;
            QCOMPARE(w->palette().color(role), back);
        }
    }

    void resultFacesAreFixedPitch_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("resultText") << "resultText";
        QTest::newRow("resultList") << "resultList";
    }

    // The point lines only line up in columns when every half-width character
    // is as wide as any other, and a full-width one twice that.
    void resultFacesAreFixedPitch() {
        QFETCH(QString, name);
        const QFontMetricsF m(control<QWidget>(name.toLatin1().constData())->font());
        QCOMPARE(m.horizontalAdvance(QStringLiteral("i")),
                 m.horizontalAdvance(QStringLiteral("W")));
        QCOMPARE(m.horizontalAdvance(QStringLiteral(u"較")),
                 2 * m.horizontalAdvance(QStringLiteral(" ")));
    }

    void tabVisitsTheControlsInOrder() {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        control<QWidget>("startButton")->setFocus();
        QStringList visited;
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, QStringList({"toleranceField", "resultList", "lowerField", "resultText",
                                       "startButton"}));
    }

    // Its bold face is wide: each status must fit whole, inside the window.
    void statusShowsEachTextWhole() {
        auto* status = control<QLabel>("status");
        QVERIFY(status->geometry().right() < window->width());
        for (const QString& text : {u"  座標読み込み中"_q, u"  名称検査中"_q, u"  座標検査中"_q}) {
            status->setText(text);
            QVERIFY2(status->sizeHint().width() <= status->width(), qPrintable(text));
            QVERIFY2(status->sizeHint().height() <= status->height(), qPrintable(text));
        }
    }

    void resizingMovesNothingAndRevealsTheList() {
        auto* list = control<QListView>("resultList");
        QVERIFY(list->visibleRegion().isEmpty());
        QList<QRect> before;
        for (auto* w : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            before.push_back(w->geometry());

        window->resize(1200, 700);
        QTRY_VERIFY(!list->visibleRegion().isEmpty());
        QList<QRect> after;
        for (auto* w : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            after.push_back(w->geometry());
        QCOMPARE(after, before);
    }

    void startShowsStatusesThenFindings_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("text");

        QTest::newRow("findings") << QByteArray::fromStdString(ThreePoints) << ThreePointsList
                                  << ThreePointsText;
        QTest::newRow("nothing found")
            << QByteArray::fromStdString(
                   morvane::test::simaFile({u"A01,1,P1,100,200,", u"A01,2,P2,300,400,"}))
            << QStringList{u"同一座標はありませんでした"_q} << u"同一座標はありませんでした\n"_q;
    }

    void startShowsStatusesThenFindings() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, items);
        QFETCH(QString, text);

        TempFile points(file.toStdString());
        user->files.push_back(points.path());
        StatusPaints paints(control<QLabel>("status"));
        clickStart();

        const QStringList expected = {
            statusFrame(u"  座標読み込み中"_q, Red, true),
            statusFrame(u"  名称検査中"_q, Red, true),
            statusFrame(u"  座標検査中"_q, Red, true),
            statusFrame("", Red, false),
        };
        QCOMPARE(paints.frames, expected);
        QCOMPARE(user->fileDialogs, 1);
        QCOMPARE(listItems(control<QListView>("resultList")), items);
        QCOMPARE(control<QPlainTextEdit>("resultText")->toPlainText(), text);
        QCOMPARE(QString::fromStdU16String(window->resultText()), text.replace("\n", "\r\n"));
        auto* status = control<QLabel>("status");
        QCOMPARE(status->text(), QString());
        QCOMPARE(status->palette().color(QPalette::Window), White);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        QVERIFY(user->messages.isEmpty());
    }

    void aFileWithoutRecordsIsNoCleanFile() {
        TempFile notes("Dear surveyor,\r\nall is well.\r\n", "notes.txt");
        user->files.push_back(notes.path());
        clickStart();
        QCOMPARE(user->messages,
                 QStringList{u"座標レコード（A01、Z）が見つかりません。\n\nファイル: notes.txt"_q});
        QCOMPARE(control<QPlainTextEdit>("resultText")->toPlainText(), QString());
        QCOMPARE(listItems(control<QListView>("resultList")), QStringList());
        QCOMPARE(window->windowTitle(), u"Morvane　V1.2"_q);
    }

    void titleNamesTheCheckedFileUntilTheNextStart() {
        TempFile site(ThreePoints, "site.sim");
        user->files.push_back(site.path());
        user->files.push_back(std::nullopt);
        clickStart();
        QCOMPARE(window->windowTitle(), u"site.sim（3点）較差 0 ≤ d < 0.05 m - Morvane　V1.2"_q);
        clickStart();
        QCOMPARE(window->windowTitle(), u"Morvane　V1.2"_q);
    }

    // A band that cannot be read starts nothing and leaves the user in its
    // field with the last results; the title tells the band a run used, after
    // the tolerance's range rule.
    void aBandThatCannotBeReadIsRefusedInItsField() {
        TempFile site(ThreePoints, "site.sim");
        user->files.push_back(site.path());
        clickStart();
        auto* result = control<QPlainTextEdit>("resultText");
        const QString before = result->toPlainText();
        auto* tolerance = control<QPlainTextEdit>("toleranceField");
        tolerance->setPlainText(u"５ｃｍ"_q);
        clickStart();
        QCOMPARE(user->messages, QStringList{u"較差「５ｃｍ」を数値として読めません。"_q});
        QCOMPARE(user->fileDialogs, 1);
        QCOMPARE(window->focusWidget(), tolerance);
        QCOMPARE(result->toPlainText(), before);
        QCOMPARE(window->windowTitle(), u"site.sim（3点）較差 0 ≤ d < 0.05 m - Morvane　V1.2"_q);

        tolerance->setPlainText(u"10"_q);
        control<QPlainTextEdit>("lowerField")->setPlainText(u"0.01\n"_q);
        user->files.push_back(site.path());
        clickStart();
        QCOMPARE(window->windowTitle(), u"site.sim（3点）較差 0.01 ≤ d < 0.05 m - Morvane　V1.2"_q);
    }

    void aGivenFileIsCheckedWithoutTheDialogOnce() {
        TempFile site(ThreePoints, "site.sim");
        window->checkFile(site.path());
        QCOMPARE(user->fileDialogs, 0);
        QCOMPARE(listItems(control<QListView>("resultList")), ThreePointsList);
        QCOMPARE(window->windowTitle(), u"site.sim（3点）較差 0 ≤ d < 0.05 m - Morvane　V1.2"_q);

        // The given file answered one run only: Start asks again.
        user->files.push_back(std::nullopt);
        clickStart();
        QCOMPARE(user->fileDialogs, 1);
        QCOMPARE(window->resultItemCount(), 0);
    }

    // Several files dropped at once are checked together, as one job.
    void droppingFilesChecksThem_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QString>("title");
        QTest::newRow("one file") << 1 << true
                                  << u"first.sim（3点）較差 0 ≤ d < 0.05 m - Morvane　V1.2"_q;
        QTest::newRow("two files")
            << 2 << true
            << u"first.sim ほか 1 ファイル（6点）較差 0 ≤ d < 0.05 m - Morvane　V1.2"_q;
        QTest::newRow("a folder") << 0 << false << u"Morvane　V1.2"_q;
    }

    void droppingFilesChecksThem() {
        QFETCH(int, files);
        QFETCH(bool, checked);
        QFETCH(QString, title);

        TempFile first(ThreePoints, "first.sim");
        TempFile second(ThreePoints, "second.sim");
        QList<QUrl> urls;
        if (files == 0)
            urls << QUrl::fromLocalFile(QString::fromStdString(first.folder().string()));
        for (const TempFile* f : {&first, &second}) {
            if (urls.size() < files)
                urls << QUrl::fromLocalFile(QString::fromStdString(f->path().string()));
        }
        QMimeData data;
        data.setUrls(urls);

        const QPoint middle = window->rect().center();
        QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        QCOMPARE(enter.isAccepted(), checked);
        QDropEvent drop(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &drop);

        QTRY_COMPARE(window->windowTitle(), title);
        QTest::qWait(10);
        QCOMPARE(window->windowTitle(), title);
        if (files < 2)
            QCOMPARE(listItems(control<QListView>("resultList")),
                     checked ? ThreePointsList : QStringList());
        QCOMPARE(user->fileDialogs, 0);
    }

    // Files chosen together in the open dialog are one job: each point line of
    // a finding across them names its file; one file chosen is as ever.
    void severalChosenFilesAreCheckedTogether() {
        TempFile first(ThreePoints, "site1.sim");
        const std::filesystem::path second = first.folder() / "site2.sim";
        std::ofstream(second, std::ios::binary) << "A01,9,P2,100.000,200.000,\r\n";
        user->filesTogether.push_back({first.path(), second});
        clickStart();
        QCOMPARE(window->windowTitle(),
                 u"site1.sim ほか 1 ファイル（4点）較差 0 ≤ d < 0.05 m - Morvane　V1.2"_q);
        const QString text = control<QPlainTextEdit>("resultText")->toPlainText();
        QVERIFY2(text.contains(u"  site1.sim  較差 "_q), qPrintable(text));
        QVERIFY2(text.contains(u"     9  P2             100.000   200.000  site2.sim\n"_q),
                 qPrintable(text));
    }

    void enterOnStartPressesIt_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
        QTest::newRow("Space") << int(Qt::Key_Space) << 0;
    }

    void enterOnStartPressesIt() {
        QFETCH(int, key);
        QFETCH(int, modifiers);

        auto* start = control<QPushButton>("startButton");
        start->setFocus();
        user->files.push_back(std::nullopt);
        QTest::keyClick(start, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(user->fileDialogs, 1);

        // Held down, Enter does not start one check after another.
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r", true);
        QApplication::sendEvent(start, &repeat);
        QCOMPARE(user->fileDialogs, 1);
    }

    void cancelAfterARunLeavesAllEmpty() {
        TempFile points(ThreePoints);
        user->files.push_back(points.path());
        user->files.push_back(std::nullopt);
        clickStart();
        QCOMPARE(window->resultItemCount(), std::int32_t(ThreePointsList.size()));

        StatusPaints paints(control<QLabel>("status"));
        clickStart();
        QCOMPARE(user->fileDialogs, 2);
        QCOMPARE(control<QListView>("resultList")->model()->rowCount(), 0);
        QCOMPARE(control<QPlainTextEdit>("resultText")->toPlainText(), QString());
        QCOMPARE(control<QLabel>("status")->palette().color(QPalette::Window), White);
        QCOMPARE(control<QLabel>("status")->text(), QString());
        QVERIFY(paints.frames.isEmpty() || paints.frames.back().contains(White.name()));
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    void manyDuplicateNamesAskOnce_data() {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<int>("findings");
        QTest::newRow("Yes stops after the 1001st") << Answer::Yes << 1001;
        QTest::newRow("No goes on to the end") << Answer::No << 1002;
    }

    void manyDuplicateNamesAskOnce() {
        QFETCH(Answer, answer);
        QFETCH(int, findings);

        // 1002 duplicate names and nothing for the coordinate check.
        TempFile many(morvane::test::simaFileOf(morvane::test::findingPairs(1002, 0)));
        user->files.push_back(many.path());
        user->answers.push_back(answer);
        clickStart();

        QCOMPARE(user->prompts, QStringList{u"同一名称が多すぎます。処理を中止しますか？"_q});
        // The findings so far are in the list behind the question.
        QCOMPARE(user->listRowsAtPrompt, QList<int>{4 * 1001});
        QCOMPARE(window->resultItemCount(), 4 * findings);
        const QString result = control<QPlainTextEdit>("resultText")->toPlainText();
        QCOMPARE(result.count(u"同一名称"_q), findings);
        // A stopped check says so on the text's last line.
        const bool stopped = findings == 1001;
        QCOMPARE(result.count('\n'),
                 morvane::ReportLinesPerFinding * findings + 1 + (stopped ? 1 : 0));
        QCOMPARE(result.endsWith(u"名称検査は 1001 件で打ち切りました。\n"_q), stopped);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    void enterIsDroppedInTheNumberFieldsOnly_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("after");

        const int keypad = Qt::KeypadModifier;
        QTest::newRow("m_toleranceField Enter")
            << "toleranceField" << int(Qt::Key_Return) << 0 << "0.05\n";
        QTest::newRow("m_toleranceField keypad Enter")
            << "toleranceField" << int(Qt::Key_Enter) << keypad << "0.05\n";
        QTest::newRow("m_toleranceField Shift+Enter")
            << "toleranceField" << int(Qt::Key_Return) << int(Qt::ShiftModifier) << "0.05\n";
        QTest::newRow("m_toleranceField a digit")
            << "toleranceField" << int(Qt::Key_1) << 0 << "0.051\n";
        QTest::newRow("m_lowerField Enter") << "lowerField" << int(Qt::Key_Return) << 0 << "0\n";
        QTest::newRow("m_lowerField keypad Enter")
            << "lowerField" << int(Qt::Key_Enter) << keypad << "0\n";
        QTest::newRow("m_lowerField a digit") << "lowerField" << int(Qt::Key_5) << 0 << "05\n";
        QTest::newRow("m_resultText Enter")
            << "resultText" << int(Qt::Key_Return) << 0 << u"結果\n"_q;
    }

    void enterIsDroppedInTheNumberFieldsOnly() {
        QFETCH(QString, name);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, after);

        auto* field = control<QPlainTextEdit>(name.toLatin1().constData());
        field->setFocus();
        // At the end of the first line, where a user types after the number.
        QTextCursor cursor = field->textCursor();
        cursor.movePosition(QTextCursor::Start);
        cursor.movePosition(QTextCursor::EndOfBlock);
        field->setTextCursor(cursor);
        QTest::keyClick(field, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(field->toPlainText(), after);
        // Enter in a field never presses Start.
        QCOMPARE(user->fileDialogs, 0);
    }

    void runErrorIsShownAndTheWindowStaysUsable_data() {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");

        // Under the message, the file and, where a line caused it, the line.
        QTest::newRow("file gone")
            << false << QByteArray()
            << u"実行時エラー '53':\n\nファイルが見つかりません。\n\nファイル: gone.sim"_q;
        // The file ends inside the second record.
        QTest::newRow("record cut short")
            << true << QByteArray("A01,1,P1,100.000,200.000,\r\nA01,2,P2,100.000")
            << QStringLiteral(u"実行時エラー '62':\n\nファイルにこれ以上データがありません。\n\n"
                              u"ファイル: points.sim　2 行目");
    }

    void runErrorIsShownAndTheWindowStaysUsable() {
        QFETCH(bool, exists);
        QFETCH(QByteArray, file);
        QFETCH(QString, message);

        TempFile input(file.toStdString());
        user->files.push_back(exists ? input.path() : input.folder() / "gone.sim");
        clickStart();

        QCOMPARE(user->messages.size(), 1);
        QCOMPARE(user->messages.front(), message);
        auto* status = control<QLabel>("status");
        QCOMPARE(status->text(), QString());
        QCOMPARE(status->palette().color(QPalette::Window), White);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);

        // The next Start runs normally.
        TempFile points(ThreePoints);
        user->files.push_back(points.path());
        clickStart();
        QCOMPARE(listItems(control<QListView>("resultList")), ThreePointsList);
        QCOMPARE(user->messages.size(), 1);
    }

    void theOpenDialogStartsInTheLastCheckedFolder_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("remembered");
        QTest::newRow("chosen in the dialog") << "dialog" << true;
        QTest::newRow("named relative to the working folder") << "relative" << true;
        QTest::newRow("folder gone since") << "gone" << false;
        QTest::newRow("then a folder given for a file") << "folder" << true;
        QTest::newRow("nothing checked yet") << "none" << false;
    }

    // Two windows one after the other, as two sessions of the program.
    void theOpenDialogStartsInTheLastCheckedFolder() {
        QFETCH(QString, how);
        QFETCH(bool, remembered);

        checkThreePoints();
        const QString folder = qtPath(site->folder());
        if (how == "relative" || how == "none") {
            QSettings().clear();
            const QString working = QDir::currentPath();
            QVERIFY(QDir::setCurrent(folder));
            if (how == "relative")
                window->checkFile("site.sim");
            QVERIFY(QDir::setCurrent(working));
        }
        if (how == "folder") {
            // Said as what to do, and not where the user chose files.
            window->checkFile(site->folder().parent_path());
            QCOMPARE(user->messages.size(), 1);
            QVERIFY(user->messages[0].contains(
                u"フォルダは検査できません。検査するファイルを選んでください。"_q));
        }
        QCOMPARE(user->startFolders, QStringList{QString()});
        window.reset();
        if (how == "gone")
            std::filesystem::remove_all(site->folder());

        user = std::make_unique<ScriptedUser>();
        window = std::make_unique<morvane::MainWindow>(user->dialogs());
        user->files.push_back(std::nullopt);
        clickStart();
        QCOMPARE(user->startFolders, QStringList{remembered ? folder : QString()});
    }

    // Qt's own dialog matches the patterns in any case.
    void theOpenDialogListsCoordinateFilesInAnyCase() {
        TempFile first("", "a.sim");
        for (const char* name :
             {"B.SIM", "c.Sim", "d.DAT", "e.sct", "f.XML", "g.zip", "x.txt", "simfile", "xml"})
            std::ofstream(first.folder() / name);
        auto dialog = morvane::makeCoordinateFileDialog(window.get(), qtPath(first.folder()));
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        dialog->show();
        auto* view = dialog->findChild<QListView*>("listView");
        auto listed = [view] {
            QStringList names;
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                names << view->model()->index(row, 0, view->rootIndex()).data().toString();
            names.sort(Qt::CaseInsensitive);
            return names;
        };
        QTRY_COMPARE(listed(),
                     QStringList({"a.sim", "B.SIM", "c.Sim", "d.DAT", "e.sct", "f.XML", "g.zip"}));
    }

    // Each sheet's report as that sheet alone gives it, under its heading;
    // the broken sheet's error under its own, and in one box.
    void anArchiveIsCheckedSheetBySheet() {
        QStringList alone;
        for (const std::string* sheet : {&FirstSheet, &SecondSheet}) {
            TempFile file(*sheet, "sheet.xml");
            window->checkFile(file.path());
            alone << control<QPlainTextEdit>("resultText")->toPlainText();
        }
        TempFile archive(cityArchive(), "city.zip");
        user->files.push_back(archive.path());
        clickStart();

        const QString text = control<QPlainTextEdit>("resultText")->toPlainText();
        const QString first = u"■ city.zip:a.xml\n"_q + alone[0];
        const QString broken = u"■ city.zip:b.xml\nXML の形式が正しくありません（"_q;
        const QString second = u"■ city.zip:c.xml\n"_q + alone[1];
        QVERIFY2(text.startsWith(first + broken), qPrintable(text));
        QVERIFY2(text.endsWith(u"ファイル: city.zip:b.xml　1 行目\n\n"_q + second),
                 qPrintable(text));
        QCOMPARE(user->messages.size(), 1);
        QVERIFY(user->messages.front().startsWith(u"XML の形式が正しくありません（"_q));
        QCOMPARE(window->windowTitle(), u"city.zip（5点）較差 0 ≤ d < 0.05 m - Morvane　V1.2"_q);
    }

    // Each sheet is a run of its own, with its own question about too many
    // findings.
    void eachSheetAsksItsOwnQuestions() {
        std::vector<std::pair<double, double>> pairs;
        for (int i = 0; i < 1002; ++i)
            pairs.insert(pairs.end(), 2, {i * 10.0 + 10, 10.0});
        const std::string many = mapSheet(pairs);
        TempFile archive(morvane::test::zipOf({{"a.xml", many}, {"b.xml", many}}), "many.zip");
        user->answers = {Answer::Yes, Answer::No};
        window->checkFile(archive.path());

        QCOMPARE(user->prompts, QStringList(2, u"同位置座標が多すぎます。処理を中止しますか？"_q));
        const QStringList sheets =
            control<QPlainTextEdit>("resultText")->toPlainText().split(u"■ many.zip:b.xml\n"_q);
        QCOMPARE(sheets.size(), 2);
        // Yes stopped the first sheet short; No let the second go on to its end.
        QCOMPARE(sheets[0].count(u"同一座標値"_q), 1001);
        QCOMPARE(sheets[1].count(u"同一座標値"_q), 1002);
        QCOMPARE(window->windowTitle(), u"many.zip（4008点）較差 0 ≤ d < 0.05 m - Morvane　V1.2"_q);
    }

    void checkEntriesChangeTheNextRuns_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("findingStart");
        QTest::newRow("point numbers")
            << "checkPointNumbersAction" << u"点番号も検査する"_q << u"同一点番号\n    12  Ｋ１ "_q;
        QTest::newRow("look-alike names")
            << "compareLookAlikeNamesAction" << u"全角・半角の違いを無視して名称を比べる"_q
            << u"同一名称\n    12  Ｋ１ "_q;
    }

    // An entry is kept: the next session checks the same way, until the
    // entry is cleared.
    void checkEntriesChangeTheNextRuns() {
        QFETCH(QString, entry);
        QFETCH(QString, text);
        QFETCH(QString, findingStart);
        TempFile file(simaFile({u"A01,12,Ｋ１,100,200,", u"A01,12,K1,130,200,"}));
        const auto resultText = [&] {
            window->checkFile(file.path());
            return control<QPlainTextEdit>("resultText")->toPlainText();
        };
        QCOMPARE(resultText(), u"同一座標はありませんでした\n"_q);
        withResultTextMenu([&](QMenu& menu) {
            for (QAction* action : menu.actions())
                if (action->objectName() == entry) {
                    QCOMPARE(action->text(), text);
                    action->trigger();
                }
        });
        window = std::make_unique<morvane::MainWindow>(user->dialogs());
        QVERIFY2(resultText().startsWith(findingStart), qPrintable(resultText()));
        clickMenuEntry(entry);
        QCOMPARE(resultText(), u"同一座標はありませんでした\n"_q);
    }

    void realBoxesAreSetUpAsDesigned() {
        auto question = morvane::makeQuestionBox(window.get(), QStringLiteral("?"));
        QCOMPARE(question->windowTitle(), QStringLiteral("Morvane"));
        QCOMPARE(question->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(question->defaultButton(), question->button(QMessageBox::Yes));
        QCOMPARE(question->icon(), QMessageBox::NoIcon);
        // Japanese without Qt's translations, which these tests do not load.
        QCOMPARE(question->button(QMessageBox::Yes)->text(), u"はい"_q);
        QCOMPARE(question->button(QMessageBox::No)->text(), u"いいえ"_q);

        auto notice = morvane::makeNoticeBox(window.get(), QStringLiteral("!"));
        QCOMPARE(notice->windowTitle(), QStringLiteral("Morvane"));
        QCOMPARE(notice->standardButtons(), QMessageBox::Ok);
        QCOMPARE(notice->button(QMessageBox::Ok)->text(), QStringLiteral("OK"));

        auto files = morvane::makeCoordinateFileDialog(window.get());
        QCOMPARE(files->nameFilters(),
                 QStringList{"*.dat;*.sim;*.sct;*.xml;*.zip (*.dat *.sim *.sct *.xml *.zip "
                             "*.DAT *.SIM *.SCT *.XML *.ZIP)"});
        QCOMPARE(files->fileMode(), QFileDialog::ExistingFiles);
    }

    void yAndNAnswerTheQuestion_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("answer");
        QTest::newRow("Y") << int(Qt::Key_Y) << int(QMessageBox::Yes);
        QTest::newRow("N") << int(Qt::Key_N) << int(QMessageBox::No);
    }

    void yAndNAnswerTheQuestion() {
        QFETCH(int, key);
        QFETCH(int, answer);
        auto question = morvane::makeQuestionBox(window.get(), QStringLiteral("?"));
        question->show();
        QVERIFY(QTest::qWaitForWindowExposed(question.get()));
        QTest::keyClick(question.get(), Qt::Key(key));
        QTRY_COMPARE(question->clickedButton(),
                     question->button(QMessageBox::StandardButton(answer)));
    }

    // With Qt's translations, as the program loads them, its file dialog has
    // no English left on its buttons and labels; without them the program
    // runs on.
    void qtsDialogsSpeakJapaneseWhenItsTranslationsAreThere() {
        QTemporaryDir empty;
        QVERIFY(!morvane::loadQtJapanese(empty.path()));

        const auto japanese =
            morvane::loadQtJapanese(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
        QVERIFY2(japanese, "qtbase_ja.qm is missing: install qt6-translations-l10n");
        QCoreApplication::installTranslator(japanese.get());
        auto dialog = morvane::makeCoordinateFileDialog(window.get());
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        dialog->show();
        QStringList texts;
        for (auto* button : dialog->findChildren<QPushButton*>())
            texts << button->text();
        for (auto* label : dialog->findChildren<QLabel*>())
            texts << label->text();
        QCoreApplication::removeTranslator(japanese.get());

        QVERIFY(texts.size() >= 4);
        // An access key stays a Latin letter: "開く(&O)".
        static const QRegularExpression accessKey(QStringLiteral("\\(&[A-Z]\\)"));
        static const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
        for (QString text : texts)
            QVERIFY2(!text.remove(accessKey).contains(latin), qPrintable(text));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
