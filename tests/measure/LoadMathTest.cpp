#include <gtest/gtest.h>

#include "measure/LoadMath.h"

namespace {

TEST(LoadMath, IdleDifferencesOverOneSecond) {
    EXPECT_EQ(LoadFromIdle(996, 1000), 0u);  // idle 99.6 % rounds to 100
    EXPECT_EQ(LoadFromIdle(994, 1000), 1u);  // 99.4 % rounds to 99
    EXPECT_EQ(LoadFromIdle(5, 1000), 99u);   // 0.5 % rounds to 1
    EXPECT_EQ(LoadFromIdle(1010, 1000), 0u); // idle ahead of the clock
    EXPECT_EQ(LoadFromIdle(0, 1000), 100u);
    EXPECT_EQ(LoadFromIdle(500, 1000), 50u);
}

TEST(LoadMath, FiguresStayWithinZeroToHundred) {
    // Intervals past 2^31 ms, and idle counters that wrapped far ahead.
    EXPECT_EQ(LoadFromIdle(0, 0x90000000u), 100u);
    EXPECT_EQ(LoadFromIdle(0x48000000u, 0x90000000u), 50u);
    EXPECT_EQ(LoadFromIdle(0xFFFFFFFFu, 1), 0u);
    EXPECT_EQ(LoadFromIdle(0xFFFFFFFFu, 0xFFFFFFFFu), 0u);
    EXPECT_EQ(LoadFromIdle(7, 0), 0u);
    for (uint32_t e : {1u, 3u, 999u, 1000u, 65536u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu})
        for (uint32_t i : {0u, 1u, e / 3, e / 2, e - 1, e, e + 1, 0xFFFFFFFFu})
            EXPECT_LE(LoadFromIdle(i, e), 100u) << i << "/" << e;
}

TEST(LoadMath, MeanTruncatesAndNeverDividesByZero) {
    EXPECT_EQ(MeanLoad(33 + 34, 2), 33u);
    EXPECT_EQ(MeanLoad(100 * 64, 64), 100u);
    EXPECT_EQ(MeanLoad(0, 0), 0u);
    EXPECT_EQ(MeanLoad(50, 0), 0u);
    EXPECT_EQ(MeanLoad(50, -1), 0u);
}

} // namespace
