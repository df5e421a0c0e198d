#include "print/Fonts.h"
#include "ui/AppIcon.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "ui/WindowArguments.h"
#include "ui/WindowSettings.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

namespace {

enum ExitStatus { Done = 0, Failed = 2 };

std::vector<std::string> argumentsOf(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

QtMessageHandler qtMessages = nullptr;

// While Qt opens the display: a display that is named but cannot be reached
// (a closed X server, a dropped ssh forwarding) makes Qt abort with a core
// dump; say so as for no display at all, and leave with the same status.
void startupMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        qtMessages(type, context, message);
        return;
    }
    // Qt's warnings before this one name the display; its own last words
    // advise reinstalling, which would not help.
    std::fputs("morvane: no display could be opened; use morvane-check FILE on a terminal\n",
               stderr);
    std::_Exit(Failed);
}

} // namespace

int main(int argc, char** argv) {
    // Help and version need no display, so they are answered before Qt starts.
    const morvane::WindowArguments early = morvane::parseWindowArguments(argumentsOf(argc, argv));
    if (early.help) {
        std::fputs(morvane::WindowUsage, stdout);
        return Done;
    }
    if (early.version) {
        std::puts("morvane " MORVANE_VERSION);
        return Done;
    }
    if (!morvane::displayAvailable(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                                   std::getenv("QT_QPA_PLATFORM"), argumentsOf(argc, argv))) {
        std::fputs("morvane: no display; use morvane-check FILE on a terminal\n", stderr);
        return Failed;
    }

    qtMessages = qInstallMessageHandler(startupMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtMessages);
    // Qt has taken its own options out of argv; what is left is ours.
    const morvane::WindowArguments arguments =
        morvane::parseWindowArguments(argumentsOf(argc, argv));
    if (!arguments.error.empty()) {
        std::fprintf(stderr, "morvane: %s\nTry 'morvane --help'.\n", arguments.error.c_str());
        return Failed;
    }

    // Before the window, which reads its settings under these names.
    morvane::setApplicationNames();
    QApplication::setDesktopFileName(QStringLiteral("morvane"));
    QApplication::setWindowIcon(morvane::applicationIcon());
    morvane::registerFontSubstitutes();
    // The window speaks Japanese whatever the desktop's language; so do Qt's
    // own dialogs (the file and printer dialogs) where Qt's translations are
    // installed.
    const std::unique_ptr<QTranslator> qtJapanese =
        morvane::loadQtJapanese(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (qtJapanese)
        QApplication::installTranslator(qtJapanese.get());

    morvane::MainWindow window;
    window.show();
    if (arguments.file) {
        // Once the event loop runs, so that the user sees the window the check
        // works in. argv holds the file system's own bytes for the name.
        QTimer::singleShot(0, &window, [&window, file = *arguments.file] {
            window.checkFile(std::filesystem::path(file));
        });
    }
    return app.exec();
}
