#pragma once

#include "run/RunData.h"
#include "support/RecordingUiSink.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

namespace morvane::test {

struct TestPoint {
    std::u16string name;
    double x;
    double y;
};

// One large table per suite; each test loads its points straight into it,
// numbered 1, 2, ... in the order given.
class CheckFixture : public testing::Test {
protected:
    static void SetUpTestSuite() { s_data = std::make_unique<RunData>(); }
    static void TearDownTestSuite() { s_data.reset(); }

    void SetUp() override {
        RecordingUiSink reset;
        shokika(data(), reset);
        data().ReportPos = 1;
    }

    RunData& data() { return *s_data; }

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
    std::u16string report() const {
        std::u16string text;
        for (std::int32_t i = 1; i < s_data->ReportPos; ++i)
            text += s_data->ReportLine[i] + u"\n";
        return text;
    }

    RecordingUiSink ui;
    static inline std::unique_ptr<RunData> s_data;
};

} // namespace morvane::test
