#pragma once

#include <cstddef>
#include <functional>

namespace morvane {

// Fills the buffer with the next bytes of a stream and returns how many it
// put there; 0 at the end.
using ByteSource = std::function<std::size_t(char* buffer, std::size_t size)>;

} // namespace morvane
