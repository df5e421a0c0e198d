#pragma once

namespace morvane {

struct RunData;
class UiSink;

// Reports every pair of points with the same (non-blank) name, walking the
// points in name-key order (SHELLSORT must have run). Asks whether to stop
// once the report passes 1001 findings.
void DuplicateNameCheck(RunData& d, UiSink& ui);

} // namespace morvane
