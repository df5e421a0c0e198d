#pragma once

#include <QFont>

namespace morvane {

// The Gothic faces the window and the printed report ask for by name. Where
// they are not installed, the IPA Gothic faces stand in: the fixed-pitch one
// for "ＭＳ ゴシック", so that report columns still line up.
void registerFontSubstitutes();

// "ＭＳ ゴシック": fixed pitch, half-width characters half as wide as
// full-width ones.
QFont gothicFont(qreal points);
// "ＭＳ Ｐゴシック": proportional.
QFont proportionalGothicFont(qreal points);

} // namespace morvane
