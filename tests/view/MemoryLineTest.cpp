// The memory line's template, text and bar length.
#include <gtest/gtest.h>

#include <string>

#include "view/MemoryLine.h"

namespace {

const uint64_t MB = 1048576;

std::string Text(bool extended, uint64_t total, uint64_t avail, int32_t memtype) {
    char buf[64];
    FormatMemoryText(buf, sizeof buf, extended, total, avail, memtype);
    return buf;
}

TEST(MemoryTemplate, WideEnoughForTheTotalsFigures) {
    const struct {
        uint64_t total;
        const char* want;
    } rows[] = {
        {999 * MB, "Mem:999/999MB(100%"},
        // 1000 MB less a fraction of a megabyte still counts as small.
        {1000 * MB - 1, "Mem:999/999MB(100%"},
        {1000 * MB, "Mem:9999/9999MB(100%"},
        {1ull << 32, "Mem:9999/9999MB(100%"},
        {(1ull << 32) + 5 * MB, "Mem:9999/9999MB(100%"},
        {9999 * MB, "Mem:9999/9999MB(100%"},
        // Past four digits (16 GB and more) the figures would overrun the bar.
        {10000 * MB, "Mem:99999/99999MB(100%"},
        {65536ull * 1024 * MB, "Mem:99999999/99999999MB(100%"},
    };
    for (const auto& row : rows) {
        char buf[48];
        EXPECT_EQ(MemoryTemplate(buf, sizeof buf, row.total), std::string(row.want).size());
        EXPECT_STREQ(buf, row.want) << row.total;
    }
}

TEST(MemoryText, UsedAndFreeFiguresInBothRecords) {
    for (bool extended : {true, false}) {
        EXPECT_EQ(Text(extended, 2048 * MB, 512 * MB, 0), "Mem:1536/2048MB(75%)");
        EXPECT_EQ(Text(extended, 2048 * MB, 512 * MB, 1), "Mem: 512/2048MB(25%)");
        EXPECT_EQ(Text(extended, 512 * MB, 412 * MB, 0), "Mem:100/512MB(20%)"); // 19.53
        EXPECT_EQ(Text(extended, 512 * MB, 500 * MB, 0), "Mem: 12/512MB(2%)");
    }
    EXPECT_EQ(Text(true, 16384 * MB, 14384 * MB, 0), "Mem: 2000/16384MB(12%)");
}

TEST(MemoryText, PercentRoundsHalfUp) {
    // 1 of 8 = 12.5 %
    EXPECT_EQ(Text(true, 800 * MB, 700 * MB, 0), "Mem:100/800MB(13%)");
    EXPECT_EQ(Text(false, 800 * MB, 700 * MB, 0), "Mem:100/800MB(13%)");
    EXPECT_EQ(Text(true, 800 * MB, 0, 0), "Mem:800/800MB(100%)");
}

TEST(MemoryText, ExtendedRecordHoldsHugeMemory) {
    const uint64_t total = 65536ull * 1024 * MB; // 64 TB
    EXPECT_EQ(Text(true, total, total / 4, 0), "Mem:50331648/67108864MB(75%)");
}

TEST(MemoryText, CutAtTheBufferCapacity) {
    char buf[10];
    EXPECT_EQ(FormatMemoryText(buf, sizeof buf, true, 2048 * MB, 0, 0), 9u);
    EXPECT_STREQ(buf, "Mem:2048/");
}

TEST(MemoryBar, UsedPartIsRoundedDownWithoutOverflow) {
    EXPECT_EQ(MemoryBarUsed(120, 1536 * MB, 2048 * MB), 90);
    EXPECT_EQ(MemoryBarUsed(121, 1536 * MB, 2048 * MB), 90); // 90.75
    EXPECT_EQ(MemoryBarUsed(120, 0, 2048 * MB), 0);
    EXPECT_EQ(MemoryBarUsed(120, 2048 * MB, 2048 * MB), 120);
    const uint64_t huge = ~0ull;
    EXPECT_EQ(MemoryBarUsed(200, huge - 1, huge), 199);
    EXPECT_EQ(MemoryBarUsed(200, huge / 2, huge), 99);
}

} // namespace
