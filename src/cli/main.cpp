#include "cli/CliOptions.h"
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

// pdf and pdfTarget: where the report is also printed, when --pdf was given.
int checkSource(PointTable& data, const CliOptions& options, const PointSource& source,
                PdfReportWriter* pdf, const std::filesystem::path& pdfTarget) {
    const std::string path = source.displayName().string();
    TerminalSink sink(options, stderr);
    sink.setFile(path);
    std::optional<RunSummary> summary;
    try {
        summary = runSourceCheck(data, sink, source);
    } catch (const std::exception& e) {
        abandonRun(data, sink, e);
        return Failed;
    }
    const std::string out = lineEnds(resultOf(sink, options), options.crlf);
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (pdf) {
        try {
            pdf->write(data, summary, sink, pdfTarget);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "morvane-check: %s: %s\n", path.c_str(), e.what());
            return Failed;
        }
    }
    if (summary && !options.quiet) {
        // After the report, in order, when both go to one terminal.
        std::fflush(stdout);
        std::fprintf(stderr, "morvane-check: %s\n", summaryLine(*summary).c_str());
    }
    return data.nextReportLine > 1 ? Findings : NoFindings;
}

} // namespace

int main(int argc, char** argv) {
    CliOptions options;
    std::vector<std::filesystem::path> pdfFiles;
    try {
        options = parseCliOptions(std::vector<std::string>(argv + 1, argv + argc));
        pdfFiles = pdfTargets(options);
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
        // One table for every file: it is large, and a run resets it anyway.
        auto data = std::make_unique<PointTable>();
        std::unique_ptr<PdfReportWriter> pdf;
        if (!pdfFiles.empty())
            pdf = std::make_unique<PdfReportWriter>();
        int status = NoFindings;
        for (std::size_t i = 0; i < options.files.size(); ++i) {
            const std::string& path = options.files[i];
            std::vector<PointSource> sources;
            try {
                sources = pointSourcesOf(path);
                // One PDF a file: an archive of several sheets would need one a sheet.
                if (pdf && sources.size() > 1)
                    throw RunError(0,
                                   u"--pdf は地図XMLが複数ある ZIP ファイルにはまだ使えません。");
            } catch (const RunError& e) {
                if (options.files.size() > 1)
                    std::printf("==> %s <==\n", path.c_str());
                std::fflush(stdout);
                TerminalSink sink(options, stderr);
                sink.setFile(path);
                sink.showError(runErrorText(e, u"\r\n"), e.place());
                status = Failed;
                continue;
            }
            // Each sheet of an archive is checked as a file of its own.
            for (const PointSource& source : sources) {
                if (options.files.size() > 1 || sources.size() > 1)
                    std::printf("==> %s <==\n", source.displayName().c_str());
                status = std::max(status, checkSource(*data, options, source, pdf.get(),
                                                      pdf ? pdfFiles[i] : std::filesystem::path()));
            }
        }
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
