#include "app/AutoExit.h"
#include "app/MessageLoop.h"

#include <gtest/gtest.h>

namespace {

// Feeds one tick per second from `start` and returns the index of the tick
// at which the watch closes the program, or -1.
int ClosingTick(const std::vector<uint32_t>& totals, int threshold, int durationMs,
                uint32_t start) {
    uint32_t belowSince = 0;
    for (size_t i = 0; i < totals.size(); ++i) {
        if (AutoExitStep(totals[i], threshold, durationMs, &belowSince,
                         start + static_cast<uint32_t>(i) * 1000u))
            return static_cast<int>(i);
    }
    return -1;
}

TEST(AutoExit, NoThresholdClosesAtOnce) {
    uint32_t since = 0;
    EXPECT_TRUE(AutoExitStep(100, -1, 0, &since, 5000));
}

TEST(AutoExit, ZeroDurationClosesAtFirstTickAtOrBelow) {
    EXPECT_EQ(ClosingTick({90, 80, 20, 10}, 20, 0, 1000), 2);
    EXPECT_EQ(ClosingTick({100, 100, 100}, 100, 0, 1000), 0);
}

TEST(AutoExit, TickAboveRestartsTheWait) {
    // 20 % threshold, 10 s: quiet from tick 1, a 21 % at tick 5 restarts,
    // quiet again from tick 6, so the close comes 10 s later at tick 16.
    std::vector<uint32_t> totals(30, 5);
    totals[0] = 50;
    totals[5] = 21;
    EXPECT_EQ(ClosingTick(totals, 20, 10000, 1000), 16);
}

TEST(AutoExit, WorksAcrossTheTickCountWrap) {
    std::vector<uint32_t> totals(10, 5);
    // The wait starts half a second before the 32-bit tick count wraps.
    EXPECT_EQ(ClosingTick(totals, 50, 2000, 0xFFFFFFFFu - 500u), 2);
    // A wait starting exactly at tick 0 is still a wait.
    uint32_t since = 0;
    EXPECT_FALSE(AutoExitStep(5, 50, 2000, &since, 0));
    EXPECT_NE(since, 0u);
    EXPECT_FALSE(AutoExitStep(5, 50, 2000, &since, 1000));
    EXPECT_TRUE(AutoExitStep(5, 50, 2000, &since, 2001));
}

} // namespace

namespace {

struct Record {
    unsigned long long wParam;
};

// A loop ended by the quit message returns its wParam; one whose first get
// fails returns 0, whatever the record happens to hold.
TEST(MessageLoop, QuitGivesItsWParamAFailedGetGivesZero) {
    int answers[] = {1, 1, 0}, at = 0, dispatched = 0;
    Record r = {0}, garbage = {0xabababababababab};
    auto get = [&](Record& m) { return m.wParam = 40u + at, answers[at++]; };
    EXPECT_EQ(RunLoop(r, get, [&](Record&) { ++dispatched; }), 42);
    EXPECT_EQ(dispatched, 2);
    EXPECT_EQ(RunLoop(
                  garbage, [](Record&) { return -1; }, [](Record&) {}),
              0);
}

} // namespace
