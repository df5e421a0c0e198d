// The window's side of a run, on Qt's offscreen platform:
// - a run with 100,000 findings (400,000 list items, 300,000 report lines):
//   from the end of the check (the run clears the status once its checks are
//   done) until the window shows the findings (result text set, list filled,
//   status painted); target 0.5 s. A long text goes on filling after that
//   while the window answers: "text ms" is the time until it is whole. The
//   whole Start click, check included, is "click ms" (target about 2 s on a
//   desktop);
// - the example file of 25 points: from the path chosen (the dialog
//   returning) until its findings are shown; target 100 ms.
#include "print/Fonts.h"
#include "support/TestFiles.h"
#include "support/TestPoints.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "ui/ResultTextFiller.h"
#include "ui/WindowSettings.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <QApplication>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QWindow>
#include <benchmark/benchmark.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Findings = 100'000;

// The window, noting when the run cleared the status that named its last
// check: then its checks ended, and all that follows is putting their
// findings on screen.
class TimedWindow : public morvane::MainWindow {
public:
    using MainWindow::MainWindow;

    void setStatusText(const std::u16string& text) override {
        if (text.empty() && !m_status.empty())
            checkEnded = Clock::now();
        m_status = text;
        MainWindow::setStatusText(text);
    }

    Clock::time_point checkEnded;

private:
    std::u16string m_status;
};

morvane::WindowDialogs scriptedDialogs(benchmark::State& state, const std::filesystem::path& file,
                                       Clock::time_point& chosen) {
    morvane::WindowDialogs dialogs;
    dialogs.chooseCoordinateFiles = [&state, file, &chosen](QWidget*, const QString&) {
        static_cast<void>(state);
        chosen = Clock::now();
        return std::vector<std::filesystem::path>{file};
    };
    dialogs.choosePrinter = [](QWidget*) { return false; };
    dialogs.askYesNo = [](QWidget*, const QString&) { return morvane::Answer::No; };
    dialogs.showMessage = [&state](QWidget*, const QString& text) {
        state.SkipWithError(text.toStdString().c_str());
    };
    return dialogs;
}

void showAndWait(QWidget& window) {
    window.show();
    while (!window.windowHandle()->isExposed())
        QCoreApplication::processEvents();
}

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Start, the run, and the paint that follows it, as the event loop would do
// it: the time from `from(window, chosen)` to the paint's end. Then the turns
// of the event loop until the result text is whole: "text ms" from the same
// start, and "longest turn ms", the longest a click would wait meanwhile.
template <typename From>
void timeStartClicks(benchmark::State& state, const std::filesystem::path& file, From from) {
    Clock::time_point chosen;
    TimedWindow window(scriptedDialogs(state, file, chosen));
    showAndWait(window);
    auto* start = window.findChild<QPushButton*>(QStringLiteral("startButton"));
    auto* filler = window.findChild<morvane::ResultTextFiller*>();
    double clicks = 0;
    double wholeTexts = 0;
    double longestTurn = 0;
    for (auto _ : state) {
        const auto clicked = Clock::now();
        start->click();
        window.repaint();
        const auto shown = Clock::now();
        state.SetIterationTime(seconds(shown - from(window, chosen)));
        clicks += seconds(shown - clicked);
        while (filler->filling()) {
            const auto turn = Clock::now();
            QCoreApplication::processEvents();
            longestTurn = std::max(longestTurn, seconds(Clock::now() - turn));
        }
        wholeTexts += seconds(Clock::now() - from(window, chosen));
    }
    const auto perIteration = [&](double total) {
        return benchmark::Counter(1000 * total / double(state.iterations()));
    };
    state.counters["click ms"] = perIteration(clicks);
    state.counters["text ms"] = perIteration(wholeTexts);
    state.counters["longest turn ms"] = benchmark::Counter(1000 * longestTurn);
    state.counters["list items"] = window.resultItemCount();
}

void FindingsShownAfterCheck(benchmark::State& state) {
    // Every pair one coincident-point finding, and no two names equal.
    const morvane::test::TempFile pairs(
        morvane::test::simaFileOf(morvane::test::findingPairs(0, Findings)));
    timeStartClicks(state, pairs.path(),
                    [](const TimedWindow& window, Clock::time_point) { return window.checkEnded; });
    if (state.counters["list items"] != 4 * Findings)
        state.SkipWithError("unexpected number of list items");
}
BENCHMARK(FindingsShownAfterCheck)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

void SmallFileShownAfterChoice(benchmark::State& state) {
    timeStartClicks(state, MORVANE_EXAMPLE,
                    [](const TimedWindow&, Clock::time_point chosen) { return chosen; });
    if (state.counters["list items"] < 4)
        state.SkipWithError("no findings in the example");
}
BENCHMARK(SmallFileShownAfterChoice)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->UseManualTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    morvane::registerFontSubstitutes();
    // The window remembers the folder of each checked file; not in the
    // settings of whoever runs the benchmark.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    morvane::setApplicationNames();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
