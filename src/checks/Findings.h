#pragma once

#include "core/Finding.h"
#include "core/RunSummary.h"

#include <cstdint>
#include <optional>

namespace morvane {

struct PointTable;
class UiSink;

// Writes one finding: four list items (heading, the first point's line with
// "  較差 " and the distance, the second point's line, a spacer; each line
// with its file where a job's two points come from two) and three
// report lines (the same without the spacer, under the kind's report heading),
// which the finding, kept in table.findings, makes when they are read. A finding is written whole
// or not at all: when its three lines no longer fit in the report, nothing is written, the report
// is marked full and the user told once; returns false.
bool writeFinding(PointTable& table, UiSink& ui, FindingKind kind, double first, double second,
                  double dist);

// The findings of one check, written one by one: once the report has passed
// questionAfterLine the user is asked, once, whether to stop the check
// ("同一名称が多すぎます。処理を中止しますか？", the kind's list heading).
class CheckFindings {
public:
    CheckFindings(PointTable& table, UiSink& ui, FindingKind kind, std::int32_t questionAfterLine)
        : m_table(table), m_ui(ui), m_kind(kind), m_questionAfterLine(questionAfterLine) {}

    // Writes a finding; how the check ends when it must end here.
    std::optional<CheckEnd> add(double first, double second, double dist);

private:
    PointTable& m_table;
    UiSink& m_ui;
    FindingKind m_kind;
    std::int32_t m_questionAfterLine;
    bool m_asked = false;
};

} // namespace morvane
