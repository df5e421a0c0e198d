#pragma once

#include "support/PointTableFixture.h"
#include "support/RecordingUiSink.h"

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
class CheckFixture : public PointTableFixture {
protected:
    void SetUp() override {
        data().clear();
        data().nextReportLine = 1;
    }

    void load(const std::vector<TestPoint>& points) {
        PointTable& d = data();
        d.pointCount = 0;
        for (const auto& p : points) {
            const std::int32_t n = ++d.pointCount;
            d.numbers[n] = n;
            d.names[n] = p.name;
            d.xs[n] = p.x;
            d.ys[n] = p.y;
            d.sortOrder[n] = n;
        }
    }

    // The report as one string, a line each.
    std::u16string report() {
        std::u16string text;
        for (std::int32_t i = 1; i < data().nextReportLine; ++i)
            text += data().reportLines[i] + u"\n";
        return text;
    }

    RecordingUiSink ui;
};

} // namespace morvane::test
