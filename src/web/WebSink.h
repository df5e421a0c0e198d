#pragma once

#include "core/UiSink.h"

#include <cstdint>
#include <string>
#include <vector>

namespace morvane {

// The page's side of a run, inside its worker. The band and the answers are
// given before the run starts: a worker cannot wait for the page while the
// core runs, so each "too many findings" question is answered from the list
// (Yes, stop, past its end, as the window's default button) and the page
// runs again when the user answers otherwise. What the window would show goes
// to the page as it happens (status, messages, errors, questions); the
// result text is kept here until the run ends.
class WebSink : public UiSink {
public:
    WebSink(std::u16string lower, std::u16string tolerance, CheckChoice checks,
            std::vector<Answer> answers);

    std::u16string toleranceText() override { return m_tolerance; }
    void setToleranceText(const std::u16string& text) override;
    std::u16string lowerBoundText() override { return m_lower; }
    void refuseBand(BandField field, const std::u16string& message) override;
    // The files come from the page, never from a dialog.
    std::optional<std::filesystem::path> chooseCoordinateFile() override { return std::nullopt; }
    CheckChoice checkChoice() override { return m_checks; }
    // The browser's print dialog comes after the pages are laid out.
    bool choosePrinter() override { return true; }
    void setStatusText(const std::u16string& text) override;
    void setStatusColor(Rgb) override {}
    void setBusyCursor(bool) override {}
    void redraw() override {}
    void clearResultList() override { m_resultItems = 0; }
    void addResultItem(const std::u16string&) override { ++m_resultItems; }
    std::int32_t resultItemCount() override { return m_resultItems; }
    std::u16string resultText() override { return m_resultText; }
    void setResultText(const std::u16string& text) override { m_resultText = text; }
    void appendResultText(const std::u16string& text) override { m_resultText += text; }
    Answer askYesNo(const std::u16string& prompt) override;
    void showMessage(const std::u16string& text) override;
    void showError(const std::u16string& message, const ErrorPlace& place) override;

    const std::u16string& text() const { return m_resultText; }
    // Questions asked so far in this run.
    std::int32_t questionCount() const { return m_asked; }

private:
    std::u16string m_lower;
    std::u16string m_tolerance;
    CheckChoice m_checks;
    std::vector<Answer> m_answers;
    std::int32_t m_asked = 0;
    std::int32_t m_resultItems = 0;
    std::u16string m_resultText;
};

} // namespace morvane
