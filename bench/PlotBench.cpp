// The plot at full capacity: a repaint of the plot window's size with a new
// view (what a wheel notch or a drag step costs: the layer of points and
// findings is drawn anew), a repaint of an unchanged view (the cached layer),
// and the PNG overview of morvane-check --plot. The target is a repaint under
// 50 ms at 499,999 points.
#include "SimaLayouts.h"
#include "core/PointTable.h"
#include "plot/PlotMapping.h"
#include "plot/PlotPainter.h"
#include "plot/PlotPicture.h"
#include "run/CheckRun.h"
#include "support/CountingUiSink.h"
#include "support/TestFiles.h"
#include "support/TestPoints.h"

#include <filesystem>
#include <string>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

using namespace morvane;

namespace {

constexpr int FullTable = TableCapacity;
constexpr int WindowWidth = 1600;
constexpr int WindowHeight = 1200;

// The table after a whole run of the generated layout, every check to its end.
PointTable& checked(const std::string& layout, RunSummary* summary = nullptr) {
    static std::string loaded;
    PointTable& table = test::sharedPointTable();
    static RunSummary run;
    if (loaded != layout) {
        const test::TempFile file(*bench::simaFile(layout, FullTable));
        CountingUiSink sink;
        sink.file = file.path();
        run = *runCheck(table, sink);
        loaded = layout;
    }
    if (summary)
        *summary = run;
    return table;
}

void repaintBench(benchmark::State& state, const std::string& layout, bool newView) {
    PointTable& table = checked(layout);
    PlotPainter plot(table);
    QImage screen(WindowWidth, WindowHeight, QImage::Format_RGB32);
    PlotView view = overview(table, WindowWidth, WindowHeight);
    const std::int32_t chosen = table.findings.empty() ? -1 : 0;
    for (auto _ : state) {
        if (newView)
            view = panned(view, 1, 1);
        QPainter painter(&screen);
        plot.paint(painter, view, chosen, QString());
    }
    state.counters["findings"] = static_cast<double>(table.findings.size());
}

// A zoom about the middle of the screen each time, in and out, so that the
// view shows ever different parts of the points.
void zoomBench(benchmark::State& state, const std::string& layout) {
    PointTable& table = checked(layout);
    PlotPainter plot(table);
    QImage screen(WindowWidth, WindowHeight, QImage::Format_RGB32);
    const PlotView all = overview(table, WindowWidth, WindowHeight);
    PlotView view = all;
    int step = 0;
    for (auto _ : state) {
        view = ++step % 40 == 0 ? all : zoomedAbout(view, {700, 500}, 1.2);
        QPainter painter(&screen);
        plot.paint(painter, view, 0, QString());
    }
}

void pictureBench(benchmark::State& state, const std::string& layout) {
    RunSummary run;
    PointTable& table = checked(layout, &run);
    PlotPictureWriter writer;
    const test::TempFile folder("", "unused");
    const std::filesystem::path target = folder.folder() / "plot.png";
    for (auto _ : state)
        writer.write(table, run, WindowWidth, WindowHeight, target);
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(target));
}

void registerAll() {
    const auto ms = benchmark::kMillisecond;
    for (const char* layout : {"uniform", "square", "cluster"}) {
        const std::string name = std::string("/") + layout + "/499999";
        benchmark::RegisterBenchmark(("PlotRepaint/newView" + name).c_str(), repaintBench, layout,
                                     true)
            ->Unit(ms);
        benchmark::RegisterBenchmark(("PlotRepaint/sameView" + name).c_str(), repaintBench, layout,
                                     false)
            ->Unit(ms);
    }
    benchmark::RegisterBenchmark("PlotRepaint/zooming/uniform/499999", zoomBench, "uniform")
        ->Unit(ms);
    benchmark::RegisterBenchmark("PlotPicture/uniform/499999", pictureBench, "uniform")->Unit(ms);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
