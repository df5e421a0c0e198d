#pragma once

#include "core/CoordinateSystem.h"
#include "core/RunError.h"
#include "core/TextEncoding.h"
#include "input/ZipArchive.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace morvane {

struct PointTable;

// What one member of an archive (a sheet, a coordinate file, or a ZIP inside
// the archive) may unpack to. Limits per member rather than in all, so that a package of many
// sheets is read whatever its total; a bomb is refused by its ratio, whatever
// its size.
struct UnpackLimits {
    // The most a member may unpack to.
    std::uint64_t memberBytes = std::uint64_t{1} << 30;
    // Past firstBytes, a sheet or a coordinate file may unpack to at most
    // textRatio times its compressed size: map XML compresses 15 to 40 times,
    // SIMA text (mostly digits) 2 to 7, twice that in UTF-16, and a bomb a
    // thousand. One ratio for both leaves room for a file padded with spaces.
    std::uint64_t textRatio = 100;
    // A ZIP inside the archive holds data compressed already, and is held in
    // memory while its sheets are read: at most innerArchiveRatio times.
    std::uint64_t innerArchiveRatio = 32;
    // Small members are not judged by their ratio: a page of spaces
    // compresses a thousand times and is no bomb.
    std::uint64_t firstBytes = std::uint64_t{1} << 20;
};

enum class SourceFormat { CoordinateFile, MapSheet };

// What reading a source learned besides its points.
struct SourceReading {
    // The encoding as the user would name it ("CP932", "UTF-8", ...).
    std::string encoding;
    // Always unstated for a coordinate file.
    CoordinateSystem coordinateSystem;
};

// One unit that is checked on its own: a coordinate file, a map sheet file,
// or either of them in a ZIP archive (or in a ZIP inside one), or a job: several
// files checked together (see JobSource.h).
class PointSource {
public:
    // As headers, summaries and errors name it: the path as given, then
    // ":member" for each archive it lies in ("city.zip:sheet.zip:sheet.xml"),
    // every member name in UTF-8.
    const std::filesystem::path& displayName() const { return m_displayName; }
    SourceFormat format() const { return m_format; }
    // Set when listing already found that this source cannot be read (an
    // encrypted member, a path that leaves the archive, a damaged inner ZIP);
    // read() then throws it.
    const std::optional<RunError>& problem() const { return m_problem; }

    // Reads the points into 1..pointCount of a table that was reset (a source
    // of a job: after the points already there). The encoding choice applies
    // to coordinate files only, in an archive or not; sheets are XML. Throws a
    // RunError whose place names this source (and the line, where one caused
    // it); for a job, the file of the job that caused it.
    SourceReading read(PointTable& table, EncodingChoice encoding = EncodingChoice::Auto) const;

private:
    friend class PointSourceList;
    SourceReading readFromArchive(PointTable& table, EncodingChoice encoding) const;
    SourceReading readJob(PointTable& table, EncodingChoice encoding) const;

    std::filesystem::path m_displayName;
    SourceFormat m_format = SourceFormat::CoordinateFile;
    std::filesystem::path m_file;
    // The archive the source lies in (the file, or a ZIP inside it, unpacked
    // once for all its sources) and its member; none for a file of its own.
    std::shared_ptr<const ZipArchive> m_archive;
    std::optional<ZipMember> m_member;
    UnpackLimits m_limits;
    std::optional<RunError> m_problem;
    // A job's paths, each with all its sources; empty for any other source.
    std::vector<std::filesystem::path> m_jobFiles;
};

// A source that gave no point at all is no coordinate file or sheet, not a
// clean one: "座標レコード（A01、Z）が見つかりません。" or "地図XMLに点
// （GM_Point）がありません。", naming the source.
RunError noPointsError(SourceFormat format, const std::filesystem::path& source);

// ".xml" and ".zip" in any letter case: a map sheet, or an archive that may
// hold sheets as well as coordinate files. Only its sources know which; each
// source's format decides whether it may state its plane zone.
bool mayHoldMapSheets(const std::filesystem::path& path);

// The sources a path holds, listed as they are reached: a ".xml" file is one
// map sheet; a ".zip" file holds a sheet for every ".xml" member, a
// coordinate file for every ".sim", ".dat" and ".sct" member, and the same of
// its ".zip" members (one level down), in sorted member order at each level;
// any other file is one coordinate file. An archive is
// opened and listed once; a ZIP inside it is unpacked once, when its turn
// comes, and kept only while a source of it is. A member that cannot be read
// (encrypted, a path that leaves the archive, over its limits, a damaged inner
// ZIP) is still listed, with its problem, so that the others are read after
// it.
class PointSourceList {
public:
    // Throws a RunError naming the path when the file cannot be opened (error
    // 53, 70, 75), when the archive is damaged, and when it holds neither a
    // sheet nor a coordinate file.
    explicit PointSourceList(const std::filesystem::path& path, UnpackLimits limits = {});
    // The paths of a job as its one source, of this name; nothing is opened
    // until it is read.
    PointSourceList(const std::vector<std::filesystem::path>& jobFiles,
                    const std::filesystem::path& name, UnpackLimits limits = {});

    // More than one source: each is then checked under its heading.
    bool several() const { return m_several; }
    // The next source, or nothing after the last.
    std::optional<PointSource> next();

private:
    // A sheet, coordinate file or inner ZIP of archive, named after the
    // members leading to it, with what already keeps it from being read.
    PointSource sourceOf(const std::shared_ptr<const ZipArchive>& archive,
                         const std::vector<std::string>& members, const ZipMember& member) const;
    // Unpacks the inner ZIP at m_next and lists its sources into m_innerSources.
    void openInnerArchive();

    std::filesystem::path m_path;
    UnpackLimits m_limits;
    std::shared_ptr<const ZipArchive> m_archive;
    // The outer archive's sheets, coordinate files and inner ZIPs; for a
    // plain file, none.
    std::vector<ZipMember> m_members;
    std::size_t m_next = 0;
    std::vector<PointSource> m_innerSources;
    std::size_t m_nextInner = 0;
    std::optional<PointSource> m_plainFile;
    bool m_several = false;
};

// Every source of a path at once (see PointSourceList). The sources of every
// inner ZIP are kept, and so its bytes: for tests and small archives.
std::vector<PointSource> pointSourcesOf(const std::filesystem::path& path,
                                        UnpackLimits limits = {});

} // namespace morvane
