// The display scale's arithmetic: lengths, the window's size at each scale
// and the place a change of scale moves the window to.
#include <gtest/gtest.h>

#include <vector>

#include "view/Geometry.h"
#include "view/Scale.h"

namespace {

const int32_t kDpis[] = {96, 120, 144, 168, 192, 288};

TEST(Scale, LengthsRoundAlikeForBothSignsAndUnusableDpisAre96) {
    const int32_t rows[][3] = {{15, 120, 19}, {15, 144, 23}, {-15, 144, -23}, {1, 120, 1},
                               {1, 144, 2},   {40, 0, 40},   {40, 5000, 40},  {12, 48, 6}};
    for (const auto& r : rows)
        EXPECT_EQ(Scaled(r[0], r[1]), r[2]) << r[0] << " at " << r[1];
    EXPECT_EQ(ScaledAtLeastOne(1, 48), 1);
}

// Each output pixel is a copy of the input pixel under its centre: the key
// and outline colours stay exact, the corners stay corners.
TEST(Scale, NearestNeighbourCopiesThePixelUnderEachPixel) {
    const int32_t w = 5, h = 3;
    uint32_t src[w * h];
    for (int32_t i = 0; i < w * h; ++i)
        src[i] = i % 2 ? 0x00ff00 : 0x0000ff + i;
    for (int32_t dpi : kDpis) {
        const int32_t dw = Scaled(w, dpi), dh = Scaled(h, dpi);
        std::vector<uint32_t> dst(dw * dh);
        ScaleNearest(src, w, h, dst.data(), dw, dh);
        for (int32_t y = 0; y < dh; ++y)
            for (int32_t x = 0; x < dw; ++x)
                ASSERT_EQ(dst[y * dw + x], src[static_cast<int>((y + 0.5) * h / dh) * w +
                                               static_cast<int>((x + 0.5) * w / dw)])
                    << dpi;
        EXPECT_EQ(dst.back(), src[w * h - 1]) << dpi;
    }
}

// Every layout at every scale is the 96-dpi window times the scale, within
// the rounding of its parts.
TEST(Scale, WindowSizeFollowsTheScale) {
    const int32_t layouts[][8] = {// multi, layout, colum, row, cpus, fontsize, band, memory width
                                  {0, 0, 1, 1, 1, 15, 1, 0},  {0, 0, 1, 1, 1, 15, 0, 0},
                                  {1, 1, 2, 2, 4, 20, 0, 0},  {1, 1, 4, 4, 16, 15, 1, 0},
                                  {1, 0, 1, 1, 8, -12, 1, 0}, {0, 0, 1, 1, 1, 15, 1, 130}};
    for (const auto& l : layouts)
        for (int32_t dpi : kDpis) {
            LayoutInput in;
            in.padLeft = 4, in.padTop = 8, in.padRight = 4, in.padBottom = 8;
            in.multi = l[0], in.layout = l[1], in.colum = l[2], in.row = l[3];
            in.processorCount = l[4], in.fontsize = l[5], in.band = l[6] != 0;
            in.kakusi = in.memory = l[7] != 0;
            in.memWidth = l[7], in.memHeight = 12;
            const WindowSize base = ComputeWindowSize(in);
            in.memWidth = Scaled(l[7], dpi), in.memHeight = Scaled(12, dpi), in.dpi = dpi;
            const WindowSize s = ComputeWindowSize(in);
            const int32_t slack = 1 + 2 * l[3] + (l[0] && !l[1] ? l[4] / 2 : 0);
            EXPECT_NEAR(s.width, base.width * dpi / 96.0, slack) << l[2] << " at " << dpi;
            EXPECT_NEAR(s.height, base.height * dpi / 96.0, slack) << l[3] << " at " << dpi;
        }
}

TEST(Scale, AChangeOfScaleTakesTheSuggestedPlaceAndKeepsASnappedEdge) {
    const ScaleBox work{0, 0, 1024, 740}, second{1024, 0, 2944, 1040}, to{1500, 300, 1668, 426};
    const struct {
        ScaleBox old;
        bool snap;
        int32_t left, top;
    } rows[] = {
        {{300, 200, 412, 284}, true, 1500, 300},   {{912, 200, 1024, 284}, true, 2776, 300},
        {{912, 200, 1024, 284}, false, 1500, 300}, {{0, 0, 112, 84}, true, 1024, 0},
        {{300, 656, 412, 740}, true, 1500, 914},
    };
    for (const auto& r : rows) {
        const ScaleBox b = DpiChangePlace(r.old, work, to, second, 168, 126, r.snap);
        EXPECT_EQ(b.left, r.left) << r.old.left << "," << r.old.top;
        EXPECT_EQ(b.top, r.top) << r.old.left << "," << r.old.top;
        EXPECT_EQ(b.right - b.left, 168);
        EXPECT_EQ(b.bottom - b.top, 126);
    }
}

} // namespace
