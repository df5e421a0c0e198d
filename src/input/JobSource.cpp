#include "input/JobSource.h"

#include "core/NumberFormat.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/Text.h"
#include "input/PointSources.h"
#include "input/PointStore.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace morvane {

namespace {

// The points a source holds, read into a table of its own; nothing when it
// cannot be read, or holds more than a table takes.
std::optional<std::int32_t> pointsOf(const PointSource& source, PointTable& scratch,
                                     EncodingChoice encoding) {
    scratch.clear();
    try {
        source.read(scratch, encoding);
        return scratch.pointCount;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// What the job holds when the table filled up: the points read before the
// source that filled it, then every point of that source and of every source
// after it, counted by reading each alone into a second table. A source that
// cannot be counted (an error, or more than a table alone) makes the count a
// lower bound.
struct JobCount {
    std::int64_t points = 0;
    bool exact = true;

    void add(const PointSource& source, PointTable& scratch, EncodingChoice encoding) {
        if (const auto n = pointsOf(source, scratch, encoding)) {
            points += *n;
        } else {
            exact = false;
            // Filling a table alone means at least one point more than it takes.
            if (scratch.usedSlots >= TableCapacity)
                points += TableCapacity + 1;
        }
    }
};

// "座標数が上限（499999点）を超えています。まとめて検査する 3 ファイルの点は合わせて
// 612345 点です。": the user learns how far over the job is, and so how to split it.
RunError jobTooLarge(const TableFullError& full, std::size_t files, const JobCount& count) {
    RunError error = RunError::withoutNumber(full.message() + u"まとめて検査する " +
                                             toUtf16(std::to_string(files)) + u" ファイルの点は" +
                                             (count.exact ? u"合わせて " : u"少なくとも ") +
                                             toUtf16(std::to_string(count.points)) + u" 点です。");
    error.setFile(full.place().file);
    error.setLine(full.place().line);
    return error;
}

RunError jobFileError(std::u16string message, const PointSource& source) {
    RunError error = RunError::withoutNumber(std::move(message));
    error.setFile(source.displayName());
    return error;
}

// "CP932 + UTF-8": each encoding once, in the order first read.
void addEncoding(std::string& encodings, const std::string& encoding) {
    if (encodings.empty()) {
        encodings = encoding;
        return;
    }
    const std::string separator = " + ";
    for (std::size_t from = 0; from <= encodings.size();) {
        const std::size_t end = std::min(encodings.find(separator, from), encodings.size());
        if (encodings.compare(from, end - from, encoding) == 0)
            return;
        from = end + separator.size();
    }
    encodings += separator + encoding;
}

} // namespace

std::filesystem::path sharedFolder(const std::vector<std::filesystem::path>& files) {
    if (files.empty())
        return {};
    std::filesystem::path shared = files.front().parent_path();
    for (const std::filesystem::path& file : files) {
        const std::filesystem::path folder = file.parent_path();
        std::filesystem::path common;
        auto a = shared.begin();
        auto b = folder.begin();
        for (; a != shared.end() && b != folder.end() && *a == *b; ++a, ++b)
            common /= *a;
        shared = std::move(common);
    }
    return shared;
}

std::u16string jobFileLabel(const std::filesystem::path& displayName,
                            const std::filesystem::path& folder) {
    const std::string name = displayName.string();
    std::string prefix = folder.string();
    if (!prefix.empty() && !prefix.ends_with('/'))
        prefix += '/';
    return toUtf16(!prefix.empty() && name.starts_with(prefix) ? name.substr(prefix.size()) : name);
}

PointSourceList::PointSourceList(const std::vector<std::filesystem::path>& jobFiles,
                                 const std::filesystem::path& name, UnpackLimits limits)
    : m_path(name), m_limits(limits) {
    PointSource job;
    job.m_displayName = m_path;
    job.m_file = m_path;
    job.m_limits = limits;
    job.m_jobFiles = jobFiles;
    m_plainFile = std::move(job);
}

SourceReading PointSource::readJob(PointTable& table, EncodingChoice encoding) const {
    const std::filesystem::path folder = sharedFolder(m_jobFiles);
    SourceReading job;
    job.encoding.clear();
    // The system the sheets state so far; a coordinate file states none.
    bool systemStated = false;
    for (std::size_t path = 0; path < m_jobFiles.size(); ++path) {
        PointSourceList sources(m_jobFiles[path], m_limits);
        while (const std::optional<PointSource> source = sources.next()) {
            const std::int32_t before = table.pointCount;
            const auto file = static_cast<std::int32_t>(table.jobFiles.size());
            table.jobFiles.push_back(
                {source->displayName(), jobFileLabel(source->displayName(), folder)});
            SourceReading reading;
            try {
                reading = source->read(table, encoding);
            } catch (const TableFullError& full) {
                const auto scratch = std::make_unique<PointTable>();
                JobCount count{before, true};
                count.add(*source, *scratch, encoding);
                while (const std::optional<PointSource> rest = sources.next())
                    count.add(*rest, *scratch, encoding);
                for (std::size_t later = path + 1; later < m_jobFiles.size(); ++later) {
                    try {
                        PointSourceList laterSources(m_jobFiles[later], m_limits);
                        while (const std::optional<PointSource> rest = laterSources.next())
                            count.add(*rest, *scratch, encoding);
                    } catch (const RunError&) {
                        count.exact = false;
                    }
                }
                throw jobTooLarge(full, m_jobFiles.size(), count);
            }
            // One file of no points among many would pass unseen.
            if (table.pointCount == before)
                throw noPointsError(source->format(), source->displayName());
            for (std::int32_t n = before + 1; n <= table.pointCount; ++n)
                table.pointFiles[n] = file;
            addEncoding(job.encoding, reading.encoding);
            if (reading.coordinateSystem.kind == CoordinateSystem::Kind::Unstated)
                continue;
            if (systemStated && reading.coordinateSystem != job.coordinateSystem)
                throw jobFileError(
                    u"座標系が先に読んだ地図XMLと異なるため、まとめて検査できません。", *source);
            job.coordinateSystem = reading.coordinateSystem;
            systemStated = true;
        }
    }
    return job;
}

} // namespace morvane
