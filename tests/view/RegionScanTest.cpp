// Frame bands and the scan of transparent runs in a 24-bit picture.
#include <gtest/gtest.h>

#include <vector>

#include "view/RegionScan.h"

namespace {

struct Cut {
    int32_t x0, y, x1;
    bool operator==(const Cut& o) const { return x0 == o.x0 && y == o.y && x1 == o.x1; }
};

struct Picture {
    int32_t w, h;
    std::vector<uint8_t> px;
    Picture(int32_t width, int32_t height)
        : w(width), h(height), px(static_cast<size_t>(DibStride24(width)) * height, 0x40) {}
    void Blue(int32_t x, int32_t y) {
        uint8_t* p = &px[static_cast<size_t>(y) * DibStride24(w) + 3 * x];
        p[0] = 255, p[1] = 0, p[2] = 0;
    }
    void Set(int32_t x, int32_t y, uint8_t b, uint8_t g, uint8_t r) {
        uint8_t* p = &px[static_cast<size_t>(y) * DibStride24(w) + 3 * x];
        p[0] = b, p[1] = g, p[2] = r;
    }
    void FillBlue() {
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                Blue(x, y);
    }
    std::vector<Cut> Scan(const FrameBands& bands) const {
        std::vector<Cut> runs;
        const int32_t n = ScanTransparentRuns(
            px.data(), w, h, bands,
            [](void* c, int32_t x0, int32_t y, int32_t x1) {
                static_cast<std::vector<Cut>*>(c)->push_back(Cut{x0, y, x1});
            },
            &runs);
        EXPECT_EQ(static_cast<size_t>(n), runs.size());
        return runs;
    }
};

FrameBands Bands(int32_t t, int32_t b, int32_t l, int32_t r) {
    FrameBands f;
    f.top = t, f.bottom = b, f.left = l, f.right = r;
    return f;
}

TEST(FrameBands, ThickestPieceAlongEachSide) {
    const FrameBands b = ComputeFrameBands(5, 6, 7, 3, 2, 9, 4, 1, 8, 2, 1, 11);
    EXPECT_EQ(b.top, 8);    // LT 6, RT 3, ST 8
    EXPECT_EQ(b.bottom, 9); // LB 1, RB 9, SB 2
    EXPECT_EQ(b.left, 5);   // LT 5, LB 4, SL 1
    EXPECT_EQ(b.right, 11); // RT 7, RB 2, SR 11
    const FrameBands none = ComputeFrameBands(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(none.top + none.bottom + none.left + none.right, 0);
}

TEST(RegionScan, NoBlueOrNoBandsGivesNoRuns) {
    Picture p(20, 10);
    EXPECT_TRUE(p.Scan(Bands(3, 3, 3, 3)).empty());
    p.FillBlue();
    EXPECT_TRUE(p.Scan(Bands(0, 0, 0, 0)).empty()); // the centre is never cut
}

TEST(RegionScan, OnlyPureBlueIsTransparent) {
    Picture p(8, 1);
    p.Blue(0, 0);
    p.Set(1, 0, 254, 0, 0);
    p.Set(2, 0, 255, 1, 0);
    p.Set(3, 0, 255, 0, 1);
    p.Blue(4, 0);
    p.Blue(5, 0);
    p.Blue(7, 0);
    const std::vector<Cut> runs = p.Scan(Bands(1, 0, 0, 0));
    const std::vector<Cut> want = {{0, 0, 1}, {4, 0, 6}, {7, 0, 8}};
    EXPECT_EQ(runs, want);
}

TEST(RegionScan, MiddleRowsScanOnlyTheSideBandsAndRunsStopAtTheirEnds) {
    Picture p(10, 5);
    p.FillBlue();
    const std::vector<Cut> runs = p.Scan(Bands(1, 1, 2, 3));
    std::vector<Cut> want = {{0, 0, 10}};
    for (int32_t y = 1; y < 4; ++y) {
        want.push_back({0, y, 2});
        want.push_back({7, y, 10});
    }
    want.push_back({0, 4, 10});
    EXPECT_EQ(runs, want);
}

TEST(RegionScan, BandsTallerThanTheWindowScanEveryRowOnce) {
    Picture p(4, 6);
    p.FillBlue();
    const std::vector<Cut> runs = p.Scan(Bands(4, 5, 1, 1));
    ASSERT_EQ(runs.size(), 6u);
    for (int32_t y = 0; y < 6; ++y)
        EXPECT_EQ(runs[y], (Cut{0, y, 4}));
    const std::vector<Cut> tall = p.Scan(Bands(9, 9, 0, 0));
    ASSERT_EQ(tall.size(), 6u);
    EXPECT_EQ(tall.back().y, 5);
}

TEST(RegionScan, WideSideBandsAreCutToTheWindow) {
    Picture p(6, 3);
    p.FillBlue();
    // A right band wider than the window is skipped; a left one is cut to it.
    std::vector<Cut> runs = p.Scan(Bands(1, 1, 9, 7));
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1], (Cut{0, 1, 6}));
    // A right band wider than the left one is scanned in full.
    runs = p.Scan(Bands(1, 1, 1, 4));
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[1], (Cut{0, 1, 1}));
    EXPECT_EQ(runs[2], (Cut{2, 1, 6}));
}

TEST(RegionScan, CornerTriangleGivesOneRunPerRow) {
    Picture p(12, 12);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 4 - y; ++x)
            p.Blue(x, y);
    const std::vector<Cut> runs = p.Scan(Bands(4, 4, 4, 4));
    const std::vector<Cut> want = {{0, 0, 4}, {0, 1, 3}, {0, 2, 2}, {0, 3, 1}};
    EXPECT_EQ(runs, want);
}

} // namespace

namespace {

std::vector<Cut> Outline(const Picture& p, const FrameBands& bands, int32_t maxRuns) {
    std::vector<Cut> runs;
    const int32_t n = ScanOutlineRuns(
        p.px.data(), p.w, p.h, bands,
        [](void* c, int32_t x0, int32_t y, int32_t x1) {
            static_cast<std::vector<Cut>*>(c)->push_back(Cut{x0, y, x1});
        },
        &runs, maxRuns);
    EXPECT_EQ(static_cast<size_t>(n), runs.size());
    return runs;
}

// A dithered blue frame has a run per blue pixel: past the limit only the
// runs at the window's sides are cut, and past it again none at all.
TEST(RegionScan, OutlineIsSimplifiedPastTheRunLimit) {
    Picture p(9, 3);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 9; ++x)
            if ((x + y) % 2 == 0) p.Blue(x, y);
    const FrameBands all = Bands(3, 0, 0, 0);
    EXPECT_EQ(Outline(p, all, 100), p.Scan(all)); // 14 runs: within the limit, all
    const std::vector<Cut> outer = {{0, 0, 1}, {8, 0, 9}, {0, 2, 1}, {8, 2, 9}};
    EXPECT_EQ(Outline(p, all, 13), outer);
    EXPECT_TRUE(Outline(p, all, 3).empty());
}

} // namespace
