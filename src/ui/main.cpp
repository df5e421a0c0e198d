#include "ui/Fonts.h"
#include "ui/xy4.h"

#include <QApplication>
#include <QFile>
#include <QIcon>

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

    morvane::xy4 window;
    const QString dumpPath = qEnvironmentVariable(ResultDumpVariable);
    if (!dumpPath.isEmpty())
        QObject::connect(&window, &morvane::xy4::runEnded, &window,
                         [&window, dumpPath] { dumpResultText(window, dumpPath); });
    window.show();
    return app.exec();
}
