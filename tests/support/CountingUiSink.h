#pragma once

#include "core/UiSink.h"
#include "support/Script.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>

namespace morvane {

// A window that keeps only what a run gives back, the item count and the
// result text, for runs that are timed or fuzzed rather than inspected. Every
// run chooses `file`; questions get the scripted `answers`, then `unscripted`.
class CountingUiSink : public UiSink {
public:
    std::u16string toleranceField = u"0.05";
    std::u16string lowerField = u"0";
    std::optional<std::filesystem::path> file;
    CheckChoice checks;
    std::deque<Answer> answers;
    Answer unscripted = Answer::No;

    std::int32_t items = 0;
    std::int32_t messages = 0;
    std::u16string resultField;

    std::u16string toleranceText() override { return toleranceField; }
    void setToleranceText(const std::u16string& text) override { toleranceField = text; }
    std::u16string lowerBoundText() override { return lowerField; }
    std::optional<std::filesystem::path> chooseCoordinateFile() override { return file; }
    CheckChoice checkChoice() override { return checks; }
    bool choosePrinter() override { return false; }
    void setStatusText(const std::u16string&) override {}
    void setStatusColor(Rgb) override {}
    void setBusyCursor(bool) override {}
    void redraw() override {}
    void clearResultList() override { items = 0; }
    void addResultItem(const std::u16string&) override { ++items; }
    std::int32_t resultItemCount() override { return items; }
    std::u16string resultText() override { return resultField; }
    void setResultText(const std::u16string& text) override { resultField = text; }
    Answer askYesNo(const std::u16string&) override { return test::takeNext(answers, unscripted); }
    void showMessage(const std::u16string&) override { ++messages; }
    void showError(const std::u16string&, const ErrorPlace&) override { ++messages; }
};

} // namespace morvane
