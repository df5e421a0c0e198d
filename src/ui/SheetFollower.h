#pragma once

#include "core/RunSummary.h"
#include "core/UiSink.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QObject>

class QPlainTextEdit;

namespace morvane {

struct CheckedUnit;
struct PathRun;
struct PointTable;

// After a check of several sheets the result text holds every sheet's report,
// but the table only the last sheet. When the cursor enters another sheet's
// report, its sheet is checked again, alone, with the band and the answers of
// the run, so that the result list and the plot (through `shown`) follow the
// sheet the user reads. The result text itself is left as it is.
class SheetFollower : public QObject {
    Q_OBJECT

public:
    // What the window does with a sheet now in the table: its summary, the
    // line of the result text where its report starts, the name to show.
    using SheetShown = std::function<void(const RunSummary& run, std::int32_t firstLine,
                                          const std::filesystem::path& name)>;

    // The list calls go to `window`, which owns the result list.
    SheetFollower(QPlainTextEdit* resultText, PointTable& table, UiSink& window, SheetShown shown);

    void runStarting();
    void unitStarting();
    // An answer the user gave to the current unit's question.
    void answered(Answer answer);
    void unitDone(const CheckedUnit& unit);
    // The run is complete; the table holds its last unit.
    void runEnded(const PathRun& run);
    // Makes the table hold the unit whose report holds this line (0-based)
    // of the result text, when it is another that completed.
    void followLine(int line);

private:
    struct Unit {
        std::filesystem::path name;
        std::int32_t firstLine = 0;
        std::optional<RunSummary> summary;
        std::deque<Answer> answers;
    };

    void followCursor();
    void showUnit(std::size_t unit);

    QPlainTextEdit* m_text;
    PointTable& m_table;
    UiSink& m_window;
    SheetShown m_shown;
    std::filesystem::path m_path;
    std::u16string m_lower;
    std::u16string m_tolerance;
    std::vector<Unit> m_units;
    // The unit the table holds; none while a run works or when it was not
    // one of several.
    std::optional<std::size_t> m_tableUnit;
};

} // namespace morvane
