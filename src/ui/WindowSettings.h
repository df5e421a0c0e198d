#pragma once

#include <filesystem>

#include <QString>

namespace morvane {

// Names the application for QSettings, which files the window's settings
// under them (~/.config/morvane/morvane.conf on Linux). Without an
// organisation name QSettings reads and writes nothing.
void setApplicationNames();

// The folder the open dialog starts in: that of the last checked file, kept
// across sessions. Empty on a first start or when that folder is gone, and
// the dialog then opens where it always has.
QString lastCheckedFolder();

// Remembers the folder of a file about to be checked, however it was chosen.
void rememberCheckedFile(const std::filesystem::path& file);

// Whether a run also checks point numbers, as the user last chose in the
// result text's menu; off until then.
bool checkingPointNumbers();
void rememberCheckingPointNumbers(bool on);

// Whether the name check compares names as they read (full-width and
// half-width forms alike), as the user last chose; off until then.
bool comparingLookAlikeNames();
void rememberComparingLookAlikeNames(bool on);

} // namespace morvane
