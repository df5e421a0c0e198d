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
    // The name's bytes as they are, without the UTF-8 flag, as Japanese
    // Windows writes code page 932 names (libzip still flags one that is UTF-8).
    bool rawName = false;
};

// The bytes of a ZIP archive built in memory (libzip).
std::string zipOf(const std::vector<ZipMember>& members);

// Sets the uncompressed size that both the local header and the central
// directory declare for every member: a ZIP that lies about its size.
std::string declaringSize(std::string zip, std::uint32_t size);

// Clears the UTF-8 flag of every member, in both headers: UTF-8 names that
// their writer did not vouch for.
std::string withoutUtf8Flags(std::string zip);

} // namespace morvane::test
