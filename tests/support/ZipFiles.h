#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morvane::test {

// A member of a ZIP archive that a test builds; a name ending in "/" is a
// folder.
struct ZipMember {
    std::string name;
    std::string bytes;
    bool encrypted = false;
    // Kept as it is rather than deflated.
    bool stored = false;
};

// The bytes of a ZIP archive built in memory (libzip).
std::string zipOf(const std::vector<ZipMember>& members);

// Sets the uncompressed size that both the local header and the central
// directory declare for every member: a ZIP that lies about its size.
std::string declaringSize(std::string zip, std::uint32_t size);

} // namespace morvane::test
