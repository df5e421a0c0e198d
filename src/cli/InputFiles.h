#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace morvane {

// The files a command line names: the files as given or, with -r, every
// coordinate file, map sheet and archive below each folder. Folders that
// cannot be read are errors of their own; the files that were found are
// still checked. Links that were not followed out of a folder are notes:
// the folder itself was read in full.
struct InputFiles {
    std::vector<std::string> files;
    std::vector<std::string> errors;
    std::vector<std::string> notes;
};

// .sim, .dat and .sct, the map sheets (.xml) and the archives of either
// (.zip), in any letter case.
bool isCoordinateFileName(const std::filesystem::path& path);

// Without recursive the paths are the files. With it, a path that is a
// folder gives every coordinate file below it in path order; any other path
// stays as it is. The walk stays inside the folder: a symbolic link to a
// file is followed only when the file lies below the folder, and links to
// folders are not followed at all (those inside are walked under their own
// names anyway, and a link loop cannot run away).
InputFiles inputFiles(const std::vector<std::string>& paths, bool recursive);

} // namespace morvane
