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

// A processor's time is kernel (idle included) plus user; its load the part
// of that which was not idle; the total from the summed times of all.
TEST(LoadMath, LoadsFromTheKernelsTimes) {
    auto T = [](int64_t idle, int64_t kernel, int64_t user) {
        ProcessorTimes t = {};
        t.idle = idle, t.kernel = kernel, t.user = user;
        return t;
    };
    const ProcessorTimes zero = T(0, 0, 0);
    const struct {
        const char* what;
        std::vector<ProcessorTimes> prev, now;
        std::vector<uint32_t> want; // total, then the slots 1 .. size - 1
    } table[] = {
        {"two processors", {zero, zero}, {T(750, 800, 200), T(100, 400, 600)}, {57, 25, 90}},
        {"rounded like the idle share", {zero}, {T(994, 994, 6)}, {1, 1}},
        {"no time, or idle ahead of it", {zero, zero}, {zero, T(900, 800, 0)}, {0, 0, 0}},
        {"counters that went back count nothing", {T(500, 500, 500), zero},
         {T(400, 1500, 500), T(50, 50, 50)}, {95, 100, 50}},
        {"fewer records than processors", {zero}, {T(300, 500, 500)}, {70, 70, 0, 0}},
        {"more records than processors", {zero, zero}, {T(0, 0, 1000), T(1000, 1000, 0)}, {50, 100}},
        {"near the counters' top", {T(INT64_MAX - 2000, INT64_MAX - 2000, 0)},
         {T(INT64_MAX - 1000, INT64_MAX, 0)}, {50, 50}},
    };
    for (const auto& c : table) {
        std::vector<uint32_t> load(c.want.size(), 77);
        LoadsFromTimes(c.prev.data(), c.now.data(), int32_t(c.now.size()), int32_t(load.size() - 1),
                       load.data());
        EXPECT_EQ(load, c.want) << c.what;
    }
}

} // namespace
