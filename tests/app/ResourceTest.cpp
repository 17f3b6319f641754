// The resources linked into vantor.exe, read back through the resource
// functions under the Japanese code page: menu texts, ids and order, the
// About box, the icons and bitmaps.
#include "res/resource.h"
#include "tests/testkit/testkit.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

struct Item {
    UINT id; // 0 for a separator, -1 for a submenu
    const char* text;
};

class Resources : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::string exe = testkit::BuildDir() + "\\..\\..\\bin\\vantor.exe";
        module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() {
        if (module) FreeLibrary(module);
        module = nullptr;
    }
    static HMODULE module;
};
HMODULE Resources::module = nullptr;

std::string MenuText(HMENU menu, int position) {
    char text[128] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

TEST_F(Resources, CodePageIsJapanese) {
    EXPECT_EQ(GetACP(), 932u);
}

TEST_F(Resources, PopupMenuItemsInOrder) {
    ASSERT_NE(module, nullptr);
    HMENU bar = LoadMenuA(module, "POPMENU");
    ASSERT_NE(bar, nullptr);
    HMENU menu = GetSubMenu(bar, 0);
    ASSERT_NE(menu, nullptr);
    const UINT sub = static_cast<UINT>(-1);
    const std::vector<Item> want = {
        {IDM_HIDE, "ウィンドウを隠す"},
        {sub, "マウスオーバー時"},
        {IDM_TOPMOST, "常に最前面"},
        {IDM_TRANS, "半透明表示"},
        {IDM_SNAP, "画面端にスナップ"},
        {0, ""},
        {IDM_MEMORY, "メモリ容量表示"},
        {IDM_TITLE, "タイトルバーに寄生"},
        {IDM_ICONANIM, "ｱｲｺﾝでもﾓﾆﾀする"},
        {IDM_MULTI, "CPU個別表示"},
        {IDM_LOG, "ログ出力"},
        {0, ""},
        {IDM_OPTIONS, "設定..."},
        {IDM_HELP, "ヘルプ"},
        {IDM_ABOUT, "ﾊﾞｰｼﾞｮﾝ情報"},
        {IDM_EXIT, "終了"},
    };
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(want.size()));
    for (size_t i = 0; i < want.size(); ++i) {
        int at = static_cast<int>(i);
        EXPECT_EQ(GetMenuItemID(menu, at), want[i].id) << "position " << i;
        EXPECT_EQ(MenuText(menu, at), want[i].text) << "position " << i;
    }
    HMENU hover = GetSubMenu(menu, 1);
    ASSERT_NE(hover, nullptr);
    ASSERT_EQ(GetMenuItemCount(hover), 3);
    EXPECT_EQ(GetMenuItemID(hover, 0), static_cast<UINT>(IDM_HOVER_NORMAL));
    EXPECT_EQ(MenuText(hover, 0), "標準");
    EXPECT_EQ(GetMenuItemID(hover, 1), static_cast<UINT>(IDM_HOVER_HIDE));
    EXPECT_EQ(MenuText(hover, 1), "隠す");
    EXPECT_EQ(GetMenuItemID(hover, 2), static_cast<UINT>(IDM_HOVER_EVADE));
    EXPECT_EQ(MenuText(hover, 2), "避ける");
    DestroyMenu(bar);
}

INT_PTR CALLBACK PassiveDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

TEST_F(Resources, AboutBoxLayoutAndScreenshot) {
    ASSERT_NE(module, nullptr);
    HWND box = CreateDialogParamA(module, "ABOUT", nullptr, PassiveDialog, 0);
    ASSERT_NE(box, nullptr);
    char text[128] = {};
    GetWindowTextA(box, text, sizeof text);
    EXPECT_STREQ(text, "About Vantor");
    EXPECT_NE(GetDlgItem(box, IDC_ABOUT_VERSION), nullptr);
    HWND link = GetDlgItem(box, IDC_ABOUT_LINK);
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(GetWindowLongA(link, GWL_STYLE) & SS_NOTIFY);
    EXPECT_TRUE(GetWindowLongA(link, GWL_STYLE) & SS_CENTER);
    EXPECT_NE(GetDlgItem(box, IDOK), nullptr);

    // 135 x 69 dialog units in the client area.
    RECT units = {0, 0, 135, 69};
    MapDialogRect(box, &units);
    RECT client;
    GetClientRect(box, &client);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);

    // The version line as the program writes it, to see the face at work.
    SetDlgItemTextA(box, IDC_ABOUT_VERSION, "Vantor モニタ v1.52");
    SetWindowPos(box, HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    MSG msg;
    DWORD until = GetTickCount() + 500;
    while (GetTickCount() < until) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(10);
    }
    EXPECT_FALSE(testkit::Screenshot("about_box").empty());
    DestroyWindow(box);
}

TEST_F(Resources, IconsAndBitmaps) {
    ASSERT_NE(module, nullptr);
    HICON big = static_cast<HICON>(LoadImageA(module, "MYICON", IMAGE_ICON, 32, 32, 0));
    HICON small = static_cast<HICON>(LoadImageA(module, "MYICON", IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(big, nullptr);
    EXPECT_NE(small, nullptr);
    if (big) DestroyIcon(big);
    if (small) DestroyIcon(small);
    for (int i = 0; i <= 14; ++i) {
        char name[16];
        wsprintfA(name, "TICON%02d", i);
        HICON icon = static_cast<HICON>(LoadImageA(module, name, IMAGE_ICON, 16, 16, 0));
        EXPECT_NE(icon, nullptr) << name;
        if (icon) DestroyIcon(icon);
    }
    // The browse button is a 16 x 16 raised box, the check mark 8 x 8.
    for (int id : {IDB_BROWSE, IDB_CHECKMARK}) {
        HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(id));
        ASSERT_NE(bitmap, nullptr) << id;
        BITMAP info;
        GetObjectA(bitmap, sizeof info, &info);
        const int side = id == IDB_BROWSE ? 16 : 8;
        EXPECT_EQ(info.bmWidth, side) << id;
        EXPECT_EQ(info.bmHeight, side) << id;
        if (id == IDB_BROWSE) {
            HDC dc = CreateCompatibleDC(nullptr);
            HGDIOBJ old = SelectObject(dc, bitmap);
            auto grey = [](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); };
            EXPECT_GT(grey(GetPixel(dc, 0, 8)), grey(GetPixel(dc, 15, 8))) << "left over right";
            EXPECT_GT(grey(GetPixel(dc, 8, 0)), grey(GetPixel(dc, 8, 15))) << "top over bottom";
            SelectObject(dc, old);
            DeleteDC(dc);
        }
        DeleteObject(bitmap);
    }
}

} // namespace
