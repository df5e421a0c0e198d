#include "cli/InputFiles.h"

#include "core/PathText.h"
#include "run/CheckRun.h"

#include <algorithm>
#include <system_error>

namespace morvane {

namespace fs = std::filesystem;

namespace {

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The folder given to -r, and what the walk below it gathers.
struct Walk {
    std::string given;
    // Canonical, so that a link is judged by where it really leads.
    fs::path root;
    std::vector<fs::path> found;
    InputFiles& result;
};

// Whether a symbolic link leads to something outside the walk's root. A link
// that leads nowhere stays in: reading it says what is wrong with it.
bool leadsOut(const Walk& walk, const fs::path& link) {
    std::error_code ec;
    const fs::path real = fs::canonical(link, ec);
    if (ec)
        return false;
    // By whole names, so that "/data/site-old" is not taken for a part of "/data/site".
    return std::mismatch(walk.root.begin(), walk.root.end(), real.begin(), real.end()).first !=
           walk.root.end();
}

// Every coordinate file below folder into walk.found, in no particular order.
void collect(const fs::path& folder, Walk& walk) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        walk.result.errors.push_back(folder.string() + ": cannot read the folder: " + ec.message());
        return;
    }
    std::vector<fs::path> subfolders;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            break;
        const fs::directory_entry& entry = *it;
        std::error_code typeError;
        const bool link = entry.is_symlink(typeError);
        const bool directory = entry.is_directory(typeError);
        if (!directory && !isCoordinateFileName(entry.path()))
            continue;
        // Said, not silently dropped: the user sees a file in the folder and
        // would take it for checked.
        if (link && leadsOut(walk, entry.path()))
            walk.result.notes.push_back(entry.path().string() +
                                        ": not read: a symbolic link that leads out of " +
                                        walk.given);
        else if (directory && !link)
            subfolders.push_back(entry.path());
        else if (!directory)
            walk.found.push_back(entry.path());
    }
    if (ec)
        walk.result.errors.push_back(folder.string() + ": cannot read the folder: " + ec.message());
    for (const auto& sub : subfolders)
        collect(sub, walk);
}

} // namespace

bool isCoordinateFileName(const fs::path& path) {
    const std::string extension = lowerAscii(path.extension().string());
    return extension == ".sim" || extension == ".dat" || extension == ".sct" ||
           pathMayHoldMapSheets(path);
}

InputFiles inputFiles(const std::vector<std::string>& paths, bool recursive) {
    InputFiles result;
    for (const auto& path : paths) {
        std::error_code ec;
        const fs::path given = pathFromUtf8(path);
        const bool folder = fs::is_directory(given, ec);
        if (folder && !recursive) {
            result.errors.push_back(path + ": is a folder; give -r to check the files below it");
            continue;
        }
        if (!folder) {
            result.files.push_back(path);
            continue;
        }
        Walk walk{path, fs::canonical(given, ec), {}, result};
        if (ec) {
            result.errors.push_back(path + ": cannot read the folder: " + ec.message());
            continue;
        }
        collect(given, walk);
        // Element by element, so a folder's files stay together ahead of a
        // sibling whose name merely extends the folder's.
        std::sort(walk.found.begin(), walk.found.end());
        if (walk.found.empty())
            result.errors.push_back(path +
                                    ": no .sim, .dat, .sct, .xml or .zip file below this folder");
        for (const auto& file : walk.found)
            result.files.push_back(file.string());
    }
    return result;
}

} // namespace morvane
