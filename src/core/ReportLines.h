#pragma once

#include "core/Finding.h"

#include <cstdint>
#include <span>
#include <string>

namespace morvane {

struct PointTable;

// The report's heading of a finding of this kind, and the list's.
std::u16string_view reportHeading(FindingKind kind);
std::u16string_view listHeading(FindingKind kind);

// The report line of a finding's point: its point line, then "  較差 " and
// the distance for the finding's first point.
std::u16string findingReportLine(const PointTable& table, const Finding& finding, bool first);
void appendFindingReportLine(std::u16string& out, const PointTable& table, const Finding& finding,
                             bool first);

// The lines of a report, 0-based: either the lines of a table's findings,
// made from each finding and its two points when asked for (a report of many
// findings then costs its findings, not three strings each), or lines kept
// as text. A view: the table or the kept lines must outlive it.
class ReportLines {
public:
    // The three lines of each finding of the table's last run, in report order.
    explicit ReportLines(const PointTable& table);
    explicit ReportLines(std::span<const std::u16string> kept) : m_kept(kept) {}

    std::size_t size() const;
    bool empty() const { return size() == 0; }
    std::u16string operator[](std::size_t i) const;
    // Line i added to the end of out: a whole report made without a string
    // for each line. In UTF-8 too, for a front end that keeps its text so.
    void appendTo(std::u16string& out, std::size_t i) const;
    void appendTo(std::string& out, std::size_t i) const;

    // Asks for what line i reads of the table, ahead of making it: the
    // findings' points lie anywhere in the table, and a long report would
    // otherwise wait on memory for each. Once the first step is in (some
    // lines ahead), the second asks for the names' characters.
    void prefetchFirst(std::size_t i) const;
    void prefetchSecond(std::size_t i) const;

private:
    template <class Text> void appendLine(Text& out, std::size_t i) const;

    const PointTable* m_table = nullptr;
    std::span<const std::u16string> m_kept;
};

} // namespace morvane
