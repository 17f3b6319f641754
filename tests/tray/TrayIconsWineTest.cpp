// The icon set built by the program's own code from a real folder of .ico
// files written here, and its handle accounting over many rebuilds.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "base/SafeText.h"
#include "tests/testkit/testkit.h"
#include "tray/TrayIcon.h"

namespace {

// A 16 x 16, 32-bit icon file of one colour (0xAARRGGBB).
std::string IconFile(uint32_t argb) {
    std::string f;
    auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) f.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
    };
    const uint32_t imageBytes = 40 + 16 * 16 * 4 + 16 * 4;
    put(0, 2), put(1, 2), put(1, 2);                            // ICONDIR
    put(16, 1), put(16, 1), put(0, 1), put(0, 1), put(1, 2), put(32, 2); // entry
    put(imageBytes, 4), put(6 + 16, 4);
    put(40, 4), put(16, 4), put(32, 4), put(1, 2), put(32, 2); // BITMAPINFOHEADER
    for (int i = 0; i < 6; ++i) put(0, 4);
    for (int i = 0; i < 256; ++i) put(argb, 4); // colour
    for (int i = 0; i < 16; ++i) put(0, 4);     // mask: every pixel shows
    return f;
}

COLORREF CentreOf(void* icon) {
    if (!icon) return CLR_INVALID;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(dc, bmp);
    DrawIconEx(dc, 0, 0, static_cast<HICON>(icon), 16, 16, 0, nullptr, DI_NORMAL);
    COLORREF c = GetPixel(dc, 8, 8);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return c;
}

uint32_t Live() {
    TrayIconCounts c = CountTrayIcons();
    return c.loaded - c.destroyed;
}

class TrayIcons : public ::testing::Test {
  protected:
    HMODULE program = nullptr;
    void SetUp() override {
        // The built-in icons are resources of the program itself.
        std::string exe = testkit::BuildDir() + "\\..\\..\\bin\\vantor.exe";
        program = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(program, nullptr);
        app.instance = program;
    }
    void TearDown() override {
        ClearTrayIcons();
        app.iconpath[0] = 0;
        FreeLibrary(program);
    }
    int Entries() {
        int n = 0;
        for (int t = 0; t <= MAX_ICON_THRESHOLD; ++t) n += app.trayIcons.has(t);
        return n;
    }
};

TEST_F(TrayIcons, FolderOfRealFiles) {
    std::string dir = testkit::FreshTempDir("tray_icons");
    const uint32_t RED = 0xffff0000, GREEN = 0xff00ff00, BLUE = 0xff0000ff, GREY = 0xff808080;
    testkit::WriteTextFile(dir + "\\0.ico", IconFile(RED));
    testkit::WriteTextFile(dir + "\\50.ico", IconFile(GREEN));
    testkit::WriteTextFile(dir + "\\7-high.ico", IconFile(BLUE));
    testkit::WriteTextFile(dir + "\\readme.ico", IconFile(GREY));
    testkit::WriteTextFile(dir + "\\101.ico", IconFile(GREY));
    testkit::WriteTextFile(dir + "\\30.ico", "not an icon at all");
    CreateDirectoryA((dir + "\\60.ico").c_str(), nullptr);
    CopyText(app.iconpath, sizeof app.iconpath, dir.c_str());

    LoadTrayIcons();
    EXPECT_EQ(Entries(), 4); // 0, 7, 30 (empty) and 50: no built-in icon
    EXPECT_EQ(CentreOf(app.trayIcons.pick(6)), RGB(255, 0, 0));
    EXPECT_EQ(CentreOf(app.trayIcons.pick(7)), RGB(0, 0, 255));
    EXPECT_EQ(app.trayIcons.pick(30), nullptr) << "a file that does not load";
    EXPECT_EQ(CentreOf(app.trayIcons.pick(100)), RGB(0, 255, 0));
    EXPECT_EQ(Live(), 3u);

    // No folder of that name: the built-in set, one icon per band.
    AppendText(app.iconpath, sizeof app.iconpath, "-missing");
    LoadTrayIcons();
    EXPECT_EQ(Entries(), 15);
    EXPECT_EQ(Live(), 15u);

    // A folder whose search pattern would not fit a path is no folder.
    std::string deep = dir;
    while (deep.size() < 258) deep += "\\x";
    CopyText(app.iconpath, sizeof app.iconpath, deep.substr(0, 258).c_str());
    LoadTrayIcons();
    EXPECT_EQ(Entries(), 15);
}

TEST_F(TrayIcons, ThousandRebuildsLoseNoIcon) {
    std::string dir = testkit::FreshTempDir("tray_rebuilds");
    testkit::WriteTextFile(dir + "\\0.ico", IconFile(0xff102030));
    testkit::WriteTextFile(dir + "\\00.ico", IconFile(0xff405060)); // never loaded
    testkit::WriteTextFile(dir + "\\40.ico", IconFile(0xff708090));
    const uint32_t before = Live();
    for (int round = 0; round < 1000; ++round) {
        if (round % 2) {
            CopyText(app.iconpath, sizeof app.iconpath, dir.c_str());
        } else {
            app.iconpath[0] = 0;
        }
        LoadTrayIcons();
        ASSERT_EQ(Live() - before, round % 2 ? 2u : 15u) << "round " << round;
        ASSERT_NE(app.trayIcons.pick(100), nullptr);
    }
    HICON kept = static_cast<HICON>(app.trayIcons.pick(50));
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(kept, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    ClearTrayIcons();
    EXPECT_EQ(Live(), before);
    EXPECT_GE(CountTrayIcons().loaded, 500u * 17);
    // The handles themselves are gone, not only counted as gone.
    EXPECT_FALSE(GetIconInfo(kept, &info));
}

} // namespace
