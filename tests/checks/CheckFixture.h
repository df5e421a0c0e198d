#pragma once

#include "support/RecordingUiSink.h"
#include "support/RunDataTest.h"

#include <string>
#include <vector>

namespace morvane::test {

struct TestPoint {
    std::u16string name;
    double x;
    double y;
};

// Each test loads its points straight into the table, numbered 1, 2, ... in
// the order given, with the report ready for the first finding.
class CheckFixture : public RunDataTest {
protected:
    void SetUp() override {
        RecordingUiSink reset;
        shokika(data(), reset);
        data().ReportPos = 1;
    }

    void load(const std::vector<TestPoint>& points) {
        RunData& d = data();
        d.PointCount = 0;
        for (const auto& p : points) {
            const std::int32_t n = ++d.PointCount;
            d.PointNo[n] = n;
            d.PointName[n] = p.name;
            d.PointX[n] = p.x;
            d.PointY[n] = p.y;
            d.SortIndex[n] = n;
        }
    }

    // The report as one string, a line each.
    std::u16string report() {
        std::u16string text;
        for (std::int32_t i = 1; i < data().ReportPos; ++i)
            text += data().ReportLine[i] + u"\n";
        return text;
    }

    RecordingUiSink ui;
};

} // namespace morvane::test
