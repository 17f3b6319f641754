// The display scale's arithmetic: lengths, the nearest-neighbour resampling
// of the skin's pixels, the window's size and drawing at each scale, and the
// place a change of scale moves the window to.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "app/PlacementRules.h"
#include "view/Geometry.h"
#include "view/MeterCells.h"
#include "view/Scale.h"

namespace {

const int32_t kDpis[] = {96, 120, 144, 168, 192, 288};

TEST(Scale, LengthsRoundToTheNearestPixelAlikeForBothSigns) {
    struct Row {
        int32_t length, dpi, want;
    } rows[] = {
        {15, 96, 15},   {15, 120, 19}, {15, 144, 23}, {15, 192, 30},   {-15, 144, -23},
        {1, 120, 1},    {1, 144, 2},   {0, 192, 0},   {110, 144, 165}, {40, 0, 40},
        {40, 5000, 40}, {40, 47, 40},  {12, 48, 6},
    };
    for (const Row& r : rows)
        EXPECT_EQ(Scaled(r.length, r.dpi), r.want) << r.length << " at " << r.dpi;
    EXPECT_EQ(ScaledAtLeastOne(1, 48), 1);
    EXPECT_EQ(ScaledAtLeastOne(0, 48), 0);
}

// A skin piece of key green and blue outline pixels in a checker: at every
// scale each output pixel is one of the input's colours, each input pixel
// covers a run of equal size within one pixel, and the corners stay corners.
TEST(Scale, NearestNeighbourKeepsTheKeyExactAndThePixelsEven) {
    const uint32_t key = 0x00ff00, blue = 0x0000ff, face = 0x808080;
    const int32_t w = 5, h = 3;
    std::vector<uint32_t> src(w * h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            src[y * w + x] = (x + y) % 2 ? key : (x == 0 ? blue : face);
    for (int32_t dpi : kDpis) {
        const int32_t dw = Scaled(w, dpi), dh = Scaled(h, dpi);
        std::vector<uint32_t> dst(dw * dh);
        ScaleNearest(src.data(), w, h, dst.data(), dw, dh);
        std::vector<int32_t> runs(w, 0);
        for (int32_t x = 0; x < dw; ++x)
            ++runs[NearestSource(x, w, dw)];
        const std::set<int32_t> widths(runs.begin(), runs.end());
        EXPECT_LE(*widths.rbegin() - *widths.begin(), 1) << dpi;
        for (int32_t y = 0; y < dh; ++y)
            for (int32_t x = 0; x < dw; ++x)
                ASSERT_EQ(dst[y * dw + x],
                          src[NearestSource(y, h, dh) * w + NearestSource(x, w, dw)]);
        EXPECT_EQ(dst[0], src[0]) << dpi;
        EXPECT_EQ(dst[dw * dh - 1], src[w * h - 1]) << dpi;
        EXPECT_EQ(std::set<uint32_t>(dst.begin(), dst.end()),
                  std::set<uint32_t>(src.begin(), src.end()))
            << dpi;
    }
}

// Every layout at every scale is the 96-dpi window times the scale, within
// the rounding of its parts.
TEST(Scale, WindowSizeFollowsTheScale) {
    struct Layout {
        int32_t multi, layout, colum, row, cpus, fontsize;
        bool band;
        int32_t memWidth, memHeight; // at 96 dpi; 0: no memory line
    } layouts[] = {
        {0, 0, 1, 1, 1, 15, true, 0, 0},  {0, 0, 1, 1, 1, 15, false, 0, 0},
        {1, 1, 2, 2, 4, 20, false, 0, 0}, {1, 1, 4, 4, 16, 15, true, 0, 0},
        {1, 0, 1, 1, 8, -12, true, 0, 0}, {0, 0, 1, 1, 1, 15, true, 130, 12},
    };
    for (const Layout& l : layouts)
        for (int32_t dpi : kDpis) {
            LayoutInput in;
            in.padLeft = 4, in.padTop = 8, in.padRight = 4, in.padBottom = 8;
            in.multi = l.multi, in.layout = l.layout, in.colum = l.colum, in.row = l.row;
            in.processorCount = l.cpus, in.fontsize = l.fontsize, in.band = l.band;
            in.kakusi = in.memory = l.memWidth != 0;
            in.memWidth = l.memWidth, in.memHeight = l.memHeight;
            const WindowSize base = ComputeWindowSize(in);
            in.memWidth = Scaled(l.memWidth, dpi), in.memHeight = Scaled(l.memHeight, dpi);
            in.dpi = dpi;
            const WindowSize s = ComputeWindowSize(in);
            const int32_t slack = 1 + 2 * l.row + (l.multi && !l.layout ? l.cpus / 2 : 0);
            EXPECT_NEAR(s.width, base.width * dpi / 96.0, slack) << l.colum << " at " << dpi;
            EXPECT_NEAR(s.height, base.height * dpi / 96.0, slack) << l.row << " at " << dpi;
        }
}

// The meter and graph at a scale fill the same share of their box and stay
// inside it; bars are as wide as a scaled pixel.
TEST(Scale, MeterAndGraphScaleInsideTheirBoxes) {
    const uint32_t colours[3] = {1, 2, 3};
    uint32_t figures[GRAPH_FIGURES];
    for (int k = 0; k < GRAPH_FIGURES; ++k)
        figures[k] = k % 2 ? 100 : 40;
    for (int32_t dpi : kDpis) {
        for (int32_t step : {0, 1, 2}) {
            MeterLayout m;
            LayoutMeter(50, step, 0, colours, 10, 0, 10, m, dpi);
            EXPECT_EQ(m.frame.right, 10 + Scaled(MeterStyleOf(step).limit, dpi) + 1) << dpi;
            int32_t lit = 0;
            for (int i = 0; i < m.count; ++i) {
                EXPECT_LT(m.cells[i].rect.left, m.cells[i].rect.right) << dpi << " " << step;
                EXPECT_LE(m.cells[i].rect.right, m.frame.right - (step >= 2 ? 0 : 1));
                if (m.cells[i].lit) lit = m.cells[i].rect.right - 10;
            }
            EXPECT_NEAR(lit, Scaled(50, dpi), Scaled(5, dpi) + 1) << dpi << " " << step;
        }
        const int32_t left = 7, R = left + Scaled(101, dpi) - 1, Bt = Scaled(35, dpi) - 1;
        GraphPoint points[GRAPH_FIGURES];
        GraphPolyline(figures, R, Bt, points, dpi);
        GraphBar bars[GRAPH_BARS];
        GraphBars(figures, R, Bt, 20, bars, dpi);
        EXPECT_GT(points[GRAPH_FIGURES - 1].x, left) << dpi;
        EXPECT_EQ(points[1].y, Bt - Scaled(33, dpi)) << dpi;
        for (const GraphBar& b : bars) {
            EXPECT_EQ(b.width, Scaled(1, dpi)) << dpi;
            EXPECT_GT(b.column, left);
            EXPECT_LE(b.column + b.width - 1, R);
            EXPECT_GT(b.segments[b.count - 1].top, 0) << dpi;
            for (int s = 1; s < b.count; ++s) // segments meet without gap or overlap
                EXPECT_EQ(b.segments[s].bottom + 1, b.segments[s - 1].top) << dpi;
        }
    }
}

TEST(Scale, GridResizeStepsByTheScaledPitches) {
    // Six processors: a column more from 2 x 3 is 3 x 2, a row less from
    // 3 x 2 is 6 x 1; a pixel short of the pitch changes nothing.
    struct Row {
        int32_t dpi, dx, dy, colum, row, wantColum, wantRow;
    } rows[] = {
        {96, 110, 0, 2, 3, 3, 2},   {96, 109, 0, 2, 3, 2, 3},   {96, 0, -72, 3, 2, 6, 1},
        {96, 0, -71, 3, 2, 3, 2},   {192, 220, 0, 2, 3, 3, 2},  {192, 219, 0, 2, 3, 2, 3},
        {192, 0, -144, 3, 2, 6, 1}, {192, 0, -143, 3, 2, 3, 2}, {144, 165, 0, 2, 3, 3, 2},
        {144, 164, 0, 2, 3, 2, 3},  {144, 0, -108, 3, 2, 6, 1}, {120, 0, -89, 3, 2, 3, 2},
    };
    for (const Row& r : rows) {
        int32_t colum = r.colum, row = r.row;
        GridResizeStep(0, Spot{0, 0}, Spot{r.dx, r.dy}, 6, &colum, &row, r.dpi);
        EXPECT_EQ(colum, r.wantColum) << r.dpi << " " << r.dx << " " << r.dy;
        EXPECT_EQ(row, r.wantRow) << r.dpi << " " << r.dx << " " << r.dy;
    }
    const Box window{100, 100, 400, 300};
    EXPECT_EQ(CornerZone(Spot{385, 285}, window, nullptr, 300, 200, 96), -1);
    EXPECT_EQ(CornerZone(Spot{385, 285}, window, nullptr, 300, 200, 192), 0);
}

TEST(Scale, AChangeOfScaleTakesTheSuggestedPlaceAndKeepsASnappedEdge) {
    const ScaleBox work{0, 0, 1024, 740}, second{1024, 0, 2944, 1040};
    struct Row {
        ScaleBox old;
        bool snap;
        ScaleBox want;
    } rows[] = {
        {{300, 200, 412, 284}, true, {1500, 300, 1668, 426}},   // loose: suggested
        {{912, 200, 1024, 284}, true, {2776, 300, 2944, 426}},  // right edge kept
        {{912, 200, 1024, 284}, false, {1500, 300, 1668, 426}}, // no snapping
        {{0, 0, 112, 84}, true, {1024, 0, 1192, 126}},          // left and top
        {{300, 656, 412, 740}, true, {1500, 914, 1668, 1040}},  // bottom
    };
    for (const Row& r : rows) {
        const ScaleBox b =
            DpiChangePlace(r.old, work, ScaleBox{1500, 300, 1668, 426}, second, 168, 126, r.snap);
        EXPECT_EQ(b.left, r.want.left) << r.old.left << "," << r.old.top;
        EXPECT_EQ(b.top, r.want.top) << r.old.left << "," << r.old.top;
        EXPECT_EQ(b.right, r.want.right);
        EXPECT_EQ(b.bottom, r.want.bottom);
    }
}

} // namespace
