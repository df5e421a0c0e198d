#include "ui/xy4.h"

#include "output/ReportPrint.h"
#include "run/CheckRun.h"
#include "run/RunData.h"
#include "run/Text.h"
#include "ui/Fonts.h"
#include "ui/PrinterDialog.h"
#include "ui/QtPrinterSink.h"
#include "ui/ResultListModel.h"

#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>

namespace morvane {

namespace {

// Positions and sizes are designed in twips; 15 make one pixel at 96 dpi, and
// Qt scales pixels on denser screens.
constexpr int TwipsPerPixel = 15;

constexpr int pixels(int twips) {
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

QRect twips(int left, int top, int width, int height) {
    return {pixels(left), pixels(top), pixels(width), pixels(height)};
}

constexpr int ClientWidth = 7890;
constexpr int ClientHeight = 10050;
const QColor WindowColor(211, 248, 244);
const QColor LabelColor(255, 255, 250);
const QColor ListColor(255, 255, 250);
const QColor StatusColor(255, 255, 255);

constexpr std::int16_t CarriageReturn = 13;

const QString Caption = QStringLiteral(u"Morvane　V1.2");

// The run speaks CR LF; Qt's text widgets keep LF. One pass each way: a
// result text can hold hundreds of thousands of lines.
QString fromCrLf(std::u16string_view text) {
    QString s(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    QChar* out = s.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue;
        *out++ = QChar(text[i]);
    }
    s.truncate(out - s.constData());
    return s;
}

std::u16string toCrLf(const QString& text) {
    std::u16string s;
    s.reserve(static_cast<std::size_t>(text.size()) + static_cast<std::size_t>(text.count(u'\n')));
    for (const QChar c : text) {
        if (c == u'\n')
            s += u'\r';
        s += c.unicode();
    }
    return s;
}

void setBackColor(QWidget* w, const QColor& color) {
    QPalette p = w->palette();
    p.setColor(w->backgroundRole(), color);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QColor& back) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setBackColor(label, back);
    return label;
}

QPlainTextEdit* makeField(QWidget* parent, const char* name, const QString& text) {
    auto* field = new QPlainTextEdit(text, parent);
    field->setObjectName(QLatin1String(name));
    // Tab moves on to the next control rather than typing a tab.
    field->setTabChangesFocus(true);
    return field;
}

// A one-line number field: right-aligned, no scroll bars, and a small inner
// margin so that its line fits the 26-pixel height.
QPlainTextEdit* makeNumberField(QWidget* parent, const char* name, const QString& text) {
    auto* field = makeField(parent, name, text);
    field->setFont(proportionalGothicFont(11.25));
    field->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    field->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QTextDocument* doc = field->document();
    doc->setDocumentMargin(1);
    QTextOption option = doc->defaultTextOption();
    option.setAlignment(Qt::AlignRight);
    doc->setDefaultTextOption(option);
    return field;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, const QFont& font) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setFont(font);
    button->setAutoDefault(false);
    return button;
}

// The character code a key types, as the field's filter sees it: Enter on
// either keypad is 13, keys that type nothing are 0.
std::int16_t characterCode(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)
        return CarriageReturn;
    const QString text = key.text();
    return text.isEmpty() ? 0 : static_cast<std::int16_t>(text.front().unicode());
}

} // namespace

std::int16_t Text2_KeyPress(std::int16_t keyAscii) {
    return keyAscii == CarriageReturn ? 0 : keyAscii;
}

xy4::xy4(std::optional<WindowDialogs> dialogs, QWidget* parent)
    : QWidget(parent), m_data(std::make_unique<RunData>()) {
    m_dialogs =
        dialogs ? std::move(*dialogs)
                : realDialogs([this](QWidget* owner) { return choosePrinter(printer(), owner); });

    setObjectName(QStringLiteral("xy4"));
    setWindowTitle(Caption);
    setWindowIcon(QIcon(QStringLiteral(":/morvane/morvane.png")));
    // The window's own font, used by the one control without a font: Label3.
    setFont(proportionalGothicFont(9));
    setBackColor(this, WindowColor);
    resize(pixels(ClientWidth), pixels(ClientHeight));

    // No layout: the controls keep their designed places whatever the window's
    // size, and a wider window brings the result list into view.
    Command1 = makeButton(this, "Command1", QStringLiteral(u"開始"), gothicFont(11.25));
    Command1->setGeometry(twips(120, 120, 975, 375));

    Label2 = makeLabel(this, "Label2", QStringLiteral(u"較差"), LabelColor);
    Label2->setFont(gothicFont(12));
    Label2->setGeometry(twips(1200, 160, 495, 255));

    Text1 = makeNumberField(this, "Text1", QStringLiteral("0\n"));
    Text1->setGeometry(twips(1800, 120, 735, 390));

    Label3 = makeLabel(this, "Label3", QStringLiteral(u"から"), WindowColor);
    Label3->setGeometry(twips(2760, 240, 495, 255));

    Text2 = makeNumberField(this, "Text2", QStringLiteral("0.05\n"));
    Text2->setGeometry(twips(3480, 120, 735, 390));
    Text2->installEventFilter(this);

    Label1 = makeLabel(this, "Label1", QString(), StatusColor);
    QFont statusFont = proportionalGothicFont(14.25);
    statusFont.setWeight(QFont::Bold);
    Label1->setFont(statusFont);
    Label1->setGeometry(twips(4800, 120, 1335, 375));

    Command2 = makeButton(this, "Command2", QStringLiteral(u"レポートの印刷"), gothicFont(9));
    Command2->setGeometry(twips(6480, 120, 1575, 375));
    Command2->hide();

    Text3 = makeField(this, "Text3", QStringLiteral(u"結果"));
    Text3->setFont(gothicFont(9));
    Text3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text3->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text3->setGeometry(twips(120, 600, 7575, 9255));

    m_list = new ResultListModel(this);
    List1 = new QListView(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setModel(m_list);
    // Lets the view skip measuring every item of a long list.
    List1->setUniformItemSizes(true);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    List1->setTextElideMode(Qt::ElideNone);
    List1->setFont(gothicFont(11.25));
    QPalette listPalette = List1->palette();
    listPalette.setColor(QPalette::Base, ListColor);
    List1->setPalette(listPalette);
    List1->setGeometry(twips(8040, 600, 8055, 9285));

    // Labels take no focus and the hidden button is skipped.
    setTabOrder(Command1, Text2);
    setTabOrder(Text2, List1);
    setTabOrder(List1, Text1);
    setTabOrder(Text1, Text3);
    Command1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &xy4::startRun);
    connect(Command2, &QPushButton::clicked, this, &xy4::printReport);
}

xy4::~xy4() {
    if (m_busy)
        QGuiApplication::restoreOverrideCursor();
}

void xy4::startRun() {
    try {
        Command1_Click(*m_data, *this);
    } catch (const std::exception& e) { // RunError or a bug alike
        try {
            abandonRun(*m_data, *this, e);
        } catch (...) { // nothing more to report with; keep the window alive
        }
    } catch (...) {
        try {
            abandonRun(*m_data, *this, std::runtime_error("unknown exception"));
        } catch (...) {
        }
    }
    // Whatever ended the run, the pointer must not stay busy.
    SetBusyCursor(false);
    showPending();
    emit runEnded();
}

void xy4::printReport() {
    try {
        QtPrinterSink sink(printer());
        Command2_Click(*m_data, *this, sink);
    } catch (const std::exception& e) {
        try {
            ShowMessage(u"予期しないエラーが発生しました。\r\n" + toUtf16(e.what()));
        } catch (...) {
        }
    }
}

QPrinter& xy4::printer() {
    // Made on first use: setting one up asks the print system for its printers.
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void xy4::showPending() {
    m_list->flush();
    if (m_resultPending) {
        Text3->setPlainText(fromCrLf(m_pendingResultText));
        std::u16string().swap(m_pendingResultText);
        m_resultPending = false;
    }
}

bool xy4::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text2 && event->type() == QEvent::KeyPress) {
        const std::int16_t code = characterCode(*static_cast<QKeyEvent*>(event));
        if (code != 0 && Text2_KeyPress(code) == 0)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

std::u16string xy4::GetToleranceText() {
    return toCrLf(Text2->toPlainText());
}

void xy4::SetToleranceText(const std::u16string& text) {
    Text2->setPlainText(fromCrLf(text));
}

std::u16string xy4::GetLowerBoundText() {
    return toCrLf(Text1->toPlainText());
}

std::optional<std::filesystem::path> xy4::ChooseCoordinateFile() {
    showPending();
    return m_dialogs.chooseCoordinateFile(this);
}

bool xy4::ChoosePrinter() {
    showPending();
    return m_dialogs.choosePrinter(this);
}

void xy4::SetStatusText(const std::u16string& text) {
    Label1->setText(QString::fromStdU16String(text));
}

void xy4::SetStatusBackColor(Rgb color) {
    setBackColor(Label1, QColor(color.r, color.g, color.b));
}

void xy4::SetBusyCursor(bool on) {
    // The run turns it on twice and off once: only the change counts.
    if (on == m_busy)
        return;
    if (on)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
    m_busy = on;
}

void xy4::Repaint() {
    showPending();
    repaint();
}

void xy4::ClearResultList() {
    m_list->clear();
}

void xy4::AddResultItem(const std::u16string& text) {
    m_list->append(QString::fromStdU16String(text));
}

std::int32_t xy4::ResultItemCount() {
    return m_list->count();
}

std::u16string xy4::GetResultText() {
    return m_resultPending ? m_pendingResultText : toCrLf(Text3->toPlainText());
}

void xy4::SetResultText(const std::u16string& text) {
    m_pendingResultText = text;
    m_resultPending = true;
}

Answer xy4::AskYesNo(const std::u16string& prompt) {
    showPending();
    return m_dialogs.askYesNo(this, fromCrLf(prompt));
}

void xy4::ShowMessage(const std::u16string& text) {
    showPending();
    m_dialogs.showMessage(this, fromCrLf(text));
}

} // namespace morvane
