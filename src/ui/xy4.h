#pragma once

#include "run/UiSink.h"
#include "ui/Dialogs.h"

#include <cstdint>
#include <memory>
#include <optional>

#include <QWidget>

class QLabel;
class QListView;
class QPlainTextEdit;
class QPrinter;
class QPushButton;

namespace morvane {

struct RunData;
class ResultListModel;

// The character filter of the tolerance field: returns the code to insert, 0
// to drop the key. Enter (13) is dropped, so the field stays one line.
std::int16_t Text2_KeyPress(std::int16_t keyAscii);

// The main window. It owns the run's data, shows it through UiSink on its
// controls and hands both clicks to the core; it decides nothing itself.
// Controls carry their names as object names (findChild<...>("Text1")).
class xy4 : public QWidget, public UiSink {
    Q_OBJECT

public:
    // Without dialogs the real ones are used; tests pass scripted ones.
    explicit xy4(std::optional<WindowDialogs> dialogs = std::nullopt, QWidget* parent = nullptr);
    ~xy4() override;

    std::u16string GetToleranceText() override;
    void SetToleranceText(const std::u16string& text) override;
    std::u16string GetLowerBoundText() override;
    std::optional<std::filesystem::path> ChooseCoordinateFile() override;
    bool ChoosePrinter() override;
    void SetStatusText(const std::u16string& text) override;
    void SetStatusBackColor(Rgb color) override;
    void SetBusyCursor(bool on) override;
    void Repaint() override;
    void ClearResultList() override;
    void AddResultItem(const std::u16string& text) override;
    std::int32_t ResultItemCount() override;
    std::u16string GetResultText() override;
    void SetResultText(const std::u16string& text) override;
    Answer AskYesNo(const std::u16string& prompt) override;
    void ShowMessage(const std::u16string& text) override;

signals:
    // After every Start click, once the window shows the outcome.
    void runEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startRun();
    void printReport();
    // Puts list items and result text that a run has produced since the last
    // call into their controls. Until then nothing can be painted or read by
    // the user, because a run does not return to the event loop.
    void showPending();
    QPrinter& printer();

    std::unique_ptr<RunData> m_data;
    WindowDialogs m_dialogs;
    std::unique_ptr<QPrinter> m_printer;

    QPushButton* Command1;
    QLabel* Label2;
    QPlainTextEdit* Text1;
    QLabel* Label3;
    QPlainTextEdit* Text2;
    QLabel* Label1;
    QPushButton* Command2;
    QPlainTextEdit* Text3;
    QListView* List1;
    ResultListModel* m_list;

    // Set by a run and not yet in Text3 (see showPending).
    std::u16string m_pendingResultText;
    bool m_resultPending = false;
    bool m_busy = false;
};

} // namespace morvane
