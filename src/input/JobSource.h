#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace morvane {

// A job: several files checked together as one unit. Every source of every
// path (each sheet of a ZIP too) is read in turn into the one table, its
// points numbered on from those before it, and the checks run once over all
// of them, so that a point named twice across the files, or two points of two
// files on one spot, is found. Each point keeps its file (PointTable's
// pointFiles and jobFiles). A file that fails fails the job, its error naming
// that file and line; so does a file without points, which would otherwise
// pass unseen, and a map sheet that states another coordinate system than
// the sheets before it, whose coordinates cannot be compared with theirs. A
// job over TableCapacity is refused with the number of points it holds.
// PointSourceList's constructor from a list of paths makes one.

// The folder that every path lies in, as given ("" for paths in the current
// folder); a point line names a file without it.
std::filesystem::path sharedFolder(const std::vector<std::filesystem::path>& files);

// A source's display name without the shared folder ("east/site.sim",
// "city.zip:a.xml").
std::u16string jobFileLabel(const std::filesystem::path& displayName,
                            const std::filesystem::path& folder);

} // namespace morvane
