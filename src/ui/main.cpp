#include "ui/Fonts.h"
#include "ui/xy4.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// For the end-to-end test, which drives the real window with real input
// events: after each Start the result text is written here, UTF-8 as shown.
constexpr char ResultDumpVariable[] = "MORVANE_RESULT_DUMP";

void dumpResultText(morvane::xy4& window, const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QString::fromStdU16String(window.GetResultText()).toUtf8());
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("morvane"));
    QApplication::setDesktopFileName(QStringLiteral("morvane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/morvane/morvane.png")));
    morvane::registerFontSubstitutes();
    // The window speaks Japanese whatever the desktop's language; so do Qt's
    // own buttons and dialogs (Yes and No, the file and printer dialogs).
    QTranslator qtJapanese;
    if (qtJapanese.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtJapanese);

    morvane::xy4 window;
    const QString dumpPath = qEnvironmentVariable(ResultDumpVariable);
    if (!dumpPath.isEmpty())
        QObject::connect(&window, &morvane::xy4::runEnded, &window,
                         [&window, dumpPath] { dumpResultText(window, dumpPath); });
    window.show();
    return app.exec();
}
