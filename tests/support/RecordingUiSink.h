#pragma once

#include "core/Text.h"
#include "core/UiSink.h"
#include "support/Script.h"

#include <deque>
#include <string>
#include <vector>

namespace morvane {

// A window that records every operation, in order, as one line of text
// ("setStatusText:  座標読み込み中"), and answers from a script: the next file
// (or a cancel), the next Yes/No (Yes when the script is empty, as Enter
// would). The list, the result text and the fields behave like the real ones.
class RecordingUiSink : public UiSink {
public:
    std::u16string toleranceField = u"0.05\r\n";
    std::u16string lowerField = u"0\r\n";
    std::deque<std::optional<std::filesystem::path>> files;
    EncodingChoice encoding = EncodingChoice::Auto;
    CheckChoice checks;
    std::deque<Answer> answers;
    bool printerConfirmed = true;

    std::vector<std::string> calls;
    std::vector<std::u16string> items;
    // As a front end that only counts the list's items.
    bool showsItems = true;
    // Whether the result text is taken in UTF-8, as the command line takes it.
    bool utf8Text = false;
    std::u16string resultField = u"結果";
    std::vector<std::u16string> questions;
    std::vector<std::u16string> messages;
    // Of each error, where it arose.
    std::vector<ErrorPlace> places;
    // Calls that change what the user sees; the getters are left out so that
    // a test of the visible sequence does not depend on how often a field is read.
    std::vector<std::string> visible;

    std::u16string toleranceText() override { return record("toleranceText"), toleranceField; }
    void setToleranceText(const std::u16string& text) override {
        show("setToleranceText:" + toUtf8(text));
        toleranceField = text;
    }
    std::u16string lowerBoundText() override { return record("lowerBoundText"), lowerField; }
    std::optional<std::filesystem::path> chooseCoordinateFile() override {
        show("chooseCoordinateFile");
        return test::takeNext(files, std::optional<std::filesystem::path>());
    }
    EncodingChoice coordinateFileEncoding() override {
        return record("coordinateFileEncoding"), encoding;
    }
    // Not recorded: the sequences the tests expect are those of the default
    // checks, whoever asks which checks to make.
    CheckChoice checkChoice() override { return checks; }
    bool choosePrinter() override { return show("choosePrinter"), printerConfirmed; }
    void setStatusText(const std::u16string& text) override {
        show("setStatusText:" + toUtf8(text));
    }
    void setStatusColor(Rgb c) override {
        show("setStatusColor:" + std::to_string(c.r) + "," + std::to_string(c.g) + "," +
             std::to_string(c.b));
    }
    void setBusyCursor(bool on) override { show(on ? "setBusyCursor:on" : "setBusyCursor:off"); }
    void redraw() override { show("redraw"); }
    void clearResultList() override {
        show("clearResultList");
        items.clear();
    }
    bool showsResultItems() override { return showsItems; }
    void addResultItem(const std::u16string& text) override {
        record("addResultItem");
        items.push_back(text);
    }
    std::int32_t resultItemCount() override {
        record("resultItemCount");
        return static_cast<std::int32_t>(items.size());
    }
    std::u16string resultText() override { return record("resultText"), resultField; }
    void setResultText(const std::u16string& text) override {
        show(text.empty() ? "setResultText:empty" : "setResultText");
        resultField = text;
    }
    void appendResultText(const std::u16string& text) override {
        show("setResultText");
        resultField += text;
    }
    bool keepsResultTextInUtf8() override { return utf8Text; }
    void appendResultTextUtf8(std::string text) override {
        show("setResultText");
        resultField += toUtf16(text);
    }
    Answer askYesNo(const std::u16string& prompt) override {
        show("askYesNo");
        questions.push_back(prompt);
        return test::takeNext(answers, Answer::Yes);
    }
    void showError(const std::u16string& message, const ErrorPlace& place) override {
        show("showError");
        messages.push_back(message);
        places.push_back(place);
    }
    void showMessage(const std::u16string& text) override {
        show("showMessage");
        messages.push_back(text);
    }

private:
    void record(const std::string& call) { calls.push_back(call); }
    void show(const std::string& call) {
        record(call);
        visible.push_back(call);
    }
};

} // namespace morvane
