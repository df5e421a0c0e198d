#include "print/Fonts.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

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

    morvane::MainWindow window;
    window.show();
    return app.exec();
}
