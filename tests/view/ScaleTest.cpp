// The display scale's arithmetic: lengths, resampling, the window's size at
// each scale and the place a change of scale moves the window to.
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
// colour stays exact, the corners stay corners.
TEST(Scale, NearestNeighbourCopiesThePixelUnderEachPixel) {
    uint32_t src[5 * 3];
    for (uint32_t i = 0; i < 15; ++i)
        src[i] = i;
    for (int32_t dpi : kDpis) {
        const int32_t w = Scaled(5, dpi), h = Scaled(3, dpi);
        std::vector<uint32_t> dst(w * h);
        ScaleNearest(src, 5, 3, dst.data(), w, h);
        for (int32_t i = 0; i < w * h; ++i)
            ASSERT_EQ(dst[i], static_cast<int>((i / w + 0.5) * 3 / h) * 5 +
                                  static_cast<int>((i % w + 0.5) * 5 / w))
                << i << " at " << dpi;
    }
}

// Every layout at every scale is the 96-dpi window times the scale, within
// the rounding of its parts.
TEST(Scale, WindowSizeFollowsTheScale) {
    // multi, layout, colum, row, cpus, fontsize, band, memory width
    const int32_t layouts[][8] = {{0, 0, 1, 1, 1, 15, 1, 0},  {0, 0, 1, 1, 1, 15, 0, 0},
                                  {1, 1, 2, 2, 4, 20, 0, 0},  {1, 1, 4, 4, 16, 15, 1, 0},
                                  {1, 0, 1, 1, 8, -12, 1, 0}, {0, 0, 1, 1, 1, 15, 1, 130}};
    for (const auto& l : layouts)
        for (int32_t dpi : kDpis) {
            LayoutInput in;
            in.padLeft = in.padRight = 4, in.padTop = in.padBottom = 8;
            in.multi = l[0], in.layout = l[1], in.colum = l[2], in.row = l[3];
            in.processorCount = l[4], in.fontsize = l[5], in.band = l[6] != 0;
            in.kakusi = in.memory = l[7] != 0, in.memWidth = l[7], in.memHeight = 12;
            const WindowSize base = ComputeWindowSize(in);
            in.memWidth = Scaled(l[7], dpi), in.memHeight = Scaled(12, dpi), in.dpi = dpi;
            const WindowSize s = ComputeWindowSize(in);
            const int32_t slack = 1 + 2 * l[3] + (l[0] && !l[1] ? l[4] / 2 : 0);
            EXPECT_NEAR(s.width, base.width * dpi / 96.0, slack) << l[2] << " at " << dpi;
            EXPECT_NEAR(s.height, base.height * dpi / 96.0, slack) << l[3] << " at " << dpi;
        }
}

// The old window is 112 x 84; the new one 168 x 126 on the second monitor.
TEST(Scale, AChangeOfScaleTakesTheSuggestedPlaceAndKeepsASnappedEdge) {
    const ScaleBox work{0, 0, 1024, 740}, second{1024, 0, 2944, 1040}, to{1500, 300, 1668, 426};
    // old left, top; edges kept; new left, top
    const int32_t rows[][5] = {{300, 200, 1, 1500, 300},
                               {912, 200, 1, 2776, 300},
                               {912, 200, 0, 1500, 300},
                               {0, 0, 1, 1024, 0},
                               {300, 656, 1, 1500, 914}};
    for (const auto& r : rows) {
        const ScaleBox b = DpiChangePlace({r[0], r[1], r[0] + 112, r[1] + 84}, work, to, second,
                                          168, 126, r[2] != 0);
        EXPECT_TRUE(b.left == r[3] && b.top == r[4] && b.right == r[3] + 168 &&
                    b.bottom == r[4] + 126)
            << r[0] << "," << r[1] << " to " << b.left << "," << b.top;
    }
}

} // namespace
