#pragma once

#include "run/Text.h"
#include "run/UiSink.h"

#include <deque>
#include <string>
#include <vector>

namespace morvane {

// A window that records every operation, in order, as one line of text
// ("SetStatusText:  座標読み込み中"), and answers from a script: the next file
// (or a cancel), the next Yes/No (Yes when the script is empty, as Enter
// would). The list, the result text and the fields behave like the real ones.
class RecordingUiSink : public UiSink {
public:
    std::u16string toleranceText = u"0.05\r\n";
    std::u16string lowerText = u"0\r\n";
    std::deque<std::optional<std::filesystem::path>> files;
    std::deque<Answer> answers;
    bool printerConfirmed = true;

    std::vector<std::string> calls;
    std::vector<std::u16string> items;
    std::u16string resultText = u"結果";
    std::vector<std::u16string> questions;
    std::vector<std::u16string> messages;
    // Calls that change what the user sees; the getters are left out so that
    // a test of the visible sequence does not depend on how often a field is read.
    std::vector<std::string> visible;

    std::u16string GetToleranceText() override { return record("GetToleranceText"), toleranceText; }
    void SetToleranceText(const std::u16string& text) override {
        show("SetToleranceText:" + toUtf8(text));
        toleranceText = text;
    }
    std::u16string GetLowerBoundText() override { return record("GetLowerBoundText"), lowerText; }
    std::optional<std::filesystem::path> ChooseCoordinateFile() override {
        show("ChooseCoordinateFile");
        if (files.empty())
            return std::nullopt;
        auto next = files.front();
        files.pop_front();
        return next;
    }
    bool ChoosePrinter() override { return show("ChoosePrinter"), printerConfirmed; }
    void SetStatusText(const std::u16string& text) override {
        show("SetStatusText:" + toUtf8(text));
    }
    void SetStatusBackColor(Rgb c) override {
        show("SetStatusBackColor:" + std::to_string(c.r) + "," + std::to_string(c.g) + "," +
             std::to_string(c.b));
    }
    void SetBusyCursor(bool on) override { show(on ? "SetBusyCursor:on" : "SetBusyCursor:off"); }
    void Repaint() override { show("Repaint"); }
    void ClearResultList() override {
        show("ClearResultList");
        items.clear();
    }
    void AddResultItem(const std::u16string& text) override {
        record("AddResultItem");
        items.push_back(text);
    }
    std::int32_t ResultItemCount() override {
        record("ResultItemCount");
        return static_cast<std::int32_t>(items.size());
    }
    std::u16string GetResultText() override { return record("GetResultText"), resultText; }
    void SetResultText(const std::u16string& text) override {
        show(text.empty() ? "SetResultText:empty" : "SetResultText");
        resultText = text;
    }
    Answer AskYesNo(const std::u16string& prompt) override {
        show("AskYesNo");
        questions.push_back(prompt);
        if (answers.empty())
            return Answer::Yes;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void ShowMessage(const std::u16string& text) override {
        show("ShowMessage");
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
