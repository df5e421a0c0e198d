#include "drawing/DrawingLoader.h"

#include <dlfcn.h>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace morvane {

namespace fs = std::filesystem;

namespace {

// The loader's words without the path it starts with, which the message
// names already.
std::string whyNotLoaded(const fs::path& module) {
    std::string why = ::dlerror();
    if (const std::string named = module.string() + ": "; why.starts_with(named))
        why.erase(0, named.size());
    return why;
}

} // namespace

std::unique_ptr<Drawing> loadDrawing(std::string_view askedBy) {
    const auto refuse = [&](const std::string& why) {
        return std::runtime_error(std::string(askedBy) + ": " + why);
    };
    // The program itself, links followed: a link to it elsewhere on PATH
    // still finds the module beside the real file.
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        throw refuse("cannot find the drawing module: where is this program? " + ec.message());
    const fs::path module = (program.parent_path() / MORVANE_DRAWING_MODULE).lexically_normal();
    // Never closed: Qt keeps exit handlers and thread data in it.
    void* handle = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        throw refuse("cannot load the drawing module " + module.string() + " (" +
                     whyNotLoaded(module) + ")");
    const auto entry = reinterpret_cast<DrawingEntry>(::dlsym(handle, DrawingEntryName));
    if (!entry)
        throw refuse(module.string() + " is no drawing module of morvane-check");
    std::unique_ptr<Drawing> drawing(entry(ThisDrawingAbi));
    if (!drawing)
        throw refuse("the drawing module " + module.string() +
                     " belongs to another build of morvane-check");
    return drawing;
}

} // namespace morvane
