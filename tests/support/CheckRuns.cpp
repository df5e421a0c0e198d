#include "support/CheckRuns.h"

#include "core/RunError.h"
#include "run/CheckRun.h"

namespace morvane::test {

std::int32_t runFile(PointTable& table, RecordingUiSink& ui, const std::filesystem::path& file) {
    ui.files.push_back(file);
    try {
        runCheck(table, ui);
        return Completes;
    } catch (const RunError& e) {
        abandonRun(table, ui, e);
        return e.number();
    }
}

} // namespace morvane::test
