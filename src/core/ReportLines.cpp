#include "core/ReportLines.h"

#include "core/NumberFormat.h"
#include "core/PointLine.h"
#include "core/PointTable.h"

namespace morvane {

std::u16string_view reportHeading(FindingKind kind) {
    switch (kind) {
    case FindingKind::DuplicateName:
        return u"同一名称";
    case FindingKind::CoincidentPoint:
        return u"同一座標値";
    case FindingKind::DuplicateNumber:
        return u"同一点番号";
    }
    return u"";
}

std::u16string findingReportLine(const PointTable& table, const Finding& finding, bool first) {
    if (!first)
        return findingPointLine(table, finding.second, finding.first);
    return findingPointLine(table, finding.first, finding.second) + u"  較差 " +
           formatThreeDecimals(finding.distance);
}

ReportLines::ReportLines(const PointTable& table) : m_table(&table) {}

std::size_t ReportLines::size() const {
    return m_table ? m_table->findings.size() * ReportLinesPerFinding : m_kept.size();
}

std::u16string ReportLines::operator[](std::size_t i) const {
    if (!m_table)
        return m_kept[i];
    const Finding& finding = m_table->findings[i / ReportLinesPerFinding];
    switch (i % ReportLinesPerFinding) {
    case 0:
        return std::u16string(reportHeading(finding.kind));
    case 1:
        return findingReportLine(*m_table, finding, true);
    default:
        return findingReportLine(*m_table, finding, false);
    }
}

} // namespace morvane
