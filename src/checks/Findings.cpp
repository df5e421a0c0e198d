#include "checks/Findings.h"

#include "core/NumberFormat.h"
#include "core/PointLine.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/UiSink.h"

namespace morvane {

namespace {

void appendReportLine(PointTable& table, std::u16string text) {
    table.makeRoomForReportLine(table.nextReportLine);
    table.reportLines[table.nextReportLine] = std::move(text);
    table.nextReportLine = checkedAdd(table.nextReportLine, 1);
}

} // namespace

bool writeFinding(PointTable& table, UiSink& ui, FindingKind kind, std::u16string_view listHeading,
                  std::u16string_view reportHeading, double first, double second, double dist) {
    if (table.reportFull)
        return false;
    if (checkedAdd(table.nextReportLine, ReportLinesPerFinding - 1) > TableCapacity) {
        table.reportFull = true;
        ui.showMessage(u"結果が上限（499999行）に達しました。以降の結果は省略します。");
        return false;
    }
    ui.addResultItem(std::u16string(listHeading));
    appendReportLine(table, std::u16string(reportHeading));

    std::u16string t =
        findingPointLine(table, first, second) + u"  較差 " + formatThreeDecimals(dist);
    ui.addResultItem(t);
    appendReportLine(table, std::move(t));

    std::u16string s2 = findingPointLine(table, second, first);
    ui.addResultItem(s2);
    ui.addResultItem(u" ");
    appendReportLine(table, std::move(s2));
    table.findings.push_back({kind, roundHalfEven(first), roundHalfEven(second), dist});
    return true;
}

} // namespace morvane
