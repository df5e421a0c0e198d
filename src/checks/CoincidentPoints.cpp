#include "checks/CoincidentPoints.h"

#include "checks/Distance.h"
#include "checks/Findings.h"
#include "checks/KeySort.h"
#include "run/LeadingNumber.h"
#include "run/RunData.h"
#include "run/RunError.h"
#include "run/UiSink.h"

#include <cmath>

namespace morvane {

namespace {

constexpr std::int32_t QuestionAfterLines = 3001;

bool atOrigin(const RunData& d, std::int32_t p) {
    return d.PointX[p] == 0 && d.PointY[p] == 0;
}

void sortByX(RunData& d) {
    for (std::int32_t n = 1; n <= d.PointCount; ++n) {
        d.SortKey[n] = d.PointX[n] * 1000;
        if (std::isinf(d.SortKey[n]))
            throw runError(ErrorNumber::Overflow);
        d.SortIndex[n] = n;
    }
    SHELLSORT(d);
}

} // namespace

void CoincidentPointCheck(RunData& d, UiSink& ui) {
    sortByX(d);
    const std::int32_t findingLimit = checkedAdd(d.ReportPos, QuestionAfterLines);
    bool asked = false;
    if (d.ReportFull)
        return;

    // Read once: nothing can change the fields while the run works.
    const double tolerance = leadingNumber(ui.GetToleranceText());
    const double lower = leadingNumber(ui.GetLowerBoundText());

    for (std::int32_t i = 1; i <= d.PointCount; ++i) {
        const std::int32_t a = roundHalfEven(d.SortIndex[i]);
        if (atOrigin(d, a))
            continue;
        const double xa = d.PointX[a];
        const double ya = d.PointY[a];
        // Every pair closer than the tolerance is within it in X too, so the
        // window of following points in X order misses none.
        for (std::int32_t j = i + 1; j <= d.PointCount; ++j) {
            const std::int32_t b = roundHalfEven(d.SortIndex[j]);
            if (!(2 * tolerance > std::fabs(xa - d.PointX[b])))
                break;
            if (atOrigin(d, b))
                continue;
            const double dist = distance(xa, ya, d.PointX[b], d.PointY[b]);
            if (!(tolerance > dist) || lower > dist)
                continue;
            if (!writeFinding(d, ui, u"同位置座標", u"同一座標値", d.SortIndex[i], d.SortIndex[j],
                              dist))
                return;
            if (!asked && d.ReportPos > findingLimit) {
                if (ui.AskYesNo(u"同位置座標が多すぎます。処理を中止しますか？") == Answer::Yes)
                    return;
                asked = true;
            }
        }
    }
}

} // namespace morvane
