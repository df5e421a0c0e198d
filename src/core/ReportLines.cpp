#include "core/ReportLines.h"

#include "core/NumberFormat.h"
#include "core/PointLine.h"
#include "core/PointTable.h"
#include "core/Text.h"

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

namespace {

// The report's fixed texts are added as they are to UTF-16, and to UTF-8 as
// made once: a full report adds them half a million times.
void appendFixed(std::u16string& out, std::u16string_view text, const std::string&) {
    out += text;
}
void appendFixed(std::string& out, std::u16string_view, const std::string& utf8) {
    out += utf8;
}

const std::string& headingInUtf8(FindingKind kind) {
    static const std::string names = toUtf8(reportHeading(FindingKind::DuplicateName));
    static const std::string points = toUtf8(reportHeading(FindingKind::CoincidentPoint));
    static const std::string numbers = toUtf8(reportHeading(FindingKind::DuplicateNumber));
    switch (kind) {
    case FindingKind::DuplicateName:
        return names;
    case FindingKind::CoincidentPoint:
        return points;
    case FindingKind::DuplicateNumber:
        return numbers;
    }
    return names;
}

constexpr std::u16string_view DistanceLabel = u"  較差 ";

template <class Text>
void appendFindingReportLineTo(Text& out, const PointTable& table, const Finding& finding,
                               bool first) {
    if (!first) {
        appendFindingPointLine(out, table, finding.second, finding.first);
        return;
    }
    appendFindingPointLine(out, table, finding.first, finding.second);
    static const std::string distanceLabel = toUtf8(DistanceLabel);
    appendFixed(out, DistanceLabel, distanceLabel);
    appendThreeDecimals(out, finding.distance);
}

} // namespace

void appendFindingReportLine(std::u16string& out, const PointTable& table, const Finding& finding,
                             bool first) {
    appendFindingReportLineTo(out, table, finding, first);
}

std::u16string_view listHeading(FindingKind kind) {
    // The list names a coincident pair as the window always has.
    return kind == FindingKind::CoincidentPoint ? u"同位置座標" : reportHeading(kind);
}

std::u16string findingReportLine(const PointTable& table, const Finding& finding, bool first) {
    std::u16string line;
    appendFindingReportLine(line, table, finding, first);
    return line;
}

ReportLines::ReportLines(const PointTable& table) : m_table(&table) {}

std::size_t ReportLines::size() const {
    return m_table ? m_table->findings.size() * ReportLinesPerFinding : m_kept.size();
}

std::u16string ReportLines::operator[](std::size_t i) const {
    std::u16string line;
    appendTo(line, i);
    return line;
}

template <class Text> void ReportLines::appendLine(Text& out, std::size_t i) const {
    if (!m_table) {
        appendText(out, m_kept[i]);
        return;
    }
    const Finding& finding = m_table->findings[i / ReportLinesPerFinding];
    const auto part = i % ReportLinesPerFinding;
    if (part == 0)
        appendFixed(out, reportHeading(finding.kind), headingInUtf8(finding.kind));
    else
        appendFindingReportLineTo(out, *m_table, finding, part == 1);
}

void ReportLines::prefetchFirst(std::size_t i) const {
    if (!m_table || i >= size())
        return;
    const Finding& finding = m_table->findings[i / ReportLinesPerFinding];
    for (const std::int32_t k : {finding.first, finding.second}) {
        __builtin_prefetch(&m_table->xs[k]);
        __builtin_prefetch(&m_table->ys[k]);
        __builtin_prefetch(&m_table->numbers[k]);
        __builtin_prefetch(&m_table->pointFiles[k]);
        m_table->names.prefetchSlice(k);
    }
}

void ReportLines::prefetchSecond(std::size_t i) const {
    if (!m_table || i >= size())
        return;
    const Finding& finding = m_table->findings[i / ReportLinesPerFinding];
    m_table->names.prefetchText(finding.first);
    m_table->names.prefetchText(finding.second);
}

void ReportLines::appendTo(std::u16string& out, std::size_t i) const {
    appendLine(out, i);
}

void ReportLines::appendTo(std::string& out, std::size_t i) const {
    appendLine(out, i);
}

} // namespace morvane
