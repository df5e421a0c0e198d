#pragma once

#include "core/RunSummary.h"

#include <string_view>

namespace morvane {

struct PointTable;
class UiSink;

// Reports every pair of points with the same (non-blank) name, walking the
// points in name-key order (sortByKey must have run). Asks whether to stop
// once the report passes 1001 findings.
CheckEnd checkDuplicateNames(PointTable& table, UiSink& ui);

// The name key of a text, as the reader gives each name (NameKey).
using NameKeyOf = double (*)(std::u16string_view text);

// The same for names that read alike (lookAlikeForm): the table as the
// reader leaves it, each point in its own sort position with the key of its
// name; a point whose name changes in its look-alike form is keyed by that
// form instead, and the points are then sorted, so that the findings come in
// the order of the forms' keys. The report shows the names as written.
CheckEnd checkLookAlikeNames(PointTable& table, UiSink& ui, NameKeyOf nameKey);

} // namespace morvane
