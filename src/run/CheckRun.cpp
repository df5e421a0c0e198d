#include "run/CheckRun.h"

#include "checks/CoincidentPoints.h"
#include "checks/DuplicateNames.h"
#include "checks/KeySort.h"
#include "input/CoordinateFile.h"
#include "input/CoordinateReader.h"
#include "run/LeadingNumber.h"
#include "run/RunData.h"
#include "run/RunError.h"
#include "run/Text.h"
#include "run/UiSink.h"

namespace morvane {

namespace {

constexpr double MaxTolerance = 9.99;
const std::u16string DefaultTolerance = u"0.05";
constexpr std::u16string_view LineBreak = u"\r\n";

void validateTolerance(UiSink& ui) {
    // Two separate reads, as a user may watch the field change: both tests
    // are strict, so 0 and 9.99 stay.
    if (leadingNumber(ui.GetToleranceText()) < 0)
        ui.SetToleranceText(DefaultTolerance);
    if (leadingNumber(ui.GetToleranceText()) > MaxTolerance)
        ui.SetToleranceText(DefaultTolerance);
}

void showStatus(UiSink& ui, const std::u16string& text) {
    ui.SetStatusText(text);
    ui.Repaint();
}

// Report lines 1..ReportPos-1, each with CR LF, then one more CR LF for the
// always-empty line at ReportPos, appended to the result text in one go.
void putReportIntoResultText(const RunData& d, UiSink& ui) {
    if (d.ReportPos < 1)
        return;
    std::u16string text = ui.GetResultText();
    std::size_t size = text.size() + LineBreak.size();
    for (std::int32_t i = 1; i < d.ReportPos; ++i)
        size += d.ReportLine[i].size() + LineBreak.size();
    text.reserve(size);
    for (std::int32_t i = 1; i < d.ReportPos; ++i) {
        text += d.ReportLine[i];
        text += LineBreak;
    }
    text += LineBreak;
    ui.SetResultText(text);
}

} // namespace

void Command1_Click(RunData& d, UiSink& ui) {
    validateTolerance(ui);
    shokika(d, ui);

    const auto path = ui.ChooseCoordinateFile();
    if (!path) {
        putReportIntoResultText(d, ui);
        ui.SetStatusBackColor(StatusIdleColor);
        return;
    }

    ui.SetStatusBackColor(StatusBusyColor);
    ui.SetStatusText(u"  座標読み込み中");
    ui.SetBusyCursor(true);
    ui.Repaint();

    CoordinateFile file(*path);
    ui.SetBusyCursor(true);
    ui.Repaint();
    readCoordinates(d, file.fields());

    showStatus(ui, u"  名称検査中");
    SHELLSORT(d);
    d.ReportPos = 1;
    DuplicateNameCheck(d, ui);
    file.close();

    showStatus(ui, u"  座標検査中");
    CoincidentPointCheck(d, ui);

    ui.SetStatusText(u"");
    ui.SetBusyCursor(false);
    ui.Repaint();

    // Every finding adds four items, so fewer than two means none at all.
    if (ui.ResultItemCount() < 2)
        ui.AddResultItem(u"同一座標はありませんでした");
    putReportIntoResultText(d, ui);
    ui.SetStatusBackColor(StatusIdleColor);
}

void abandonRun(RunData& d, UiSink& ui, const std::exception& error) {
    // A partial check must not pass for a whole one, on screen or on paper.
    d.ReportPos = 0;
    ui.ClearResultList();
    ui.SetResultText(u"");
    ui.SetBusyCursor(false);
    ui.SetStatusText(u"");
    ui.SetStatusBackColor(StatusIdleColor);
    ui.Repaint();
    if (const auto* e = dynamic_cast<const RunError*>(&error))
        ui.ShowMessage(runErrorText(*e, LineBreak));
    else
        ui.ShowMessage(u"予期しないエラーが発生しました。\r\n" + toUtf16(error.what()));
}

} // namespace morvane
