#include "ui/WindowSettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace morvane {

namespace {

const QString LastCheckedFolderKey = QStringLiteral("files/lastCheckedFolder");
const QString CheckPointNumbersKey = QStringLiteral("checks/pointNumbers");
const QString LookAlikeNamesKey = QStringLiteral("checks/lookAlikeNames");

} // namespace

void setApplicationNames() {
    QCoreApplication::setOrganizationName(QStringLiteral("morvane"));
    QCoreApplication::setApplicationName(QStringLiteral("morvane"));
}

QString lastCheckedFolder() {
    const QString folder = QSettings().value(LastCheckedFolderKey).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void rememberCheckedFile(const std::filesystem::path& file) {
    // Absolute: a file named on the command line is relative to a working
    // folder that the next session need not share.
    const QString folder = QFileInfo(QFile::decodeName(file.c_str())).absolutePath();
    // Each setting written is a file synced to disk, on the way from the
    // chosen file to its findings: not again for the same folder.
    QSettings settings;
    if (settings.value(LastCheckedFolderKey).toString() != folder)
        settings.setValue(LastCheckedFolderKey, folder);
}

bool checkingPointNumbers() {
    return QSettings().value(CheckPointNumbersKey, false).toBool();
}

void rememberCheckingPointNumbers(bool on) {
    QSettings().setValue(CheckPointNumbersKey, on);
}

bool comparingLookAlikeNames() {
    return QSettings().value(LookAlikeNamesKey, false).toBool();
}

void rememberComparingLookAlikeNames(bool on) {
    QSettings().setValue(LookAlikeNamesKey, on);
}

} // namespace morvane
