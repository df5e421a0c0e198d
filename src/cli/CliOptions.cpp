#include "cli/CliOptions.h"

#include "core/Text.h"
#include "input/PointSources.h"

#include <algorithm>
#include <optional>
#include <thread>
#include <tuple>

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
  --format FORMAT       what standard output carries: "report" (default),
                        or the findings as data: "csv" (UTF-8 with a byte
                        order mark, CR LF, one header row), "json" (JSON
                        Lines, one object per file) or "geojson" (one
                        FeatureCollection in longitude and latitude; needs
                        --zone for files that do not state their zone)
  --zone N              the JGD2011 plane rectangular zone, 1 to 19, of the
                        files' coordinates, for --format geojson; a map sheet
                        that states its zone is placed in that zone
  --list                print the result list instead of the report
  --crlf                end lines with CR LF, as the window's result text does
                        (--list and --crlf only with --format report)
  -q, --quiet           no summary line after each report (errors are still
                        written)
  --pdf PATH            also print the report to the PDF file PATH (A4, as the
                        window prints it); with several files, or when PATH is
                        a folder, to one PDF per file in that folder, named
                        after the file with .pdf
  --plot PATH           also draw the points and findings to the PNG picture
                        PATH (north up, with scale bar and title line); with
                        several files, or when PATH is a folder, one picture
                        per file in that folder, named after the file with .png
  --plot-size WxH       the picture's size in pixels (default 1600x1200)
  -r, --recursive       the paths may be folders: check every .sim, .dat, .sct,
                        .xml and .zip file below them (any letter case), in
                        path order
  -j, --jobs N          check N files at once (default: one per core); the
                        output is the same for every N
  --help                show this help and exit
  --version             show the version and exit

With --format csv, json or geojson, standard output carries only the data:
no "==> FILE <==" headings; summaries, questions and errors stay on standard
error (a file that cannot be checked is also a JSON object with "error").
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

constexpr NamedValue<EncodingChoice> Encodings[] = {{"auto", EncodingChoice::Auto},
                                                    {"cp932", EncodingChoice::Cp932},
                                                    {"utf-8", EncodingChoice::Utf8},
                                                    {"utf-16", EncodingChoice::Utf16}};
constexpr NamedValue<OutputFormat> Formats[] = {{"report", OutputFormat::Report},
                                                {"csv", OutputFormat::Csv},
                                                {"json", OutputFormat::Json},
                                                {"geojson", OutputFormat::GeoJson}};
// Yes stops, as Enter does in the window.
constexpr NamedValue<Answer> TooManyAnswers[] = {{"stop", Answer::Yes}, {"continue", Answer::No}};

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
        } else if (auto v = optionValue(args, i, "--plot")) {
            if (v->empty())
                throw UsageError("--plot needs a file or folder name");
            o.plot = *v;
        } else if (auto v = optionValue(args, i, "--plot-size")) {
            std::tie(o.plotWidth, o.plotHeight) = plotSize(*v);
        } else if (auto v = optionValue(args, i, "--format")) {
            o.format = namedValue("--format", *v, Formats);
        } else if (auto v = optionValue(args, i, "--zone")) {
            o.zone = planeZone(*v);
        } else if (auto v = optionValue(args, i, "--encoding")) {
            o.encoding = namedValue("--encoding", *v, Encodings);
        } else if (auto v = optionValue(args, i, "--on-too-many")) {
            o.onTooMany = namedValue("--on-too-many", *v, TooManyAnswers);
        } else {
            throw UsageError("unknown option " + arg);
        }
    }
    if (o.files.empty() && !o.help && !o.version)
        throw UsageError(o.recursive ? "no folder given" : "no coordinate file given");
    if (o.jobs == 0)
        o.jobs = defaultJobs();
    refuseMismatches(o);
    return o;
}

void refuseGeoJsonWithoutZone(const CliOptions& options) {
    if (options.format != OutputFormat::GeoJson || options.zone != 0)
        return;
    if (std::any_of(options.files.begin(), options.files.end(),
                    [](const std::string& file) { return holdsMapSheets(file); }))
        return;
    throw UsageError("--format geojson needs --zone N: the plane rectangular zone (1 to 19) "
                     "of the files' coordinates");
}

} // namespace morvane
