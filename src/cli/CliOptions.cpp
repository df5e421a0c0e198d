#include "cli/CliOptions.h"

#include "core/Text.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <set>
#include <system_error>
#include <thread>

namespace morvane {

const char* const CliUsage =
    R"(Usage: morvane-check [options] FILE...

Checks survey coordinate files ("A01" and "Z" records) for points
that share a name and for pairs of points whose distance d lies in the band
LOWER <= d < TOLERANCE. Cadastral map XML sheets (.xml) and ZIP files of them
(.zip) are checked sheet by sheet, each named ARCHIVE.zip:SHEET.xml. Prints
each file's report in UTF-8, then a summary line on standard error: the file,
its encoding, the zone a sheet states, the points read, the findings of each
check and the band.

Options:
  --lower TEXT          lower bound of the distance band (default "0")
  --tolerance TEXT      tolerance, 0 to 9.99; other values fall back to "0.05"
                        (default "0.05")
  --on-too-many ANSWER  after 1001 findings of a check: "stop" that check
                        (default) or "continue" to the end
  --encoding ENCODING   read the files as "cp932" (Shift-JIS), "utf-8" or
                        "utf-16" instead of guessing (default "auto": a byte
                        order mark, or valid UTF-8 with a character beyond
                        ASCII, says so; anything else is CP932)
  --list                print the result list instead of the report
  --crlf                end lines with CR LF, as the window's result text does
  -q, --quiet           no summary line after each report (errors are still
                        written)
  --pdf PATH            also print the report to the PDF file PATH (A4, as the
                        window prints it); with several files, or when PATH is
                        a folder, to one PDF per file in that folder, named
                        after the file with .pdf
  -r, --recursive       the paths may be folders: check every .sim, .dat, .sct,
                        .xml and .zip file below them (any letter case), in
                        path order
  -j, --jobs N          check N files at once (default: one per core); the
                        output is the same for every N
  --help                show this help and exit
  --version             show the version and exit

Numbers are read as in the window: the leading number of the text counts.
Exit status: 0 no findings, 1 findings, 2 an error.
)";

namespace {

// "--name=value" or "--name value"; nullopt when arg is not this option.
std::optional<std::string> optionValue(const std::vector<std::string>& args, std::size_t& i,
                                       const std::string& name) {
    const std::string& arg = args[i];
    if (arg == name) {
        if (i + 1 >= args.size())
            throw UsageError("option " + name + " needs a value");
        return args[++i];
    }
    if (arg.rfind(name + "=", 0) == 0)
        return arg.substr(name.size() + 1);
    return std::nullopt;
}

EncodingChoice encodingChoice(const std::string& value) {
    if (value == "auto")
        return EncodingChoice::Auto;
    if (value == "cp932")
        return EncodingChoice::Cp932;
    if (value == "utf-8")
        return EncodingChoice::Utf8;
    if (value == "utf-16")
        return EncodingChoice::Utf16;
    throw UsageError("--encoding takes \"auto\", \"cp932\", \"utf-8\" or \"utf-16\", not \"" +
                     value + "\"");
}

std::size_t jobCount(const std::string& value) {
    std::size_t n = 0;
    const char* end = value.data() + value.size();
    const auto [rest, error] = std::from_chars(value.data(), end, n);
    // Each job holds a point table of about 50 MB; a thousand is a typo.
    if (error != std::errc() || rest != end || n < 1 || n > 1024)
        throw UsageError("-j takes a number of files from 1 to 1024, not \"" + value + "\"");
    return n;
}

} // namespace

std::size_t defaultJobs() {
    return std::max(1u, std::thread::hardware_concurrency());
}

CliOptions parseCliOptions(const std::vector<std::string>& args) {
    CliOptions o;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            o.files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "--list") {
            o.list = true;
        } else if (arg == "--crlf") {
            o.crlf = true;
        } else if (arg == "--quiet" || arg == "-q") {
            o.quiet = true;
        } else if (arg == "--recursive" || arg == "-r") {
            o.recursive = true;
        } else if (arg.size() > 2 && arg.rfind("-j", 0) == 0 && arg[2] != '=') {
            o.jobs = jobCount(arg.substr(2));
        } else if (auto v = optionValue(args, i, "-j")) {
            o.jobs = jobCount(*v);
        } else if (auto v = optionValue(args, i, "--jobs")) {
            o.jobs = jobCount(*v);
        } else if (auto v = optionValue(args, i, "--lower")) {
            o.lower = toUtf16(*v);
        } else if (auto v = optionValue(args, i, "--tolerance")) {
            o.tolerance = toUtf16(*v);
        } else if (auto v = optionValue(args, i, "--pdf")) {
            if (v->empty())
                throw UsageError("--pdf needs a file or folder name");
            o.pdf = *v;
        } else if (auto v = optionValue(args, i, "--encoding")) {
            o.encoding = encodingChoice(*v);
        } else if (auto v = optionValue(args, i, "--on-too-many")) {
            if (*v == "stop")
                o.onTooMany = Answer::Yes;
            else if (*v == "continue")
                o.onTooMany = Answer::No;
            else
                throw UsageError("--on-too-many takes \"stop\" or \"continue\", not \"" + *v +
                                 "\"");
        } else {
            throw UsageError("unknown option " + arg);
        }
    }
    if (o.files.empty() && !o.help && !o.version)
        throw UsageError(o.recursive ? "no folder given" : "no coordinate file given");
    if (o.jobs == 0)
        o.jobs = defaultJobs();
    return o;
}

std::vector<std::filesystem::path> pdfTargets(const CliOptions& options) {
    namespace fs = std::filesystem;
    if (options.pdf.empty())
        return {};
    const fs::path pdf(options.pdf);
    std::error_code ec;
    const bool folder = fs::is_directory(pdf, ec);
    if (!folder && options.files.size() > 1)
        throw UsageError("with several files, --pdf takes a folder (one PDF per file); \"" +
                         options.pdf + "\" is not a folder");
    if (!folder && !pdf.has_filename())
        throw UsageError("--pdf " + options.pdf + ": no such folder");

    std::vector<fs::path> targets;
    std::set<fs::path> seen;
    for (const auto& file : options.files) {
        fs::path target = pdf;
        if (folder)
            target = pdf / fs::path(file).stem().concat(".pdf");
        // Two inputs of the same name in different folders would overwrite
        // each other's report, and a PDF over an input would destroy it.
        if (!seen.insert(target.lexically_normal()).second)
            throw UsageError("--pdf: " + file + " would write " + target.string() +
                             " a second time; give the files different names");
        for (const auto& input : options.files)
            if (fs::equivalent(target, input, ec))
                throw UsageError("--pdf " + target.string() + " would overwrite the input file " +
                                 input);
        targets.push_back(std::move(target));
    }
    return targets;
}

} // namespace morvane
