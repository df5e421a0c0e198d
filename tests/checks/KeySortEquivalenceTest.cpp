#include "checks/KeySort.h"
#include "checks/ReferenceAlgorithms.h"
#include "core/PointTable.h"
#include "support/PointTableFixture.h"
#include "support/TestPoints.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace morvane {
namespace {

using Keys = std::vector<double>;
using Rng = std::mt19937_64;

// The order among equal keys is part of the result (the duplicate-name check
// pairs neighbours), so the fast sort must leave every key and every carried
// index exactly where the exchange passes leave them.
class KeySortEquivalence : public test::PointTableFixture {
protected:
    // Compares key bits (so -0 and 0 count as different) and indices as each
    // sort leaves them.
    static void expectSameAsExchangePasses(const Keys& keys) {
        test::loadSortKeys(data(), keys);
        reference::keySort(data());
        const auto expected = test::sortBits(data());
        test::loadSortKeys(data(), keys);
        sortByKey(data());
        ASSERT_EQ(test::sortBits(data()), expected);
    }
};

struct Pattern {
    const char* what;
    std::function<double(Rng&, std::size_t i, std::size_t n)> key;
};

// Each pattern is full of ties, which is where an unstable or differently
// ordered sort would show.
const Pattern Patterns[] = {
    {"three values", [](Rng& r, std::size_t, std::size_t) { return double(r() % 3); }},
    {"all equal", [](Rng&, std::size_t, std::size_t) { return 7.0; }},
    {"signed zeros and ones",
     [](Rng& r, std::size_t, std::size_t) {
         const double v[] = {0.0, -0.0, 1.0, -1.0};
         return v[r() % 4];
     }},
    {"descending with ties",
     [](Rng&, std::size_t i, std::size_t n) { return double((n - i) / 3); }},
    {"ascending with ties", [](Rng&, std::size_t i, std::size_t) { return double(i / 4); }},
    {"interleaved small and large",
     [](Rng& r, std::size_t i, std::size_t) { return double(r() % 4) + (i % 2 ? 0 : 100); }},
    {"organ pipe", [](Rng&, std::size_t i, std::size_t n) { return double(std::min(i, n - i)); }},
    {"wide random",
     [](Rng& r, std::size_t, std::size_t) { return std::uniform_real_distribution(-1e6, 1e6)(r); }},
    {"name keys of few names",
     [](Rng& r, std::size_t, std::size_t) { return -32096.0 * double(r() % 5) + 49; }},
};

Keys make(const Pattern& p, Rng& rng, std::size_t n) {
    Keys keys(n);
    for (std::size_t i = 0; i < n; ++i)
        keys[i] = p.key(rng, i, n);
    return keys;
}

TEST_F(KeySortEquivalence, SmallInputsOfEveryPattern) {
    Rng rng(5);
    for (const auto& p : Patterns) {
        SCOPED_TRACE(p.what);
        for (std::size_t n = 0; n <= 40; ++n) {
            SCOPED_TRACE("points " + std::to_string(n));
            for (int trial = 0; trial < 12; ++trial)
                expectSameAsExchangePasses(make(p, rng, n));
        }
    }
}

TEST_F(KeySortEquivalence, LargerInputsOfEveryPattern) {
    Rng rng(11);
    for (const auto& p : Patterns) {
        SCOPED_TRACE(p.what);
        for (std::size_t n : {41, 100, 255, 1000, 1023, 3001}) {
            SCOPED_TRACE("points " + std::to_string(n));
            expectSameAsExchangePasses(make(p, rng, n));
        }
    }
}

// With 2^k - 1 keys every gap is a power of two, so interleaved small and
// large keys stay apart until the last phase, whose chain then holds far
// too many inversions to sort one move at a time.
TEST_F(KeySortEquivalence, InterleavedKeysAtPowerOfTwoGaps) {
    Rng rng(17);
    for (std::size_t n : {63, 1023, 4095, 8191}) {
        SCOPED_TRACE("points " + std::to_string(n));
        Keys keys(n);
        for (std::size_t i = 0; i < n; ++i)
            keys[i] = double(rng() % 3) + ((i + 1) % 2 == 0 ? 0 : 10);
        expectSameAsExchangePasses(keys);
    }
}

// Keys in order pair by pair are passed over whole; with a NaN among them
// they need not be, as no comparison with it says "out of order".
TEST_F(KeySortEquivalence, KeysInOrderAndANaNAmongThem) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Keys& keys : {Keys{1, 2, 2, 3, 7}, Keys{3, nan, 1}, Keys{1, 4, nan, 0, 5, 2},
                             Keys{nan, 2, 1}, Keys{5, 6, 7, 8, nan}})
        expectSameAsExchangePasses(keys);
}

// The exchange passes are too slow to follow at full size; there the phases
// are followed as what they amount to, each chain stably sorted. Tables this
// large sort each phase's chains on two threads.
TEST_F(KeySortEquivalence, TablesLargeEnoughForTwoThreads) {
    Rng rng(23);
    for (const auto& p : Patterns) {
        SCOPED_TRACE(p.what);
        for (std::size_t n : {65'537, 120'000}) {
            SCOPED_TRACE("points " + std::to_string(n));
            const Keys keys = make(p, rng, n);
            std::vector<std::pair<double, double>> expected(n + 1);
            for (std::size_t i = 1; i <= n; ++i)
                expected[i] = {keys[i - 1], double(i)};
            const auto count = static_cast<std::int32_t>(n);
            for (std::int32_t gap = roundHalfEven(count / 2.0); gap >= 1;
                 gap = roundHalfEven(gap / 2.0)) {
                std::vector<std::pair<double, double>> chain;
                for (std::int32_t first = 1; first <= gap; ++first) {
                    chain.clear();
                    for (std::int32_t k = first; k <= count; k += gap)
                        chain.push_back(expected[k]);
                    std::stable_sort(chain.begin(), chain.end(), [](const auto& a, const auto& b) {
                        return a.first < b.first;
                    });
                    for (std::int32_t k = first, c = 0; k <= count; k += gap)
                        expected[k] = chain[c++];
                }
            }
            test::loadSortKeys(data(), keys);
            sortByKey(data());
            for (std::size_t i = 1; i <= n; ++i) {
                ASSERT_EQ(std::bit_cast<std::uint64_t>(data().sortKeys[i]),
                          std::bit_cast<std::uint64_t>(expected[i].first))
                    << i;
                ASSERT_EQ(data().sortOrder[i], expected[i].second) << i;
            }
        }
    }
}

} // namespace
} // namespace morvane
