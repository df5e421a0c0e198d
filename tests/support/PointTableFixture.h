#pragma once

#include "core/PointTable.h"
#include "core/RunError.h"
#include "support/CheckRuns.h"
#include "support/RecordingUiSink.h"
#include "support/TestFiles.h"

#include <memory>

#include <gtest/gtest.h>

namespace morvane::test {

// The table is about 50 MB: one per test suite, as the window keeps one for
// its whole life, and every run resets it.
class PointTableFixture : public testing::Test {
protected:
    static void SetUpTestSuite() { s_data = std::make_unique<PointTable>(); }
    static void TearDownTestSuite() { s_data.reset(); }

    static PointTable& data() { return *s_data; }

    // Whatever the run before left behind, the next one works: two points of
    // one name give their finding and no message.
    static void expectNextRunWorks() {
        TempFile good(simaFile({u"A01,1,P1,0,1,", u"A01,2,P1,0,2,"}));
        RecordingUiSink next;
        EXPECT_EQ(runFile(data(), next, good.path()), Completes);
        EXPECT_EQ(next.items.size(), 4u);
        EXPECT_TRUE(next.messages.empty());
    }

private:
    static inline std::unique_ptr<PointTable> s_data;
};

// Fails unless f throws a RunError with this number.
template <typename F> void expectRunError(F&& f, std::int32_t number) {
    try {
        f();
        ADD_FAILURE() << "no run-time error, expected " << number;
    } catch (const RunError& e) {
        EXPECT_EQ(e.number(), number);
    }
}

} // namespace morvane::test
