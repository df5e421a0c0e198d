#include "cli/CliOptions.h"

#include "core/PathText.h"
#include "core/Text.h"
#include "run/CheckRun.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <thread>
#include <tuple>

namespace morvane {

namespace {

constexpr NamedValue<EncodingChoice> Encodings[] = {{"auto", EncodingChoice::Auto},
                                                    {"cp932", EncodingChoice::Cp932},
                                                    {"utf-8", EncodingChoice::Utf8},
                                                    {"utf-16", EncodingChoice::Utf16}};
constexpr NamedValue<OutputFormat> Formats[] = {{"report", OutputFormat::Report},
                                                {"csv", OutputFormat::Csv},
                                                {"json", OutputFormat::Json},
                                                {"geojson", OutputFormat::GeoJson}};
constexpr NamedValue<NameComparison> NameComparisons[] = {{"exact", NameComparison::AsWritten},
                                                          {"nfkc", NameComparison::LookAlike}};
// Yes stops, as Enter does in the window.
constexpr NamedValue<Answer> TooManyAnswers[] = {{"stop", Answer::Yes}, {"continue", Answer::No}};

// The help of each option keeps its line breaks: the lines were broken by
// hand to read well, not at a fixed width.
constexpr CliOption Declared[] = {
    {"--lower", nullptr, "NUMBER", R"(lower bound of the distance band (default "0"))",
     [](CliOptions& o, const std::string& v) { o.lower = toUtf16(v); }},
    {"--tolerance", nullptr, "NUMBER", R"(tolerance, 0 to 9.99; other numbers fall back to
"0.05" (default "0.05"); a band that is not one number,
such as "0,05" or "5cm", is refused (exit status 2))",
     [](CliOptions& o, const std::string& v) { o.tolerance = toUtf16(v); }},
    {"--on-too-many", nullptr, "ANSWER", R"(after 1001 findings of a check: "stop" that check
(default for the report) or "continue" to the end
(default for --format csv, json and geojson))",
     [](CliOptions& o, const std::string& v) {
         o.onTooMany = namedValue("--on-too-many", v, TooManyAnswers);
     }},
    {"--check", nullptr, "LIST", R"(the checks to make, separated by commas: "names"
(points that share a name), "coincident" (pairs in
the band) and "numbers" (points that share a point
number other than 0) (default "names,coincident");
"numbers" alone adds that check to the default two)",
     [](CliOptions& o, const std::string& v) {
         const NameComparison names = o.checks.names;
         o.checks = checkList(v);
         o.checks.names = names;
     }},
    {"--names", nullptr, "HOW", R"(how the name check compares names: "exact" (default)
or "nfkc": as they read, after Unicode NFKC, so that
full-width and half-width forms ("道5" and "道５",
"ﾃｸﾞｲ" and "テグイ") are one name; the report shows
the names as written)",
     [](CliOptions& o, const std::string& v) {
         o.checks.names = namedValue("--names", v, NameComparisons);
         if (o.checks.names == NameComparison::LookAlike && !lookAlikeNamesBuiltIn())
             throw UsageError("--names nfkc is not available: this morvane-check was built "
                              "without ICU");
     }},
    {"--encoding", nullptr, "ENCODING", R"(read the files as "cp932" (Shift-JIS), "utf-8" or
"utf-16" instead of guessing (default "auto": a byte
order mark, or valid UTF-8 with a character beyond
ASCII, says so; anything else is CP932))",
     [](CliOptions& o, const std::string& v) {
         o.encoding = namedValue("--encoding", v, Encodings);
     }},
    {"--format", nullptr, "FORMAT", R"(what standard output carries: "report" (default),
or the findings as data: "csv" (UTF-8 with a byte
order mark, CR LF, one header row), "json" (JSON
Lines, one object per file) or "geojson" (one
FeatureCollection in longitude and latitude; needs
--zone for files that do not state their zone))",
     [](CliOptions& o, const std::string& v) { o.format = namedValue("--format", v, Formats); }},
    {"--zone", nullptr, "N", R"(the JGD2011 plane rectangular zone, 1 to 19, of the
files' coordinates, for --format geojson; a map sheet
that states its zone is placed in that zone)",
     [](CliOptions& o, const std::string& v) { o.zone = planeZone(v); }},
    {"--list", nullptr, nullptr, "print the result list instead of the report",
     [](CliOptions& o, const std::string&) { o.list = true; }},
    {"--crlf", nullptr, nullptr, R"(end lines with CR LF, as the window's result text does
(--list and --crlf only with --format report))",
     [](CliOptions& o, const std::string&) { o.crlf = true; }},
    {"--quiet", "-q", nullptr, R"(no summary line after each report (errors are still
written))",
     [](CliOptions& o, const std::string&) { o.quiet = true; }},
    {"--pdf", nullptr, "PATH", R"(also print the report to the PDF file PATH (A4, as the
window prints it); with several files, or when PATH is
a folder, to one PDF per file in that folder, named
after the file with .pdf)",
     [](CliOptions& o, const std::string& v) {
         if (v.empty())
             throw UsageError("--pdf needs a file or folder name");
         o.pdf = v;
     }},
    {"--plot", nullptr, "PATH", R"(also draw the points and findings to the PNG picture
PATH (north up, with scale bar and title line); with
several files, or when PATH is a folder, one picture
per file in that folder, named after the file with .png)",
     [](CliOptions& o, const std::string& v) {
         if (v.empty())
             throw UsageError("--plot needs a file or folder name");
         o.plot = v;
     }},
    {"--plot-size", nullptr, "WxH", "the picture's size in pixels (default 1600x1200)",
     [](CliOptions& o, const std::string& v) {
         std::tie(o.plotWidth, o.plotHeight) = plotSize(v);
     }},
    {"--recursive", "-r", nullptr, R"(the paths may be folders: check every .sim, .dat, .sct,
.xml and .zip file below them (any letter case), in
path order)",
     [](CliOptions& o, const std::string&) { o.recursive = true; }},
    {"--together", nullptr, nullptr, R"(check all the files (with -r, all those found) as one
job: read into one table, up to 499,999 points, so that
a name or a spot that two files share is found; a point
line names its file where a finding's two points come
from two files; --pdf and --plot make one output)",
     [](CliOptions& o, const std::string&) { o.together = true; }},
    {"--jobs", "-j", "N", R"(check N files at once (default: one per core); the
output is the same for every N)",
     [](CliOptions& o, const std::string& v) { o.jobs = jobCount(v); }},
    {"--help", "-h", nullptr, "show this help and exit",
     [](CliOptions& o, const std::string&) { o.help = true; }},
    {"--version", nullptr, nullptr, "show the version and exit",
     [](CliOptions& o, const std::string&) { o.version = true; }},
};

constexpr const char* UsageHead = R"(Usage: morvane-check [options] FILE...

Checks survey coordinate files ("A01" and "Z" records) for points
that share a name and for pairs of points whose distance d lies in the band
LOWER <= d < TOLERANCE, and, with --check, for points that share a point
number. Cadastral map XML sheets (.xml) are checked too, and ZIP files (.zip)
of sheets or coordinate files member by member, each member named
ARCHIVE.zip:MEMBER. Prints each file's report in UTF-8, then a summary line on
standard error: the file, its encoding, the zone a sheet states, the points
read, the findings of each check made and the band.

Options:
)";

constexpr const char* UsageTail = R"(
With --format csv, json or geojson, standard output carries only the data:
no "==> FILE <==" headings; summaries, questions and errors stay on standard
error (a file that cannot be checked is also a JSON object with "error").
Numbers are read as in the window: the leading number of the text counts.
Exit status: 0 no findings, 1 findings, 2 an error.
)";

// Where the help of each option starts in --help.
constexpr std::size_t HelpColumn = 24;

// The option arg names, or nullptr. A value given in the same argument
// ("--jobs=4", "-j=4", "-j4") goes to attached.
const CliOption* optionNamedBy(const std::string& arg, std::optional<std::string>& attached) {
    for (const CliOption& option : Declared) {
        if (arg == option.name || (option.shortName && arg == option.shortName))
            return &option;
        if (!option.valueName)
            continue;
        for (const char* name : {option.name, option.shortName}) {
            if (!name)
                continue;
            const std::string prefix = std::string(name) + "=";
            if (arg.starts_with(prefix)) {
                attached = arg.substr(prefix.size());
                return &option;
            }
        }
        // A short option's value may follow without a space.
        if (option.shortName && arg.starts_with(option.shortName)) {
            attached = arg.substr(std::string_view(option.shortName).size());
            return &option;
        }
    }
    return nullptr;
}

// Data formats have their own layout and line ends; a zone places only
// GeoJSON on the map.
void refuseMismatches(const CliOptions& o) {
    const bool data = o.format != OutputFormat::Report;
    if (data && o.list)
        throw UsageError("--list prints the result list; it does not go with --format csv, "
                         "json or geojson");
    if (data && o.crlf)
        throw UsageError("--crlf applies to the report; CSV always ends lines with CR LF, "
                         "JSON and GeoJSON with LF");
    if (o.format != OutputFormat::GeoJson && o.zone != 0)
        throw UsageError("--zone applies only to --format geojson");
    if (!o.checks.duplicateNames && o.checks.names != NameComparison::AsWritten)
        throw UsageError("--names applies to the name check, which --check leaves out");
}

} // namespace

std::span<const CliOption> cliOptions() {
    return Declared;
}

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
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::optional<std::string> value;
        const CliOption* option = optionNamedBy(arg, value);
        if (!option)
            throw UsageError("unknown option " + arg);
        if (option->valueName && !value) {
            if (i + 1 >= args.size())
                throw UsageError("option " + arg + " needs a value");
            value = args[++i];
        }
        option->apply(o, value.value_or(""));
    }
    if (o.files.empty() && !o.help && !o.version)
        throw UsageError(o.recursive ? "no folder given" : "no coordinate file given");
    if (o.jobs == 0)
        o.jobs = defaultJobs();
    refuseMismatches(o);
    return o;
}

std::string cliUsage() {
    std::string text = UsageHead;
    for (const CliOption& option : Declared) {
        std::string names = "  ";
        if (option.shortName)
            names += std::string(option.shortName) + ", ";
        names += option.name;
        if (option.valueName)
            names += std::string(" ") + option.valueName;
        // A name too long for the column puts its help on the next line.
        text += names.size() + 2 <= HelpColumn ? names + std::string(HelpColumn - names.size(), ' ')
                                               : names + "\n" + std::string(HelpColumn, ' ');
        for (const char c : std::string_view(option.help)) {
            text += c;
            if (c == '\n')
                text += std::string(HelpColumn, ' ');
        }
        text += '\n';
    }
    return text + UsageTail;
}

void refuseGeoJsonWithoutZone(const CliOptions& options) {
    if (options.format != OutputFormat::GeoJson || options.zone != 0)
        return;
    if (std::any_of(options.files.begin(), options.files.end(), [](const std::string& file) {
            return pathMayHoldMapSheets(pathFromUtf8(file));
        }))
        return;
    throw UsageError("--format geojson needs --zone N: the plane rectangular zone (1 to 19) "
                     "of the files' coordinates");
}

} // namespace morvane
