#include "ui/WindowControls.h"

#include "print/Fonts.h"

#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTextOption>

namespace morvane {

QRect twips(int left, int top, int width, int height) {
    return {pixels(left), pixels(top), pixels(width), pixels(height)};
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

} // namespace morvane
