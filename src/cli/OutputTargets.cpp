#include "cli/OutputTargets.h"

#include "core/OutputPlace.h"
#include "core/PathText.h"

#include <set>
#include <string>
#include <system_error>

namespace morvane {

namespace {

namespace fs = std::filesystem;

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

// The output file for each of options.files, in order (for a job of
// --together, the one output, named after its first file); empty when no path
// was given. A target that cannot serve (several files but no folder, two
// files that would write the same output, an output over an input or over
// one of the paths in taken) is a UsageError.
std::vector<fs::path> outputTargets(const CliOptions& options, const OutputKind& kind,
                                    const std::set<fs::path>& taken) {
    if (kind.path.empty())
        return {};
    const fs::path given = pathFromUtf8(kind.path);
    const std::string option = kind.option;
    std::error_code ec;
    const bool folder = fs::is_directory(given, ec);
    const std::vector<std::string> outputsFor = options.together && !options.files.empty()
                                                    ? std::vector{options.files.front()}
                                                    : options.files;
    if (!folder && outputsFor.size() > 1)
        throw UsageError("with several files, " + option + " takes a folder (one " + kind.noun +
                         " per file); \"" + kind.path + "\" is not a folder");
    if (!folder && !given.has_filename())
        throw UsageError(option + " " + kind.path + ": no such folder");

    std::vector<fs::path> targets;
    std::set<fs::path> seen;
    for (const auto& file : outputsFor) {
        fs::path target = given;
        if (folder)
            target = given / pathFromUtf8(file).stem().concat(kind.extension);
        // Two inputs of the same name in different folders would overwrite
        // each other's output, and an output over an input would destroy it.
        if (!seen.insert(target.lexically_normal()).second)
            throw UsageError(option + ": " + file + " would write " + target.string() +
                             " a second time; give the files different names");
        if (taken.contains(target.lexically_normal()))
            throw UsageError(option + " " + target.string() + " is also the " + kind.takenBy);
        for (const auto& input : options.files)
            if (fs::equivalent(target, pathFromUtf8(input), ec))
                throw UsageError(option + " " + target.string() +
                                 " would overwrite the input file " + input);
        // Refused here too, before any file is read, and not only by the
        // writer once the report is drawn.
        if (const OutputPlace place = outputPlace(target); !place.refusal.empty())
            throw UsageError(option + " " + target.string() + ": " + place.refusal);
        targets.push_back(std::move(target));
    }
    return targets;
}

} // namespace

std::vector<fs::path> pdfTargets(const CliOptions& options) {
    return outputTargets(options, {"--pdf", options.pdf, "PDF", ".pdf", ""}, {});
}

std::vector<fs::path> plotTargets(const CliOptions& options) {
    std::set<fs::path> pdfs;
    for (const auto& pdf : pdfTargets(options))
        pdfs.insert(pdf.lexically_normal());
    return outputTargets(options, {"--plot", options.plot, "picture", ".png", "PDF report"}, pdfs);
}

} // namespace morvane
