#pragma once

#include "cli/OptionValues.h"
#include "core/TextEncoding.h"
#include "core/UiSink.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace morvane {

// What standard output carries: the report, or the findings as data.
enum class OutputFormat { Report, Csv, Json, GeoJson };

struct CliOptions {
    // The texts of the two window fields, read by the same rule as there.
    std::u16string lower = u"0";
    std::u16string tolerance = u"0.05";
    // The answer to "too many findings": Yes stops, as Enter does in the window.
    // Unset: "stop" for the report, "continue" for a data format, which no
    // one reads as it is made and which must not look whole when it is not.
    std::optional<Answer> onTooMany;
    // --check and --names: the checks each file gets.
    CheckChoice checks;
    // --encoding: how every file is read; Auto guesses from each file.
    EncodingChoice encoding = EncodingChoice::Auto;
    OutputFormat format = OutputFormat::Report;
    // --zone: the plane rectangular zone (1 to 19) of every file's
    // coordinates, for GeoJSON; 0 when not given.
    std::int32_t zone = 0;
    bool list = false;
    bool crlf = false;
    // No summary line after each report; errors are still written.
    bool quiet = false;
    bool help = false;
    bool version = false;
    // --pdf: the report also goes to this PDF file, or, with several files or
    // when it names a folder, to one PDF per file in it. Empty: no PDF.
    std::string pdf;
    // --plot: the overview of each file goes to this PNG file, or to one per
    // file in a folder, as for --pdf; --plot-size: its size in pixels.
    std::string plot;
    std::int32_t plotWidth = 1600;
    std::int32_t plotHeight = 1200;
    // -r: the paths may be folders, checked for every coordinate file below.
    bool recursive = false;
    // --together: every file (found) is read into one table and checked as
    // one job, for the names and spots that files share.
    bool together = false;
    // -j: files checked at once; 0 until parsed means one per core.
    std::size_t jobs = 0;
    std::vector<std::string> files;
};

// One option of the command line, declared once: parsing, --help and the
// test that holds the manual page to the options all read the declarations.
struct CliOption {
    // "--jobs", and the short form "-j" or nullptr.
    const char* name;
    const char* shortName;
    // What --help calls the value ("N"); nullptr for an option without one.
    const char* valueName;
    // Its lines in --help.
    const char* help;
    // Takes the option into options; value is empty for an option without one.
    void (*apply)(CliOptions& options, const std::string& value);
};

// Every option, in the order --help lists them.
std::span<const CliOption> cliOptions();

// Reads the command line. What does not go together (--list or --crlf with a
// data format, a zone without GeoJSON, --names without the name check) is
// refused here, before any file is read.
CliOptions parseCliOptions(const std::vector<std::string>& args);

// The number of files checked at once when -j is not given.
std::size_t defaultJobs();

// GeoJSON needs a zone for each file: from --zone, or stated by a map sheet.
// Without --zone and without a path that may hold a map sheet (an .xml or a
// .zip) among options.files (as found below the folders) it is a UsageError,
// before any file is read. A coordinate file in a ZIP then fails on its own,
// as a sheet without a zone does.
void refuseGeoJsonWithoutZone(const CliOptions& options);

// The text of --help: what the command does and every option.
std::string cliUsage();

} // namespace morvane
