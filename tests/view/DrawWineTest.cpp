// Meters, graph, guide line, memory line and the whole monitor drawn into a
// real memory DC, read back pixel by pixel.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "ViewKit.h"
#include "app/AppState.h"
#include "measure/LoadHistory.h"
#include "view/Draw.h"
#include "view/Layout.h"
#include "view/MemoryLine.h"

using namespace viewkit;

namespace {

const COLORREF WHITE = RGB(255, 255, 255), BLACK = RGB(0, 0, 0), GREY = RGB(128, 128, 128);
const COLORREF LOW = RGB(0, 255, 0), MID = RGB(255, 240, 0), HIGH = RGB(255, 0, 0);

class DrawTest : public ::testing::Test {
  protected:
    void SetUp() override {
        app.color0 = 0x00ff00, app.color1 = 0x00f0ff, app.color2 = 0x0000ff;
        app.gcolorbk = 0xf0f0f0;
        app.meterGradient = 0, app.meterStep = 0;
        app.gline = 1, app.layout = 0, app.colum = 1, app.graph = 0;
        app.fontsize = 15, app.kakusi = 0, app.memory = 0, app.memtype = 0;
        app.padLeft = 4, app.padTop = 8;
        app.skinTextColor = RGB(0, 0, 0);
        app.cpuCount = 4;
        gcolor.assign(5, 0);
        for (int i = 0; i < 5; ++i)
            gcolor[i] = RGB(0, 0, 40 * i + 40);
        app.gcolor = gcolor.data();
        pens.assign(5, nullptr);
        app.graphPens = pens.data();
        CreateGraphPens();
        CreateMeterBrushes();
        CreateGridPen();
        CreateViewFonts();
        rings = new LoadHistory[5];
        for (int i = 0; i < 5; ++i)
            rings[i].resize(51);
    }
    void TearDown() override {
        DeleteViewObjects();
        app.graphPens = nullptr;
        app.gcolor = nullptr;
        delete[] rings;
        FreeBackBuffer();
    }
    void Blank(int w, int h) {
        MakeBackBuffer(w, h);
        RECT r = {0, 0, w, h};
        FillRect(app.backDC, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    // Figures oldest first; the last one becomes latest.
    void Feed(LoadHistory& ring, std::initializer_list<uint32_t> figures) {
        for (uint32_t f : figures)
            ring.push(f);
    }
    std::vector<uint32_t> gcolor;
    std::vector<HPEN> pens;
    LoadHistory* rings = nullptr;
};

TEST_F(DrawTest, CoarseMeterAtSeventyFive) {
    Blank(130, 20);
    Feed(rings[0], {75});
    DrawMeter(app.backDC, rings[0], 10, 5, 15);
    EXPECT_EQ(At(11, 10), LOW);
    EXPECT_EQ(At(14, 10), LOW);
    EXPECT_EQ(At(15, 10), WHITE); // blank column between cells
    EXPECT_EQ(At(66, 10), LOW);   // cell 55
    EXPECT_EQ(At(71, 10), MID);   // cell 60
    EXPECT_EQ(At(81, 10), MID);   // cell 70
    EXPECT_EQ(At(86, 10), GREY);  // cell 75: unlit
    EXPECT_EQ(At(10, 10), GREY);  // frame, 101 columns wide
    EXPECT_EQ(At(110, 10), GREY);
    EXPECT_EQ(At(111, 10), WHITE);
    EXPECT_EQ(At(50, 5), GREY);
    EXPECT_EQ(At(50, 14), GREY);
    EXPECT_EQ(At(50, 15), WHITE); // bottom is exclusive
    EXPECT_EQ(At(50, 4), WHITE);
}

TEST_F(DrawTest, FineMeterFullAndFirstCellOfOne) {
    Blank(120, 30);
    app.meterStep = 1;
    Feed(rings[0], {100});
    DrawMeter(app.backDC, rings[0], 0, 0, 10);
    EXPECT_EQ(At(97, 5), HIGH); // cell 96, the 33rd
    EXPECT_EQ(At(99, 5), GREY); // frame: 100 columns
    EXPECT_EQ(At(100, 5), WHITE);
    app.meterStep = 0;
    Feed(rings[1], {1});
    DrawMeter(app.backDC, rings[1], 0, 15, 25);
    EXPECT_EQ(At(1, 20), LOW);
    EXPECT_EQ(At(6, 20), GREY);
}

TEST_F(DrawTest, GradientCellsHaveTheirOwnColours) {
    Blank(110, 12);
    app.meterStep = 2, app.meterGradient = 1;
    Feed(rings[0], {100});
    DrawMeter(app.backDC, rings[0], 0, 0, 10);
    EXPECT_EQ(At(30, 5), RGB(63, 251, 0));
    EXPECT_EQ(At(60, 5), RGB(255, 240, 0));
    EXPECT_EQ(At(0, 5), GREY); // the frame covers the first column
    SaveBackBuffer("view_meter_gradient");
}

TEST_F(DrawTest, PolylineGraphAndTheXorGuideLine) {
    Blank(120, 50);
    Feed(rings[0], {0, 0, 100});
    // As DrawMonitor leaves it for the graph: with an opaque background the
    // gaps of the dotted line would be XORed in the background colour too.
    SetBkMode(app.backDC, TRANSPARENT);
    DrawGraph(app.backDC, 0, rings, 5, 5, 0);
    const COLORREF back = RGB(240, 240, 240), curve = gcolor[0];
    EXPECT_EQ(At(5, 5), BLACK);
    EXPECT_EQ(At(105, 39), BLACK);
    EXPECT_EQ(At(106, 39), WHITE);
    EXPECT_EQ(At(50, 30), back);
    EXPECT_EQ(At(104, 6), curve); // 100 % reaches the first row inside the frame
    EXPECT_EQ(At(104, 30), curve);
    EXPECT_EQ(At(103, 10), back);
    // The guide line is dotted grey XORed over the background: 240 ^ 189.
    int xored = 0;
    for (int x = 6; x < 104; ++x) {
        const COLORREF c = At(x, 22);
        if (c == RGB(77, 77, 77))
            ++xored;
        else if (c != back && c != curve)
            ADD_FAILURE() << x << " " << std::hex << c;
        EXPECT_EQ(At(x, 21) == back || At(x, 21) == curve, true);
    }
    EXPECT_GT(xored, 20);
    EXPECT_EQ(At(104, 22), curve);
    SaveBackBuffer("view_graph_polyline");
}

TEST_F(DrawTest, BarGraphSplitsIntoTheThreeColours) {
    Blank(120, 50);
    app.gline = 0;
    Feed(rings[0], {50, 70, 100, 0});
    DrawGraph(app.backDC, 0, rings, 5, 5, 0);
    const COLORREF back = RGB(240, 240, 240);
    // R = 105, Bt = 39; the newest figure (0) has no bar, the next one (100)
    // is at column 104, then 70 at 102 and 50 at 100.
    EXPECT_EQ(At(104, 39), LOW);
    EXPECT_EQ(At(104, 20), LOW);
    EXPECT_EQ(At(104, 19), MID);
    EXPECT_EQ(At(104, 10), MID);
    EXPECT_EQ(At(104, 9), HIGH);
    EXPECT_EQ(At(104, 6), HIGH);
    EXPECT_EQ(At(103, 30), back);
    EXPECT_EQ(At(102, 16), MID);
    EXPECT_EQ(At(102, 15), back);
    EXPECT_EQ(At(100, 23), LOW); // 50 %: 16 rows above the bottom
    EXPECT_EQ(At(100, 22 - 1), back);
    EXPECT_EQ(At(98, 39), LOW); // zero figures still cover the bottom row
    EXPECT_EQ(At(98, 38), back);
    SaveBackBuffer("view_graph_bars");
}

TEST_F(DrawTest, GridLayoutPlacesOneBoxPerProcessor) {
    Blank(240, 160);
    app.layout = 1, app.colum = 2;
    for (int i = 1; i <= 4; ++i)
        Feed(rings[i], {uint32_t(20 * i)});
    HGDIOBJ penBefore = GetCurrentObject(app.backDC, OBJ_PEN);
    HGDIOBJ fontBefore = GetCurrentObject(app.backDC, OBJ_FONT);
    DrawMonitor(app.backDC, 4, rings, true);
    EXPECT_EQ(GetCurrentObject(app.backDC, OBJ_PEN), penBefore);
    EXPECT_EQ(GetCurrentObject(app.backDC, OBJ_FONT), fontBefore);
    // Text origin (4, 8); graph boxes at x + 1 + 110 k, y + 31 + 72 row.
    const int boxes[4][2] = {{5, 39}, {115, 39}, {5, 111}, {115, 111}};
    for (const auto& b : boxes) {
        EXPECT_EQ(At(b[0], b[1]), BLACK);
        EXPECT_EQ(At(b[0] + 100, b[1] + 34), BLACK);
        EXPECT_EQ(At(b[0] - 1, b[1] - 1), WHITE);
    }
    // Meters 15 pixels below each text origin, one per cell.
    EXPECT_EQ(At(5, 23), GREY);
    EXPECT_EQ(At(115, 23), GREY);
    EXPECT_EQ(At(5, 23 + 72), GREY);
    EXPECT_EQ(At(6, 28), LOW); // processor 1 at 20 %
    bool text = false;
    for (int y = 8; y < 23 && !text; ++y)
        for (int x = 4; x < 100 && !text; ++x)
            text = At(x, y) != WHITE;
    EXPECT_TRUE(text);
    SaveBackBuffer("view_monitor_grid");
}

TEST_F(DrawTest, CompactPanelStacksThinMetersOverOneSharedBox) {
    Blank(120, 110);
    app.gline = 0; // several rings share the box: polylines anyway
    for (int i = 0; i <= 4; ++i)
        for (int k = 0; k < 51; ++k)
            rings[i].push(50);
    DrawMonitor(app.backDC, 4, rings, true);
    const int y = 8, x = 4;
    for (int k = 1; k <= 4; ++k) {
        const int t = y + 15 + 1 + 8 * (k - 1);
        EXPECT_EQ(At(x + 1, t), GREY) << k;
        EXPECT_EQ(At(x + 1, t + 6), GREY) << k;
        EXPECT_EQ(At(x + 1, t + 7), WHITE) << k;
    }
    const int boxTop = y + 15 + 32 + 5;
    EXPECT_EQ(At(x + 1, boxTop), BLACK);
    EXPECT_EQ(At(x + 1, boxTop - 1), WHITE);
    // Five flat curves at 50 %: the last drawn (processor 4) on top, no bars.
    EXPECT_EQ(At(x + 1 + 50, boxTop + 34 - 16), gcolor[4]);
    EXPECT_NE(At(x + 1 + 99, boxTop + 34), LOW);
    SaveBackBuffer("view_monitor_compact");
}

TEST_F(DrawTest, MemoryBarShowsTheUsedShare) {
    Blank(200, 40);
    app.kakusi = app.memory = 1;
    app.memTextSize = SIZE{120, 12};
    app.memtext = 0xf00000, app.memback = 0x648080;
    const uint64_t MB = 1048576;
    const int below = DrawMemoryLine(app.backDC, 10, 5, true, 2048 * MB, 512 * MB);
    const int yBar = 5 + 12 + 2;
    EXPECT_EQ(below, yBar + 6);
    // 3/4 of 120 = 90 columns used, from x 10 to 99.
    EXPECT_EQ(At(12, yBar), RGB(0, 0, 240));
    EXPECT_EQ(At(96, yBar), RGB(0, 0, 240));
    EXPECT_EQ(At(103, yBar), RGB(128, 128, 100));
    EXPECT_EQ(At(126, yBar), RGB(128, 128, 100));
    EXPECT_EQ(At(133, yBar), WHITE);
    // The free figure changes the text but never the bar.
    Blank(200, 40);
    app.memtype = 1;
    DrawMemoryLine(app.backDC, 10, 5, true, 2048 * MB, 512 * MB);
    EXPECT_EQ(At(96, yBar), RGB(0, 0, 240));
    EXPECT_EQ(At(103, yBar), RGB(128, 128, 100));
}

TEST_F(DrawTest, MemoryLineCentresTheTotalBelowIt) {
    app.kakusi = app.memory = 1;
    HDC screen = GetDC(nullptr);
    MeasureMemoryTemplate(screen);
    ReleaseDC(nullptr, screen);
    ASSERT_GT(app.memTextSize.cx, 50);
    const int w = app.memTextSize.cx + 8;
    Blank(w, 100);
    Feed(rings[0], {40});
    DrawMonitor(app.backDC, 0, rings, false);
    const int y = 8 + app.memTextSize.cy + 2 + 6;
    const int x = (w - 103) / 2;
    EXPECT_EQ(At(x + 1, y + 15), GREY); // meter frame under the centred text
    EXPECT_EQ(At(x, y + 15), WHITE);
    SaveBackBuffer("view_monitor_memory");
}

} // namespace
