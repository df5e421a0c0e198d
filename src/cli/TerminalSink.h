#pragma once

#include "cli/CliOptions.h"
#include "cli/FileOutput.h"
#include "core/PathText.h"
#include "core/Text.h"
#include "core/UiSink.h"

#include <utility>
#include <vector>

namespace morvane {

// The window operations on a terminal: the fields hold the option texts, the
// file dialog answers with the file being checked, the questions are answered
// from --on-too-many, and every message goes to the file's standard error.
class TerminalSink : public UiSink {
public:
    TerminalSink(const CliOptions& options, FileOutput& output);

    // Each unit (file or sheet) is checked as if it had been given alone: its
    // messages name it, and the tolerance is read again from the option.
    void startUnit(const std::string& path);
    const std::vector<std::u16string>& resultItems() const { return m_items; }

    std::u16string toleranceText() override { return m_tolerance; }
    void setToleranceText(const std::u16string& text) override;
    std::u16string lowerBoundText() override { return m_lower; }
    std::optional<std::filesystem::path> chooseCoordinateFile() override {
        return pathFromUtf8(m_path);
    }
    EncodingChoice coordinateFileEncoding() override { return m_encoding; }
    CheckChoice checkChoice() override { return m_checks; }
    bool choosePrinter() override { return true; }
    void setStatusText(const std::u16string&) override {}
    void setStatusColor(Rgb) override {}
    void setBusyCursor(bool) override {}
    void redraw() override {}
    void clearResultList() override;
    void addResultItem(const std::u16string& text) override;
    std::int32_t resultItemCount() override { return m_itemCount; }
    bool showsResultItems() override { return m_keepItems; }
    // Kept in UTF-8, as it is printed, in pieces as the run adds them: a full
    // report is the largest thing a run of the command line holds, and is
    // held once, never copied into a larger string as it grows.
    std::u16string resultText() override;
    void setResultText(const std::u16string& text) override;
    void appendResultText(const std::u16string& text) override;
    bool keepsResultTextInUtf8() override { return true; }
    void appendResultTextUtf8(std::string text) override;
    // The result text in UTF-8 with CR LF line breaks, in order, given away.
    std::vector<std::string> takeResultText() { return std::exchange(m_resultText, {}); }
    Answer askYesNo(const std::u16string& prompt) override;
    void showMessage(const std::u16string& text) override;
    void showError(const std::u16string& message, const ErrorPlace& place) override;

private:
    // On one line, after the file (the unit's when empty) and the line of the
    // file (0: none).
    void say(const std::u16string& text, std::int32_t line = 0, const std::string& file = {});

    const std::u16string m_givenTolerance;
    std::u16string m_tolerance;
    std::u16string m_lower;
    Answer m_answer;
    EncodingChoice m_encoding;
    CheckChoice m_checks;
    FileOutput& m_output;
    std::string m_path;
    // The items are kept only for --list; a report of 166,000 findings would
    // otherwise hold half a million strings nobody prints.
    bool m_keepItems;
    std::int32_t m_itemCount = 0;
    std::vector<std::u16string> m_items;
    std::vector<std::string> m_resultText;
};

} // namespace morvane
