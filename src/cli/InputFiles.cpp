#include "cli/InputFiles.h"

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

// Every coordinate file below folder, in no particular order.
void collect(const fs::path& folder, std::vector<fs::path>& found,
             std::vector<std::string>& errors) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        errors.push_back(folder.string() + ": cannot read the folder: " + ec.message());
        return;
    }
    std::vector<fs::path> subfolders;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            break;
        const fs::directory_entry& entry = *it;
        std::error_code typeError;
        if (entry.is_directory(typeError) && !entry.is_symlink(typeError))
            subfolders.push_back(entry.path());
        else if (!entry.is_directory(typeError) && isCoordinateFileName(entry.path()))
            found.push_back(entry.path());
    }
    if (ec)
        errors.push_back(folder.string() + ": cannot read the folder: " + ec.message());
    for (const auto& sub : subfolders)
        collect(sub, found, errors);
}

} // namespace

bool isCoordinateFileName(const fs::path& path) {
    const std::string extension = lowerAscii(path.extension().string());
    return extension == ".sim" || extension == ".dat" || extension == ".sct" ||
           isMapSheetPath(path);
}

InputFiles inputFiles(const std::vector<std::string>& paths, bool recursive) {
    InputFiles result;
    for (const auto& path : paths) {
        std::error_code ec;
        if (!recursive || !fs::is_directory(path, ec)) {
            result.files.push_back(path);
            continue;
        }
        std::vector<fs::path> found;
        collect(path, found, result.errors);
        // Element by element, so a folder's files stay together ahead of a
        // sibling whose name merely extends the folder's.
        std::sort(found.begin(), found.end());
        if (found.empty())
            result.errors.push_back(path +
                                    ": no .sim, .dat, .sct, .xml or .zip file below this folder");
        for (const auto& file : found)
            result.files.push_back(file.string());
    }
    return result;
}

} // namespace morvane
