#include <gtest/gtest.h>

#include <vector>

#include "measure/LoadHistory.h"

namespace {

std::vector<uint32_t> ReadNewestFirst(LoadHistory& h, int count) {
    std::vector<uint32_t> out;
    h.rewind();
    for (int i = 0; i < count; ++i)
        out.push_back(h.next());
    return out;
}

TEST(LoadHistory, FullRingReadsNewestFirstAndWrapsToNewest) {
    LoadHistory h;
    h.resize(51);
    for (uint32_t v = 1; v <= 60; ++v)
        h.push(v);
    EXPECT_EQ(h.latest(), 60u);
    std::vector<uint32_t> got = ReadNewestFirst(h, 52);
    for (int i = 0; i < 51; ++i)
        EXPECT_EQ(got[i], 60u - i) << "entry " << i;
    EXPECT_EQ(got[51], 60u) << "after the oldest the cursor goes back to the newest";
}

TEST(LoadHistory, GrowingKeepsTheOldFiguresNewestAndReadsZerosLast) {
    LoadHistory h;
    EXPECT_EQ(h.latest(), 0u);
    h.push(7);
    h.resize(51);
    EXPECT_EQ(h.latest(), 7u);
    std::vector<uint32_t> got = ReadNewestFirst(h, 51);
    EXPECT_EQ(got[0], 7u);
    for (int i = 1; i < 51; ++i)
        EXPECT_EQ(got[i], 0u) << "entry " << i;
    // The next push overwrites the oldest zero, not the 7.
    h.push(8);
    got = ReadNewestFirst(h, 3);
    EXPECT_EQ(got, (std::vector<uint32_t>{8, 7, 0}));
}

TEST(LoadHistory, ResizeBelowOneChangesNothing) {
    LoadHistory h;
    h.push(7);
    h.resize(0);
    h.resize(-5);
    EXPECT_EQ(h.size(), 1);
    EXPECT_EQ(ReadNewestFirst(h, 2), (std::vector<uint32_t>{7, 7}));
}

TEST(LoadHistory, ShrinkingDropsTheOldest) {
    LoadHistory h;
    h.resize(10);
    for (uint32_t v = 1; v <= 13; ++v)
        h.push(v); // wrapped: the newest is mid-array
    h.resize(4);
    EXPECT_EQ(ReadNewestFirst(h, 5), (std::vector<uint32_t>{13, 12, 11, 10, 13}));
    h.resize(1);
    h.push(99);
    EXPECT_EQ(ReadNewestFirst(h, 2), (std::vector<uint32_t>{99, 99}));
}

TEST(LoadHistory, ArrayOfRingsFromNothrowNew) {
    LoadHistory* rings = new (std::nothrow) LoadHistory[3];
    ASSERT_NE(rings, nullptr);
    for (int i = 0; i < 3; ++i)
        rings[i].resize(51);
    rings[2].push(42);
    EXPECT_EQ(rings[2].latest(), 42u);
    EXPECT_EQ(rings[0].latest(), 0u);
    delete[] rings;
}

} // namespace
