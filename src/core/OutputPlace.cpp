#include "core/OutputPlace.h"

#include <system_error>

namespace morvane {

namespace fs = std::filesystem;

namespace {

const char* kindOf(fs::file_type type) {
    switch (type) {
    case fs::file_type::directory:
        return "a folder";
    case fs::file_type::character:
        return "a character device";
    case fs::file_type::block:
        return "a block device";
    case fs::file_type::fifo:
        return "a FIFO";
    case fs::file_type::socket:
        return "a socket";
    default:
        return "no regular file";
    }
}

} // namespace

OutputPlace outputPlace(const fs::path& target) {
    std::error_code ec;
    const fs::file_status own = fs::symlink_status(target, ec);
    if (ec || own.type() == fs::file_type::not_found || fs::is_regular_file(own))
        return {target, ""};
    if (!fs::is_symlink(own))
        return {target, std::string("it is ") + kindOf(own.type()) +
                            ", and an output replaces only a regular file"};
    const fs::file_status led = fs::status(target, ec);
    if (ec || led.type() == fs::file_type::not_found)
        return {target, "it is a symbolic link that leads to no file"};
    if (!fs::is_regular_file(led))
        return {target, std::string("it is a symbolic link to ") + kindOf(led.type()) +
                            ", and an output replaces only a regular file"};
    fs::path file = fs::canonical(target, ec);
    if (ec)
        return {target, "it is a symbolic link that cannot be followed: " + ec.message()};
    return {std::move(file), ""};
}

} // namespace morvane
