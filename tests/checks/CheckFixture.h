#pragma once

#include "support/PointTableFixture.h"
#include "support/RecordingUiSink.h"
#include "support/TestPoints.h"

#include <string>

namespace morvane::test {

// Each test loads its points straight into the table (loadPoints), with the
// report ready for the first finding.
class CheckFixture : public PointTableFixture {
protected:
    void SetUp() override {
        data().clear();
        data().nextReportLine = 1;
    }

    // The report as one string, a line each.
    std::u16string report() {
        std::u16string text;
        for (const auto& line : reportLines(data()))
            text += line + u"\n";
        return text;
    }

    RecordingUiSink ui;
};

} // namespace morvane::test
