#include "checks/DuplicateNames.h"

#include "checks/Distance.h"
#include "checks/Findings.h"
#include "checks/KeySort.h"
#include "checks/LookAlikeNames.h"
#include "core/PointTable.h"
#include "core/Text.h"
#include "core/UiSink.h"

#include <string_view>
#include <unordered_map>
#include <vector>

namespace morvane {

namespace {

// After 1001 findings (1 + 3 * 1001 > 3001) the user is asked once.
constexpr std::int32_t QuestionAfterReportPos = 3001;

// A look-alike form can be longer than any name the reader keeps (NFKC
// spells "㍿" out as "株式会社"). Only its first characters make its key, so
// that no key leaves a double's range; equal forms still get equal keys.
constexpr std::size_t KeyedCharacters = 300;

bool isBlankName(std::u16string_view name) {
    return trimSpaces(name).empty();
}

// For each sort position in [begin, end), the next position in the same range
// whose point has the same name (0 for none). Long names share keys, so a run
// of equal keys can hold different names; equal names must still meet.
template <typename NameOf>
void nextSameName(const PointTable& table, const NameOf& nameOf, std::int32_t begin,
                  std::int32_t end, std::vector<std::int32_t>& next) {
    next.assign(end - begin, 0);
    if (end - begin == 2) {
        const auto a = roundHalfEven(table.sortOrder[begin]);
        const auto b = roundHalfEven(table.sortOrder[begin + 1]);
        next[0] = nameOf(a) == nameOf(b) ? begin + 1 : 0;
        return;
    }
    std::unordered_map<std::u16string_view, std::int32_t> latest;
    for (std::int32_t i = end - 1; i >= begin; --i) {
        const std::u16string_view name = nameOf(roundHalfEven(table.sortOrder[i]));
        auto [it, inserted] = latest.try_emplace(name, i);
        if (!inserted) {
            next[i - begin] = it->second;
            it->second = i;
        }
    }
}

// The walk of both comparisons over the points in key order: nameOf gives
// the name of a position as it is compared.
template <typename NameOf>
CheckEnd reportSameNames(PointTable& table, UiSink& ui, const NameOf& nameOf) {
    CheckFindings findings(table, ui, FindingKind::DuplicateName, QuestionAfterReportPos);
    std::vector<std::int32_t> next;
    std::int32_t runBegin = 1;
    while (runBegin < table.pointCount) {
        std::int32_t runEnd = runBegin + 1;
        while (runEnd <= table.pointCount && table.sortKeys[runEnd] == table.sortKeys[runBegin])
            ++runEnd;
        if (runEnd - runBegin < 2) {
            runBegin = runEnd;
            continue;
        }
        nextSameName(table, nameOf, runBegin, runEnd, next);
        for (std::int32_t i = runBegin; i < runEnd; ++i) {
            const std::int32_t j = next[i - runBegin];
            if (j == 0)
                continue;
            const double a = table.sortOrder[i];
            const double b = table.sortOrder[j];
            const auto pa = roundHalfEven(a);
            const auto pb = roundHalfEven(b);
            if (isBlankName(nameOf(pa)))
                continue;
            const double dist = distance(table.xs[pa], table.ys[pa], table.xs[pb], table.ys[pb]);
            if (const auto end = findings.add(a, b, dist))
                return *end;
        }
        runBegin = runEnd;
    }
    return CheckEnd::Finished;
}

} // namespace

CheckEnd checkDuplicateNames(PointTable& table, UiSink& ui) {
    return reportSameNames(table, ui, [&](std::int32_t position) -> std::u16string_view {
        return table.names[position];
    });
}

CheckEnd checkLookAlikeNames(PointTable& table, UiSink& ui, NameKeyOf nameKey) {
    const LookAlikeNames forms(table);
    for (std::int32_t p = 1; p <= table.pointCount; ++p)
        if (forms.changed(p))
            table.sortKeys[p] = nameKey(forms[p].substr(0, KeyedCharacters));
    sortByKey(table);
    return reportSameNames(table, ui, [&](std::int32_t position) { return forms[position]; });
}

} // namespace morvane
