#pragma once

#include <string>
#include <string_view>

#include <QColor>
#include <QRect>
#include <QString>

class QFont;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace morvane {

// Positions and sizes are designed in twips; 15 make one pixel at 96 dpi, and
// Qt scales pixels on denser screens.
inline constexpr int TwipsPerPixel = 15;

constexpr int pixels(int twips) {
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

QRect twips(int left, int top, int width, int height);

// Fills the widget's background with the colour, as the window's design has it.
void setBackColor(QWidget* w, const QColor& color);

// The window's kinds of control, each with its object name, so that tests and
// the window find them by name.
QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QColor& back);
QPlainTextEdit* makeField(QWidget* parent, const char* name, const QString& text);
// A one-line number field: right-aligned, no scroll bars, and a small inner
// margin so that its line fits the 26-pixel height.
QPlainTextEdit* makeNumberField(QWidget* parent, const char* name, const QString& text);
QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, const QFont& font);

// The run speaks CR LF; Qt's text widgets keep LF. One pass each way: a
// result text can hold hundreds of thousands of lines.
QString fromCrLf(std::u16string_view text);
std::u16string toCrLf(const QString& text);

} // namespace morvane
