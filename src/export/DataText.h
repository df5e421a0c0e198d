#pragma once

#include "core/Finding.h"
#include "core/RunSummary.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace morvane {

// The pieces of text the data formats share.

// A path as given, in UTF-8; bytes that are no UTF-8 become U+FFFD, so that
// every format stays valid text.
std::string pathText(const std::filesystem::path& path);

// "duplicate_name", "coincident_point" or "duplicate_number".
std::string_view kindName(FindingKind kind);

// A JSON string literal, quotes included: quote, backslash and control
// characters escaped, everything else as the UTF-8 it is.
std::string jsonString(std::string_view utf8);

// A JSON number in plain decimals; null for a value that is no number (a
// distance beyond the range of a double).
std::string jsonNumber(double value);

// "answer" (stopped after too many findings) or "report_full"; empty for a
// check that ran to its end.
std::string_view checkEndName(CheckEnd end);

} // namespace morvane
