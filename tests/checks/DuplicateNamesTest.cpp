#include "checks/DuplicateNames.h"

#include "checks/CheckFixture.h"
#include "checks/KeySort.h"
#include "core/Text.h"
#include "input/Cp932.h"

namespace morvane {
namespace {

using test::findingPairs;
using test::TestPoint;

class DuplicateNames : public test::CheckFixture {
protected:
    void check(const std::vector<TestPoint>& points) {
        test::loadPoints(data(), points);
        for (std::int32_t n = 1; n <= data().pointCount; ++n)
            data().sortKeys[n] = NameKey(data().names[n]);
        sortByKey(data());
        checkDuplicateNames(data(), ui);
    }

    std::size_t findings() const { return ui.items.size() / 4; }
};

TEST_F(DuplicateNames, ReportsBothPointsAndTheirDistance) {
    check({{u"P1", 0, 0}, {u"Q", 9, 9}, {u"P1", 3, 4}});
    const std::vector<std::u16string> items = {
        u"同一名称",
        u"     1  P1             0.000   0.000  較差 5.000",
        u"     3  P1             3.000   4.000",
        u" ",
    };
    EXPECT_EQ(ui.items, items);
    EXPECT_EQ(report(), u"同一名称\n"
                        u"     1  P1             0.000   0.000  較差 5.000\n"
                        u"     3  P1             3.000   4.000\n");
}

TEST_F(DuplicateNames, OnlyExactlyEqualNonBlankNamesAreDuplicates) {
    struct Case {
        const char* what;
        std::u16string a, b;
        bool duplicate;
    };
    const Case cases[] = {
        {"same name", u"K-1", u"K-1", true},
        {"letter case differs", u"k1", u"K1", false},
        {"trailing space differs", u"K1 ", u"K1", false},
        {"empty names", u"", u"", false},
        {"names of spaces", u"  ", u"  ", false},
        {"names of ideographic spaces", u"\u3000", u"\u3000", false},
        {"a tab is not a space", u"\t", u"\t", true},
        {"Japanese names", u"境界点", u"境界点", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        ui = {};
        check({{c.a, 1, 1}, {c.b, 2, 2}});
        EXPECT_EQ(findings(), c.duplicate ? 1u : 0u);
    }
}

// Names that read alike meet whatever the width of their characters; the
// report shows them as written.
TEST_F(DuplicateNames, LookAlikeNamesAreOneNameOnlyWhenAskedFor) {
    const struct {
        std::u16string a, b;
        bool lookAlike;
    } cases[] = {
        {u"道5", u"道５", true}, {u"T1", u"Ｔ１", true},  {u"ﾃｸﾞｲ", u"テグイ", true},
        {u"A1", u"A2", false},   {u"t1", u"Ｔ１", false}, {u"\u3000", u" ", false},
        {u"K-1", u"K-1", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(toUtf8(c.a + u" " + c.b));
        for (const bool asWritten : {true, false}) {
            SetUp();
            ui = {};
            test::loadPoints(data(), {{c.a, 1, 1}, {u"Q", 5, 5}, {c.b, 2, 2}});
            for (std::int32_t n = 1; n <= data().pointCount; ++n)
                data().sortKeys[n] = NameKey(data().names[n]);
            if (asWritten) {
                sortByKey(data());
                checkDuplicateNames(data(), ui);
            } else {
                checkLookAlikeNames(data(), ui, NameKey);
            }
            EXPECT_EQ(findings() == 1, asWritten ? c.a == c.b : c.lookAlike);
        }
        if (c.lookAlike) {
            EXPECT_EQ(ui.items[2].substr(8, c.b.size()), c.b);
        }
    }
}

TEST_F(DuplicateNames, ThreeEqualNamesGiveTwoFindings) {
    check({{u"A", 1, 0}, {u"A", 2, 0}, {u"A", 3, 0}});
    EXPECT_EQ(findings(), 2u);
    // As data too: the pairs in report order, each of its kind.
    ASSERT_EQ(data().findings.size(), 2u);
    for (const Finding& f : data().findings) {
        EXPECT_EQ(f.kind, FindingKind::DuplicateName);
        EXPECT_EQ(f.second, f.first + 1);
        EXPECT_EQ(f.distance, 1);
    }
}

TEST_F(DuplicateNames, CollidingKeysDoNotHideEqualNames) {
    // 20 characters are beyond a double's precision: all four share one key,
    // and the sort may put a different name between the two equal ones.
    const std::u16string a = u"BOUNDARY-POINT-00001";
    const std::u16string b = u"BOUNDARY-POINT-00002";
    ASSERT_EQ(NameKey(a), NameKey(b));
    check({{a, 1, 0}, {b, 2, 0}, {a, 3, 0}, {b, 4, 0}});
    ASSERT_EQ(findings(), 2u);
    EXPECT_NE(ui.items[1].find(u"較差 2.000"), std::u16string::npos);
    EXPECT_NE(ui.items[5].find(u"較差 2.000"), std::u16string::npos);
}

TEST_F(DuplicateNames, AsksOnceAfterThe1001stFinding) {
    const auto points = findingPairs(1100, 0);
    struct Case {
        std::deque<Answer> answers;
        std::size_t findings;
    };
    for (const auto& c : {Case{{Answer::Yes}, 1001}, Case{{Answer::No}, 1100}}) {
        SetUp();
        ui = {};
        ui.answers = c.answers;
        check(points);
        EXPECT_EQ(findings(), c.findings);
        ASSERT_EQ(ui.questions.size(), 1u);
        EXPECT_EQ(ui.questions[0], u"同一名称が多すぎます。処理を中止しますか？");
    }
}

TEST_F(DuplicateNames, NoQuestionAtExactly1000Findings) {
    check(findingPairs(1000, 0));
    EXPECT_EQ(findings(), 1000u);
    EXPECT_TRUE(ui.questions.empty());
}

} // namespace
} // namespace morvane
