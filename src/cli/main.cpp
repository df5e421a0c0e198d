#include "cli/CliOptions.h"
#include "cli/FileOutput.h"
#include "cli/InputFiles.h"
#include "cli/OrderedWork.h"
#include "cli/Summary.h"
#include "cli/TerminalSink.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/Text.h"
#include "input/PointSources.h"
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

// What checking one file printed, and how it ended.
struct FileOutcome {
    FileOutput output;
    int status = NoFindings;
};

// A checking thread's own point table: it is large, and a run resets it anyway.
struct Checker {
    std::unique_ptr<PointTable> table = std::make_unique<PointTable>();
};

// The PDF writer draws with Qt, whose font handling is not made for several
// threads drawing at once; one PDF at a time.
struct PdfOutput {
    PdfReportWriter writer;
    std::mutex busy;
};

// pdf and pdfTarget: where the report is also printed, when --pdf was given.
void checkSource(PointTable& data, const CliOptions& options, const PointSource& source, bool named,
                 PdfOutput* pdf, const std::filesystem::path& pdfTarget, FileOutcome& outcome) {
    FileOutput& output = outcome.output;
    const std::string path = source.displayName().string();
    if (named)
        output.out("==> " + path + " <==\n");
    TerminalSink sink(options, output);
    sink.setFile(path);
    std::optional<RunSummary> summary;
    try {
        summary = runSourceCheck(data, sink, source);
    } catch (const std::exception& e) {
        abandonRun(data, sink, e);
        outcome.status = Failed;
        return;
    }
    output.out(lineEnds(resultOf(sink, options), options.crlf));
    if (pdf) {
        try {
            std::lock_guard lock(pdf->busy);
            pdf->writer.write(data, summary, sink, pdfTarget);
        } catch (const std::exception& e) {
            output.err("morvane-check: " + path + ": " + e.what() + "\n");
            outcome.status = Failed;
            return;
        }
    }
    if (summary && !options.quiet)
        output.err("morvane-check: " + summaryLine(*summary) + "\n");
    outcome.status = std::max<int>(outcome.status, data.nextReportLine > 1 ? Findings : NoFindings);
}

// Every source the file holds (the sheets of an archive, or the file itself),
// one after another, each checked as a file of its own.
FileOutcome checkFile(PointTable& data, const CliOptions& options, const std::string& path,
                      PdfOutput* pdf, const std::filesystem::path& pdfTarget) {
    FileOutcome outcome;
    // Files found in folders are named even when there is only one.
    const bool named = options.files.size() > 1 || options.recursive;
    std::vector<PointSource> sources;
    try {
        sources = pointSourcesOf(path);
        // One PDF a file: an archive of several sheets would need one a sheet.
        if (pdf && sources.size() > 1)
            throw RunError(0, u"--pdf は地図XMLが複数ある ZIP ファイルにはまだ使えません。");
    } catch (const RunError& e) {
        if (named)
            outcome.output.out("==> " + path + " <==\n");
        TerminalSink sink(options, outcome.output);
        sink.setFile(path);
        sink.showError(runErrorText(e, u"\r\n"), e.place());
        outcome.status = Failed;
        return outcome;
    }
    for (const PointSource& source : sources)
        checkSource(data, options, source, named || sources.size() > 1, pdf, pdfTarget, outcome);
    return outcome;
}

// Checks every file on options.jobs threads and prints the outcomes in the
// order of the files; returns the worst status.
int checkFiles(const CliOptions& options, const std::vector<std::filesystem::path>& pdfFiles) {
    std::unique_ptr<PdfOutput> pdf;
    if (!pdfFiles.empty())
        pdf = std::make_unique<PdfOutput>();
    int status = NoFindings;
    runInOrder<Checker>(
        options.files.size(), options.jobs,
        [&](std::size_t i, Checker& checker) {
            const std::string& path = options.files[i];
            try {
                return checkFile(*checker.table, options, path, pdf.get(),
                                 pdf ? pdfFiles[i] : std::filesystem::path());
            } catch (const std::exception& e) {
                // Out of memory, say: this file fails, the others go on.
                FileOutcome failed;
                failed.output.err("morvane-check: " + path + ": " + e.what() + "\n");
                failed.status = Failed;
                return failed;
            }
        },
        [&](std::size_t, FileOutcome outcome) {
            outcome.output.writeTo(stdout, stderr);
            status = std::max(status, outcome.status);
        });
    return status;
}

} // namespace

int main(int argc, char** argv) {
    CliOptions options;
    std::vector<std::filesystem::path> pdfFiles;
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
        status = std::max(status, checkFiles(options, pdfFiles));
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
