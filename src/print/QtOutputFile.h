#pragma once

#include "core/OutputPlace.h"

#include <filesystem>
#include <memory>
#include <string>

#include <QTemporaryFile>

namespace morvane {

// Qt Gui for a program without a window (morvane-check): made on the offscreen
// platform when the process has no application yet, and kept while this
// object lives. Qt's warnings (a missing runtime folder on a server, font
// notes) are not the user's concern; the writers report every failure.
class OffscreenGui {
public:
    OffscreenGui();
    ~OffscreenGui();
    OffscreenGui(const OffscreenGui&) = delete;
    OffscreenGui& operator=(const OffscreenGui&) = delete;

private:
    struct Application;
    std::unique_ptr<Application> m_app;
};

// A file written beside its target and moved into place only when whole, so
// a failure leaves an existing target as it was. Only a regular file or a
// free name is a target, a symbolic link written through (outputPlace).
// Failures throw std::runtime_error: "cannot write WHAT TARGET: why".
class QtOutputFile {
public:
    QtOutputFile(const std::filesystem::path& target, std::string what);

    QIODevice& device() { return m_temp; }
    // Flushes, gives the file the usual permissions and renames it over the
    // target.
    void commit();
    [[noreturn]] void fail(const std::string& why) const;

private:
    std::filesystem::path m_target;
    std::string m_what;
    // The file replaced: the target, or the file its link leads to.
    OutputPlace m_place;
    QTemporaryFile m_temp;
};

} // namespace morvane
