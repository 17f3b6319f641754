// Taking the working copy over, in this process on a real window with the
// program's own resources and skins: a thousand applies (the memory item
// coming and going with them) keep the GDI count level with nothing deleted
// in use; a skin that cannot be read leaves the window without a skin.
#include <gtest/gtest.h>
#include <malloc.h>
#include <windows.h>

#include <string>

#include "app/AppState.h"
#include "app/OptionsExchange.h"
#include "measure/LoadHistory.h"
#include "options/OptionsDialog.h"
#include "res/options.h"
#include "res/resource.h"
#include "tests/testkit/testkit.h"
#include "titlebar/TitleBar.h"
#include "titlebar/TitleFormat.h"
#include "tray/TrayIcon.h"
#include "view/Background.h"
#include "view/Draw.h"
#include "view/Layout.h"
#include "view/Skin.h"

namespace {

// Live GDI objects: Wine takes a bare table index (high word 0) as a handle.
int CountGdiObjects() {
    int n = 0;
    for (uintptr_t i = 1; i < 0x10000; ++i)
        n += GetObjectType(reinterpret_cast<HGDIOBJ>(i)) != 0;
    return n;
}
bool Alive(HGDIOBJ h) {
    return h && GetObjectType(h) != 0;
}

// Bytes in use in the C runtime's heap, where every new and malloc of the
// program goes; Wine's own DLLs allocate from the process heap instead.
size_t ProgramHeapInUse() {
    _HEAPINFO entry = {};
    size_t used = 0;
    while (_heapwalk(&entry) == _HEAPOK)
        if (entry._useflag == _USEDENTRY) used += entry._size;
    return used;
}
const int kSeries = 4;

class Exchange : public ::testing::Test {
  protected:
    void SetUp() override {
        app.instance = GetModuleHandleA(nullptr);
        window = CreateWindowExA(WS_EX_TOOLWINDOW, "Static", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, app.instance, nullptr);
        app.backDC = CreateCompatibleDC(nullptr);
        app.cpuCount = kSeries - 1;
        app.gcolor = gcolor;
        app.graphPens = pens;
        app.pendingGcolor = pendingGcolor;
        for (LoadHistory& r : rings)
            r.resize(HISTORY_LENGTH);
        lstrcpynA(app.iniPath, (testkit::FreshTempDir("exchange") + "\\vantor.ini").c_str(),
                  MAX_PATH);
        menuBar = LoadMenuA(app.instance, "POPMENU");
        app.popupMenu = GetSubMenu(menuBar, 0);
        app.kakusi = 1; // the menu resource holds the memory item
        LoadSkin();
        CreateViewFonts();
        CreateMeterBrushes();
        CreateGridPen();
        CreateGraphPens();
        LayoutWindow(window, 0, 0, false, true);
    }
    void TearDown() override {
        ReleaseSkin();
        DeleteViewObjects();
        DeleteDC(app.backDC);
        DestroyMenu(menuBar);
        DestroyWindow(window);
    }
    // The working copy as the dialog fills it at opening.
    PendingSettings& Pending() {
        static_cast<Settings&>(app.pendingSettings) = app;
        app.pendingSettings.gcolor = pendingGcolor;
        for (int i = 0; i < kSeries; ++i)
            pendingGcolor[i] = gcolor[i];
        return app.pendingSettings;
    }
    // As the window's paint does: the background, then the figures.
    void Paint() {
        ComposeBackground(app.backDC);
        DrawMonitor(app.backDC, kSeries - 1, rings, true);
    }

    HWND window = nullptr;
    HMENU menuBar = nullptr;
    uint32_t gcolor[kSeries] = {}, pendingGcolor[kSeries] = {};
    HPEN pens[kSeries] = {};
    LoadHistory rings[kSeries];
};

TEST_F(Exchange, AThousandAppliesKeepTheObjectCountLevelAndNothingDeletedInUse) {
    const int empty = CountGdiObjects(); // the count sees what this process makes
    HBRUSH probe = CreateSolidBrush(0);
    EXPECT_EQ(CountGdiObjects(), empty + 1);
    DeleteObject(probe);

    // A folder of the user's own icons, taken in and let go on every other apply.
    const std::string icons = testkit::FreshTempDir("icons");
    const std::string images = testkit::BuildDir() + "\\..\\..\\..\\..\\res\\images\\";
    ASSERT_TRUE(CopyFileA((images + "ticon03.ico").c_str(), (icons + "\\0.ico").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((images + "ticon09.ico").c_str(), (icons + "\\60.ico").c_str(), FALSE));
    auto liveIcons = [] { return CountTrayIcons().loaded - CountTrayIcons().destroyed; };
    auto apply = [&](int k) {
        PendingSettings& p = Pending();
        p.color0 = p.color1 = p.color2 = p.gcolorbk = RGB(k & 0xff, 1, 2);
        for (int i = 0; i < kSeries; ++i)
            p.gcolor[i] = RGB(i, k & 0xff, 9);
        lstrcpynA(p.font, k % 2 ? "Arial" : "Courier New", sizeof p.font);
        p.fontsize = 12 + k % 5;
        lstrcpynA(p.skinname, k % 2 ? "night" : "default", sizeof p.skinname);
        p.usericon = 1;
        lstrcpynA(p.iconpath, k % 2 ? icons.c_str() : "C:\\other", sizeof p.iconpath);
        p.kakusi = k % 2;
        p.graph = k % 3; // pens go when the graph is never shown, and come back
        TakeOverOptions(window, k % 100 == 0 ? IDOK : IDC_APPLY_NOSAVE);
        Paint();
    };
    apply(0);
    apply(1);
    const int before = CountGdiObjects();
    const uint32_t iconsBefore = liveIcons();
    const size_t programHeap = ProgramHeapInUse();
    for (int k = 2; k <= 1003; ++k) { // ends where the count was taken (k = 1 mod 6)
        apply(k);
        for (UINT kind : {OBJ_FONT, OBJ_PEN, OBJ_BRUSH})
            ASSERT_TRUE(Alive(GetCurrentObject(app.backDC, kind))) << k;
        ASSERT_EQ(GetCurrentObject(app.backDC, OBJ_BITMAP), app.backBuffer) << k;
        ASSERT_EQ(GetCurrentObject(app.skinLT.imageDC, OBJ_BITMAP), app.skinLT.image) << k;
    }
    EXPECT_EQ(CountGdiObjects(), before);
    EXPECT_EQ(liveIcons(), iconsBefore);
    // The program's own heap is level too; the resident size still grows by
    // about 2 KB an apply under Wine 8: Wine's Unix side keeps it.
    EXPECT_EQ(ProgramHeapInUse(), programHeap);

    // The dialog's pages make brushes and bitmaps of their own, and let them
    // go; the system's controls keep a few objects after their first use.
    auto openAndClose = [&](int times) {
        for (int k = 0; k < times; ++k)
            DestroyWindow(
                CreateDialogParamA(app.instance, "OPTIONDLG", window, OptionsDialogProc, 0));
        return CountGdiObjects();
    };
    const int warm = openAndClose(3);
    const size_t programHeapOpen = ProgramHeapInUse();
    EXPECT_EQ(openAndClose(50), warm);
    // Each opening leaves 960 bytes in the process heap all the same: Wine
    // 8's comctl32 keeps the 24-byte extra record of every Static control
    // that was given a font (the dialog has 40) after the control is gone.
    EXPECT_EQ(ProgramHeapInUse(), programHeapOpen);
    EXPECT_GT(CountTrayIcons().loaded, 1000u);
    EXPECT_STREQ(app.iconpath, icons.c_str());
}

TEST_F(Exchange, ASkinThatCannotBeReadLeavesTheWindowWithoutASkin) {
    const HBITMAP oldBack = app.skinBack.image;
    ASSERT_TRUE(Alive(oldBack));
    const std::string folder = testkit::BuildDir() + "\\broken"; // where skins are looked for
    CreateDirectoryA(folder.c_str(), nullptr);
    testkit::WriteTextFile(folder + "\\skin.ini", "[COLOR]\r\nBACK=1 2 3\r\n");
    for (const char* f : {"back.bmp", "backLT.bmp", "backST.bmp"})
        testkit::WriteTextFile(folder + "\\" + f, "not a bitmap");
    lstrcpynA(Pending().skinname, "broken", SKINNAME_CAPACITY);
    TakeOverOptions(window, IDC_APPLY_NOSAVE);
    EXPECT_FALSE(Alive(oldBack)) << "the old skin is released";
    for (const SkinPiece* piece : {&app.skinBack, &app.skinLT, &app.skinST})
        EXPECT_EQ(piece->image, nullptr);
    Paint();
    EXPECT_EQ(GetPixel(app.backDC, 1, 1), RGB(1, 2, 3)) << "the plain background of the skin.ini";
}

// Own icons switched off: the tray takes the skin's icons again at once.
TEST_F(Exchange, OwnIconsSwitchedOffGiveTheSkinsFolderBack) {
    Pending().usericon = 1;
    lstrcpynA(app.pendingSettings.iconpath, "C:\\mine", sizeof app.iconpath);
    TakeOverOptions(window, IDC_APPLY_NOSAVE);
    EXPECT_STREQ(app.iconpath, "C:\\mine");
    Pending().usericon = 0;
    TakeOverOptions(window, IDC_APPLY_NOSAVE);
    EXPECT_STRNE(app.iconpath, "C:\\mine");
}

// New caption formats while a window carries the text in the old ones: it
// ends up with its own caption and one load text, never the old text kept
// as part of its title.
TEST_F(Exchange, NewCaptionFormatsLeaveOneLoadTextInTheCaption) {
    HWND other = CreateWindowExA(0, "Static", "Editor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                                 200, 100, nullptr, nullptr, app.instance, nullptr);
    ASSERT_TRUE(testkit::WaitUntil(
        [&] { return SetForegroundWindow(other), GetForegroundWindow() == other; }, 3000));
    InitCpuFormatters(app);
    CompileTitleFormats();
    app.title = 1;
    const uint32_t loads[1] = {7};
    UpdateTitleBarWith(loads, 0);
    char caption[128];
    GetWindowTextA(other, caption, sizeof caption);
    ASSERT_STRNE(caption, "Editor");

    lstrcpynA(Pending().format_0, "Load_#0", sizeof app.format_0);
    TakeOverOptions(window, IDC_APPLY_NOSAVE);
    UpdateTitleBarWith(loads, 0);
    GetWindowTextA(other, caption, sizeof caption);
    EXPECT_STREQ(caption, "Editor \x81\x79Load 7\x81\x7a");
    RestoreTitleBar();
    GetWindowTextA(other, caption, sizeof caption);
    EXPECT_STREQ(caption, "Editor");
    app.title = 0;
    DestroyWindow(other);
}

// The window closed from the log's message box while the options are taken
// over (the auto-exit's timer runs in the box's loop): OK's choice is saved
// all the same, up to the settings after the log's; applying without saving
// still saves nothing.
HWND closing;
TEST_F(Exchange, OkSavesWhenTheWindowClosesFromTheLogsMessageBox) {
    for (int result : {IDC_APPLY_NOSAVE, IDOK}) {
        closing = CreateWindowExA(WS_EX_TOOLWINDOW, "Static", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, app.instance, nullptr);
        app.log = 1;
        PendingSettings& p = Pending();
        p.tmrate = 1700;
        p.memtype = 1;
        p.logout = 1;
        p.logfile[0] = '\0'; // cannot be opened: the message box
        const UINT_PTR closer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
            if (FindWindowA("#32770", "Vantor エラー")) DestroyWindow(closing);
        });
        TakeOverOptions(closing, result);
        KillTimer(nullptr, closer);
        EXPECT_FALSE(IsWindow(closing)) << result;
        const int saved = result == IDOK ? 1 : 0;
        EXPECT_EQ(GetPrivateProfileIntA("Config", "tmrate", 0, app.iniPath), 1700 * saved);
        EXPECT_EQ(GetPrivateProfileIntA("Config\\Ext", "memtype", 0, app.iniPath), saved);
        EXPECT_EQ(GetPrivateProfileIntA("Config\\Log", "logout", 9, app.iniPath), 9 * !saved)
            << "the failed log is off in the file too";
    }
}

} // namespace
