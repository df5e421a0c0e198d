#include "checks/DuplicateNames.h"

#include "checks/Distance.h"
#include "checks/Findings.h"
#include "input/CoordinateReader.h"
#include "run/RunData.h"
#include "run/UiSink.h"

#include <string_view>
#include <unordered_map>
#include <vector>

namespace morvane {

namespace {

// After 1001 findings (1 + 3 * 1001 > 3001) the user is asked once.
constexpr std::int32_t QuestionAfterReportPos = 3001;

bool isBlankName(const std::u16string& name) {
    return trimSpaces(name).empty();
}

// For each sort position in [begin, end), the next position in the same range
// whose point has the same name (0 for none). Long names share keys, so a run
// of equal keys can hold different names; equal names must still meet.
void nextSameName(const RunData& d, std::int32_t begin, std::int32_t end,
                  std::vector<std::int32_t>& next) {
    next.assign(end - begin, 0);
    if (end - begin == 2) {
        const auto a = roundHalfEven(d.SortIndex[begin]);
        const auto b = roundHalfEven(d.SortIndex[begin + 1]);
        next[0] = d.PointName[a] == d.PointName[b] ? begin + 1 : 0;
        return;
    }
    std::unordered_map<std::u16string_view, std::int32_t> latest;
    for (std::int32_t i = end - 1; i >= begin; --i) {
        const auto& name = d.PointName[roundHalfEven(d.SortIndex[i])];
        auto [it, inserted] = latest.try_emplace(name, i);
        if (!inserted) {
            next[i - begin] = it->second;
            it->second = i;
        }
    }
}

} // namespace

void DuplicateNameCheck(RunData& d, UiSink& ui) {
    bool asked = false;
    std::vector<std::int32_t> next;
    std::int32_t runBegin = 1;
    while (runBegin < d.PointCount) {
        std::int32_t runEnd = runBegin + 1;
        while (runEnd <= d.PointCount && d.SortKey[runEnd] == d.SortKey[runBegin])
            ++runEnd;
        if (runEnd - runBegin < 2) {
            runBegin = runEnd;
            continue;
        }
        nextSameName(d, runBegin, runEnd, next);
        for (std::int32_t i = runBegin; i < runEnd; ++i) {
            const std::int32_t j = next[i - runBegin];
            if (j == 0)
                continue;
            const double a = d.SortIndex[i];
            const double b = d.SortIndex[j];
            const auto pa = roundHalfEven(a);
            const auto pb = roundHalfEven(b);
            if (isBlankName(d.PointName[pa]))
                continue;
            const double dist = distance(d.PointX[pa], d.PointY[pa], d.PointX[pb], d.PointY[pb]);
            if (!writeFinding(d, ui, u"同一名称", u"同一名称", a, b, dist))
                return;
            if (!asked && d.ReportPos > QuestionAfterReportPos) {
                if (ui.AskYesNo(u"同一名称が多すぎます。処理を中止しますか？") == Answer::Yes)
                    return;
                asked = true;
            }
        }
        runBegin = runEnd;
    }
}

} // namespace morvane
