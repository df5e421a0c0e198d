// The window's side of a large run: from the Start click until the window
// shows 100,000 findings (400,000 list items and 300,000 report lines). The
// target is about 2 s on a desktop; the check itself takes part of it.
#include "print/Fonts.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"

#include <cstdio>
#include <string>

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWindow>
#include <benchmark/benchmark.h>

namespace {

constexpr int Findings = 100'000;

// Pairs of points 0.01 apart, each pair 1 m from the next in X: every pair
// is one coincident-point finding and no two names are equal.
QString writePairs(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("pairs.sim"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    std::string text;
    char line[96];
    for (int i = 0; i < Findings; ++i) {
        const int n = 2 * i + 1;
        std::snprintf(line, sizeof line,
                      "A01,%d,A%d,%d.000,500.000,\r\nA01,%d,B%d,%d.000,500.010,\r\n", n, i,
                      1000 + i, n + 1, i, 1000 + i);
        text += line;
    }
    file.write(text.data(), static_cast<qint64>(text.size()));
    return path;
}

void StartClickWithManyFindings(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = writePairs(dir);
    morvane::WindowDialogs dialogs;
    dialogs.chooseCoordinateFile = [&](QWidget*) {
        return std::optional<std::filesystem::path>(path.toStdString());
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
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
