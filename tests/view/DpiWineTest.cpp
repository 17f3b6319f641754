// vantor.exe started at each display scale of the prefix (its LogPixels):
// window, text and outline grow with the DPI, the tray gets icons of the size
// it shows at that DPI, and a WM_DPICHANGED rescales and moves the window.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>

#include "tests/shell/VantorRun.h"
#include "tools/fakeshell/FakeShell.h"
#include "view/Scale.h"

namespace {

typedef std::vector<uint32_t> Pixels;
const char kDesktop[] = "Control Panel\\Desktop", kKept[] = "LogPixelsBeforeVantorTest";

bool Get(const char* name, DWORD* v) {
    DWORD size = sizeof *v;
    return !RegGetValueA(HKEY_CURRENT_USER, kDesktop, name, RRF_RT_REG_DWORD, nullptr, v, &size);
}
void Set(const char* name, DWORD v) {
    RegSetKeyValueA(HKEY_CURRENT_USER, kDesktop, name, REG_DWORD, &v, sizeof v);
}

// The prefix's LogPixels, read by each program as it starts. The value found
// (0: none) is kept beside meanwhile, so that the next run mends one that died.
struct PrefixDpi {
    DWORD old = 0;
    PrefixDpi() {
        if (!Get(kKept, &old)) Get("LogPixels", &old), Set(kKept, old);
    }
    ~PrefixDpi() {
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktop, "LogPixels");
        if (old) Set("LogPixels", old);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktop, kKept);
    }
};

Pixels Bits(HBITMAP bmp, int w, int h) { // 32-bit, rows top-down
    Pixels bits(static_cast<size_t>(w) * h);
    BITMAPINFO bi = {{sizeof bi.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    HDC dc = GetDC(nullptr);
    if (!GetDIBits(dc, bmp, 0, static_cast<UINT>(h), bits.data(), &bi, 0)) bits.clear();
    ReleaseDC(nullptr, dc);
    return bits;
}

// Height of the load text: rows holding the night skin's light face colour.
int TextRows(HWND window, int dpi) {
    std::vector<COLORREF> px;
    int w = 0, h = 0, first = -1, last = -1;
    if (!testkit::ReadWindowPixels(window, &px, &w, &h)) return -1;
    const int x0 = Scaled(6, dpi), y0 = Scaled(9, dpi);
    for (int y = y0; y < y0 + Scaled(15, dpi) && y < h; ++y)
        for (int x = x0; x < x0 + Scaled(90, dpi) && x < w; ++x) {
            const COLORREF c = px[static_cast<size_t>(y) * w + x];
            if (GetRValue(c) > 120 && GetGValue(c) > 140 && GetBValue(c) > 160) {
                first = first < 0 ? y : first, last = y;
                break;
            }
        }
    return first < 0 ? 0 : last - first + 1;
}

// WM_DPICHANGED, its rectangle written into the program where lParam points.
bool SendDpiChanged(HANDLE process, HWND window, int dpi, const RECT& to) {
    void* at = VirtualAllocEx(process, nullptr, sizeof to, MEM_COMMIT, PAGE_READWRITE);
    const bool ok =
        at && WriteProcessMemory(process, at, &to, sizeof to, nullptr) &&
        testkit::SendWithTimeout(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                                 reinterpret_cast<LPARAM>(at), 10000, nullptr);
    if (at) VirtualFreeEx(process, at, 0, MEM_RELEASE);
    return ok;
}

TEST(DisplayScale, WindowTextOutlineAndTrayIconsFollowTheDpi) {
    PrefixDpi prefix;
    fakeshell::FakeTray tray;
    const std::string bin = testkit::BuildDir() + "\\..\\..\\bin", skin = bin + "\\night\\";
    HBITMAP lt = static_cast<HBITMAP>(
        LoadImageA(nullptr, (skin + "backLT.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    BITMAP bm = {};
    GetObjectA(lt, sizeof bm, &bm);
    const int cw = bm.bmWidth, ch = bm.bmHeight;
    const Pixels corner = Bits(lt, cw, ch);
    DeleteObject(lt);
    ASSERT_FALSE(corner.empty());
    RECT base = {};
    int baseText = 0;
    for (const int dpi : {96, 120, 144, 192}) {
        SCOPED_TRACE("LogPixels " + std::to_string(dpi));
        Set("LogPixels", dpi);
        VantorRun v; // by hand: the skin goes beside the program before it starts
        v.dir = testkit::FreshTempDir("dpi");
        ASSERT_TRUE(CopyFileA((bin + "\\vantor.exe").c_str(), v.Exe().c_str(), FALSE));
        CreateDirectoryA((v.dir + "\\night").c_str(), nullptr);
        for (const char* f : {"skin.ini", "back.bmp", "backLT.bmp", "backRT.bmp", "backRB.bmp",
                              "backLB.bmp", "backST.bmp", "backSB.bmp", "backSL.bmp", "backSR.bmp"})
            ASSERT_TRUE(CopyFileA((skin + f).c_str(), (v.dir + "\\night\\" + f).c_str(), FALSE));
        testkit::WriteTextFile(v.Ini(), "[Window]\r\nposx=200\r\nposy=150\r\nwintop=0\r\n[Option]"
                                        "\r\niconanim=1\r\n[Config]\r\ntmrate=200\r\n"
                                        "[Config\\Ext]\r\nskinname=night\r\n");
        const size_t before = tray.CallCount();
        ASSERT_TRUE(testkit::Start(
            {v.Exe(), "", v.dir, testkit::WriteTextFile(v.dir + "\\l.txt", "cpus 1\n2\n"), {}},
            &v.process));
        ASSERT_NE(v.window = testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000), nullptr);
        // A message sent while the window is made is answered once it offers
        // its tray icon: it is sized after that.
        ASSERT_TRUE(testkit::WaitUntil([&] { return tray.CallCount() > before; }, 10000));
        ASSERT_TRUE(testkit::SendWithTimeout(v.window, WM_NULL, 0, 0, 10000, nullptr));
        RECT r = {};
        GetWindowRect(v.window, &r);
        if (dpi == 96) base = r;
        const int w = r.right - r.left, h = r.bottom - r.top;
        EXPECT_NEAR(w, (base.right - base.left) * dpi / 96.0, 3);
        EXPECT_NEAR(h, (base.bottom - base.top) * dpi / 96.0, 3);
        SetWindowPos(v.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        auto textScales = [&](int at) { // once a busy machine has painted it
            return testkit::WaitUntil(
                [&] { return std::abs(TextRows(v.window, at) - baseText * at / 96.0) <= 3; }, 5000);
        };
        if (dpi == 96)
            testkit::WaitUntil([&] { return (baseText = TextRows(v.window, 96)) > 5; }, 5000);
        ASSERT_GT(baseText, 5);
        EXPECT_TRUE(textScales(dpi));

        // The outline is the scaled corner piece's: cut where its pixel is blue.
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(v.window, region), ERROR);
        const int sw = Scaled(cw, dpi), sh = Scaled(ch, dpi);
        int wrong = 0;
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < sw; ++x)
                wrong += (PtInRegion(region, x, y) != FALSE) ==
                         ((corner[NearestSource(y, ch, sh) * cw + NearestSource(x, cw, sw)] &
                           0xffffff) == 0x0000ff);
        EXPECT_EQ(wrong, 0);
        EXPECT_TRUE(PtInRegion(region, w / 2, h / 2));
        DeleteObject(region);

        // The built-in icon's own frame of the size the shell shows.
        const fakeshell::TrayCall first = tray.Calls()[before];
        const int side = dpi / 6; // 16 at 96 dpi
        EXPECT_EQ(first.iconWidth, side);
        HMODULE m = LoadLibraryExA(v.Exe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        HICON icon = static_cast<HICON>(LoadImageA(m, "TICON00", IMAGE_ICON, side, side, 0));
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        EXPECT_EQ(first.iconPixels, Bits(info.hbmColor, side, side));
        DeleteObject(info.hbmColor), DeleteObject(info.hbmMask), DestroyIcon(icon), FreeLibrary(m);

        // To 144 dpi elsewhere, a burst as in a drag, and back home.
        const RECT moves[] = {{300, 250, 300 + w * 3 / 2, 250 + h * 3 / 2}, r};
        for (int k = 0; dpi == 96 && k < 2; ++k) {
            const int to = k ? 96 : 144;
            for (int i = 0; i < 5; ++i)
                ASSERT_TRUE(SendDpiChanged(v.process.process, v.window, to, moves[k]));
            RECT now = {};
            GetWindowRect(v.window, &now);
            EXPECT_EQ(now.left, moves[k].left);
            EXPECT_EQ(now.top, moves[k].top);
            EXPECT_NEAR(now.right - now.left, w * to / 96.0, k ? 0 : 3);
            EXPECT_NEAR(now.bottom - now.top, h * to / 96.0, k ? 0 : 3);
            EXPECT_TRUE(textScales(to));
        }
        EXPECT_TRUE(v.Exit());
    }
}

} // namespace
