// Timings of the core's steps on generated files: the reader, the key sort,
// each check and a whole run. bench/run.sh gives the figures of whole
// morvane-check runs; these show where a run's time goes.

#include "MapSheets.h"
#include "SimaLayouts.h"
#include "checks/CoincidentPoints.h"
#include "checks/DuplicateNames.h"
#include "checks/DuplicateNumbers.h"
#include "checks/KeySort.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/Text.h"
#include "input/CoordinateFile.h"
#include "input/CoordinateReader.h"
#include "input/Cp932.h"
#include "input/MapSheet.h"
#include "input/PointSources.h"
#include "run/CheckRun.h"
#include "support/CountingUiSink.h"
#include "support/TestFiles.h"
#include "support/TestPoints.h"
#include "support/ZipFiles.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

using namespace morvane;

namespace {

constexpr int FullTable = TableCapacity;
// Every gap a power of two: the count that makes interleaved keys hardest.
constexpr int InterleavedCount = 262'143;

const std::string& fileBytes(const std::string& layout, int points) {
    static std::map<std::pair<std::string, int>, std::string> cache;
    auto& bytes = cache[{layout, points}];
    if (bytes.empty())
        bytes = *bench::simaFile(layout, points);
    return bytes;
}

// The table as the reader leaves it.
void load(const std::string& layout, int points) {
    CountingUiSink sink; // answers No: every check runs to its end
    resetRun(test::sharedPointTable(), sink);
    auto fields = FieldReader::fromBytes(fileBytes(layout, points));
    readCoordinates(test::sharedPointTable(), fields);
}

// The reset at the start of every run, after a run that filled the table.
void resetBench(benchmark::State& state) {
    CountingUiSink sink; // answers No: every check runs to its end
    for (auto _ : state) {
        state.PauseTiming();
        load("uniform", FullTable);
        state.ResumeTiming();
        resetRun(test::sharedPointTable(), sink);
    }
}

void readCoordinatesBench(benchmark::State& state, const std::string& layout, int points) {
    CountingUiSink sink; // answers No: every check runs to its end
    for (auto _ : state) {
        state.PauseTiming();
        resetRun(test::sharedPointTable(), sink);
        auto fields = FieldReader::fromBytes(fileBytes(layout, points));
        state.ResumeTiming();
        readCoordinates(test::sharedPointTable(), fields);
    }
    state.SetItemsProcessed(state.iterations() * points);
}

// The generated file with a kanji at the start of every name, as survey names
// have, saved in the encoding: the same points, in CP932 or UTF-8 or UTF-16.
std::string kanjiNamedFile(const std::string& layout, int points, FileEncoding encoding) {
    const std::u16string ascii = toUtf16(fileBytes(layout, points));
    std::u16string text;
    text.reserve(ascii.size() + points);
    constexpr std::u16string_view Record = u"A01,";
    for (std::size_t at = 0; at < ascii.size();) {
        const std::size_t end = std::min(ascii.find(u'\n', at), ascii.size() - 1) + 1;
        const std::u16string_view line = std::u16string_view(ascii).substr(at, end - at);
        if (line.starts_with(Record)) {
            const std::size_t name = line.find(u',', Record.size()) + 1;
            text += line.substr(0, name);
            text += u'境';
            text += line.substr(name);
        } else {
            text += line;
        }
        at = end;
    }
    return test::savedAs(encoding, text);
}

// Opening the file (which decides its encoding) and reading it, as a run does.
void readFileBench(benchmark::State& state, const std::string& layout, int points,
                   FileEncoding encoding) {
    const test::TempFile file(kanjiNamedFile(layout, points, encoding));
    CountingUiSink sink;
    for (auto _ : state) {
        state.PauseTiming();
        resetRun(test::sharedPointTable(), sink);
        state.ResumeTiming();
        CoordinateFile in(file.path());
        readCoordinates(test::sharedPointTable(), in.fields(), in.fieldEncoding());
        if (in.encoding() != encoding)
            state.SkipWithError("the file was read in another encoding");
    }
    state.SetItemsProcessed(state.iterations() * points);
}

void keySortBench(benchmark::State& state, const std::vector<double>& keys) {
    PointTable& d = test::sharedPointTable();
    for (auto _ : state) {
        state.PauseTiming();
        test::loadSortKeys(d, keys);
        state.ResumeTiming();
        sortByKey(d);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(keys.size()));
}

std::vector<double> randomKeys(int count) {
    std::mt19937_64 rng(1);
    std::vector<double> keys(count);
    for (auto& k : keys)
        k = std::uniform_real_distribution<double>(-5e5, 5e5)(rng);
    return keys;
}

std::vector<double> interleavedKeys(int count) {
    std::mt19937_64 rng(2);
    std::vector<double> keys(count);
    for (int i = 0; i < count; ++i)
        keys[i] = std::uniform_real_distribution<double>(0, 1000)(rng) + ((i + 1) % 2 ? 1e6 : 0);
    return keys;
}

// Each timed check starts from the empty report a run gives it.
void emptyReport(PointTable& d, UiSink& sink) {
    test::startReport(d);
    sink.clearResultList();
}

void duplicateNameBench(benchmark::State& state, const std::string& layout, int points) {
    PointTable& d = test::sharedPointTable();
    load(layout, points);
    sortByKey(d);
    CountingUiSink sink; // answers No: every check runs to its end
    for (auto _ : state) {
        state.PauseTiming();
        emptyReport(d, sink);
        state.ResumeTiming();
        checkDuplicateNames(d, sink);
    }
}

// The name check comparing names as they read, on the uniform layout with
// its names starting with a kanji, which NFKC leaves as it is, or with a
// full-width letter, which it changes: every name gets a form and a key.
void lookAlikeNameBench(benchmark::State& state, char16_t first) {
    PointTable& d = test::sharedPointTable();
    load("uniform", FullTable);
    std::vector<double> keys(FullTable + 1);
    for (std::int32_t n = 1; n <= FullTable; ++n) {
        std::u16string name(d.names[n]);
        name[0] = first;
        d.names.assign(static_cast<std::size_t>(n), name);
        keys[n] = NameKey(d.names[n]);
    }
    CountingUiSink sink; // answers No: every check runs to its end
    for (auto _ : state) {
        state.PauseTiming();
        emptyReport(d, sink);
        for (std::int32_t n = 1; n <= FullTable; ++n) {
            d.sortKeys[n] = keys[n];
            d.sortOrder[n] = n;
        }
        state.ResumeTiming();
        checkLookAlikeNames(d, sink, NameKey);
    }
    state.counters["findings"] = static_cast<double>(d.nextReportLine - 1) / 3;
}

// The numbers in record order (uniform) or out of order, some twice
// (renumbered).
void duplicateNumberBench(benchmark::State& state, const std::string& layout) {
    PointTable& d = test::sharedPointTable();
    load(layout, FullTable);
    CountingUiSink sink; // answers No: every check runs to its end
    for (auto _ : state) {
        state.PauseTiming();
        emptyReport(d, sink);
        state.ResumeTiming();
        checkDuplicateNumbers(d, sink);
    }
    state.counters["findings"] = static_cast<double>(d.nextReportLine - 1) / 3;
}

void coincidentPointBench(benchmark::State& state, const std::string& layout, int points,
                          const std::u16string& tolerance, const std::u16string& lower) {
    PointTable& d = test::sharedPointTable();
    load(layout, points);
    CountingUiSink sink; // answers No: every check runs to its end
    sink.toleranceField = tolerance;
    sink.lowerField = lower;
    for (auto _ : state) {
        state.PauseTiming();
        emptyReport(d, sink);
        state.ResumeTiming();
        checkCoincidentPoints(d, sink);
    }
    state.counters["findings"] = static_cast<double>(d.nextReportLine - 1) / 3;
}

void wholeRunBench(benchmark::State& state, const std::string& layout, int points,
                   CheckChoice checks) {
    const test::TempFile file(fileBytes(layout, points));
    CountingUiSink sink; // answers No: every check runs to its end
    sink.file = file.path();
    sink.checks = checks;
    for (auto _ : state)
        runCheck(test::sharedPointTable(), sink);
}

// A map sheet read from its file (or from a ZIP that holds it), as a run
// reads it, and with the checks after it: key sort, duplicate names,
// coincident points at 0.05 m.
void mapSheetBench(benchmark::State& state, int points, bool check, bool zipped) {
    const std::string xml = bench::mapSheet(points);
    const test::TempFile file(zipped ? test::zipOf({{"sheet.xml", xml}}) : xml,
                              zipped ? "sheet.zip" : "sheet.xml");
    const PointSource sheet = pointSourcesOf(file.path()).at(0);
    PointTable& d = test::sharedPointTable();
    CountingUiSink sink; // answers No: every check runs to its end
    for (auto _ : state) {
        state.PauseTiming();
        resetRun(d, sink);
        state.ResumeTiming();
        sheet.read(d);
        if (d.pointCount != points)
            state.SkipWithError("the sheet was not read whole");
        if (!check)
            continue;
        sortByKey(d);
        test::startReport(d);
        checkDuplicateNames(d, sink);
        checkCoincidentPoints(d, sink);
    }
    state.SetItemsProcessed(state.iterations() * points);
}

// Piece i of a generated sheet; false past the last.
using SheetPiece = std::function<bool(std::size_t i, std::string& piece)>;

// Reads a sheet made piece by piece as it is read, so that one of hundreds of
// MB takes no memory. Whether it was read whole, not refused.
bool readGeneratedSheet(const SheetPiece& pieceAt) {
    std::size_t next = 0;
    std::string piece;
    std::size_t offset = 0;
    bool more = true;
    try {
        readMapSheet(test::sharedPointTable(), [&](char* buffer, std::size_t size) {
            std::size_t n = 0;
            while (n < size && more) {
                if (offset == piece.size()) {
                    more = pieceAt(next++, piece);
                    offset = 0;
                    continue;
                }
                const std::size_t k = std::min(size - n, piece.size() - offset);
                std::memcpy(buffer + n, piece.data() + offset, k);
                n += k;
                offset += k;
            }
            return n;
        });
        return true;
    } catch (const RunError&) {
        return false;
    }
}

const std::string SheetHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                              "<地図 xmlns=\"http://www.moj.go.jp/MINJI/tizuxml\" "
                              "xmlns:zmn=\"http://www.moj.go.jp/MINJI/tizuzumen\">\n<空間属性>\n";

std::string sheetPoint(std::size_t n) {
    const std::string number = std::to_string(n);
    return "<zmn:GM_Point id=\"P" + number + "\"><zmn:DirectPosition><zmn:X>" + number +
           "</zmn:X><zmn:Y>1</zmn:Y></zmn:DirectPosition></zmn:GM_Point>\n";
}

// A sheet of one point with one long token: an attribute or a comment of so
// many MiB. One over 16 MiB is refused soon after its first 16 MiB (the target
// is 5 s for 200 MB); a shorter one is read whole, in time linear in its
// length.
void longTokenBench(benchmark::State& state, bool comment, std::size_t mebibytes) {
    const std::string head =
        SheetHead + sheetPoint(1) + "</空間属性>\n" + (comment ? "<!--" : "<主題属性 備考=\"");
    const std::string tail =
        std::string(comment ? "-->\n<主題属性>" : "\">") + "</主題属性>\n</地図>\n";
    const std::string mebibyte(1 << 20, 'a');
    CountingUiSink sink;
    for (auto _ : state) {
        state.PauseTiming();
        resetRun(test::sharedPointTable(), sink);
        state.ResumeTiming();
        const bool whole = readGeneratedSheet([&](std::size_t i, std::string& piece) {
            piece = i == 0 ? head : i <= mebibytes ? mebibyte : tail;
            return i <= mebibytes + 1;
        });
        if (whole != (mebibytes < 16))
            state.SkipWithError(whole ? "a token over the limit was read"
                                      : "the sheet was refused");
    }
}

// 16,000 points, each named by a name of 65,000 characters (1 GB of names
// in all): refused at the first name, which is too long for a sort key.
void longNamesBench(benchmark::State& state) {
    constexpr std::size_t Points = 16'000;
    const std::string name(65'000, 'n');
    CountingUiSink sink;
    for (auto _ : state) {
        state.PauseTiming();
        resetRun(test::sharedPointTable(), sink);
        state.ResumeTiming();
        const bool whole = readGeneratedSheet([&](std::size_t i, std::string& piece) {
            if (i == 0)
                piece = SheetHead;
            else if (i <= Points)
                piece = sheetPoint(i);
            else if (i == Points + 1)
                piece = "</空間属性>\n<主題属性>\n";
            else if (i <= 2 * Points + 1)
                piece = "<筆界点><点番名>" + name + "</点番名><形状 idref=\"P" +
                        std::to_string(i - Points - 1) + "\"/></筆界点>\n";
            else
                piece = "</主題属性>\n</地図>\n";
            return i <= 2 * Points + 2;
        });
        if (whole)
            state.SkipWithError("names too long for a key were read");
    }
}

void registerAll() {
    const auto ms = benchmark::kMillisecond;
    benchmark::RegisterBenchmark("Reset/499999", resetBench)->Unit(ms);
    benchmark::RegisterBenchmark("Read/uniform/499999", readCoordinatesBench, "uniform", FullTable)
        ->Unit(ms);
    for (const auto encoding : {FileEncoding::Cp932, FileEncoding::Utf8, FileEncoding::Utf16Le})
        benchmark::RegisterBenchmark(
            (std::string("ReadFile/uniform/499999/") + encodingName(encoding)).c_str(),
            readFileBench, "uniform", FullTable, encoding)
            ->Unit(ms);
    benchmark::RegisterBenchmark("KeySort/random/499999", keySortBench, randomKeys(FullTable))
        ->Unit(ms);
    benchmark::RegisterBenchmark("KeySort/interleaved/262143", keySortBench,
                                 interleavedKeys(InterleavedCount))
        ->Unit(ms);
    benchmark::RegisterBenchmark("DuplicateNames/uniform/499999", duplicateNameBench, "uniform",
                                 FullTable)
        ->Unit(ms);
    benchmark::RegisterBenchmark("LookAlikeNames/kanji/499999", lookAlikeNameBench, u'境')
        ->Unit(ms);
    benchmark::RegisterBenchmark("LookAlikeNames/full-width/499999", lookAlikeNameBench, u'Ｐ')
        ->Unit(ms);
    for (const char* layout : {"uniform", "renumbered"})
        benchmark::RegisterBenchmark(
            (std::string("DuplicateNumbers/") + layout + "/499999").c_str(), duplicateNumberBench,
            layout)
            ->Unit(ms);
    for (const char* layout : {"uniform", "columns", "line", "square", "origin", "cluster"}) {
        const std::u16string lower = std::string(layout) == "cluster" ? u"0.001" : u"0";
        benchmark::RegisterBenchmark(
            (std::string("CoincidentPoints/") + layout + "/499999/0.05").c_str(),
            coincidentPointBench, layout, FullTable, u"0.05", lower)
            ->Unit(ms);
    }
    benchmark::RegisterBenchmark("MapSheet/Read/100000", mapSheetBench, 100'000, false, false)
        ->Unit(ms);
    benchmark::RegisterBenchmark("MapSheet/ReadAndCheck/100000", mapSheetBench, 100'000, true,
                                 false)
        ->Unit(ms);
    benchmark::RegisterBenchmark("MapSheet/ReadAndCheck/100000/zip", mapSheetBench, 100'000, true,
                                 true)
        ->Unit(ms);
    for (const bool comment : {false, true})
        for (const std::size_t mebibytes : {15, 20, 200})
            benchmark::RegisterBenchmark((std::string("MapSheet/LongToken/") +
                                          (comment ? "comment/" : "attribute/") +
                                          std::to_string(mebibytes) + "MiB")
                                             .c_str(),
                                         longTokenBench, comment, mebibytes)
                ->Unit(ms);
    benchmark::RegisterBenchmark("MapSheet/LongNames/1GB", longNamesBench)->Unit(ms);
    for (const char* layout : {"uniform", "line", "renumbered"}) {
        benchmark::RegisterBenchmark((std::string("WholeRun/") + layout + "/499999").c_str(),
                                     wholeRunBench, layout, FullTable, CheckChoice{})
            ->Unit(ms);
        benchmark::RegisterBenchmark(
            (std::string("WholeRun/") + layout + "/499999/all-checks").c_str(), wholeRunBench,
            layout, FullTable, CheckChoice{true, true, true})
            ->Unit(ms);
    }
}

} // namespace

int main(int argc, char** argv) {
    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
