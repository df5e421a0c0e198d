#include "support/MemoryFields.h"

#include <algorithm>

namespace morvane::test {

FieldReader fieldReaderOver(std::string_view bytes, std::size_t bufferSize,
                            std::size_t maxFieldBytes) {
    return FieldReader(
        [bytes](char* buffer, std::size_t room) mutable {
            const std::size_t n = std::min(room, bytes.size());
            std::copy_n(bytes.data(), n, buffer);
            bytes.remove_prefix(n);
            return n;
        },
        bufferSize, maxFieldBytes);
}

} // namespace morvane::test
