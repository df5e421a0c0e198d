#pragma once

#include <filesystem>
#include <string>

namespace morvane {

// Where an output named `target` goes: the file it replaces, or why it may
// not be written at all.
struct OutputPlace {
    std::filesystem::path file;
    // Empty when the output may be written.
    std::string refusal;
};

// Outputs are written beside their file and renamed over it, so they replace
// only a regular file, or take a name that is free: over a device, a FIFO, a
// socket or a folder the rename would put a plain file in its place. A
// symbolic link is written through: the regular file it leads to is replaced
// and the link stays; a link that leads to nothing is refused, as a link
// is not an invitation to make a file wherever it points. A target that
// cannot be looked at (a file where a folder should be) is left to the
// write, which says why.
OutputPlace outputPlace(const std::filesystem::path& target);

} // namespace morvane
