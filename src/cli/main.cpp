#include "cli/CliOptions.h"
#include "cli/DataOutput.h"
#include "cli/FileOutput.h"
#include "cli/InputFiles.h"
#include "cli/OrderedWork.h"
#include "cli/PlotOutput.h"
#include "cli/Summary.h"
#include "cli/TerminalSink.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/Text.h"
#include "export/FileFindings.h"
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

// What checking one file printed, and how it ended. With --format, what it
// found or the error that stopped it, written as data in file order.
struct FileOutcome {
    FileOutput output;
    int status = NoFindings;
    std::optional<FileFindings> findings;
    std::optional<RunError> error;
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

struct PdfOutput {
    PdfReportWriter writer;
};

struct PlotOutput {
    PlotPictureWriter writer;
};

// pdf and pdfTarget: where the report is also printed, when --pdf was given;
// plot and plotTarget: where the points are drawn, when --plot was given.
FileOutcome checkFile(PointTable& data, const CliOptions& options, const std::string& path,
                      PdfOutput* pdf, const std::filesystem::path& pdfTarget, PlotOutput* plot,
                      const std::filesystem::path& plotTarget) {
    FileOutcome outcome;
    FileOutput& output = outcome.output;
    const bool asData = options.format != OutputFormat::Report;
    // Files found in folders are named even when there is only one; data
    // names its file in every row or object.
    if ((options.files.size() > 1 || options.recursive) && !asData)
        output.out("==> " + path + " <==\n");
    TerminalSink sink(options, output);
    sink.setFile(path);
    std::optional<RunSummary> summary;
    try {
        summary = runCheck(data, sink);
    } catch (const std::exception& e) {
        abandonRun(data, sink, e);
        outcome.status = Failed;
        if (asData)
            outcome.error = asRunError(e);
        return outcome;
    }
    // Copied out: the table is this thread's, and the next file resets it.
    if (asData)
        outcome.findings = fileFindings(data, *summary);
    else
        output.out(lineEnds(resultOf(sink, options), options.crlf));
    if (pdf) {
        try {
            std::lock_guard lock(drawingWithQt);
            pdf->writer.write(data, summary, sink, pdfTarget);
        } catch (const std::exception& e) {
            output.err("morvane-check: " + path + ": " + e.what() + "\n");
            outcome.status = Failed;
            return outcome;
        }
    }
    if (plot && summary) {
        try {
            std::lock_guard lock(drawingWithQt);
            plot->writer.write(data, *summary, options.plotWidth, options.plotHeight, plotTarget);
        } catch (const std::exception& e) {
            output.err("morvane-check: " + path + ": " + e.what() + "\n");
            outcome.status = Failed;
            return outcome;
        }
    }
    if (summary && !options.quiet)
        output.err("morvane-check: " + summaryLine(*summary) + "\n");
    outcome.status = data.nextReportLine > 1 ? Findings : NoFindings;
    return outcome;
}

// Checks every file on options.jobs threads and prints the outcomes in the
// order of the files; returns the worst status.
int checkFiles(const CliOptions& options, const std::vector<std::filesystem::path>& pdfFiles,
               const std::vector<std::filesystem::path>& plotFiles) {
    std::unique_ptr<PdfOutput> pdf;
    if (!pdfFiles.empty())
        pdf = std::make_unique<PdfOutput>();
    std::unique_ptr<PlotOutput> plot;
    if (!plotFiles.empty())
        plot = std::make_unique<PlotOutput>();
    std::unique_ptr<DataOutput> dataOutput;
    if (options.format != OutputFormat::Report)
        dataOutput = std::make_unique<DataOutput>(options, stdout);
    int status = NoFindings;
    runInOrder<Checker>(
        options.files.size(), options.jobs,
        [&](std::size_t i, Checker& checker) {
            const std::string& path = options.files[i];
            try {
                return checkFile(*checker.table, options, path, pdf.get(),
                                 pdf ? pdfFiles[i] : std::filesystem::path(), plot.get(),
                                 plot ? plotFiles[i] : std::filesystem::path());
            } catch (const std::exception& e) {
                // Out of memory, say: this file fails, the others go on.
                FileOutcome failed;
                failed.output.err("morvane-check: " + path + ": " + e.what() + "\n");
                failed.status = Failed;
                if (options.format != OutputFormat::Report)
                    failed.error = asRunError(e);
                return failed;
            }
        },
        [&](std::size_t i, FileOutcome outcome) {
            // The data goes out here, in file order, where one writer joins
            // the files into one CSV table or one collection.
            if (outcome.findings) {
                try {
                    dataOutput->fileChecked(*outcome.findings);
                } catch (const ProjectionError& e) {
                    const std::string& path = options.files[i];
                    const std::string where =
                        e.line() > 0 ? path + ":" + std::to_string(e.line()) : path;
                    outcome.output.err("morvane-check: " + where + ": " + e.what() + "\n");
                    outcome.status = Failed;
                }
            } else if (outcome.error) {
                dataOutput->fileFailed(options.files[i], *outcome.error);
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
            pdfFiles = pdfTargets(options);
            plotFiles = plotTargets(options);
        }
    } catch (const UsageError& e) {
        std::fprintf(stderr, "morvane-check: %s\nTry 'morvane-check --help'.\n", e.what());
        return Failed;
    }
    if (options.help) {
        std::fputs(CliUsage, stdout);
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
