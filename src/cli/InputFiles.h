#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace morvane {

// The files a command line names: the files as given or, with -r, every
// coordinate file, map sheet and archive below each folder. Folders that cannot be read are errors
// of their own; the files that were found are still checked.
struct InputFiles {
    std::vector<std::string> files;
    std::vector<std::string> errors;
};

// .sim, .dat and .sct, and the map sheets and their archives, .xml and .zip,
// in any letter case.
bool isCoordinateFileName(const std::filesystem::path& path);

// Without recursive the paths are the files. With it, a path that is a
// folder gives every coordinate file below it in path order (folders'
// symbolic links are not followed, so a link loop cannot run away); any other
// path stays as it is.
InputFiles inputFiles(const std::vector<std::string>& paths, bool recursive);

} // namespace morvane
