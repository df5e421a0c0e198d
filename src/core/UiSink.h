#pragma once

#include "core/CheckChoice.h"
#include "core/RunError.h"
#include "core/Text.h"
#include "core/TextEncoding.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace morvane {

enum class Answer { Yes, No };

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Indices 12 and 15 of the classic 16-colour palette: the status label turns
// light red while a run works and white when it ends.
inline constexpr Rgb StatusBusyColor{255, 0, 0};
inline constexpr Rgb StatusIdleColor{255, 255, 255};

// The two fields of the distance band: lower <= d < tolerance.
enum class BandField { LowerBound, Tolerance };

// Everything the check run and the print command ask of the window. The core
// sees only this, so a run can be driven by a recording fake in tests and by
// the terminal in the command-line checker. Texts are UTF-16 with CR LF line
// breaks; every call returns when its effect is complete.
class UiSink {
public:
    virtual ~UiSink() = default;

    virtual std::u16string toleranceText() = 0;
    virtual void setToleranceText(const std::u16string& text) = 0;
    virtual std::u16string lowerBoundText() = 0;
    // A band field that cannot be read: tells the user why (a modal notice,
    // as showMessage) and leaves them in that field to mend it.
    virtual void refuseBand(BandField field, const std::u16string& message) {
        static_cast<void>(field);
        showMessage(message);
    }
    // Empty when the user cancels: a cancel is an answer, not an error.
    virtual std::optional<std::filesystem::path> chooseCoordinateFile() = 0;
    // Several files chosen at once are checked together; empty when the user
    // cancels. Where only one file can be chosen, that one.
    virtual std::vector<std::filesystem::path> chooseCoordinateFiles() {
        auto file = chooseCoordinateFile();
        return file ? std::vector{std::move(*file)} : std::vector<std::filesystem::path>{};
    }
    // How the chosen file is to be read. The window offers no choice: the
    // encoding is guessed from the file.
    virtual EncodingChoice coordinateFileEncoding() { return EncodingChoice::Auto; }
    // Which checks the run makes; asked once a file, before its first check.
    // The window answers from its settings, the command line from --check.
    virtual CheckChoice checkChoice() { return {}; }
    // False when the user cancels; after true the chosen printer is the one used.
    virtual bool choosePrinter() = 0;
    virtual void setStatusText(const std::u16string& text) = 0;
    virtual void setStatusColor(Rgb color) = 0;
    virtual void setBusyCursor(bool on) = 0;
    // Redraws the whole window before returning; must not process user input.
    virtual void redraw() = 0;
    virtual void clearResultList() = 0;
    virtual void addResultItem(const std::u16string& text) = 0;
    // False for a front end that only counts the list's items and never shows
    // them: a finding then adds its four items empty rather than making two
    // more point lines of it.
    virtual bool showsResultItems() { return true; }
    virtual std::int32_t resultItemCount() = 0;
    virtual std::u16string resultText() = 0;
    virtual void setResultText(const std::u16string& text) = 0;
    // Adds text at the end of the result text: a front end that shows a long
    // text can add the new part rather than set the whole text again.
    virtual void appendResultText(const std::u16string& text) {
        setResultText(resultText() + text);
    }
    // True for a front end that keeps its result text in UTF-8 (a terminal):
    // a long report is then made in UTF-8 and added through
    // appendResultTextUtf8, never passing through UTF-16.
    virtual bool keepsResultTextInUtf8() { return false; }
    virtual void appendResultTextUtf8(std::string text) { appendResultText(toUtf16(text)); }
    // Modal, Yes and No, Yes the default button, no icon, the application's title.
    virtual Answer askYesNo(const std::u16string& prompt) = 0;
    // Modal notice with an OK button, the application's title: the report-full
    // notice.
    virtual void showMessage(const std::u16string& text) = 0;
    // The same for an error that abandoned a run, with where it arose (an
    // empty place for an error no file caused).
    virtual void showError(const std::u16string& message, const ErrorPlace& place) = 0;
};

} // namespace morvane
