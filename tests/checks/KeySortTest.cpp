#include "checks/KeySort.h"

#include "core/PointTable.h"
#include "support/PointTableFixture.h"
#include "support/TestPoints.h"

#include <algorithm>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace morvane {
namespace {

class KeySort : public test::PointTableFixture {
protected:
    // Sorts keys given with indices 1..n; returns the carried indices.
    std::vector<double> sort(const std::vector<double>& keys) {
        PointTable& d = data();
        test::loadSortKeys(d, keys);
        sortByKey(d);
        return {d.sortOrder.begin() + 1, d.sortOrder.begin() + 1 + keys.size()};
    }

    std::vector<double> sortedKeys(std::size_t n) const {
        return {data().sortKeys.begin() + 1, data().sortKeys.begin() + 1 + n};
    }
};

TEST_F(KeySort, CarriesIndicesWithTheirKeys) {
    EXPECT_EQ(sort({3, 1, 2}), (std::vector<double>{2, 3, 1}));
    EXPECT_EQ(sortedKeys(3), (std::vector<double>{1, 2, 3}));
}

TEST_F(KeySort, NoneOrOnePointIsLeftAlone) {
    EXPECT_EQ(sort({}), std::vector<double>{});
    EXPECT_EQ(sort({5}), std::vector<double>{1});
}

TEST_F(KeySort, NeverTouchesPositionsBeyondThePoints) {
    data().sortKeys[4] = -1;
    data().sortOrder[4] = 99;
    sort({3, 2, 1});
    EXPECT_EQ(data().sortKeys[4], -1);
    EXPECT_EQ(data().sortOrder[4], 99);
}

TEST_F(KeySort, EqualKeysKeepTheOrderTheGapsGiveThem) {
    // Gap 2 first (3 / 2 rounds to 2): the first 5 jumps over the second,
    // and equal keys are never exchanged with each other afterwards.
    EXPECT_EQ(sort({5, 5, 1}), (std::vector<double>{3, 2, 1}));
    EXPECT_EQ(sort({7, 7, 0, 7}), (std::vector<double>{3, 2, 1, 4}));
    // 5 / 2 rounds to 2 as well, 7 / 2 to 4: the gap sequence decides.
    EXPECT_EQ(sort({1, 1, 1, 1, 0}), (std::vector<double>{5, 2, 1, 4, 3}));
}

TEST_F(KeySort, SortsRandomKeysWithTies) {
    std::mt19937 rng(7);
    for (int n : {2, 3, 14, 15, 100, 1000, 4097}) {
        SCOPED_TRACE(n);
        std::vector<double> keys(n);
        std::uniform_int_distribution<int> small(-5, 5);
        for (auto& k : keys)
            k = small(rng);
        const auto indices = sort(keys);
        const auto sorted = sortedKeys(n);
        EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end()));
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(keys[static_cast<std::size_t>(indices[i]) - 1], sorted[i]);
    }
}

} // namespace
} // namespace morvane
