#pragma once

#include "run/UiSink.h"

#include <cstdint>
#include <string>

namespace morvane {

// A window that keeps only what a run gives back, the item count and the
// result text, for runs that are timed or fuzzed rather than inspected.
// Every question is answered with `answer`.
class CountingUiSink : public UiSink {
public:
    std::u16string toleranceText = u"0.05";
    std::u16string lowerText = u"0";
    std::optional<std::filesystem::path> file;
    Answer answer = Answer::No;

    std::int32_t items = 0;
    std::int32_t messages = 0;
    std::u16string resultText;

    std::u16string GetToleranceText() override { return toleranceText; }
    void SetToleranceText(const std::u16string& text) override { toleranceText = text; }
    std::u16string GetLowerBoundText() override { return lowerText; }
    std::optional<std::filesystem::path> ChooseCoordinateFile() override { return file; }
    bool ChoosePrinter() override { return false; }
    void SetStatusText(const std::u16string&) override {}
    void SetStatusBackColor(Rgb) override {}
    void SetBusyCursor(bool) override {}
    void Repaint() override {}
    void ClearResultList() override { items = 0; }
    void AddResultItem(const std::u16string&) override { ++items; }
    std::int32_t ResultItemCount() override { return items; }
    std::u16string GetResultText() override { return resultText; }
    void SetResultText(const std::u16string& text) override { resultText = text; }
    Answer AskYesNo(const std::u16string&) override { return answer; }
    void ShowMessage(const std::u16string&) override { ++messages; }
};

} // namespace morvane
