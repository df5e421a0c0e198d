#pragma once

// What the window's tests share: a user scripted at the dialogs, the status
// label's paints, the test files, and a fixture that opens a fresh window for
// each test.

#include "core/UiSink.h"
#include "support/TestFiles.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"

#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QColor>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class QLabel;
class QListView;
class QMenu;

namespace morvane::test {

inline QString operator""_q(const char16_t* text, std::size_t size) {
    return QString::fromUtf16(text, static_cast<qsizetype>(size));
}

// Stands in for the user at the dialogs: the next file (or a cancel), the next
// answer; and records what the window asked and showed.
struct ScriptedUser {
    std::deque<std::optional<std::filesystem::path>> files;
    // Several files chosen at once, answered before those of `files`.
    std::deque<std::vector<std::filesystem::path>> filesTogether;
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

    WindowDialogs dialogs();
};

// What the status label looked like each time it was painted during a run:
// text, colour and pointer, one entry per change.
QString statusFrame(const QString& text, const QColor& color, bool busy);

class StatusPaints : public QObject {
public:
    explicit StatusPaints(QLabel* label);
    QStringList frames;

    bool eventFilter(QObject*, QEvent* event) override;

private:
    QLabel* m_label;
};

inline const QColor Red(255, 0, 0);
inline const QColor White(255, 255, 255);

// Three points: P1 twice 5 m apart, and P2 0.022 from the first P1.
extern const std::string ThreePoints;
extern const QStringList ThreePointsList;
extern const QString ThreePointsText;

// A map sheet of these points (x, y), numbered from 1.
std::string mapSheet(const std::vector<std::pair<double, double>>& points);

// Two sheets with a close pair each (three points and two), and a broken
// sheet.
extern const std::string FirstSheet;
extern const std::string SecondSheet;
extern const std::string BrokenSheet;
// city.zip: the first sheet as a.xml, the broken one as b.xml and the second
// as c.xml, stored in another order than their names'.
std::string cityArchive();

QString qtPath(const std::filesystem::path& path);
QStringList listItems(QListView* list);

// A fresh window for each test, with scripted dialogs and settings of its own,
// never the user's.
class WindowFixture : public QObject {
    Q_OBJECT

protected:
    std::unique_ptr<ScriptedUser> user;
    std::unique_ptr<MainWindow> window;
    // The file of checkThreePoints.
    std::unique_ptr<TempFile> site;

    template <typename T> T* control(const char* name) {
        auto* w = window->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    void clickStart();
    // Checks ThreePoints as site.sim, chosen after Start.
    void checkThreePoints();

    // Right-clicks the result text and hands its menu to `use` while it is open.
    void withResultTextMenu(const std::function<void(QMenu&)>& use);
    // Clicks the result text's menu entry of this object name.
    void clickMenuEntry(const QString& name);

private:
    QTemporaryDir m_settingsFolder;

private slots:
    void initTestCase();
    void init();
    void cleanup();
};

} // namespace morvane::test
