#include "support/CheckRuns.h"

#include "core/RunError.h"
#include "run/CheckRun.h"

namespace morvane::test {

std::int32_t runFile(PointTable& table, RecordingUiSink& ui, const std::filesystem::path& file) {
    ui.files.push_back(file);
    const auto run = runFileCheck(table, ui);
    if (!run || run->last.summary)
        return Completes;
    return run->last.error->number();
}

} // namespace morvane::test
