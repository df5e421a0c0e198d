#include "checks/Findings.h"

#include "output/NumberFormat.h"
#include "output/PointLine.h"
#include "run/RunData.h"
#include "run/RunError.h"
#include "run/UiSink.h"

namespace morvane {

namespace {

constexpr std::int32_t LinesPerFinding = 3;

void appendReportLine(RunData& d, std::u16string text) {
    d.ReportLine[d.ReportPos] = std::move(text);
    d.ReportPos = checkedAdd(d.ReportPos, 1);
}

} // namespace

bool writeFinding(RunData& d, UiSink& ui, std::u16string_view listHeading,
                  std::u16string_view reportHeading, double first, double second, double dist) {
    if (d.ReportFull)
        return false;
    if (checkedAdd(d.ReportPos, LinesPerFinding - 1) > TableCapacity) {
        d.ReportFull = true;
        ui.ShowMessage(u"結果が上限（499999行）に達しました。以降の結果は省略します。");
        return false;
    }
    ui.AddResultItem(std::u16string(listHeading));
    appendReportLine(d, std::u16string(reportHeading));

    std::u16string t = xydisp(d, first) + u"  較差 " + formatThreeDecimals(dist);
    ui.AddResultItem(t);
    appendReportLine(d, std::move(t));

    std::u16string s2 = xydisp(d, second);
    ui.AddResultItem(s2);
    ui.AddResultItem(u" ");
    appendReportLine(d, std::move(s2));
    return true;
}

} // namespace morvane
