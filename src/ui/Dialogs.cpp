#include "ui/Dialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

namespace morvane {

namespace {

// One entry described by its extensions, as the open dialog has always shown
// it, the map sheets and their archives after the coordinate files. Qt's own
// dialog matches the patterns in any case; a desktop's dialog (GTK's) may
// match them as written, so they are listed in both cases.
const QString CoordinateFileFilter =
    QStringLiteral("*.dat;*.sim;*.sct;*.xml;*.zip (*.dat *.sim *.sct *.xml *.zip "
                   "*.DAT *.SIM *.SCT *.XML *.ZIP)");

// A run keeps the busy pointer on while it asks its question; over the box
// itself the user needs the ordinary arrow to answer.
class ArrowWhileModal {
public:
    ArrowWhileModal() : m_pushed(QGuiApplication::overrideCursor() != nullptr) {
        if (m_pushed)
            QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~ArrowWhileModal() {
        if (m_pushed)
            QGuiApplication::restoreOverrideCursor();
    }
    ArrowWhileModal(const ArrowWhileModal&) = delete;
    ArrowWhileModal& operator=(const ArrowWhileModal&) = delete;

private:
    bool m_pushed;
};

std::unique_ptr<QMessageBox> makeBox(QWidget* parent, const QString& text) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(QString::fromUtf16(ApplicationTitle));
    box->setIcon(QMessageBox::NoIcon);
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    return box;
}

// In the file system's own encoding of the names, not UTF-16.
std::vector<std::filesystem::path> chosenFiles(QFileDialog& dialog) {
    std::vector<std::filesystem::path> files;
    if (dialog.exec() != QDialog::Accepted)
        return files;
    for (const QString& file : dialog.selectedFiles())
        files.emplace_back(QFile::encodeName(file).toStdString());
    return files;
}

std::optional<std::filesystem::path> chosenFile(QFileDialog& dialog) {
    auto files = chosenFiles(dialog);
    if (files.empty())
        return std::nullopt;
    return std::move(files.front());
}

} // namespace

std::unique_ptr<QMessageBox> makeQuestionBox(QWidget* parent, const QString& prompt) {
    auto box = makeBox(parent, prompt);
    box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    // Japanese whether or not Qt's translations are installed, and without
    // the "(Y)" they add; Y and N still answer, as they did in English.
    box->button(QMessageBox::Yes)->setText(QStringLiteral(u"はい"));
    box->button(QMessageBox::Yes)->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Y));
    box->button(QMessageBox::No)->setText(QStringLiteral(u"いいえ"));
    box->button(QMessageBox::No)->setShortcut(QKeySequence(Qt::ALT | Qt::Key_N));
    box->setDefaultButton(QMessageBox::Yes);
    // Closing the box with Escape or the frame's button answers No.
    box->setEscapeButton(QMessageBox::No);
    return box;
}

std::unique_ptr<QMessageBox> makeNoticeBox(QWidget* parent, const QString& text) {
    auto box = makeBox(parent, text);
    box->setStandardButtons(QMessageBox::Ok);
    box->setDefaultButton(QMessageBox::Ok);
    return box;
}

std::unique_ptr<QFileDialog> makeCoordinateFileDialog(QWidget* parent, const QString& startFolder) {
    auto dialog = std::make_unique<QFileDialog>(parent);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    // Several files are checked together as one job.
    dialog->setFileMode(QFileDialog::ExistingFiles);
    dialog->setNameFilter(CoordinateFileFilter);
    if (!startFolder.isEmpty())
        dialog->setDirectory(startFolder);
    return dialog;
}

std::unique_ptr<QFileDialog> makeSaveFileDialog(QWidget* parent, const QString& suggestedFile,
                                                const QString& nameFilter) {
    auto dialog = std::make_unique<QFileDialog>(parent);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(nameFilter);
    dialog->setDefaultSuffix(QFileInfo(suggestedFile).suffix());
    // A full path: the dialog opens in its folder with its name typed in.
    dialog->selectFile(suggestedFile);
    return dialog;
}

std::unique_ptr<QTranslator> loadQtJapanese(const QString& folder) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                          folder))
        return nullptr;
    return translator;
}

WindowDialogs realDialogs(std::function<bool(QWidget* parent)> choosePrinter) {
    WindowDialogs dialogs;
    dialogs.chooseCoordinateFiles = [](QWidget* parent, const QString& startFolder) {
        ArrowWhileModal arrow;
        return chosenFiles(*makeCoordinateFileDialog(parent, startFolder));
    };
    dialogs.chooseSaveFile = [](QWidget* parent, const QString& suggestedFile,
                                const QString& nameFilter) {
        ArrowWhileModal arrow;
        return chosenFile(*makeSaveFileDialog(parent, suggestedFile, nameFilter));
    };
    dialogs.choosePrinter = [choose = std::move(choosePrinter)](QWidget* parent) {
        ArrowWhileModal arrow;
        return choose(parent);
    };
    dialogs.askYesNo = [](QWidget* parent, const QString& prompt) {
        ArrowWhileModal arrow;
        auto box = makeQuestionBox(parent, prompt);
        return box->exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    };
    dialogs.showMessage = [](QWidget* parent, const QString& text) {
        ArrowWhileModal arrow;
        makeNoticeBox(parent, text)->exec();
    };
    return dialogs;
}

} // namespace morvane
