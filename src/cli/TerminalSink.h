#pragma once

#include "cli/CliOptions.h"
#include "run/UiSink.h"

#include <cstdio>
#include <vector>

namespace morvane {

// The window operations on a terminal: the fields hold the option texts, the
// file dialog answers with the file being checked, the questions are answered
// from --on-too-many, and every message goes to standard error.
class TerminalSink : public UiSink {
public:
    TerminalSink(const CliOptions& options, std::FILE* err);

    void setFile(const std::string& path) { m_path = path; }
    const std::vector<std::u16string>& resultItems() const { return m_items; }

    std::u16string GetToleranceText() override { return m_tolerance; }
    void SetToleranceText(const std::u16string& text) override;
    std::u16string GetLowerBoundText() override { return m_lower; }
    std::optional<std::filesystem::path> ChooseCoordinateFile() override { return m_path; }
    bool ChoosePrinter() override { return true; }
    void SetStatusText(const std::u16string&) override {}
    void SetStatusBackColor(Rgb) override {}
    void SetBusyCursor(bool) override {}
    void Repaint() override {}
    void ClearResultList() override;
    void AddResultItem(const std::u16string& text) override;
    std::int32_t ResultItemCount() override { return m_itemCount; }
    std::u16string GetResultText() override { return m_resultText; }
    void SetResultText(const std::u16string& text) override { m_resultText = text; }
    Answer AskYesNo(const std::u16string& prompt) override;
    void ShowMessage(const std::u16string& text) override;

private:
    void say(const std::u16string& text);

    std::u16string m_tolerance;
    std::u16string m_lower;
    Answer m_answer;
    std::FILE* m_err;
    std::string m_path;
    // The items are kept only for --list; a report of 166,000 findings would
    // otherwise hold half a million strings nobody prints.
    bool m_keepItems;
    std::int32_t m_itemCount = 0;
    std::vector<std::u16string> m_items;
    std::u16string m_resultText;
};

} // namespace morvane
