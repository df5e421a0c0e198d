#pragma once

#include "core/CoordinateSystem.h"
#include "core/RunError.h"
#include "core/TextEncoding.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace morvane {

struct PointTable;

// An archive may unpack this much in all, its members and the members of the
// ZIPs inside it together; beyond it the archive is taken for a ZIP bomb.
inline constexpr std::uint64_t MaxUnpackedBytes = std::uint64_t{1} << 30;

enum class SourceFormat { CoordinateFile, MapSheet };

// What reading a source learned besides its points.
struct SourceReading {
    // The encoding as the user would name it ("CP932", "UTF-8", ...).
    std::string encoding;
    // Always unstated for a coordinate file.
    CoordinateSystem coordinateSystem;
};

// What an archive has unpacked so far, shared by the sources listed from it,
// which may be read on several threads.
struct UnpackBudget {
    explicit UnpackBudget(std::uint64_t limit) : limit(limit) {}
    // Counts bytes that were unpacked; throws the ZIP bomb error once the
    // total passes the limit.
    void spend(std::uint64_t bytes);

    const std::uint64_t limit;
    std::atomic<std::uint64_t> spent{0};
};

// One unit that is checked on its own: a coordinate file, a map sheet file,
// or a sheet in a ZIP archive (or in a ZIP inside one).
class PointSource {
public:
    // As headers, summaries and errors name it: the path as given, then
    // ":member" for each archive it lies in ("city.zip:sheet.zip:sheet.xml").
    const std::filesystem::path& displayName() const { return m_displayName; }
    SourceFormat format() const { return m_format; }
    // Set when listing already found that this source cannot be read (an
    // encrypted member, a path that leaves the archive, a damaged inner ZIP);
    // read() then throws it.
    const std::optional<RunError>& problem() const { return m_problem; }

    // Reads the points into 1..pointCount of a table that was reset. The
    // encoding choice applies to coordinate files only; sheets are XML. Throws
    // a RunError whose place names this source (and the line, where one caused
    // it).
    SourceReading read(PointTable& table, EncodingChoice encoding = EncodingChoice::Auto) const;

private:
    friend std::vector<PointSource> pointSourcesOf(const std::filesystem::path&, std::uint64_t);
    SourceReading readFromArchive(PointTable& table) const;

    std::filesystem::path m_displayName;
    SourceFormat m_format = SourceFormat::CoordinateFile;
    std::filesystem::path m_file;
    // The member of the archive file, and the member of that member when it is
    // itself a ZIP; empty for a file of its own.
    std::vector<std::string> m_members;
    // The bytes the inner ZIP unpacked to when it was listed: reading it again
    // costs nothing more of the budget, and more bytes than that are refused.
    std::uint64_t m_innerArchiveSize = 0;
    std::optional<RunError> m_problem;
    std::shared_ptr<UnpackBudget> m_budget;
};

// ".xml" and ".zip" in any letter case: a map sheet, or an archive of them.
bool holdsMapSheets(const std::filesystem::path& path);

// The sources a path holds: a ".xml" file is one map sheet; a ".zip" file
// holds a sheet for every ".xml" member and every ".xml" member of its ".zip"
// members (one level down), in sorted member order at each level; any other
// file is one coordinate file. Throws a RunError naming the path when the file
// cannot be opened (error 53, 70, 75), when the archive is damaged, when its
// declared sizes add up to more than maxUnpacked (or the inner ZIPs listed
// unpack to more), and when it holds no sheet. A member that cannot be read
// is still listed, with its problem, so that the others can be read after it.
std::vector<PointSource> pointSourcesOf(const std::filesystem::path& path,
                                        std::uint64_t maxUnpacked = MaxUnpackedBytes);

} // namespace morvane
