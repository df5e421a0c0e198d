#pragma once

#include "core/TextEncoding.h"
#include "core/UiSink.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

// What standard output carries: the report, or the findings as data.
enum class OutputFormat { Report, Csv, Json, GeoJson };

struct CliOptions {
    // The texts of the two window fields, read by the same rule as there.
    std::u16string lower = u"0";
    std::u16string tolerance = u"0.05";
    // The answer to "too many findings": Yes stops, as Enter does in the window.
    Answer onTooMany = Answer::Yes;
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
    // -j: files checked at once; 0 until parsed means one per core.
    std::size_t jobs = 0;
    std::vector<std::string> files;
};

// A command line that cannot be used; the text says why.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Refuses what does not go together (--list or --crlf with a data format,
// GeoJSON without a zone, a zone without GeoJSON) before any file is read.
// A whole decimal number from min to max and nothing else; nothing otherwise.
std::optional<std::int32_t> wholeNumberIn(std::string_view text, std::int32_t min,
                                          std::int32_t max);

CliOptions parseCliOptions(const std::vector<std::string>& args);

// The number of files checked at once when -j is not given.
std::size_t defaultJobs();

// GeoJSON needs a zone for each file: from --zone, or stated by a map sheet.
// Without --zone and without a map sheet among options.files (as found
// below the folders) it is a UsageError, before any file is read.
void refuseGeoJsonWithoutZone(const CliOptions& options);

// An output written beside the report for every file (--pdf, --plot).
struct OutputKind {
    const char* option;
    // The path given with the option: a file, or a folder for one per file.
    const std::string& path;
    // What one output is called in messages, and its file name extension.
    const char* noun;
    const char* extension;
    // What the paths in `taken` are, for the message when one is hit.
    const char* takenBy;
};

// The output file for each of options.files, in order; empty when no path
// was given. A target that cannot serve (several files but no folder, two
// files that would write the same output, an output over an input or over
// one of the paths in taken) is a UsageError.
std::vector<std::filesystem::path> outputTargets(const CliOptions& options, const OutputKind& kind,
                                                 const std::set<std::filesystem::path>& taken);

// The PDF file for each of options.files, in order; empty without --pdf. A
// target that cannot serve (several files but no folder, two files that
// would write the same PDF, a PDF over its own input) is a UsageError.
std::vector<std::filesystem::path> pdfTargets(const CliOptions& options);

extern const char* const CliUsage;

} // namespace morvane
