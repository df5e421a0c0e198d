#include "checks/Findings.h"

#include "core/PointTable.h"
#include "core/ReportLines.h"
#include "core/RunError.h"
#include "core/UiSink.h"

namespace morvane {

namespace {
// The heading, the two point lines and a spacer.
constexpr std::int32_t ItemsPerFinding = 4;
} // namespace

bool writeFinding(PointTable& table, UiSink& ui, FindingKind kind, double first, double second,
                  double dist) {
    if (table.reportFull)
        return false;
    if (checkedAdd(table.nextReportLine, ReportLinesPerFinding - 1) > TableCapacity) {
        table.reportFull = true;
        ui.showMessage(u"結果が上限（499999行）に達しました。以降の結果は省略します。");
        return false;
    }
    table.findings.push_back({kind, roundHalfEven(first), roundHalfEven(second), dist});
    const Finding& finding = table.findings.back();
    table.nextReportLine += ReportLinesPerFinding;
    if (!ui.showsResultItems()) {
        for (std::int32_t item = 0; item < ItemsPerFinding; ++item)
            ui.addResultItem({});
        return true;
    }
    // The list shows the report's point lines, made as the report makes them.
    ui.addResultItem(std::u16string(listHeading(kind)));
    ui.addResultItem(findingReportLine(table, finding, true));
    ui.addResultItem(findingReportLine(table, finding, false));
    ui.addResultItem(u" ");
    return true;
}

std::optional<CheckEnd> CheckFindings::add(double first, double second, double dist) {
    if (!writeFinding(m_table, m_ui, m_kind, first, second, dist))
        return CheckEnd::ReportFull;
    if (!m_asked && m_table.nextReportLine > m_questionAfterLine) {
        m_asked = true;
        if (m_ui.askYesNo(std::u16string(listHeading(m_kind)) +
                          u"が多すぎます。処理を中止しますか？") == Answer::Yes)
            return CheckEnd::Stopped;
    }
    return std::nullopt;
}

} // namespace morvane
