#include "input/PointSources.h"

#include "core/NumberFormat.h"
#include "core/Text.h"
#include "input/CoordinateFile.h"
#include "input/CoordinateReader.h"
#include "input/MapSheet.h"
#include "input/RegularFile.h"
#include "input/ZipArchive.h"

#include <algorithm>

namespace morvane {

namespace {

constexpr std::size_t ChunkSize = 64 * 1024;

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

RunError zipBomb(std::uint64_t limit) {
    return RunError::withoutNumber(u"展開後の合計サイズが上限（" + sizeText(limit) +
                                   u"）を超えています。");
}

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

// The whole member in memory: an inner ZIP, which libzip reads in place. At
// most `most` bytes; the budget, when given, pays for each one.
std::string unpackWhole(const ZipArchive& archive, const ZipMember& member, UnpackBudget* budget,
                        std::uint64_t most) {
    const auto reader = archive.open(member);
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(std::min(member.size, most)));
    char chunk[ChunkSize];
    while (const std::size_t n = reader->read(chunk, sizeof chunk)) {
        if (budget)
            budget->spend(n);
        if (bytes.size() + n > most)
            throw RunError::withoutNumber(u"ZIP ファイルが読み込み中に変わりました。");
        bytes.append(chunk, n);
    }
    return bytes;
}

const ZipMember& memberNamed(const std::vector<ZipMember>& members, const std::string& name) {
    const auto found = std::lower_bound(
        members.begin(), members.end(), name,
        [](const ZipMember& member, const std::string& n) { return member.name < n; });
    if (found == members.end() || found->name != name)
        throw RunError::withoutNumber(u"ZIP ファイルが読み込み中に変わりました。");
    return *found;
}

SourceReading readSheetMember(PointTable& table, const ZipArchive& archive, const ZipMember& member,
                              UnpackBudget& budget) {
    const auto reader = archive.open(member);
    const auto [sheetEncoding, system] = readMapSheet(table, [&](char* buffer, std::size_t size) {
        const std::size_t n = reader->read(buffer, size);
        budget.spend(n);
        return n;
    });
    return {sheetEncoding, system};
}

std::filesystem::path memberPath(const std::filesystem::path& file,
                                 const std::vector<std::string>& members) {
    std::string name = file.string();
    for (const std::string& member : members)
        name += ":" + member;
    return name;
}

} // namespace

void UnpackBudget::spend(std::uint64_t bytes) {
    const std::uint64_t before = spent.fetch_add(bytes);
    if (before + bytes > limit || before + bytes < before)
        throw zipBomb(limit);
}

SourceReading PointSource::read(PointTable& table, EncodingChoice encoding) const {
    if (m_problem)
        throw *m_problem;
    try {
        if (!m_members.empty())
            return readFromArchive(table);
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

SourceReading PointSource::readFromArchive(PointTable& table) const {
    const ZipArchive archive(m_file);
    const std::vector<ZipMember> members = archive.members();
    const ZipMember& member = memberNamed(members, m_members[0]);
    if (m_members.size() == 1)
        return readSheetMember(table, archive, member, *m_budget);
    const ZipArchive inner(unpackWhole(archive, member, nullptr, m_innerArchiveSize));
    return readSheetMember(table, inner, memberNamed(inner.members(), m_members[1]), *m_budget);
}

bool holdsMapSheets(const std::filesystem::path& path) {
    const std::string fileName = path.filename().string();
    return hasExtension(fileName, ".xml") || hasExtension(fileName, ".zip");
}

std::vector<PointSource> pointSourcesOf(const std::filesystem::path& path,
                                        std::uint64_t maxUnpacked) {
    const std::string fileName = path.filename().string();
    if (!hasExtension(fileName, ".zip")) {
        PointSource source;
        source.m_displayName = path;
        source.m_file = path;
        source.m_format =
            hasExtension(fileName, ".xml") ? SourceFormat::MapSheet : SourceFormat::CoordinateFile;
        return {source};
    }

    const auto budget = std::make_shared<UnpackBudget>(maxUnpacked);
    std::uint64_t declared = 0;
    // Declared sizes are checked before anything is unpacked (an inner ZIP's
    // once it is), and the bytes themselves as they come, for sizes that lie.
    const auto declare = [&](std::uint64_t size) {
        declared = size > maxUnpacked - std::min(declared, maxUnpacked) ? maxUnpacked + 1
                                                                        : declared + size;
        if (declared > maxUnpacked)
            throw zipBomb(maxUnpacked);
    };
    const auto sourceOf = [&](std::vector<std::string> members) {
        PointSource source;
        source.m_displayName = memberPath(path, members);
        source.m_format = SourceFormat::MapSheet;
        source.m_file = path;
        source.m_members = std::move(members);
        source.m_budget = budget;
        return source;
    };

    std::vector<PointSource> sources;
    try {
        const ZipArchive archive(path);
        std::vector<ZipMember> members = archive.members();
        std::erase_if(members, [](const ZipMember& member) {
            return !hasExtension(member.name, ".xml") && !hasExtension(member.name, ".zip");
        });
        // The outer sizes all before any inner ZIP is unpacked.
        for (const ZipMember& member : members)
            if (!memberProblem(member))
                declare(member.size);
        for (const ZipMember& member : members) {
            const bool isSheet = hasExtension(member.name, ".xml");
            PointSource source = sourceOf({member.name});
            if (auto problem = memberProblem(member)) {
                source.m_problem = withFile(*problem, source.m_displayName);
                sources.push_back(std::move(source));
                continue;
            }
            if (isSheet) {
                sources.push_back(std::move(source));
                continue;
            }
            std::vector<PointSource> innerSources;
            try {
                std::string bytes = unpackWhole(archive, member, budget.get(), maxUnpacked);
                const std::uint64_t innerSize = bytes.size();
                const ZipArchive inner(std::move(bytes));
                for (const ZipMember& innerMember : inner.members()) {
                    if (!hasExtension(innerMember.name, ".xml"))
                        continue;
                    PointSource innerSource = sourceOf({member.name, innerMember.name});
                    innerSource.m_innerArchiveSize = innerSize;
                    if (auto problem = memberProblem(innerMember))
                        innerSource.m_problem = withFile(*problem, innerSource.m_displayName);
                    else
                        declare(innerMember.size);
                    innerSources.push_back(std::move(innerSource));
                }
                if (innerSources.empty())
                    throw RunError::withoutNumber(u"ZIP ファイルに地図XML（.xml）がありません。");
            } catch (RunError& e) {
                // A bomb stops the whole archive; anything else only this member.
                if (declared > maxUnpacked || budget->spent > maxUnpacked)
                    throw;
                source.m_problem = withFile(e, source.m_displayName);
                innerSources = {std::move(source)};
            }
            for (PointSource& innerSource : innerSources)
                sources.push_back(std::move(innerSource));
        }
        if (sources.empty())
            throw RunError::withoutNumber(u"ZIP ファイルに地図XML（.xml）がありません。");
    } catch (RunError& e) {
        e.setFile(path);
        throw;
    }
    return sources;
}

} // namespace morvane
