// The window's side of a large run: from the Start click until the window
// shows 100,000 findings (400,000 list items and 300,000 report lines). The
// target is about 2 s on a desktop; the check itself takes part of it.
#include "print/Fonts.h"
#include "support/TestFiles.h"
#include "support/TestPoints.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "ui/WindowSettings.h"

#include <filesystem>
#include <optional>

#include <QApplication>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QWindow>
#include <benchmark/benchmark.h>

namespace {

constexpr int Findings = 100'000;

void StartClickWithManyFindings(benchmark::State& state) {
    // Every pair one coincident-point finding, and no two names equal.
    const morvane::test::TempFile pairs(
        morvane::test::simaFileOf(morvane::test::findingPairs(0, Findings)));
    morvane::WindowDialogs dialogs;
    dialogs.chooseCoordinateFile = [&](QWidget*, const QString&) {
        return std::optional<std::filesystem::path>(pairs.path());
    };
    dialogs.choosePrinter = [](QWidget*) { return false; };
    dialogs.askYesNo = [](QWidget*, const QString&) { return morvane::Answer::No; };
    dialogs.showMessage = [&](QWidget*, const QString& text) {
        state.SkipWithError(text.toStdString().c_str());
    };
    morvane::MainWindow window(dialogs);
    window.show();
    while (!window.windowHandle()->isExposed())
        QCoreApplication::processEvents();
    auto* start = window.findChild<QPushButton*>(QStringLiteral("startButton"));
    for (auto _ : state) {
        start->click();
        // The paint that follows the run, as the event loop would do it.
        window.repaint();
    }
    if (window.resultItemCount() != 4 * Findings)
        state.SkipWithError("unexpected number of list items");
    state.counters["list items"] = window.resultItemCount();
}
BENCHMARK(StartClickWithManyFindings)->Unit(benchmark::kMillisecond)->Iterations(3);

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
