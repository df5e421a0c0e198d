#pragma once

#include "run/UiSink.h"

#include <cstdint>
#include <string>

namespace morvane::fuzz {

// A window that keeps only what a run's invariants need: the item count and
// the result text. Answers and field texts come from the input.
class FuzzSink : public UiSink {
public:
    std::u16string toleranceText = u"0.05";
    std::u16string lowerText = u"0";
    std::optional<std::filesystem::path> file;
    // Bit i answers question i: 1 is Yes.
    std::uint32_t answers = 0;

    std::int32_t items = 0;
    std::int32_t questions = 0;
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
    Answer AskYesNo(const std::u16string&) override {
        return (answers >> (questions++ % 32)) & 1 ? Answer::Yes : Answer::No;
    }
    void ShowMessage(const std::u16string&) override { ++messages; }
};

// Settings drawn from the input's bytes, so that the same input always runs
// the same way and a mutation can change them.
inline std::uint32_t mix(const std::uint8_t* data, std::size_t size) {
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < size; ++i)
        h = (h ^ data[i]) * 16777619u;
    return h;
}

inline const char16_t* const ToleranceTexts[] = {
    u"0.05", u"0", u"9.99", u"0.5", u"1.5mm", u"-1", u"10", u"abc", u"&HFFFF", u"1e400", u"nan",
};
inline const char16_t* const LowerTexts[] = {
    u"0", u"0.001", u"0.3", u"-5", u"20", u"1D-3", u"inf", u"1e400",
};

} // namespace morvane::fuzz
