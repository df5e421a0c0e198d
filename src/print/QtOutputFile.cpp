#include "print/QtOutputFile.h"

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>

#include <QFile>
#include <QGuiApplication>

namespace morvane {

namespace fs = std::filesystem;

namespace {

void keepSeriousQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "morvane-check: Qt: %s\n", qPrintable(text));
}

// The permissions a file created by this process gets; the temporary file is
// created private and must not stay that way once it is the output.
fs::perms createdFilePerms() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<fs::perms>(0666 & ~mask);
}

} // namespace

struct OffscreenGui::Application {
    // QGuiApplication keeps references to argc and argv for its lifetime.
    int argc = 1;
    char name[14] = "morvane-check";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QGuiApplication> app;
};

OffscreenGui::OffscreenGui() {
    if (QCoreApplication::instance())
        return;
    qInstallMessageHandler(keepSeriousQtMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    m_app = std::make_unique<Application>();
    m_app->app = std::make_unique<QGuiApplication>(m_app->argc, m_app->argv);
}

OffscreenGui::~OffscreenGui() = default;

QtOutputFile::QtOutputFile(const fs::path& target, std::string what)
    : m_target(target), m_what(std::move(what)), m_place(outputPlace(target)),
      m_temp(QFile::decodeName(
          ((m_place.file.has_parent_path() ? m_place.file.parent_path() : fs::path(".")) /
           ("." + m_place.file.filename().string() + ".XXXXXX"))
              .c_str())) {
    if (!m_place.refusal.empty())
        fail(m_place.refusal);
    if (!m_temp.open())
        fail(m_temp.errorString().toStdString());
}

void QtOutputFile::commit() {
    // Qt's writers do not report a failed write (a full disk); the file does,
    // though Qt has no words for why.
    if (!m_temp.flush() || m_temp.error() != QFileDevice::NoError)
        fail("the file could not be written in full");
    // Looked at again: the target may have become something else while the
    // output was drawn.
    const OutputPlace place = outputPlace(m_place.file);
    if (!place.refusal.empty())
        fail(place.refusal);
    const fs::path written(QFile::encodeName(m_temp.fileName()).toStdString());
    std::error_code ec;
    fs::permissions(written, createdFilePerms(), ec);
    fs::rename(written, m_place.file, ec);
    if (ec)
        fail(ec.message());
    m_temp.setAutoRemove(false);
}

void QtOutputFile::fail(const std::string& why) const {
    throw std::runtime_error("cannot write " + m_what + " " + m_target.string() + ": " + why);
}

} // namespace morvane
