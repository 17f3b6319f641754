// Taking the dialog's working copy over, in this process on a real window
// with the program's own resources: a thousand applies of changed colours,
// fonts, skins and icon folders leave the GDI object count level and nothing
// deleted in use; the memory item comes and goes by position; a skin that
// cannot be read leaves the window without a skin.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/AppState.h"
#include "app/OptionsExchange.h"
#include "measure/LoadHistory.h"
#include "res/options.h"
#include "res/resource.h"
#include "tests/testkit/testkit.h"
#include "view/Draw.h"
#include "view/Layout.h"
#include "view/Skin.h"

namespace {

// Live GDI objects of this process. Wine accepts a handle given by its
// table index alone (high word 0), so every slot can be asked for its type.
int CountGdiObjects() {
    int n = 0;
    for (uintptr_t i = 1; i < 0x10000; ++i)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(i)) != 0) ++n;
    return n;
}

bool Alive(HGDIOBJ h) {
    return h && GetObjectType(h) != 0;
}

const int kSeries = 4; // cpuCount 3

class Exchange : public ::testing::Test {
  protected:
    void SetUp() override {
        app.instance = GetModuleHandleA(nullptr);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = app.instance;
        wc.lpszClassName = "OptionsExchangeTest";
        RegisterClassA(&wc);
        window = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10,
                                 nullptr, nullptr, app.instance, nullptr);
        ASSERT_NE(window, nullptr);
        HDC dc = GetDC(window);
        app.backDC = CreateCompatibleDC(dc);
        ReleaseDC(window, dc);

        app.cpuCount = kSeries - 1;
        app.gcolor = gcolor;
        app.graphPens = pens;
        app.pendingGcolor = pendingGcolor;
        app.loadHistory = rings;
        for (LoadHistory& r : rings)
            r.resize(HISTORY_LENGTH);
        const std::string dir = testkit::FreshTempDir("exchange");
        lstrcpynA(app.iniPath, (dir + "\\vantor.ini").c_str(), MAX_PATH);

        menuBar = LoadMenuA(app.instance, "POPMENU");
        ASSERT_NE(menuBar, nullptr);
        app.popupMenu = GetSubMenu(menuBar, 0);
        app.kakusi = 1; // the menu resource holds the memory item

        lstrcpynA(app.skinname, "default", sizeof app.skinname);
        LoadSkin();
        CreateViewFonts();
        CreateMeterBrushes();
        CreateGridPen();
        CreateGraphPens();
        LayoutWindow(window, 0, 0, false, true);
        StartPending();
    }

    void TearDown() override {
        ReleaseSkin();
        DeleteViewObjects();
        if (app.skinBackBrush) DeleteObject(app.skinBackBrush);
        app.skinBackBrush = nullptr;
        DeleteDC(app.backDC);
        DeleteObject(app.backBuffer);
        app.backDC = nullptr;
        app.backBuffer = nullptr;
        DestroyMenu(menuBar);
        app.popupMenu = nullptr;
        DestroyWindow(window);
    }

    // What the dialog does at opening: the working copy equals the settings.
    void StartPending() {
        static_cast<Settings&>(app.pendingSettings) = app;
        app.pendingSettings.gcolor = pendingGcolor;
        for (int i = 0; i < kSeries; ++i)
            pendingGcolor[i] = gcolor[i];
    }

    // A paint of the whole window, as WM_PAINT does it.
    void Paint() { DrawMonitor(app.backDC, kSeries - 1, rings, true); }

    HWND window = nullptr;
    HMENU menuBar = nullptr;
    uint32_t gcolor[kSeries] = {}, pendingGcolor[kSeries] = {};
    HPEN pens[kSeries] = {};
    LoadHistory rings[kSeries];
};

TEST_F(Exchange, AThousandAppliesLeaveTheObjectCountLevelAndNothingDeletedInUse) {
    // The count must see what this process makes, or it proves nothing.
    const int empty = CountGdiObjects();
    HBRUSH probes[10];
    for (HBRUSH& b : probes)
        b = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(CountGdiObjects(), empty + 10);
    for (HBRUSH b : probes)
        DeleteObject(b);

    const char* skins[2] = {"default", "night"};
    const char* faces[2] = {"Courier New", "Arial"};
    auto change = [&](int k) {
        StartPending();
        PendingSettings& p = app.pendingSettings;
        p.color0 = RGB(k & 0xff, 1, 2);
        p.color1 = RGB(3, k & 0xff, 4);
        p.color2 = RGB(5, 6, k & 0xff);
        p.gcolorbk = RGB(k & 0xff, k & 0xff, 7);
        for (int i = 0; i < kSeries; ++i)
            p.gcolor[i] = RGB(i, k & 0xff, 9);
        lstrcpynA(p.font, faces[k % 2], sizeof p.font);
        p.fontsize = 12 + k % 5;
        lstrcpynA(p.skinname, skins[k % 2], sizeof p.skinname);
        p.usericon = 1;
        lstrcpynA(p.iconpath, k % 2 ? "C:\\icons" : "C:\\other", sizeof p.iconpath);
        p.kakusi = k % 2;
        p.graph = k % 3; // pens go when the graph is never shown, and come back
    };

    change(0);
    TakeOverOptions(window, IDC_APPLY_NOSAVE);
    change(1);
    TakeOverOptions(window, IDC_APPLY_NOSAVE);
    Paint();
    const int before = CountGdiObjects();
    // 1002 more, ending in the state the count was taken in (k = 1 mod 6).
    for (int k = 2; k <= 1003; ++k) {
        change(k);
        TakeOverOptions(window, k % 100 == 0 ? IDOK : IDC_APPLY_NOSAVE);
        Paint();
        ASSERT_TRUE(Alive(GetCurrentObject(app.backDC, OBJ_FONT))) << k;
        ASSERT_TRUE(Alive(GetCurrentObject(app.backDC, OBJ_PEN))) << k;
        ASSERT_TRUE(Alive(GetCurrentObject(app.backDC, OBJ_BRUSH))) << k;
        ASSERT_EQ(GetCurrentObject(app.backDC, OBJ_BITMAP), app.backBuffer) << k;
        ASSERT_TRUE(Alive(app.meterFont) && Alive(app.gridPen) && Alive(app.graphBackBrush)) << k;
        ASSERT_EQ(GetCurrentObject(app.skinLT.imageDC, OBJ_BITMAP), app.skinLT.image) << k;
    }
    EXPECT_EQ(CountGdiObjects(), before);
    EXPECT_EQ(app.fontsize, 12 + 1003 % 5);
    EXPECT_STREQ(app.skinname, "night");
    EXPECT_STREQ(app.iconpath, "C:\\icons");
}

TEST_F(Exchange, MemoryItemAppearsBelowSnapAndGoes) {
    auto text = [&](int position) {
        char s[64] = {};
        GetMenuStringA(app.popupMenu, static_cast<UINT>(position), s, sizeof s, MF_BYPOSITION);
        return std::string(s);
    };
    const int full = GetMenuItemCount(app.popupMenu);
    StartPending();
    app.pendingSettings.kakusi = 0;
    TakeOverOptions(window, IDC_APPLY_NOSAVE);
    EXPECT_EQ(GetMenuState(app.popupMenu, IDM_MEMORY, MF_BYCOMMAND), 0xFFFFFFFFu);
    EXPECT_EQ(GetMenuItemCount(app.popupMenu), full - 1);

    app.memory = 1;
    StartPending();
    app.pendingSettings.kakusi = 1;
    TakeOverOptions(window, IDC_APPLY_NOSAVE);
    EXPECT_EQ(GetMenuItemCount(app.popupMenu), full);
    EXPECT_EQ(text(4), "画面端にスナップ");
    EXPECT_EQ(GetMenuItemID(app.popupMenu, 5), static_cast<UINT>(IDM_MEMORY));
    EXPECT_EQ(text(5), "メモリ容量表示");
    EXPECT_EQ(GetMenuItemID(app.popupMenu, 6), 0u) << "the separator follows";
    EXPECT_TRUE(GetMenuState(app.popupMenu, IDM_MEMORY, MF_BYCOMMAND) & MF_CHECKED);

    // Unchanged, it is neither added twice nor removed.
    StartPending();
    TakeOverOptions(window, IDC_APPLY_NOSAVE);
    EXPECT_EQ(GetMenuItemCount(app.popupMenu), full);
}

TEST_F(Exchange, ASkinThatCannotBeReadLeavesTheWindowWithoutASkin) {
    const HBITMAP oldBack = app.skinBack.image;
    ASSERT_TRUE(Alive(oldBack));
    // Beside this test program, where skins are looked for.
    const std::string folder = testkit::BuildDir() + "\\broken";
    CreateDirectoryA(folder.c_str(), nullptr);
    testkit::WriteTextFile(folder + "\\skin.ini", "[COLOR]\r\nBACK=1 2 3\r\n");
    for (const char* f : {"back.bmp", "backLT.bmp", "backST.bmp"})
        testkit::WriteTextFile(folder + "\\" + f, "not a bitmap");

    StartPending();
    lstrcpynA(app.pendingSettings.skinname, "broken", sizeof app.pendingSettings.skinname);
    TakeOverOptions(window, IDC_APPLY_NOSAVE);
    EXPECT_FALSE(Alive(oldBack)) << "the old skin is released";
    for (const SkinPiece* piece : {&app.skinBack, &app.skinLT, &app.skinST, &app.skinRB})
        EXPECT_EQ(piece->image, nullptr);
    Paint();
    EXPECT_EQ(GetPixel(app.backDC, 1, 1), RGB(1, 2, 3)) << "the plain background of the skin.ini";
}

} // namespace
