#include "cli/CliOptions.h"
#include "cli/TerminalSink.h"
#include "run/CheckRun.h"
#include "run/RunData.h"
#include "run/Text.h"

#include <cstdio>
#include <exception>
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
        return toUtf8(sink.GetResultText());
    std::u16string text;
    for (const auto& item : sink.resultItems())
        text += item + u"\r\n";
    return toUtf8(text);
}

int checkFile(RunData& data, const CliOptions& options, const std::string& path) {
    TerminalSink sink(options, stderr);
    sink.setFile(path);
    try {
        Command1_Click(data, sink);
    } catch (const std::exception& e) {
        abandonRun(data, sink, e);
        return Failed;
    }
    const std::string out = lineEnds(resultOf(sink, options), options.crlf);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return data.ReportPos > 1 ? Findings : NoFindings;
}

} // namespace

int main(int argc, char** argv) {
    CliOptions options;
    try {
        options = parseCliOptions(std::vector<std::string>(argv + 1, argv + argc));
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
        auto data = std::make_unique<RunData>();
        int status = NoFindings;
        for (const auto& path : options.files) {
            if (options.files.size() > 1)
                std::printf("==> %s <==\n", path.c_str());
            status = std::max(status, checkFile(*data, options, path));
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
