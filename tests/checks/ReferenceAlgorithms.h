#pragma once

#include "checks/Distance.h"
#include "checks/Findings.h"
#include "run/LeadingNumber.h"
#include "run/RunData.h"
#include "run/RunError.h"
#include "run/UiSink.h"

#include <cmath>
#include <utility>

// The key sort and the coincident-point scan written as plainly as their
// rules read: exchange passes until nothing moves, and every point compared
// with each following point while their X differ by less than twice the
// tolerance. Slow on some layouts, but obviously right; the fast ones are
// proven against these.
namespace morvane::reference {

inline void keySort(RunData& d) {
    auto& key = d.SortKey;
    auto& index = d.SortIndex;
    std::int32_t gap = roundHalfEven(d.PointCount / 2.0);
    do {
        std::int32_t limit = checkedAdd(d.PointCount, -gap);
        std::int32_t last;
        do {
            last = 0;
            for (std::int32_t i = 1; i <= limit; ++i) {
                if (key[i] > key[i + gap]) {
                    std::swap(key[i], key[i + gap]);
                    std::swap(index[i], index[i + gap]);
                    last = i;
                }
            }
            limit = checkedAdd(last, -gap);
        } while (last != 0);
        gap = roundHalfEven(gap / 2.0);
    } while (gap >= 1);
}

inline void coincidentPointScan(RunData& d, UiSink& ui) {
    for (std::int32_t n = 1; n <= d.PointCount; ++n) {
        d.SortKey[n] = d.PointX[n] * 1000;
        d.SortIndex[n] = n;
    }
    keySort(d);
    const std::int32_t findingLimit = checkedAdd(d.ReportPos, 3001);
    bool asked = false;
    if (d.ReportFull)
        return;
    const double tolerance = leadingNumber(ui.GetToleranceText());
    const double lower = leadingNumber(ui.GetLowerBoundText());
    const auto atOrigin = [&](std::int32_t p) { return d.PointX[p] == 0 && d.PointY[p] == 0; };

    for (std::int32_t i = 1; i <= d.PointCount; ++i) {
        const std::int32_t a = roundHalfEven(d.SortIndex[i]);
        if (atOrigin(a))
            continue;
        std::int32_t k = 1;
        while (i + k <= d.PointCount &&
               2 * tolerance > std::fabs(d.PointX[a] - d.PointX[roundHalfEven(d.SortIndex[i + k])]))
            ++k;
        for (std::int32_t j = 1; j < k; ++j) {
            const std::int32_t b = roundHalfEven(d.SortIndex[i + j]);
            if (atOrigin(b))
                continue;
            const double dist = distance(d.PointX[a], d.PointY[a], d.PointX[b], d.PointY[b]);
            if (!(tolerance > dist) || lower > dist)
                continue;
            if (!writeFinding(d, ui, u"同位置座標", u"同一座標値", d.SortIndex[i],
                              d.SortIndex[i + j], dist))
                return;
            if (!asked && d.ReportPos > findingLimit) {
                if (ui.AskYesNo(u"同位置座標が多すぎます。処理を中止しますか？") == Answer::Yes)
                    return;
                asked = true;
            }
        }
    }
}

} // namespace morvane::reference
