#include "print/Fonts.h"

#include <QString>

namespace morvane {

namespace {

const QString GothicFace = QStringLiteral(u"ＭＳ ゴシック");
const QString ProportionalGothicFace = QStringLiteral(u"ＭＳ Ｐゴシック");
// Debian's fonts-ipafont-gothic; both faces cover JIS X 0208.
const QString GothicStandIn = QStringLiteral("IPAGothic");
const QString ProportionalGothicStandIn = QStringLiteral("IPAPGothic");

QFont namedFont(const QString& face, qreal points) {
    QFont font(face);
    font.setPointSizeF(points);
    return font;
}

} // namespace

void registerFontSubstitutes() {
    // insertSubstitution ignores a pair it already holds, so calling this
    // more than once is harmless.
    QFont::insertSubstitution(GothicFace, GothicStandIn);
    QFont::insertSubstitution(ProportionalGothicFace, ProportionalGothicStandIn);
}

QFont gothicFont(qreal points) {
    registerFontSubstitutes();
    return namedFont(GothicFace, points);
}

QFont proportionalGothicFont(qreal points) {
    registerFontSubstitutes();
    return namedFont(ProportionalGothicFace, points);
}

} // namespace morvane
