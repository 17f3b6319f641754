// Meter cells and colours, graph heights, polyline points and bar segments.
#include <gtest/gtest.h>

#include "view/MeterCells.h"

namespace {

const uint32_t kColours[3] = {0x00ff00, 0x00f0ff, 0x0000ff};

int LitCount(const MeterLayout& m) {
    int n = 0;
    for (int i = 0; i < m.count; ++i)
        n += m.cells[i].lit;
    return n;
}

TEST(Meter, CoarseAtSeventyFive) {
    MeterLayout m;
    LayoutMeter(75, 0, 0, kColours, 10, 20, 30, m);
    ASSERT_EQ(m.count, 20);
    EXPECT_EQ(LitCount(m), 15);
    for (int i = 0; i < m.count; ++i) {
        const int s = 5 * i;
        EXPECT_EQ(m.cells[i].lit, s < 75) << s;
        EXPECT_EQ(m.cells[i].rect.left, 10 + s + 1);
        EXPECT_EQ(m.cells[i].rect.right, 10 + s + 5); // 4 pixels wide
        EXPECT_EQ(m.cells[i].rect.top, 20);
        EXPECT_EQ(m.cells[i].rect.bottom, 30);
        if (s < 60)
            EXPECT_EQ(m.cells[i].colour, kColours[0]);
        else if (s < 90)
            EXPECT_EQ(m.cells[i].colour, kColours[1]);
        else
            EXPECT_EQ(m.cells[i].colour, kColours[2]);
    }
    EXPECT_EQ(m.frame.right - m.frame.left, 101);
}

TEST(Meter, FineFullAndContinuousKinds) {
    MeterLayout m;
    LayoutMeter(100, 1, 0, kColours, 0, 0, 10, m);
    EXPECT_EQ(m.count, 33);
    EXPECT_EQ(LitCount(m), 33);
    EXPECT_EQ(m.cells[32].rect.left, 97);
    EXPECT_EQ(m.cells[32].rect.right, 99);
    EXPECT_EQ(m.frame.right - m.frame.left, 100);

    LayoutMeter(37, 2, 0, kColours, 5, 0, 7, m);
    EXPECT_EQ(m.count, 100);
    EXPECT_EQ(LitCount(m), 37);
    EXPECT_EQ(m.cells[0].rect.left, 5); // under the frame's left column
    EXPECT_EQ(m.cells[0].rect.right, 6);
    LayoutMeter(37, 7, 0, kColours, 5, 0, 7, m); // beyond 2 behaves as 2
    EXPECT_EQ(m.count, 100);
}

TEST(Meter, ZeroLightsNothingAndOneLightsTheFirstCell) {
    MeterLayout m;
    LayoutMeter(0, 0, 0, kColours, 0, 0, 10, m);
    EXPECT_EQ(LitCount(m), 0);
    LayoutMeter(1, 0, 0, kColours, 0, 0, 10, m);
    EXPECT_EQ(LitCount(m), 1);
    EXPECT_TRUE(m.cells[0].lit);
}

TEST(Meter, GradientColoursOfTheDefaultColours) {
    EXPECT_EQ(GradientColour(0, kColours[0], kColours[1], kColours[2]), 0x00ff00u);
    // R 63, G 251, B 0
    EXPECT_EQ(GradientColour(30, kColours[0], kColours[1], kColours[2]), 0x00fb3fu);
    EXPECT_EQ(GradientColour(60, kColours[0], kColours[1], kColours[2]), 0x00f0ffu);
    // t = (35 / 40)^2 = 0.765625: G 240 - 183.75 = 56.25 -> 56
    EXPECT_EQ(GradientColour(95, kColours[0], kColours[1], kColours[2]), 0x0038ffu);
    MeterLayout m;
    LayoutMeter(100, 0, 1, kColours, 0, 0, 10, m);
    EXPECT_EQ(m.cells[6].colour, 0x00fb3fu);
}

TEST(Graph, HeightsAreOneThirdRoundedDown) {
    EXPECT_EQ(GraphHeight(0), 0);
    EXPECT_EQ(GraphHeight(3), 0);
    EXPECT_EQ(GraphHeight(4), 1);
    EXPECT_EQ(GraphHeight(50), 16);
    EXPECT_EQ(GraphHeight(100), 33);
    for (uint32_t v = 0; v <= 100; ++v)
        EXPECT_EQ(GraphHeight(v), static_cast<int32_t>(v * 0.33));
}

TEST(Graph, PolylineStartsVerticalAtTheRightColumn) {
    uint32_t figures[GRAPH_FIGURES];
    for (int i = 0; i < GRAPH_FIGURES; ++i)
        figures[i] = static_cast<uint32_t>(2 * i);
    GraphPoint pts[GRAPH_FIGURES];
    GraphPolyline(figures, 100, 34, pts);
    EXPECT_EQ(pts[0].x, 99);
    EXPECT_EQ(pts[0].y, 34);
    EXPECT_EQ(pts[1].x, 99);
    EXPECT_EQ(pts[50].x, 1);
    EXPECT_EQ(pts[50].y, 34 - 33);
}

TEST(Graph, BarsSplitAtTheThresholds) {
    uint32_t figures[GRAPH_FIGURES] = {};
    figures[0] = 100; // the newest figure has no bar
    figures[1] = 50;  // h 16
    figures[2] = 70;  // h 23
    figures[3] = 100; // h 33
    GraphBar bars[GRAPH_BARS];
    GraphBars(figures, 100, 34, 20, bars);
    EXPECT_EQ(bars[0].column, 99);
    EXPECT_EQ(bars[49].column, 1);
    ASSERT_EQ(bars[0].count, 1);
    EXPECT_EQ(bars[0].segments[0].top, 34 - 16);
    EXPECT_EQ(bars[0].segments[0].bottom, 34);
    ASSERT_EQ(bars[1].count, 2);
    EXPECT_EQ(bars[1].segments[0].top, 34 - 19);
    EXPECT_EQ(bars[1].segments[1].bottom, 34 - 20);
    EXPECT_EQ(bars[1].segments[1].top, 34 - 23);
    ASSERT_EQ(bars[2].count, 3);
    EXPECT_EQ(bars[2].segments[1].top, 34 - 29);
    EXPECT_EQ(bars[2].segments[2].bottom, 34 - 30);
    EXPECT_EQ(bars[2].segments[2].top, 1); // first row inside the frame
    ASSERT_EQ(bars[3].count, 1);           // a zero figure still covers the bottom row
    EXPECT_EQ(bars[3].segments[0].top, 34);

    GraphBars(figures, 100, 34, 22, bars); // grid cells split higher
    ASSERT_EQ(bars[1].count, 2);
    EXPECT_EQ(bars[1].segments[0].top, 34 - 21);
}

} // namespace
