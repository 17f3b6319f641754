#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

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

namespace {

ProcessorTimes Times(int64_t idle, int64_t kernel, int64_t user) {
    ProcessorTimes t = {};
    t.idle = idle;
    t.kernel = kernel;
    t.user = user;
    return t;
}

struct KernelCase {
    const char* what;
    std::vector<ProcessorTimes> prev, now;
    int32_t processorCount;
    std::vector<uint32_t> want; // total, then slots 1 .. processorCount
};

// The kernel's time includes its idle time: a processor's time is kernel
// plus user, and its load the part of that which was not idle.
TEST(LoadMath, LoadsFromTheKernelsTimes) {
    const KernelCase table[] = {
        {"two processors", {Times(0, 0, 0), Times(0, 0, 0)},
         {Times(750, 800, 200), Times(100, 400, 600)}, 2, {57, 25, 90}},
        {"idle rounds like the performance data", {Times(0, 0, 0)}, {Times(994, 994, 6)}, 1,
         {1, 1}},
        {"no time passed", {Times(7, 7, 7)}, {Times(7, 7, 7)}, 1, {0, 0}},
        {"idle ahead of the time", {Times(0, 0, 0)}, {Times(900, 800, 0)}, 1, {0, 0}},
        {"counters that went back count as nothing",
         {Times(500, 500, 500), Times(0, 0, 0)}, {Times(400, 1500, 500), Times(50, 50, 50)}, 2,
         {95, 100, 50}},
        {"fewer records than processors", {Times(0, 0, 0)}, {Times(300, 500, 500)}, 3,
         {70, 70, 0, 0}},
        {"more records than processors: all in the total",
         {Times(0, 0, 0), Times(0, 0, 0)}, {Times(0, 0, 1000), Times(1000, 1000, 0)}, 1,
         {50, 100}},
        {"counters near the top of their range",
         {Times(INT64_MAX - 2000, INT64_MAX - 2000, 0)}, {Times(INT64_MAX - 1000, INT64_MAX, 0)},
         1, {50, 50}},
    };
    for (const KernelCase& c : table) {
        std::vector<uint32_t> load(c.processorCount + 1, 77);
        LoadsFromTimes(c.prev.data(), c.now.data(), static_cast<int32_t>(c.now.size()),
                       c.processorCount, load.data());
        EXPECT_EQ(load, c.want) << c.what;
    }
}

TEST(LoadMath, LoadFromTimesMatchesLoadFromIdleAndStaysInRange) {
    for (uint32_t e : {1u, 999u, 1000u, 0x80000000u, 0xFFFFFFFFu})
        for (uint32_t i : {0u, 1u, e / 3, e / 2, e - 1, e})
            EXPECT_EQ(LoadFromTimes(i, e), LoadFromIdle(i, e)) << i << "/" << e;
    EXPECT_EQ(LoadFromTimes(UINT64_MAX, 1), 0u);
    EXPECT_EQ(LoadFromTimes(0, UINT64_MAX), 100u);
    EXPECT_EQ(LoadFromTimes(1, 0), 0u);
}

} // namespace
