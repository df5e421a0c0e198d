#include "core/SecondThread.h"

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace morvane {
namespace {

TEST(SecondThread, BothRunTheOneBesideOnAnotherThread) {
    const auto here = std::this_thread::get_id();
    std::thread::id besideOn;
    bool hereRan = false;
    runBeside([&] { besideOn = std::this_thread::get_id(); }, [&] { hereRan = true; });
    EXPECT_TRUE(hereRan);
    EXPECT_NE(besideOn, std::thread::id());
    EXPECT_NE(besideOn, here);
}

// A failure on either side reaches the caller, after both have ended: never
// a thread left running on data the caller is about to free.
TEST(SecondThread, AFailureOnEitherSideComesOutHere) {
    bool besideEnded = false;
    EXPECT_THROW(runBeside(
                     [&] {
                         std::this_thread::sleep_for(std::chrono::milliseconds(20));
                         besideEnded = true;
                     },
                     [] { throw std::runtime_error("here"); }),
                 std::runtime_error);
    EXPECT_TRUE(besideEnded);

    bool hereRan = false;
    try {
        runBeside([] { throw std::runtime_error("beside"); }, [&] { hereRan = true; });
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "beside");
    }
    EXPECT_TRUE(hereRan);
}

} // namespace
} // namespace morvane
