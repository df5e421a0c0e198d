#include "print/Fonts.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QString>
#include <gtest/gtest.h>

namespace morvane {
namespace {

struct FaceCase {
    const char* what;
    QFont font;
    const char* standIn;
};

TEST(Fonts, GothicFacesFallBackToTheIpaFaces) {
    const FaceCase cases[] = {
        {"fixed pitch", gothicFont(10), "IPAGothic"},
        {"proportional", proportionalGothicFont(9), "IPAPGothic"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(QFontInfo(c.font).family().toStdString(), c.standIn);
    }
}

TEST(Fonts, RequestedFaceNamesAreTheJapaneseOnes) {
    EXPECT_EQ(gothicFont(10).family().toStdU16String(), u"ＭＳ ゴシック");
    EXPECT_EQ(proportionalGothicFont(10).family().toStdU16String(), u"ＭＳ Ｐゴシック");
}

// Report columns line up only when every half-width character has the same
// advance and a full-width one exactly two.
TEST(Fonts, GothicIsFixedPitchWithDoubleWidthJapanese) {
    const QFontMetricsF gothic(gothicFont(10));
    const double half = gothic.horizontalAdvance(QStringLiteral("0"));
    for (const char* c : {" ", "1", "i", "W", "-", "."}) {
        SCOPED_TRACE(c);
        EXPECT_DOUBLE_EQ(gothic.horizontalAdvance(QString::fromUtf8(c)), half);
    }
    EXPECT_DOUBLE_EQ(gothic.horizontalAdvance(QStringLiteral(u"点")), 2 * half);

    const QFontMetricsF proportional(proportionalGothicFont(10));
    EXPECT_LT(proportional.horizontalAdvance(QStringLiteral("i")),
              proportional.horizontalAdvance(QStringLiteral("W")));
}

} // namespace
} // namespace morvane
