#include "cli/CliOptions.h"
#include "cli/DataOutput.h"
#include "cli/Summary.h"
#include "cli/TerminalSink.h"
#include "core/PointTable.h"
#include "core/Text.h"
#include "export/FileFindings.h"
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

// pdf and pdfTarget: where the report is also printed, when --pdf was given;
// dataOutput: where the findings go instead of the report, with --format.
int checkFile(PointTable& data, const CliOptions& options, const std::string& path,
              PdfReportWriter* pdf, const std::filesystem::path& pdfTarget,
              DataOutput* dataOutput) {
    TerminalSink sink(options, stderr);
    sink.setFile(path);
    std::optional<RunSummary> summary;
    try {
        summary = runCheck(data, sink);
    } catch (const std::exception& e) {
        abandonRun(data, sink, e);
        if (dataOutput)
            dataOutput->fileFailed(path, e);
        return Failed;
    }
    int status = data.nextReportLine > 1 ? Findings : NoFindings;
    if (dataOutput) {
        try {
            dataOutput->fileChecked(fileFindings(data, *summary));
        } catch (const ProjectionError& e) {
            const std::string where = e.line() > 0 ? path + ":" + std::to_string(e.line()) : path;
            std::fprintf(stderr, "morvane-check: %s: %s\n", where.c_str(), e.what());
            status = Failed;
        }
    } else {
        const std::string out = lineEnds(resultOf(sink, options), options.crlf);
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
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
    return status;
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
        std::unique_ptr<DataOutput> dataOutput;
        if (options.format != OutputFormat::Report)
            dataOutput = std::make_unique<DataOutput>(options, stdout);
        int status = NoFindings;
        for (std::size_t i = 0; i < options.files.size(); ++i) {
            const std::string& path = options.files[i];
            if (options.files.size() > 1 && !dataOutput)
                std::printf("==> %s <==\n", path.c_str());
            status = std::max(status, checkFile(*data, options, path, pdf.get(),
                                                pdf ? pdfFiles[i] : std::filesystem::path(),
                                                dataOutput.get()));
        }
        if (dataOutput)
            dataOutput->finish();
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
