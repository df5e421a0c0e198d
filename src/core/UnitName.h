#pragma once

#include <filesystem>

namespace morvane {

// The name a person reads for a checked unit, from its display name (the
// path as given, then ":member" for each archive it lies in): the file's name
// without its folder, with every member path whole, so that two sheets of one
// archive never read alike ("city.zip:maps/a.xml" for
// "/data/city.zip:maps/a.xml"; "site.sim" for "/data/site.sim").
std::filesystem::path shownUnitName(const std::filesystem::path& displayName);

} // namespace morvane
