#include "core/FileFindings.h"

#include "core/PointTable.h"
#include "core/Text.h"

namespace morvane {

namespace {

FoundPoint foundPoint(const PointTable& table, std::int32_t position) {
    FoundPoint point{table.numbers[position], toUtf8(table.names[position]), table.xs[position],
                     table.ys[position],      table.lines[position],         {}};
    if (!table.jobFiles.empty())
        point.file = table.jobFiles[static_cast<std::size_t>(table.pointFiles[position])].name;
    return point;
}

} // namespace

FileFindings fileFindings(const PointTable& table, const RunSummary& summary) {
    FileFindings out{summary, {}, {}};
    for (const JobFile& file : table.jobFiles)
        out.jobFiles.push_back(file.name);
    out.findings.reserve(table.findings.size());
    for (const Finding& f : table.findings)
        out.findings.push_back(
            {f.kind, f.distance, foundPoint(table, f.first), foundPoint(table, f.second)});
    return out;
}

} // namespace morvane
