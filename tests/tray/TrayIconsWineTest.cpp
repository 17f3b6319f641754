// The program's own icon set code on a real folder of .ico files, and its
// handle accounting over a thousand rebuilds.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/AppState.h"
#include "base/SafeText.h"
#include "tests/testkit/testkit.h"
#include "tray/TrayIcon.h"

namespace {

// A 16 x 16, 32-bit icon file of one colour (0xAARRGGBB).
std::string IconFile(uint32_t argb) {
    std::string f;
    auto put = [&](uint32_t v, int n) {
        for (int i = 0; i < n; ++i) f.push_back(static_cast<char>(v >> (8 * i)));
    };
    put(0, 2), put(1, 2), put(1, 2), put(0x1010, 2), put(0, 2), put(1, 2), put(32, 2);
    put(40 + 1024 + 64, 4), put(22, 4), put(40, 4), put(16, 4), put(32, 4), put(1, 2);
    put(32, 2), f.append(24, '\0');
    for (int i = 0; i < 256; ++i) put(argb, 4);
    f.append(64, '\0'); // the mask shows every pixel
    return f;
}

COLORREF CentreOf(void* icon) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateBitmap(16, 16, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    DrawIconEx(dc, 0, 0, static_cast<HICON>(icon), 16, 16, 0, nullptr, DI_NORMAL);
    COLORREF c = icon ? GetPixel(dc, 8, 8) : CLR_INVALID;
    SelectObject(dc, old), DeleteObject(bmp), DeleteDC(dc);
    return c;
}

uint32_t Live() {
    return CountTrayIcons().loaded - CountTrayIcons().destroyed;
}

TEST(TrayIcons, RealFolderAndAThousandRebuilds) {
    // The built-in icons are the program's resources.
    std::string exe = testkit::BuildDir() + "\\..\\..\\bin\\vantor.exe";
    app.instance = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    std::string dir = testkit::FreshTempDir("tray_icons");
    testkit::WriteTextFile(dir + "\\0.ico", IconFile(0xffff0000));
    testkit::WriteTextFile(dir + "\\00.ico", IconFile(0xff808080)); // 0 is taken: not loaded
    testkit::WriteTextFile(dir + "\\50.ico", IconFile(0xff00ff00));
    testkit::WriteTextFile(dir + "\\7-high.ico", IconFile(0xff0000ff));
    testkit::WriteTextFile(dir + "\\readme.ico", IconFile(0xff808080));
    testkit::WriteTextFile(dir + "\\30.ico", "not an icon");
    CreateDirectoryA((dir + "\\60.ico").c_str(), nullptr);
    CopyText(app.iconpath, sizeof app.iconpath, dir.c_str());
    LoadTrayIcons();
    EXPECT_EQ(app.trayIcons.size(), 4); // 0, 7, 30 (empty), 50
    EXPECT_EQ(CentreOf(app.trayIcons.pick(6)), RGB(255, 0, 0));
    EXPECT_EQ(CentreOf(app.trayIcons.pick(29)), RGB(0, 0, 255));
    EXPECT_EQ(app.trayIcons.pick(30), nullptr);
    EXPECT_EQ(CentreOf(app.trayIcons.pick(100)), RGB(0, 255, 0));
    EXPECT_EQ(Live(), 3u);

    // A folder whose search pattern would not fit a path is no folder.
    std::string deep = dir + std::string(260, 'x');
    CopyText(app.iconpath, sizeof app.iconpath, deep.c_str());
    for (int round = 0; round < 1000; ++round) {
        if (round == 1) CopyText(app.iconpath, sizeof app.iconpath, dir.c_str());
        if (round == 2) app.iconpath[0] = 0; // the built-in set
        LoadTrayIcons();
        ASSERT_EQ(Live(), round == 1 ? 3u : 15u) << "round " << round;
    }
    HICON kept = static_cast<HICON>(app.trayIcons.pick(50));
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(kept, &info));
    DeleteObject(info.hbmColor), DeleteObject(info.hbmMask);
    // A file is loaded at the size the shell shows, whatever its frames.
    app.trayIconSize = 24;
    CopyText(app.iconpath, sizeof app.iconpath, dir.c_str());
    LoadTrayIcons();
    BITMAP bm = {};
    ASSERT_TRUE(GetIconInfo(static_cast<HICON>(app.trayIcons.pick(50)), &info));
    EXPECT_TRUE(GetObjectA(info.hbmColor, sizeof bm, &bm) && bm.bmWidth == 24) << bm.bmWidth;
    DeleteObject(info.hbmColor), DeleteObject(info.hbmMask), app.trayIconSize = 16;
    ClearTrayIcons();
    EXPECT_EQ(Live(), 0u);
    EXPECT_FALSE(GetIconInfo(kept, &info)) << "destroyed, not only counted";
}

} // namespace
