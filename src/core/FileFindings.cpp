#include "core/FileFindings.h"

#include "core/PointTable.h"
#include "core/Text.h"

namespace morvane {

namespace {

FoundPoint foundPoint(const PointTable& table, std::int32_t position) {
    return {table.numbers[position], toUtf8(table.names[position]), table.xs[position],
            table.ys[position], table.lines[position]};
}

} // namespace

FileFindings fileFindings(const PointTable& table, const RunSummary& summary) {
    FileFindings out{summary, {}};
    out.findings.reserve(table.findings.size());
    for (const Finding& f : table.findings)
        out.findings.push_back(
            {f.kind, f.distance, foundPoint(table, f.first), foundPoint(table, f.second)});
    return out;
}

} // namespace morvane
