#pragma once

#include "drawing/Drawing.h"

#include <memory>
#include <string_view>

namespace morvane {

// Loads the drawing module from its place relative to this program, the same
// in a build tree and in an installed package, and starts a Drawing. Throws
// std::runtime_error naming the module and why it cannot serve; askedBy
// names the options that need it ("--pdf", "--pdf and --plot"). The module
// stays loaded until the process ends.
std::unique_ptr<Drawing> loadDrawing(std::string_view askedBy);

} // namespace morvane
