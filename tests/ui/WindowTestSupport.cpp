#include "WindowTestSupport.h"

#include "print/Fonts.h"
#include "support/ZipFiles.h"
#include "ui/WindowSettings.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

namespace morvane::test {

WindowDialogs ScriptedUser::dialogs() {
    WindowDialogs d;
    d.chooseCoordinateFiles =
        [this](QWidget*, const QString& startFolder) -> std::vector<std::filesystem::path> {
        ++fileDialogs;
        startFolders << startFolder;
        if (!filesTogether.empty()) {
            auto chosen = filesTogether.front();
            filesTogether.pop_front();
            return chosen;
        }
        if (files.empty())
            qFatal("unexpected file dialog");
        auto next = files.front();
        files.pop_front();
        return next ? std::vector{*next} : std::vector<std::filesystem::path>{};
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

QString statusFrame(const QString& text, const QColor& color, bool busy) {
    return "[" + text + "] " + color.name() + (busy ? " busy" : " arrow");
}

StatusPaints::StatusPaints(QLabel* label) : m_label(label) {
    label->installEventFilter(this);
}

bool StatusPaints::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::Paint) {
        const QString f = statusFrame(m_label->text(), m_label->palette().color(QPalette::Window),
                                      QGuiApplication::overrideCursor() != nullptr);
        if (frames.isEmpty() || frames.back() != f)
            frames << f;
    }
    return false;
}

const std::string ThreePoints =
    simaFile({u"A01,1,P1,100.000,200.000,0.000,", u"A01,2,P2,100.010,200.020,0.000,",
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

std::string mapSheet(const std::vector<std::pair<double, double>>& points) {
    std::string xml =
        "<地図 xmlns=\"http://www.moj.go.jp/MINJI/tizuxml\" "
        "xmlns:g=\"http://www.moj.go.jp/MINJI/tizuzumen\"><座標系>公共座標9系</座標系>";
    for (const auto& [x, y] : points)
        xml += "<g:GM_Point><g:DirectPosition><g:X>" + std::to_string(x) + "</g:X><g:Y>" +
               std::to_string(y) + "</g:Y></g:DirectPosition></g:GM_Point>";
    return xml + "</地図>";
}

const std::string FirstSheet = mapSheet({{1, 1}, {1, 1.01}, {50, 50}});
const std::string SecondSheet = mapSheet({{7, 7}, {7.02, 7}});
const std::string BrokenSheet = "<地図>";

std::string cityArchive() {
    return zipOf({{"c.xml", SecondSheet}, {"a.xml", FirstSheet}, {"b.xml", BrokenSheet}});
}

QString qtPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

QStringList listItems(QListView* list) {
    QStringList items;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        items << list->model()->index(row, 0).data().toString();
    return items;
}

void WindowFixture::clickStart() {
    QTest::mouseClick(control<QPushButton>("startButton"), Qt::LeftButton);
}

void WindowFixture::checkThreePoints() {
    site = std::make_unique<TempFile>(ThreePoints, "site.sim");
    user->files.push_back(site->path());
    clickStart();
}

void WindowFixture::withResultTextMenu(const std::function<void(QMenu&)>& use) {
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

void WindowFixture::clickMenuEntry(const QString& name) {
    withResultTextMenu([&](QMenu& menu) {
        for (QAction* action : menu.actions())
            if (action->objectName() == name)
                QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(action).center());
    });
}

void WindowFixture::initTestCase() {
    registerFontSubstitutes();
    QVERIFY(m_settingsFolder.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsFolder.path());
    setApplicationNames();
}

void WindowFixture::init() {
    QSettings().clear();
    user = std::make_unique<ScriptedUser>();
    window = std::make_unique<MainWindow>(user->dialogs());
    user->list = control<QListView>("resultList");
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void WindowFixture::cleanup() {
    window.reset();
    site.reset();
    QVERIFY2(QGuiApplication::overrideCursor() == nullptr, "busy pointer left behind");
}

} // namespace morvane::test
