#include "input/PointSources.h"

#include "core/NumberFormat.h"
#include "core/PathText.h"
#include "core/Text.h"
#include "input/CoordinateFile.h"
#include "input/CoordinateReader.h"
#include "input/MapSheet.h"
#include "input/RegularFile.h"
#include "input/ZipArchive.h"

#include <algorithm>
#include <utility>

namespace morvane {

namespace {

constexpr std::size_t ChunkSize = 64 * 1024;
constexpr std::u16string_view NothingToCheck =
    u"ZIP ファイルに地図XML（.xml）も座標ファイル（.sim、.dat、.sct）もありません。";

// Member names and file names alike: ".XML" is a sheet too.
bool hasExtension(std::string_view name, std::string_view extension) {
    return name.size() >= extension.size() &&
           std::equal(extension.begin(), extension.end(), name.end() - extension.size(),
                      [](char a, char b) {
                          return a == (b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a') : b);
                      });
}

std::u16string sizeText(std::uint64_t bytes) {
    constexpr std::pair<std::uint64_t, std::u16string_view> Units[] = {
        {std::uint64_t{1} << 30, u" GiB"}, {std::uint64_t{1} << 20, u" MiB"}, {1024, u" KiB"}};
    for (const auto& [unit, name] : Units)
        if (bytes % unit == 0 && bytes / unit <= INT32_MAX)
            return formatInteger(static_cast<std::int32_t>(bytes / unit)) + std::u16string(name);
    return toUtf16(std::to_string(bytes)) + u" バイト";
}

// Unpacked bytes of one member, held to its limits as they arrive as well
// as by its declared size, which may lie.
class UnpackGauge {
public:
    UnpackGauge(const ZipMember& member, const UnpackLimits& limits, std::uint64_t ratio)
        : m_declaredSize(member.size), m_compressedSize(member.compressedSize), m_limits(limits),
          m_ratio(ratio) {}

    // The member's declared size against the limits, before it is unpacked.
    std::optional<RunError> declaredProblem() const { return problemAt(m_declaredSize); }

    void count(std::uint64_t bytes) {
        m_unpacked += bytes;
        if (auto problem = problemAt(m_unpacked))
            throw *problem;
    }

private:
    std::optional<RunError> problemAt(std::uint64_t unpacked) const {
        if (unpacked > m_limits.memberBytes)
            return RunError::withoutNumber(u"展開後のサイズが上限（" +
                                           sizeText(m_limits.memberBytes) + u"）を超えています。");
        const std::uint64_t ratioLimit =
            m_compressedSize > UINT64_MAX / m_ratio ? UINT64_MAX : m_compressedSize * m_ratio;
        if (unpacked > m_limits.firstBytes && unpacked > ratioLimit)
            return RunError::withoutNumber(u"展開後のサイズが圧縮サイズの上限（" +
                                           formatInteger(static_cast<std::int32_t>(m_ratio)) +
                                           u" 倍）を超えています。");
        return std::nullopt;
    }

    const std::uint64_t m_declaredSize;
    const std::uint64_t m_compressedSize;
    const UnpackLimits m_limits;
    const std::uint64_t m_ratio;
    std::uint64_t m_unpacked = 0;
};

// Nothing is written to disk, but a member whose path is absolute or climbs
// out of the archive is what an attack on an unpacking tool looks like.
bool leavesArchive(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.front() == '\\')
        return true;
    if (name.size() >= 2 && name[1] == ':')
        return true;
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find_first_of("/\\", start), name.size());
        if (name.substr(start, end - start) == "..")
            return true;
        start = end + 1;
    }
    return false;
}

std::optional<RunError> memberProblem(const ZipMember& member) {
    if (leavesArchive(member.name))
        return RunError::withoutNumber(u"ZIP 内のパスが不正です（絶対パスか「..」を含みます）。");
    if (member.encrypted)
        return RunError::withoutNumber(u"暗号化されているため読めません。");
    return std::nullopt;
}

RunError withFile(RunError error, const std::filesystem::path& file) {
    error.setFile(file);
    return error;
}

// The whole member in memory: an inner ZIP, which libzip reads in place.
std::string unpackWhole(const ZipArchive& archive, const ZipMember& member,
                        const UnpackLimits& limits) {
    UnpackGauge gauge(member, limits, limits.innerArchiveRatio);
    if (auto problem = gauge.declaredProblem())
        throw *problem;
    const auto reader = archive.open(member);
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(std::min(member.size, limits.memberBytes)));
    char chunk[ChunkSize];
    while (const std::size_t n = reader->read(chunk, sizeof chunk)) {
        gauge.count(n);
        bytes.append(chunk, n);
    }
    return bytes;
}

// A text member's bytes as they are unpacked, held to the limits; each call
// unpacks anew from the start.
ByteSource unpackedText(const ZipArchive& archive, const ZipMember& member,
                        const UnpackLimits& limits) {
    std::shared_ptr<ZipMemberReader> reader = archive.open(member);
    auto gauge = std::make_shared<UnpackGauge>(member, limits, limits.textRatio);
    return [reader, gauge](char* buffer, std::size_t size) {
        const std::size_t n = reader->read(buffer, size);
        gauge->count(n);
        return n;
    };
}

std::filesystem::path memberPath(const std::filesystem::path& file,
                                 const std::vector<std::string>& members) {
    std::string name = file.string();
    for (const std::string& member : members)
        name += ":" + member;
    return pathFromUtf8(name);
}

bool isSheetName(std::string_view name) {
    return hasExtension(name, ".xml");
}

bool isArchiveName(std::string_view name) {
    return hasExtension(name, ".zip");
}

// The extensions that the file dialog and a folder walk take as coordinate
// files; in an archive, any other member is no data to check.
bool isCoordinateFileName(std::string_view name) {
    return hasExtension(name, ".sim") || hasExtension(name, ".dat") || hasExtension(name, ".sct");
}

bool isCheckedInArchive(std::string_view name) {
    return isSheetName(name) || isCoordinateFileName(name);
}

} // namespace

SourceReading PointSource::read(PointTable& table, EncodingChoice encoding) const {
    if (m_problem)
        throw *m_problem;
    if (!m_jobFiles.empty())
        return readJob(table, encoding);
    try {
        if (m_archive)
            return readFromArchive(table, encoding);
        if (m_format == SourceFormat::MapSheet) {
            RegularFile file(m_file);
            const auto [sheetEncoding, system] = readMapSheet(
                table, [&](char* buffer, std::size_t size) { return file.read(buffer, size); });
            return {sheetEncoding, system};
        }
        CoordinateFile file(m_file, encoding);
        readCoordinates(table, file.fields(), file.fieldEncoding());
        return {encodingName(file.encoding()), {}};
    } catch (RunError& e) {
        if (e.place().file.empty())
            e.setFile(m_displayName);
        throw;
    }
}

SourceReading PointSource::readFromArchive(PointTable& table, EncodingChoice encoding) const {
    if (m_format == SourceFormat::MapSheet) {
        const auto [sheetEncoding, system] =
            readMapSheet(table, unpackedText(*m_archive, *m_member, m_limits));
        return {sheetEncoding, system};
    }
    CoordinateFile file([this] { return unpackedText(*m_archive, *m_member, m_limits); }, encoding);
    readCoordinates(table, file.fields(), file.fieldEncoding());
    return {encodingName(file.encoding()), {}};
}

RunError noPointsError(SourceFormat format, const std::filesystem::path& source) {
    RunError error = RunError::withoutNumber(format == SourceFormat::MapSheet
                                                 ? u"地図XMLに点（GM_Point）がありません。"
                                                 : u"座標レコード（A01、Z）が見つかりません。");
    error.setFile(source);
    return error;
}

bool mayHoldMapSheets(const std::filesystem::path& path) {
    const std::string fileName = path.filename().string();
    return isSheetName(fileName) || isArchiveName(fileName);
}

PointSourceList::PointSourceList(const std::filesystem::path& path, UnpackLimits limits)
    : m_path(path), m_limits(limits) {
    const std::string fileName = path.filename().string();
    if (!isArchiveName(fileName)) {
        PointSource source;
        source.m_displayName = path;
        source.m_file = path;
        source.m_format =
            isSheetName(fileName) ? SourceFormat::MapSheet : SourceFormat::CoordinateFile;
        m_plainFile = std::move(source);
        return;
    }
    try {
        m_archive = std::make_shared<const ZipArchive>(path);
        m_members = m_archive->members();
        std::erase_if(m_members, [](const ZipMember& member) {
            return !isCheckedInArchive(member.name) && !isArchiveName(member.name);
        });
        if (m_members.empty())
            throw RunError::withoutNumber(std::u16string(NothingToCheck));
        m_several = m_members.size() > 1;
        // One inner ZIP alone: its members decide, and it is unpacked now,
        // once, as it comes first anyway.
        if (!m_several && isArchiveName(m_members.front().name)) {
            openInnerArchive();
            m_several = m_innerSources.size() > 1;
        }
    } catch (RunError& e) {
        e.setFile(path);
        throw;
    }
}

PointSource PointSourceList::sourceOf(const std::shared_ptr<const ZipArchive>& archive,
                                      const std::vector<std::string>& members,
                                      const ZipMember& member) const {
    PointSource source;
    source.m_displayName = memberPath(m_path, members);
    source.m_format =
        isSheetName(member.name) ? SourceFormat::MapSheet : SourceFormat::CoordinateFile;
    source.m_file = m_path;
    source.m_archive = archive;
    source.m_member = member;
    source.m_limits = m_limits;
    const std::uint64_t ratio =
        isArchiveName(member.name) ? m_limits.innerArchiveRatio : m_limits.textRatio;
    if (auto problem = memberProblem(member))
        source.m_problem = withFile(*problem, source.m_displayName);
    else if (auto tooLarge = UnpackGauge(member, m_limits, ratio).declaredProblem())
        source.m_problem = withFile(*tooLarge, source.m_displayName);
    return source;
}

void PointSourceList::openInnerArchive() {
    const ZipMember& member = m_members[m_next];
    m_innerSources.clear();
    m_nextInner = 0;
    PointSource outer = sourceOf(m_archive, {member.name}, member);
    if (outer.m_problem) {
        m_innerSources.push_back(std::move(outer));
        return;
    }
    try {
        const auto inner =
            std::make_shared<const ZipArchive>(unpackWhole(*m_archive, member, m_limits));
        for (const ZipMember& innerMember : inner->members()) {
            if (!isCheckedInArchive(innerMember.name))
                continue;
            m_innerSources.push_back(sourceOf(inner, {member.name, innerMember.name}, innerMember));
        }
        if (m_innerSources.empty())
            throw RunError::withoutNumber(std::u16string(NothingToCheck));
    } catch (const RunError& e) {
        // Only this member fails; the archive's other members are read.
        m_innerSources.clear();
        outer.m_problem = withFile(e, outer.m_displayName);
        m_innerSources.push_back(std::move(outer));
    }
}

std::optional<PointSource> PointSourceList::next() {
    if (m_plainFile)
        return std::exchange(m_plainFile, std::nullopt);
    while (m_next < m_members.size()) {
        const ZipMember& member = m_members[m_next];
        if (!isArchiveName(member.name)) {
            ++m_next;
            return sourceOf(m_archive, {member.name}, member);
        }
        if (m_innerSources.empty())
            openInnerArchive();
        if (m_nextInner < m_innerSources.size())
            return std::move(m_innerSources[m_nextInner++]);
        // This inner ZIP is done: its bytes go when its last source does.
        m_innerSources.clear();
        ++m_next;
    }
    return std::nullopt;
}

std::vector<PointSource> pointSourcesOf(const std::filesystem::path& path, UnpackLimits limits) {
    PointSourceList list(path, limits);
    std::vector<PointSource> sources;
    while (auto source = list.next())
        sources.push_back(std::move(*source));
    return sources;
}

} // namespace morvane
