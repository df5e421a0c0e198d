#include "ui/MainWindow.h"

#include "core/NumberFormat.h"
#include "core/PointTable.h"
#include "core/UnitName.h"
#include "print/Fonts.h"
#include "run/CheckRun.h"
#include "ui/AppIcon.h"
#include "ui/CheckOptions.h"
#include "ui/PrinterDialog.h"
#include "ui/ReportCommands.h"
#include "ui/ResultListModel.h"
#include "ui/ResultTextFiller.h"
#include "ui/SheetFollower.h"
#include "ui/TextPlotLink.h"
#include "ui/WindowControls.h"
#include "ui/WindowSettings.h"

#include <stdexcept>
#include <utility>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>

namespace morvane {

namespace {

constexpr int ClientWidth = 7890;
constexpr int ClientHeight = 10050;
const QColor WindowColor(211, 248, 244);
const QColor LabelColor(255, 255, 250);
const QColor ListColor(255, 255, 250);
const QColor StatusColor(255, 255, 255);

constexpr std::int16_t CarriageReturn = 13;

const QString Caption = QStringLiteral(u"Morvane　V1.2");

// "sample.sim（25点）較差 0 ≤ d < 0.05 m - Morvane　V1.2": which file the
// results are of (an archive of several sheets with the points of all the
// sheets checked; a job of several files by its name, "site1.sim ほか 1
// ファイル"), and the band they were found in, as the fields may have changed
// since.
QString runTitle(const PathRun& run) {
    return QFile::decodeName(run.file.filename().c_str()) + QStringLiteral(u"（") +
           QString::number(run.points) + QStringLiteral(u"点）較差 ") +
           QString::fromStdU16String(formatShortest(run.lower)) + QStringLiteral(u" ≤ d < ") +
           QString::fromStdU16String(formatShortest(run.tolerance)) + QStringLiteral(u" m - ") +
           Caption;
}

bool isEnter(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

// The character code a key types, as the field's filter sees it: Enter on
// either keypad is 13, keys that type nothing are 0.
std::int16_t characterCode(const QKeyEvent& key) {
    if (isEnter(key))
        return CarriageReturn;
    const QString text = key.text();
    return text.isEmpty() ? 0 : static_cast<std::int16_t>(text.front().unicode());
}

// The local files that a drag carries, several to be checked together;
// nothing when one of them is a folder or no file at all.
std::vector<std::filesystem::path> draggedFiles(const QMimeData* data) {
    std::vector<std::filesystem::path> files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        const QString file = url.isLocalFile() ? url.toLocalFile() : QString();
        if (file.isEmpty() || QFileInfo(file).isDir())
            return {};
        files.emplace_back(QFile::encodeName(file).toStdString());
    }
    return files;
}

} // namespace

std::int16_t filterNumberFieldKey(std::int16_t key) {
    return key == CarriageReturn ? 0 : key;
}

MainWindow::MainWindow(std::optional<WindowDialogs> dialogs, QWidget* parent)
    : QWidget(parent), m_table(std::make_unique<PointTable>()) {
    m_dialogs = dialogs ? std::move(*dialogs) : realDialogs([this](QWidget* owner) {
        return showPrinterDialog(m_reports->printer(), owner);
    });

    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(Caption);
    setWindowIcon(applicationIcon());
    // The window's own font, used by the one control without a font: m_toLabel.
    setFont(proportionalGothicFont(9));
    setBackColor(this, WindowColor);
    resize(pixels(ClientWidth), pixels(ClientHeight));

    // No layout: the controls keep their designed places whatever the window's
    // size, and a wider window brings the result list into view.
    m_startButton = makeButton(this, "startButton", QStringLiteral(u"開始"), gothicFont(11.25));
    m_startButton->setGeometry(twips(120, 120, 975, 375));

    m_bandLabel = makeLabel(this, "bandLabel", QStringLiteral(u"較差"), LabelColor);
    m_bandLabel->setFont(gothicFont(12));
    m_bandLabel->setGeometry(twips(1200, 160, 495, 255));

    m_lowerField = makeNumberField(this, "lowerField", QStringLiteral("0\n"));
    m_lowerField->setGeometry(twips(1800, 120, 735, 390));

    m_toLabel = makeLabel(this, "toLabel", QStringLiteral(u"から"), WindowColor);
    m_toLabel->setGeometry(twips(2760, 240, 495, 255));

    m_toleranceField = makeNumberField(this, "toleranceField", QStringLiteral("0.05\n"));
    m_toleranceField->setGeometry(twips(3480, 120, 735, 390));
    m_lowerField->installEventFilter(this);
    m_toleranceField->installEventFilter(this);
    setAcceptDrops(true);

    m_status = makeLabel(this, "status", QString(), StatusColor);
    QFont statusFont = proportionalGothicFont(14.25);
    statusFont.setWeight(QFont::Bold);
    m_status->setFont(statusFont);
    // Wide enough for "  座標読み込み中" in its bold face, up to the result
    // text's right edge: the hidden print button leaves the room free.
    m_status->setGeometry(twips(4800, 120, 2895, 375));

    m_printButton =
        makeButton(this, "printButton", QStringLiteral(u"レポートの印刷"), gothicFont(9));
    m_printButton->setGeometry(twips(6480, 120, 1575, 375));
    m_printButton->hide();

    m_resultText = makeField(this, "resultText", QStringLiteral(u"結果"));
    m_resultText->setFont(gothicFont(9));
    m_resultText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_resultText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_resultText->setGeometry(twips(120, 600, 7575, 9255));
    m_resultTextFiller = new ResultTextFiller(m_resultText);

    m_listItems = new ResultListModel(this);
    m_resultList = new QListView(this);
    m_resultList->setObjectName(QStringLiteral("resultList"));
    m_resultList->setModel(m_listItems);
    // Lets the view skip measuring every item of a long list.
    m_resultList->setUniformItemSizes(true);
    m_resultList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_resultList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_resultList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_resultList->setTextElideMode(Qt::ElideNone);
    m_resultList->setFont(gothicFont(11.25));
    QPalette listPalette = m_resultList->palette();
    listPalette.setColor(QPalette::Base, ListColor);
    m_resultList->setPalette(listPalette);
    m_resultList->setGeometry(twips(8040, 600, 8055, 9285));

    // Labels take no focus and the hidden button is skipped.
    setTabOrder(m_startButton, m_toleranceField);
    setTabOrder(m_toleranceField, m_resultList);
    setTabOrder(m_resultList, m_lowerField);
    setTabOrder(m_lowerField, m_resultText);
    m_startButton->setFocus();
    // Start stays no default button, so that Enter in a field does not press
    // it; Enter on Start itself does, as Space does.
    m_startButton->installEventFilter(this);

    connect(m_startButton, &QPushButton::clicked, this, &MainWindow::startRun);
    m_reports = new ReportCommands(this, *this, *m_table, m_dialogs);
    connect(m_printButton, &QPushButton::clicked, m_reports, &ReportCommands::print);

    m_resultText->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_resultText, &QWidget::customContextMenuRequested, this,
            &MainWindow::showResultTextMenu);
    // Before the plot's link: a line of another sheet must be that sheet's
    // before the link reads it.
    m_sheetFollower = new SheetFollower(
        m_resultText, *m_table, *this,
        [this](const RunSummary& run, std::int32_t firstLine, const std::filesystem::path& name) {
            m_plotLink->runShown(run, firstLine, name);
        });
    m_plotLink = new TextPlotLink(this, m_resultText, *m_table);
    m_plotLink->setLineReader([this](int line) {
        m_resultTextFiller->reachLine(line);
        m_sheetFollower->followLine(line);
    });
    m_checkOptions = new CheckOptions(this);
}

MainWindow::~MainWindow() {
    if (m_busy)
        QGuiApplication::restoreOverrideCursor();
}

void MainWindow::checkFile(const std::filesystem::path& file) {
    checkFiles({file});
}

void MainWindow::checkFiles(std::vector<std::filesystem::path> files) {
    // A drop while a check waits for an answer is ignored: one check at a time.
    if (m_running || files.empty())
        return;
    m_givenFiles = std::move(files);
    startRun();
}

void MainWindow::startRun() {
    // A band that cannot be read starts nothing: the last results stay.
    if (!bandAccepted(*this)) {
        m_givenFiles.clear();
        return;
    }
    m_running = true;
    setWindowTitle(Caption);
    m_reports->runStarting();
    m_plotLink->runStarting();
    m_sheetFollower->runStarting();
    std::optional<PathRun> run;
    try {
        UnitHooks hooks;
        hooks.starting = [this](const CheckedUnit&) { m_sheetFollower->unitStarting(); };
        hooks.done = [this](const PointTable& table, const CheckedUnit& unit) {
            m_reports->unitDone(table, unit);
            m_sheetFollower->unitDone(unit);
        };
        run = runFileCheck(*m_table, *this, hooks);
    } catch (const std::exception& e) { // a bug, or out of memory
        try {
            abandonRun(*m_table, *this, e);
        } catch (...) { // nothing more to report with; keep the window alive
        }
    } catch (...) {
        try {
            abandonRun(*m_table, *this, std::runtime_error("unknown exception"));
        } catch (...) {
        }
    }
    // A run that ended before it asked must not answer the next Start.
    m_givenFiles.clear();
    m_running = false;
    // Whatever ended the run, the pointer must not stay busy.
    setBusyCursor(false);
    showPending();

    std::optional<RunSummary> tableRun;
    std::int32_t firstLine = 0;
    std::filesystem::path checkedFile;
    std::filesystem::path plotName;
    if (run) {
        // The table holds the last unit.
        const CheckedUnit& last = run->last;
        tableRun = last.summary;
        firstLine = last.firstResultLine;
        // Named after the chosen file, whatever it holds: a ZIP of one sheet
        // is the ZIP, as one of several is; the plot shows a sheet of several
        // by its own name.
        if (run->unitCount > 1 || tableRun) {
            checkedFile = run->file;
            setWindowTitle(runTitle(*run));
        }
        if (tableRun)
            plotName = last.ofSeveral() ? shownUnitName(tableRun->file) : run->file.filename();
    }
    m_reports->runEnded(tableRun, checkedFile);
    m_plotLink->runShown(tableRun, firstLine, plotName);
    if (run)
        m_sheetFollower->runEnded(*run);
}

std::unique_ptr<QMenu> MainWindow::makeResultTextMenu(const QPoint& position) {
    // Qt's editing commands first, in the desktop's language.
    std::unique_ptr<QMenu> menu(m_resultText->createStandardContextMenu(position));
    m_plotLink->addMenuEntry(*menu, position);
    m_checkOptions->addTo(*menu);
    menu->addSeparator();
    m_reports->addTo(*menu);
    return menu;
}

void MainWindow::showResultTextMenu(const QPoint& position) {
    // The position is the text's viewport's, as a scroll area reports it.
    makeResultTextMenu(position)->exec(m_resultText->viewport()->mapToGlobal(position));
}

void MainWindow::showPending() {
    m_listItems->flush();
    if (!m_resultPending && m_pendingAddition.empty())
        return;
    if (m_resultPending) {
        m_resultTextFiller->setText(fromCrLf(m_pendingResultText));
        std::u16string().swap(m_pendingResultText);
        m_resultPending = false;
    }
    if (!m_pendingAddition.empty()) {
        // At the end, without setting the text of the units before again.
        m_resultTextFiller->appendText(fromCrLf(m_pendingAddition));
        std::u16string().swap(m_pendingAddition);
    }
    // Its lines are the report's until the user edits them.
    m_resultText->document()->setModified(false);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_startButton && event->type() == QEvent::KeyPress) {
        const auto& key = *static_cast<QKeyEvent*>(event);
        if (isEnter(key)) {
            // Held down, Enter would start one check after another.
            if (!key.isAutoRepeat())
                m_startButton->click();
            return true;
        }
    }
    if ((watched == m_lowerField || watched == m_toleranceField) &&
        event->type() == QEvent::KeyPress) {
        const std::int16_t code = characterCode(*static_cast<QKeyEvent*>(event));
        if (code != 0 && filterNumberFieldKey(code) == 0)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!m_running && !draggedFiles(event->mimeData()).empty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    auto files = draggedFiles(event->mimeData());
    if (files.empty() || m_running)
        return;
    event->acceptProposedAction();
    // After the drop has ended, so that the program the file came from is not
    // kept waiting by the whole check.
    QTimer::singleShot(0, this, [this, paths = std::move(files)] { checkFiles(std::move(paths)); });
}

std::u16string MainWindow::toleranceText() {
    return toCrLf(m_toleranceField->toPlainText());
}

void MainWindow::setToleranceText(const std::u16string& text) {
    m_toleranceField->setPlainText(fromCrLf(text));
}

std::u16string MainWindow::lowerBoundText() {
    return toCrLf(m_lowerField->toPlainText());
}

void MainWindow::refuseBand(BandField field, const std::u16string& message) {
    showMessage(message);
    QPlainTextEdit* text = field == BandField::LowerBound ? m_lowerField : m_toleranceField;
    text->setFocus(Qt::OtherFocusReason);
    text->selectAll();
}

std::optional<std::filesystem::path> MainWindow::chooseCoordinateFile() {
    auto files = chooseCoordinateFiles();
    if (files.empty())
        return std::nullopt;
    return std::move(files.front());
}

std::vector<std::filesystem::path> MainWindow::chooseCoordinateFiles() {
    showPending();
    auto files = !m_givenFiles.empty() ? std::exchange(m_givenFiles, {})
                                       : m_dialogs.chooseCoordinateFiles(this, lastCheckedFolder());
    // A folder given on the command line is no place the user chose files in.
    std::error_code notFolder;
    if (!files.empty() && !std::filesystem::is_directory(files.front(), notFolder))
        rememberCheckedFile(files.front());
    return files;
}

CheckChoice MainWindow::checkChoice() {
    return m_checkOptions->choice();
}

bool MainWindow::choosePrinter() {
    if (m_reports->savingPdf())
        return true;
    showPending();
    return m_dialogs.choosePrinter(this);
}

void MainWindow::setStatusText(const std::u16string& text) {
    m_status->setText(QString::fromStdU16String(text));
}

void MainWindow::setStatusColor(Rgb color) {
    setBackColor(m_status, QColor(color.r, color.g, color.b));
}

void MainWindow::setBusyCursor(bool on) {
    // The run turns it on twice and off once: only the change counts.
    if (on == m_busy)
        return;
    if (on)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
    m_busy = on;
}

void MainWindow::redraw() {
    showPending();
    repaint();
}

void MainWindow::clearResultList() {
    m_listItems->clear();
}

void MainWindow::addResultItem(const std::u16string& text) {
    m_listItems->append(text);
}

std::int32_t MainWindow::resultItemCount() {
    return m_listItems->count();
}

std::u16string MainWindow::resultText() {
    m_resultTextFiller->finish();
    return (m_resultPending ? m_pendingResultText : toCrLf(m_resultText->toPlainText())) +
           m_pendingAddition;
}

void MainWindow::setResultText(const std::u16string& text) {
    m_pendingResultText = text;
    m_resultPending = true;
    m_pendingAddition.clear();
}

void MainWindow::appendResultText(const std::u16string& text) {
    if (m_resultPending)
        m_pendingResultText += text;
    else
        m_pendingAddition += text;
}

Answer MainWindow::askYesNo(const std::u16string& prompt) {
    showPending();
    const Answer answer = m_dialogs.askYesNo(this, fromCrLf(prompt));
    // A sheet checked again later is given the same answer.
    m_sheetFollower->answered(answer);
    return answer;
}

void MainWindow::showError(const std::u16string& message, const ErrorPlace& place) {
    // The file and line under the message, so the user knows where to look.
    const std::u16string where = errorPlaceText(place);
    showMessage(where.empty() ? message : message + u"\r\n\r\n" + where);
}

void MainWindow::showMessage(const std::u16string& text) {
    showPending();
    m_dialogs.showMessage(this, fromCrLf(text));
}

} // namespace morvane
