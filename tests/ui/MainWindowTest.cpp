#include "ui/MainWindow.h"

#include "print/Fonts.h"
#include "support/Process.h"
#include "support/TestFiles.h"
#include "support/TestPoints.h"
#include "support/ZipFiles.h"
#include "ui/Dialogs.h"
#include "ui/PlotWindow.h"
#include "ui/WindowSettings.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QWheelEvent>

using morvane::Answer;
using morvane::test::TempFile;

Q_DECLARE_METATYPE(morvane::Answer)

namespace {

QString operator""_q(const char16_t* text, std::size_t size) {
    return QString::fromUtf16(text, static_cast<qsizetype>(size));
}

// Stands in for the user at the dialogs: the next file (or a cancel), the next
// answer; and records what the window asked and showed.
struct ScriptedUser {
    std::deque<std::optional<std::filesystem::path>> files;
    std::deque<std::optional<std::filesystem::path>> savedFiles;
    std::deque<Answer> answers;
    bool printerAnswer = false;

    int fileDialogs = 0;
    int printerDialogs = 0;
    // Where each open dialog started, and what each save dialog proposed.
    QStringList startFolders;
    QStringList suggestedSaves;
    QStringList saveFilters;
    QStringList prompts;
    QStringList messages;
    // What the result list showed while each question was open.
    QList<int> listRowsAtPrompt;
    QListView* list = nullptr;

    morvane::WindowDialogs dialogs() {
        morvane::WindowDialogs d;
        d.chooseCoordinateFile =
            [this](QWidget*, const QString& startFolder) -> std::optional<std::filesystem::path> {
            ++fileDialogs;
            startFolders << startFolder;
            if (files.empty())
                qFatal("unexpected file dialog");
            auto next = files.front();
            files.pop_front();
            return next;
        };
        d.chooseSaveFile = [this](QWidget*, const QString& suggested, const QString& filter) {
            suggestedSaves << suggested;
            saveFilters << filter;
            if (savedFiles.empty())
                qFatal("unexpected save dialog");
            auto next = savedFiles.front();
            savedFiles.pop_front();
            return next;
        };
        d.choosePrinter = [this](QWidget*) {
            ++printerDialogs;
            return printerAnswer;
        };
        d.askYesNo = [this](QWidget*, const QString& prompt) {
            prompts << prompt;
            listRowsAtPrompt.push_back(list->model()->rowCount());
            if (answers.empty())
                qFatal("unexpected question");
            const Answer a = answers.front();
            answers.pop_front();
            return a;
        };
        d.showMessage = [this](QWidget*, const QString& text) { messages << text; };
        return d;
    }
};

// What the status label looked like each time it was painted during a run:
// text, colour and pointer, one entry per change.
QString statusFrame(const QString& text, const QColor& color, bool busy) {
    return "[" + text + "] " + color.name() + (busy ? " busy" : " arrow");
}

class StatusPaints : public QObject {
public:
    explicit StatusPaints(QLabel* label) : m_label(label) { label->installEventFilter(this); }
    QStringList frames;

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            const QString f =
                statusFrame(m_label->text(), m_label->palette().color(QPalette::Window),
                            QGuiApplication::overrideCursor() != nullptr);
            if (frames.isEmpty() || frames.back() != f)
                frames << f;
        }
        return false;
    }

private:
    QLabel* m_label;
};

const QColor Red(255, 0, 0);
const QColor White(255, 255, 255);

// Three points: P1 twice 5 m apart, and P2 0.022 from the first P1.
const std::string ThreePoints =
    morvane::test::simaFile({u"A01,1,P1,100.000,200.000,0.000,", u"A01,2,P2,100.010,200.020,0.000,",
                             u"A01,3,P1,103.000,204.000,0.000,"});
const QStringList ThreePointsList = {u"同一名称"_q,
                                     u"     1  P1             100.000   200.000  較差 5.000"_q,
                                     u"     3  P1             103.000   204.000"_q,
                                     " ",
                                     u"同位置座標"_q,
                                     u"     1  P1             100.000   200.000  較差 0.022"_q,
                                     u"     2  P2             100.010   200.020"_q,
                                     " "};
const QString ThreePointsText = u"同一名称\n"
                                u"     1  P1             100.000   200.000  較差 5.000\n"
                                u"     3  P1             103.000   204.000\n"
                                u"同一座標値\n"
                                u"     1  P1             100.000   200.000  較差 0.022\n"
                                u"     2  P2             100.010   200.020\n"
                                u"\n"_q;

// A map sheet of these points (x, y), numbered from 1.
std::string mapSheet(const std::vector<std::pair<double, double>>& points) {
    std::string xml =
        "<地図 xmlns=\"http://www.moj.go.jp/MINJI/tizuxml\" "
        "xmlns:g=\"http://www.moj.go.jp/MINJI/tizuzumen\"><座標系>公共座標9系</座標系>";
    for (const auto& [x, y] : points)
        xml += "<g:GM_Point><g:DirectPosition><g:X>" + std::to_string(x) + "</g:X><g:Y>" +
               std::to_string(y) + "</g:Y></g:DirectPosition></g:GM_Point>";
    return xml + "</地図>";
}

// Two sheets with a close pair each (three points and two), and a broken
// sheet between them.
const std::string FirstSheet = mapSheet({{1, 1}, {1, 1.01}, {50, 50}});
const std::string SecondSheet = mapSheet({{7, 7}, {7.02, 7}});
const std::string BrokenSheet = "<地図>";

QString qtPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

QStringList listItems(QListView* list) {
    QStringList items;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        items << list->model()->index(row, 0).data().toString();
    return items;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ScriptedUser> user;
    std::unique_ptr<morvane::MainWindow> window;

    template <typename T> T* control(const char* name) {
        auto* w = window->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    void clickStart() { QTest::mouseClick(control<QPushButton>("startButton"), Qt::LeftButton); }

    // Right-clicks the result text and hands its menu to `use` while it is open.
    void withResultTextMenu(const std::function<void(QMenu&)>& use) {
        auto* text = control<QPlainTextEdit>("resultText");
        bool opened = false;
        QTimer::singleShot(0, this, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                opened = true;
                use(*menu);
                menu->close();
            }
        });
        const QPoint at(20, 20);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, text->viewport()->mapToGlobal(at));
        QApplication::sendEvent(text->viewport(), &event);
        QVERIFY2(opened, "no context menu opened");
    }

    // Clicks the result text's menu entry of this object name.
    void clickMenuEntry(const QString& name) {
        withResultTextMenu([&](QMenu& menu) {
            for (QAction* action : menu.actions())
                if (action->objectName() == name)
                    QTest::mouseClick(&menu, Qt::LeftButton, {},
                                      menu.actionGeometry(action).center());
        });
    }

    void checkThreePoints() {
        site = std::make_unique<TempFile>(ThreePoints, "site.sim");
        user->files.push_back(site->path());
        clickStart();
    }

    std::unique_ptr<TempFile> site;
    // The window's settings live here, never in the user's own.
    QTemporaryDir settingsFolder;

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
        return lines.mid(finding * 3, 3).join(QChar::ParagraphSeparator);
    }

private slots:
    void initTestCase() {
        morvane::registerFontSubstitutes();
        QVERIFY(settingsFolder.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
        morvane::setApplicationNames();
    }

    void init() {
        QSettings().clear();
        user = std::make_unique<ScriptedUser>();
        window = std::make_unique<morvane::MainWindow>(user->dialogs());
        user->list = control<QListView>("resultList");
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup() {
        window.reset();
        site.reset();
        QVERIFY2(QGuiApplication::overrideCursor() == nullptr, "busy pointer left behind");
    }

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
        QTest::newRow("status") << "status" << QRect(4800, 120, 1335, 375) << pGothic << 14.25
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
        QCOMPARE(window->windowTitle(), u"site.sim（3点）- Morvane　V1.2"_q);
        clickStart();
        QCOMPARE(window->windowTitle(), u"Morvane　V1.2"_q);
    }

    void aGivenFileIsCheckedWithoutTheDialogOnce() {
        TempFile site(ThreePoints, "site.sim");
        window->checkFile(site.path());
        QCOMPARE(user->fileDialogs, 0);
        QCOMPARE(listItems(control<QListView>("resultList")), ThreePointsList);
        QCOMPARE(window->windowTitle(), u"site.sim（3点）- Morvane　V1.2"_q);

        // The given file answered one run only: Start asks again.
        user->files.push_back(std::nullopt);
        clickStart();
        QCOMPARE(user->fileDialogs, 1);
        QCOMPARE(window->resultItemCount(), 0);
    }

    void droppingOneFileChecksIt_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("checked");
        QTest::newRow("one file") << 1 << true;
        QTest::newRow("two files") << 2 << false;
        QTest::newRow("a folder") << 0 << false;
    }

    void droppingOneFileChecksIt() {
        QFETCH(int, files);
        QFETCH(bool, checked);

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

        const QStringList expected = checked ? ThreePointsList : QStringList();
        QTRY_COMPARE(listItems(control<QListView>("resultList")), expected);
        QTest::qWait(10);
        QCOMPARE(listItems(control<QListView>("resultList")), expected);
        QCOMPARE(user->fileDialogs, 0);
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
        QCOMPARE(result.count('\n'), 3 * findings + 1);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    void enterIsDroppedInTheToleranceFieldOnly_data() {
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
        QTest::newRow("m_lowerField Enter") << "lowerField" << int(Qt::Key_Return) << 0 << "0\n\n";
        QTest::newRow("m_lowerField keypad Enter")
            << "lowerField" << int(Qt::Key_Enter) << keypad << "0\n\n";
        QTest::newRow("m_resultText Enter")
            << "resultText" << int(Qt::Key_Return) << 0 << u"結果\n"_q;
    }

    void enterIsDroppedInTheToleranceFieldOnly() {
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
            << true << QByteArray("A01,1,P1,100.000,200.000,\r\nA01,2,P2,100.000\r\n")
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

    void printButtonAsksForAPrinter() {
        user->printerAnswer = false;
        control<QPushButton>("printButton")->click();
        QCOMPARE(user->printerDialogs, 1);
        QVERIFY(user->messages.isEmpty());
    }

    void theOpenDialogStartsInTheLastCheckedFolder_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("remembered");
        QTest::newRow("chosen in the dialog") << "dialog" << true;
        QTest::newRow("named relative to the working folder") << "relative" << true;
        QTest::newRow("folder gone since") << "gone" << false;
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
        QVERIFY(bytes.rfind("\xEF\xBB\xBF" "file,kind,distance,number1,name1,x1,y1,line1,", 0) == 0);
        const auto line = morvane::test::runProcess(
            MORVANE_CHECK_EXE, {"--quiet", "--format", "csv", site->path().string()});
        QCOMPARE(QString::fromStdString(bytes), QString::fromStdString(line.out));
    }

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

        const struct {
            Qt::Key key;
            int finding;
        } steps[] = {
            {Qt::Key_N, 1}, {Qt::Key_N, 1}, {Qt::Key_P, 0}, {Qt::Key_Right, 1}, {Qt::Key_Up, 0}};
        for (const auto& step : steps) {
            QTest::keyClick(plot, step.key);
            QCOMPARE(plot->chosenFinding(), step.finding);
            QCOMPARE(text->textCursor().selectedText(), findingLines(step.finding));
        }
        QTest::keyClick(plot, Qt::Key_Home);
        const morvane::PlotView all = plot->view();
        QVERIFY(qAbs(all.centre.x - 101.5) < 1e-9 && qAbs(all.centre.y - 202) < 1e-9);
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

    // Each sheet's report as that sheet alone gives it, under its heading;
    // the broken sheet's error under its own, and in one box.
    void anArchiveIsCheckedSheetBySheet() {
        QStringList alone;
        for (const std::string* sheet : {&FirstSheet, &SecondSheet}) {
            TempFile file(*sheet, "sheet.xml");
            window->checkFile(file.path());
            alone << control<QPlainTextEdit>("resultText")->toPlainText();
        }
        TempFile archive(
            morvane::test::zipOf(
                {{"c.xml", SecondSheet}, {"a.xml", FirstSheet}, {"b.xml", BrokenSheet}}),
            "city.zip");
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
        QCOMPARE(window->windowTitle(), u"city.zip（5点）- Morvane　V1.2"_q);

        // The last sheet's findings lead to the plot; the first's lines, with
        // that sheet's table gone, no longer do.
        const int secondAt = static_cast<int>(text.left(text.indexOf(second)).count(u'\n'));
        doubleClickLine(1);
        QVERIFY(!window->findChild<morvane::PlotWindow*>());
        doubleClickLine(secondAt + 2);
        QCOMPARE(openedPlot()->chosenFinding(), 0);
        QCOMPARE(control<QPlainTextEdit>("resultText")->textCursor().selectedText(),
                 text.split(u'\n').mid(secondAt + 1, 3).join(QChar::ParagraphSeparator));

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
        QCOMPARE(window->windowTitle(), u"many.zip（4008点）- Morvane　V1.2"_q);
    }

    void realBoxesAreSetUpAsDesigned() {
        auto question = morvane::makeQuestionBox(window.get(), QStringLiteral("?"));
        QCOMPARE(question->windowTitle(), QStringLiteral("Morvane"));
        QCOMPARE(question->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(question->defaultButton(), question->button(QMessageBox::Yes));
        QCOMPARE(question->icon(), QMessageBox::NoIcon);

        auto notice = morvane::makeNoticeBox(window.get(), QStringLiteral("!"));
        QCOMPARE(notice->windowTitle(), QStringLiteral("Morvane"));
        QCOMPARE(notice->standardButtons(), QMessageBox::Ok);

        auto files = morvane::makeCoordinateFileDialog(window.get());
        QCOMPARE(files->nameFilters(),
                 QStringList{"*.dat;*.sim;*.sct;*.xml;*.zip (*.dat *.sim *.sct *.xml *.zip "
                             "*.DAT *.SIM *.SCT *.XML *.ZIP)"});
        QCOMPARE(files->fileMode(), QFileDialog::ExistingFile);
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
