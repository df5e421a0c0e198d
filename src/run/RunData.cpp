#include "run/RunData.h"

#include "run/UiSink.h"

#include <cmath>

namespace morvane {

namespace {
constexpr std::size_t Slots = TableCapacity + 1;
}

RunData::RunData()
    : PointNo(Slots), PointName(Slots), PointX(Slots), PointY(Slots), SortKey(Slots),
      SortIndex(Slots), ReportLine(Slots) {}

void shokika(RunData& d, UiSink& ui) {
    for (std::size_t i = 1; i < Slots; ++i) {
        d.PointNo[i] = 0;
        // Swap with an empty string, not clear(): a long name from an earlier
        // run should not keep its memory.
        std::u16string().swap(d.PointName[i]);
        d.PointX[i] = 0;
        d.PointY[i] = 0;
        d.SortKey[i] = 0;
        d.SortIndex[i] = 0;
    }
    for (std::size_t i = 1; i < Slots; ++i)
        std::u16string().swap(d.ReportLine[i]);
    d.PointCount = 0;
    d.ReportPos = 0;
    d.ReportFull = false;
    ui.ClearResultList();
    ui.SetResultText(u"");
}

std::int32_t roundHalfEven(double value) {
    // The default floating-point rounding mode is to nearest, ties to even.
    return static_cast<std::int32_t>(std::nearbyint(value));
}

} // namespace morvane
