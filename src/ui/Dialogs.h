#pragma once

#include "core/UiSink.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QString>

class QFileDialog;
class QMessageBox;
class QTranslator;
class QWidget;

namespace morvane {

// The title of every message box, as the window's caption carries the version.
inline constexpr char16_t ApplicationTitle[] = u"Morvane";

// The modal dialogs of the window, one function each, so that a test can
// script them (next file or cancel, next answer) instead of clicking real ones.
// Texts arrive with LF line breaks.
struct WindowDialogs {
    // Opens in startFolder; in the dialog's own choice when that is empty.
    // Several files may be chosen, to be checked together; none when the user
    // cancels.
    std::function<std::vector<std::filesystem::path>(QWidget* parent, const QString& startFolder)>
        chooseCoordinateFiles;
    // A file to write: the dialog proposes suggestedFile (a full path) and
    // offers nameFilter ("PDF (*.pdf)"); a name typed without an extension
    // gets the suggested file's. Empty when the user cancels.
    std::function<std::optional<std::filesystem::path>(
        QWidget* parent, const QString& suggestedFile, const QString& nameFilter)>
        chooseSaveFile;
    std::function<bool(QWidget* parent)> choosePrinter;
    std::function<Answer(QWidget* parent, const QString& prompt)> askYesNo;
    std::function<void(QWidget* parent, const QString& text)> showMessage;
};

// The real dialogs. choosePrinter is given by the caller: it needs the
// printer that the print command then prints on.
WindowDialogs realDialogs(std::function<bool(QWidget* parent)> choosePrinter);

// The boxes and the file dialog as the real functions show them; separate so
// that their settings can be checked without running them.
std::unique_ptr<QMessageBox> makeQuestionBox(QWidget* parent, const QString& prompt);
std::unique_ptr<QMessageBox> makeNoticeBox(QWidget* parent, const QString& text);
std::unique_ptr<QFileDialog> makeCoordinateFileDialog(QWidget* parent,
                                                      const QString& startFolder = QString());
std::unique_ptr<QFileDialog> makeSaveFileDialog(QWidget* parent, const QString& suggestedFile,
                                                const QString& nameFilter);

// Qt's own Japanese texts (qtbase_ja.qm in folder) for the buttons and
// labels of its file and print dialogs and of the text fields' menus. Empty
// when the file is missing: the program runs on with Qt's English there.
std::unique_ptr<QTranslator> loadQtJapanese(const QString& folder);

} // namespace morvane
