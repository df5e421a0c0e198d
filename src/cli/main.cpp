#include "cli/CliOptions.h"
#include "cli/DataOutput.h"
#include "cli/FileOutput.h"
#include "cli/InputFiles.h"
#include "cli/OrderedWork.h"
#include "cli/OutputTargets.h"
#include "cli/Summary.h"
#include "cli/TerminalSink.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/Text.h"
#include "export/FileFindings.h"
#include "input/PointSources.h"
#include "output/ReportPrint.h"
#include "plot/PlotPicture.h"
#include "print/PdfReport.h"
#include "run/CheckRun.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>

using namespace morvane;

namespace {

enum ExitStatus { NoFindings = 0, Findings = 1, Failed = 2 };

std::string lineEnds(std::string text, bool crlf) {
    if (crlf)
        return text;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    return out;
}

std::string resultOf(TerminalSink& sink, const CliOptions& options) {
    if (!options.list)
        return toUtf8(sink.resultText());
    std::u16string text;
    for (const auto& item : sink.resultItems())
        text += item + u"\r\n";
    return toUtf8(text);
}

// A sheet's (or a plain file's) findings, or the error that stopped it,
// kept for --format to write in file order.
struct CheckedData {
    std::string file;
    std::optional<FileFindings> findings;
    std::optional<RunError> error;
};

// What checking one file printed, and how it ended; with --format, the data
// of each sheet it held.
struct FileOutcome {
    FileOutput output;
    int status = NoFindings;
    std::vector<CheckedData> data;
};

RunError asRunError(const std::exception& e) {
    if (const auto* runError = dynamic_cast<const RunError*>(&e))
        return *runError;
    return RunError(0, toUtf16(e.what()));
}

// A checking thread's own point table: it is large, and a run resets it anyway.
struct Checker {
    std::unique_ptr<PointTable> table = std::make_unique<PointTable>();
};

// The PDF and plot writers draw with Qt, whose font handling is not made for
// several threads drawing at once; one PDF or picture at a time.
std::mutex drawingWithQt;

// Where a file's report and picture also go, when --pdf or --plot asked.
struct DrawnOutputs {
    PdfReportWriter* pdf = nullptr;
    std::filesystem::path pdfTarget;
    PlotPictureWriter* plot = nullptr;
    std::filesystem::path plotTarget;
};

// A sheet's report kept for the PDF of an archive, which prints its sheets in turn.
struct KeptReport {
    std::vector<std::u16string> lines;
    std::optional<RunSummary> run;
};

// Checks one source of file (a sheet, or the coordinate file itself) as a
// file of its own. With keep, its report is kept there for a PDF of several
// sheets, and drawn.pdf is left to the caller.
void checkSource(PointTable& data, const CliOptions& options, const std::string& file,
                 const PointSource& source, bool named, const DrawnOutputs& drawn,
                 FileOutcome& outcome, KeptReport* keep = nullptr) {
    FileOutput& output = outcome.output;
    const std::string path = source.displayName().string();
    const bool asData = options.format != OutputFormat::Report;
    // Data names its file in every row or object.
    if (named && !asData)
        output.out("==> " + path + " <==\n");
    TerminalSink sink(options, output);
    sink.setFile(path);
    std::optional<RunSummary> summary;
    try {
        summary = runSourceCheck(data, sink, source);
    } catch (const std::exception& e) {
        abandonRun(data, sink, e);
        outcome.status = Failed;
        if (asData)
            outcome.data.push_back({path, std::nullopt, asRunError(e)});
        // A sheet that failed prints bare, as in the window: its heading and
        // what stopped it.
        if (keep) {
            keep->lines = errorLines(e);
            keep->lines.insert(keep->lines.begin(), sourceHeading(file, source));
        }
        return;
    }
    if (keep) {
        const auto lines = data.writtenReportLines();
        keep->lines.assign(lines.begin(), lines.end());
        keep->run = summary;
    }
    // Copied out: the table is this thread's, and the next sheet resets it.
    if (asData)
        outcome.data.push_back({path, fileFindings(data, *summary), std::nullopt});
    else
        output.out(lineEnds(resultOf(sink, options), options.crlf));
    try {
        if (drawn.pdf && !keep) {
            std::lock_guard lock(drawingWithQt);
            drawn.pdf->write(data, summary, sink, drawn.pdfTarget);
        }
        if (drawn.plot && summary) {
            std::lock_guard lock(drawingWithQt);
            drawn.plot->write(data, *summary, options.plotWidth, options.plotHeight,
                              drawn.plotTarget);
        }
    } catch (const std::exception& e) {
        output.err("morvane-check: " + path + ": " + e.what() + "\n");
        outcome.status = Failed;
        return;
    }
    if (summary && !options.quiet)
        output.err("morvane-check: " + summaryLine(*summary) + "\n");
    outcome.status = std::max<int>(outcome.status, data.nextReportLine > 1 ? Findings : NoFindings);
}

// Every source the file holds (the sheets of an archive, or the file itself),
// one after another, each checked as a file of its own.
FileOutcome checkFile(PointTable& data, const CliOptions& options, const std::string& path,
                      const DrawnOutputs& drawn) {
    FileOutcome outcome;
    // Files found in folders are named even when there is only one.
    const bool named = options.files.size() > 1 || options.recursive;
    std::vector<PointSource> sources;
    try {
        sources = pointSourcesOf(path);
        // One picture a file: an archive of several sheets would need one a
        // sheet.
        if (drawn.plot && sources.size() > 1)
            throw RunError(0, u"--plot は地図XMLが複数ある ZIP ファイルにはまだ使えません。");
    } catch (const RunError& e) {
        if (named && options.format == OutputFormat::Report)
            outcome.output.out("==> " + path + " <==\n");
        TerminalSink sink(options, outcome.output);
        sink.setFile(path);
        sink.showError(runErrorText(e, u"\r\n"), e.place());
        outcome.status = Failed;
        if (options.format != OutputFormat::Report)
            outcome.data.push_back({path, std::nullopt, e});
        return outcome;
    }
    if (!drawn.pdf || sources.size() == 1) {
        for (const PointSource& source : sources)
            checkSource(data, options, path, source, named || sources.size() > 1, drawn, outcome);
        return outcome;
    }
    // One PDF for the archive, its sheets in turn, as the window prints them.
    std::vector<KeptReport> kept(sources.size());
    for (std::size_t i = 0; i < sources.size(); ++i)
        checkSource(data, options, path, sources[i], true, drawn, outcome, &kept[i]);
    std::vector<ReportToPrint> reports;
    for (const KeptReport& report : kept)
        reports.push_back({report.lines, report.run});
    try {
        TerminalSink sink(options, outcome.output);
        sink.setFile(path);
        std::lock_guard lock(drawingWithQt);
        drawn.pdf->write(reports, sink, drawn.pdfTarget);
    } catch (const std::exception& e) {
        outcome.output.err("morvane-check: " + path + ": " + e.what() + "\n");
        outcome.status = Failed;
    }
    return outcome;
}

// Checks every file on options.jobs threads and prints the outcomes in the
// order of the files; returns the worst status.
int checkFiles(const CliOptions& options, const std::vector<std::filesystem::path>& pdfFiles,
               const std::vector<std::filesystem::path>& plotFiles) {
    std::unique_ptr<PdfReportWriter> pdf;
    if (!pdfFiles.empty())
        pdf = std::make_unique<PdfReportWriter>();
    std::unique_ptr<PlotPictureWriter> plot;
    if (!plotFiles.empty())
        plot = std::make_unique<PlotPictureWriter>();
    std::unique_ptr<DataOutput> dataOutput;
    if (options.format != OutputFormat::Report)
        dataOutput = std::make_unique<DataOutput>(options, stdout);
    int status = NoFindings;
    runInOrder<Checker>(
        options.files.size(), options.jobs,
        [&](std::size_t i, Checker& checker) {
            const std::string& path = options.files[i];
            DrawnOutputs drawn;
            if (pdf)
                drawn = {pdf.get(), pdfFiles[i], nullptr, {}};
            if (plot) {
                drawn.plot = plot.get();
                drawn.plotTarget = plotFiles[i];
            }
            try {
                return checkFile(*checker.table, options, path, drawn);
            } catch (const std::exception& e) {
                // Out of memory, say: this file fails, the others go on.
                FileOutcome failed;
                failed.output.err("morvane-check: " + path + ": " + e.what() + "\n");
                failed.status = Failed;
                if (options.format != OutputFormat::Report)
                    failed.data.push_back({path, std::nullopt, asRunError(e)});
                return failed;
            }
        },
        [&](std::size_t, FileOutcome outcome) {
            // The data goes out here, in file order, where one writer joins
            // the files into one CSV table or one collection.
            for (const CheckedData& checked : outcome.data) {
                if (checked.findings) {
                    try {
                        dataOutput->fileChecked(*checked.findings);
                    } catch (const ProjectionError& e) {
                        const std::string where =
                            e.line() > 0 ? checked.file + ":" + std::to_string(e.line())
                                         : checked.file;
                        outcome.output.err("morvane-check: " + where + ": " + e.what() + "\n");
                        outcome.status = Failed;
                    }
                } else if (checked.error) {
                    dataOutput->fileFailed(checked.file, *checked.error);
                }
            }
            outcome.output.writeTo(stdout, stderr);
            status = std::max(status, outcome.status);
        });
    if (dataOutput)
        dataOutput->finish();
    return status;
}

} // namespace

int main(int argc, char** argv) {
    CliOptions options;
    std::vector<std::filesystem::path> pdfFiles;
    std::vector<std::filesystem::path> plotFiles;
    int status = NoFindings;
    try {
        options = parseCliOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (!options.help && !options.version) {
            InputFiles inputs = inputFiles(options.files, options.recursive);
            for (const auto& error : inputs.errors) {
                std::fprintf(stderr, "morvane-check: %s\n", error.c_str());
                status = Failed;
            }
            options.files = std::move(inputs.files);
            refuseGeoJsonWithoutZone(options);
            pdfFiles = pdfTargets(options);
            plotFiles = plotTargets(options);
        }
    } catch (const UsageError& e) {
        std::fprintf(stderr, "morvane-check: %s\nTry 'morvane-check --help'.\n", e.what());
        return Failed;
    }
    if (options.help) {
        std::fputs(cliUsage().c_str(), stdout);
        return NoFindings;
    }
    if (options.version) {
        std::puts("morvane-check " MORVANE_VERSION);
        return NoFindings;
    }

    try {
        status = std::max(status, checkFiles(options, pdfFiles, plotFiles));
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
            std::perror("morvane-check: writing the report");
            return Failed;
        }
        return status;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "morvane-check: %s\n", e.what());
        return Failed;
    }
}
