// LayoutWindow on a real popup window whose WM_SIZE composes the background
// and sets the outline, the way the program's window procedure does.
#include <gtest/gtest.h>
#include <windows.h>

#include "ViewKit.h"
#include "app/AppState.h"
#include "measure/LoadHistory.h"
#include "view/Background.h"
#include "view/Dpi.h"
#include "view/Draw.h"
#include "view/Layout.h"
#include "view/Region.h"
#include "view/Scale.h"
#include "view/Skin.h"

using namespace viewkit;

namespace {

int sizeMessages = 0;

LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SIZE && wp == SIZE_RESTORED) {
        ++sizeMessages;
        ComposeBackground(app.backDC);
        SetWindowRgn(w, BuildWindowRegion(app.backDC), FALSE);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

class LayoutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ViewLayoutTest";
        RegisterClassA(&wc);
        window = CreateWindowExA(WS_EX_TOOLWINDOW, "ViewLayoutTest", "", WS_POPUP, 0, 0, 10, 10,
                                 nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(window, nullptr);
        HDC dc = GetDC(window);
        app.backDC = CreateCompatibleDC(dc);
        ReleaseDC(window, dc);
        app.multi = 0, app.layout = 0, app.colum = 1, app.row = 1, app.fontsize = 15;
        app.kakusi = 0, app.memory = 0, app.usericon = 1;
        LoadSkinNamed("default");
        sizeMessages = 0;
    }
    void TearDown() override {
        ReleaseSkin();
        DestroyWindow(window);
        FreeBackBuffer();
    }
    SIZE BufferSize() const {
        BITMAP bm = {};
        GetObjectA(app.backBuffer, sizeof bm, &bm);
        return SIZE{bm.bmWidth, bm.bmHeight};
    }
    HWND window = nullptr;
};

TEST_F(LayoutTest, PlacesAndSizesWindowAndBackBuffer) {
    LayoutWindow(window, 30, 40, true, true);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.right - r.left, 112);
    EXPECT_EQ(r.bottom - r.top, 84);
    EXPECT_EQ(BufferSize().cx, 112);
    EXPECT_EQ(BufferSize().cy, 84);
    EXPECT_EQ(sizeMessages, 1);
    EXPECT_EQ(GetCurrentObject(app.backDC, OBJ_BITMAP), app.backBuffer);

    // Without move the position stays; the band goes.
    LayoutWindow(window, 500, 500, false, false);
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.bottom - r.top, 44);
    EXPECT_EQ(BufferSize().cy, 44);
    EXPECT_EQ(sizeMessages, 2);
}

TEST_F(LayoutTest, MemoryLineWidensTheWindow) {
    app.kakusi = app.memory = 1;
    CreateViewFonts();
    HDC dc = GetDC(window);
    MeasureMemoryTemplate(dc);
    ReleaseDC(window, dc);
    LayoutWindow(window, 0, 0, true, false);
    EXPECT_GE(app.clientWidth, static_cast<uint32_t>(app.memTextSize.cx + 8));
    EXPECT_EQ(app.clientHeight, 44u + app.memTextSize.cy + 7);
    DeleteViewObjects();
}

TEST_F(LayoutTest, NightSkinOutlineFollowsEverySize) {
    ReleaseSkin();
    LoadSkinNamed("night");
    LayoutWindow(window, 0, 0, true, true);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(window, region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_FALSE(PtInRegion(region, static_cast<int>(app.clientWidth) - 1, 0));
    EXPECT_TRUE(PtInRegion(region, 40, 40));
    app.multi = 1, app.layout = 1, app.colum = 2;
    LayoutWindow(window, 0, 0, false, false);
    GetWindowRgn(window, region);
    const int w = static_cast<int>(app.clientWidth), h = static_cast<int>(app.clientHeight);
    EXPECT_EQ(w, 120 + 110 + 12 - 16);
    EXPECT_FALSE(PtInRegion(region, w - 1, h - 1));
    EXPECT_TRUE(PtInRegion(region, w - 9, h - 1)); // the bottom edge is not cut
    DeleteObject(region);
}

TEST_F(LayoutTest, OneCutOfAllRunsEqualsACutPerRun) {
    ReleaseSkin();
    LoadSkinNamed("night");
    for (int colum : {1, 3}) {
        app.multi = colum > 1, app.layout = 1, app.colum = colum;
        LayoutWindow(window, 0, 0, false, true);
        HRGN once = BuildWindowRegion(app.backDC);
        HRGN perRun = BuildWindowRegionPerRun(app.backDC);
        HRGN whole = CreateRectRgn(0, 0, static_cast<int>(app.clientWidth),
                                   static_cast<int>(app.clientHeight));
        EXPECT_TRUE(EqualRgn(once, perRun)) << colum << " columns";
        EXPECT_FALSE(EqualRgn(once, whole)) << "the night skin cuts its corners";
        DeleteObject(once);
        DeleteObject(perRun);
        DeleteObject(whole);
    }
}

TEST_F(LayoutTest, DefaultSkinPaintPutsTheContentInsideThePadding) {
    app.color0 = 0x00ff00, app.color1 = 0x00f0ff, app.color2 = 0x0000ff, app.gcolorbk = 0xf0f0f0;
    app.meterStep = 0, app.meterGradient = 0, app.gline = 1, app.graph = 0, app.cpuCount = 0;
    uint32_t colour = RGB(0, 0, 200);
    HPEN pen = nullptr;
    app.gcolor = &colour;
    app.graphPens = &pen;
    CreateGraphPens();
    CreateMeterBrushes();
    CreateGridPen();
    CreateViewFonts();
    LoadHistory ring;
    ring.resize(51);
    for (int i = 0; i < 51; ++i)
        ring.push(static_cast<uint32_t>(i * 2));
    LayoutWindow(window, 0, 0, true, true);
    ComposeBackground(app.backDC);
    DrawMonitor(app.backDC, 0, &ring, true);
    // Padding 4 8: the meter frame at (5, 23), the graph box at (5, 38).
    EXPECT_EQ(At(5, 23), RGB(128, 128, 128));
    EXPECT_EQ(At(6, 28), RGB(0, 255, 0));
    EXPECT_EQ(At(5, 38), RGB(0, 0, 0));
    EXPECT_EQ(At(105, 72), RGB(0, 0, 0));
    EXPECT_EQ(At(0, 0), RGB(255, 255, 255)); // the bevel's light corner
    SaveBackBuffer("view_default_monitor");
    DeleteViewObjects();
    app.gcolor = nullptr;
    app.graphPens = nullptr;
}

// A burst of one scale (a drag across monitors) makes the skin once, at
// that scale.
TEST_F(LayoutTest, ABurstOfOneScaleMakesTheSkinOnce) {
    LayoutWindow(window, 0, 0, true, true);
    const int corner = app.skinLT.width;
    for (int dpi : {144, 120, 192, 96}) {
        const uint32_t builds = app.skinBuilds;
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(RescaleView(window, dpi), i == 0) << dpi;
        EXPECT_EQ(app.skinBuilds, builds + 1) << dpi;
        EXPECT_EQ(app.skinLT.width, Scaled(corner, dpi));
    }
    DeleteViewObjects();
}

TEST(FitMeterGridOnApp, CorrectsTheStoredGrid) {
    app.colum = 4, app.row = 4;
    FitMeterGrid(8);
    EXPECT_EQ(app.colum, 4);
    EXPECT_EQ(app.row, 2);
}

} // namespace
