#pragma once

#include "checks/Distance.h"
#include "checks/Findings.h"
#include "core/LeadingNumber.h"
#include "core/PointTable.h"
#include "core/RunError.h"
#include "core/UiSink.h"

#include <cmath>
#include <utility>

// The key sort and the coincident-point scan written as plainly as their
// rules read: exchange passes until nothing moves, and every point compared
// with each following point while their X differ by less than twice the
// band's reach. Slow on some layouts, but obviously right; the fast ones are
// proven against these.
namespace morvane::reference {

inline void keySort(PointTable& d) {
    auto& key = d.sortKeys;
    auto& index = d.sortOrder;
    std::int32_t gap = roundHalfEven(d.pointCount / 2.0);
    do {
        std::int32_t limit = checkedAdd(d.pointCount, -gap);
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

inline void coincidentPointScan(PointTable& d, UiSink& ui) {
    for (std::int32_t n = 1; n <= d.pointCount; ++n) {
        d.sortKeys[n] = d.xs[n] * 1000;
        d.sortOrder[n] = n;
    }
    keySort(d);
    const std::int32_t questionAfterLine = checkedAdd(d.nextReportLine, 3001);
    bool asked = false;
    if (d.reportFull)
        return;
    const double tolerance = leadingNumber(ui.toleranceText());
    const DistanceBand band(leadingNumber(ui.lowerBoundText()), tolerance);
    const auto atOrigin = [&](std::int32_t p) { return d.xs[p] == 0 && d.ys[p] == 0; };

    for (std::int32_t i = 1; i <= d.pointCount; ++i) {
        const std::int32_t a = roundHalfEven(d.sortOrder[i]);
        if (atOrigin(a))
            continue;
        std::int32_t k = 1;
        while (i + k <= d.pointCount &&
               2 * band.reach() > std::fabs(d.xs[a] - d.xs[roundHalfEven(d.sortOrder[i + k])]))
            ++k;
        for (std::int32_t j = 1; j < k; ++j) {
            const std::int32_t b = roundHalfEven(d.sortOrder[i + j]);
            if (atOrigin(b))
                continue;
            const double dist = distance(d.xs[a], d.ys[a], d.xs[b], d.ys[b]);
            if (!band.contains(dist))
                continue;
            if (!writeFinding(d, ui, FindingKind::CoincidentPoint, d.sortOrder[i],
                              d.sortOrder[i + j], dist))
                return;
            if (!asked && d.nextReportLine > questionAfterLine) {
                if (ui.askYesNo(u"同位置座標が多すぎます。処理を中止しますか？") == Answer::Yes)
                    return;
                asked = true;
            }
        }
    }
}

} // namespace morvane::reference
