// vantor.exe started at each display scale of the prefix (its LogPixels):
// the window, its text and its outline grow with the DPI, the notification
// area gets icons of the size it shows at that DPI, and a WM_DPICHANGED
// rescales the window and moves it where the system suggests.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/testkit/testkit.h"
#include "tools/fakeshell/FakeShell.h"
#include "view/Scale.h"

namespace {

using fakeshell::TrayCall;
typedef std::vector<uint32_t> Pixels;

const char kDesktop[] = "Control Panel\\Desktop", kKept[] = "LogPixelsBeforeVantorTest";

bool ReadDword(const char* name, DWORD* value) {
    DWORD size = sizeof *value;
    return RegGetValueA(HKEY_CURRENT_USER, kDesktop, name, RRF_RT_REG_DWORD, nullptr, value,
                        &size) == ERROR_SUCCESS;
}
bool WriteDword(const char* name, DWORD value) {
    return RegSetKeyValueA(HKEY_CURRENT_USER, kDesktop, name, REG_DWORD, &value, sizeof value) ==
           ERROR_SUCCESS;
}

// The prefix's LogPixels for the programs started from now on (each reads
// it when it starts). The value found (0: none) is put back at the end, and
// kept beside meanwhile, so that a run that died half-way is mended by the next.
struct PrefixDpi {
    DWORD old = 0;
    PrefixDpi() {
        if (!ReadDword(kKept, &old)) ReadDword("LogPixels", &old), WriteDword(kKept, old);
    }
    ~PrefixDpi() {
        if (old)
            WriteDword("LogPixels", old);
        else
            RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktop, "LogPixels");
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktop, kKept);
    }
};

std::string Bin() {
    return testkit::BuildDir() + "\\..\\..\\bin";
}

// A bitmap's pixels as 32-bit values, rows top-down.
Pixels Bits(HBITMAP bmp, int w, int h) {
    Pixels bits(static_cast<size_t>(w) * h);
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof bi.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = GetDC(nullptr);
    if (!GetDIBits(dc, bmp, 0, static_cast<UINT>(h), bits.data(), &bi, 0)) bits.clear();
    ReleaseDC(nullptr, dc);
    return bits;
}

// The program's built-in icon at side x side, as the shell receives one.
Pixels BuiltIn(const std::string& exe, const char* name, int side) {
    HMODULE m = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HICON icon = static_cast<HICON>(LoadImageA(m, name, IMAGE_ICON, side, side, 0));
    ICONINFO info = {};
    const Pixels bits = GetIconInfo(icon, &info) ? Bits(info.hbmColor, side, side) : Pixels();
    DeleteObject(info.hbmColor), DeleteObject(info.hbmMask), DestroyIcon(icon), FreeLibrary(m);
    return bits;
}

// Rows of the window holding text: light pixels of the night skin's face
// colour in the strip where the load text stands.
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

// WM_DPICHANGED with its rectangle written into the program, where the
// message's pointer leads.
bool SendDpiChanged(HANDLE process, HWND window, int dpi, const RECT& to) {
    void* at = VirtualAllocEx(process, nullptr, sizeof to, MEM_COMMIT, PAGE_READWRITE);
    const bool ok =
        at && WriteProcessMemory(process, at, &to, sizeof to, nullptr) &&
        testkit::SendWithTimeout(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                                 reinterpret_cast<LPARAM>(at), 10000, nullptr);
    if (at) VirtualFreeEx(process, at, 0, MEM_RELEASE);
    return ok;
}

SIZE SizeOf(HWND w, POINT* corner = nullptr) {
    RECT r = {};
    GetWindowRect(w, &r);
    if (corner) *corner = POINT{r.left, r.top};
    return SIZE{r.right - r.left, r.bottom - r.top};
}

TEST(DisplayScale, WindowTextOutlineAndTrayIconsFollowTheDpi) {
    const struct { int dpi, iconSide; } rows[] = {{96, 16}, {120, 20}, {144, 24}, {192, 32}};
    PrefixDpi prefix;
    fakeshell::FakeTray tray;
    ASSERT_EQ(FindWindowA("Shell_TrayWnd", nullptr), tray.hwnd());
    const std::string corner = Bin() + "\\night\\backLT.bmp";
    HBITMAP lt = static_cast<HBITMAP>(
        LoadImageA(nullptr, corner.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    BITMAP bm = {};
    GetObjectA(lt, sizeof bm, &bm);
    const int cw = bm.bmWidth, ch = bm.bmHeight;
    const Pixels piece = Bits(lt, cw, ch);
    DeleteObject(lt);
    ASSERT_FALSE(piece.empty());
    SIZE base = {0, 0};
    int baseText = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE("LogPixels " + std::to_string(row.dpi));
        ASSERT_TRUE(WriteDword("LogPixels", static_cast<DWORD>(row.dpi)));
        const std::string dir = testkit::FreshTempDir(("dpi" + std::to_string(row.dpi)).c_str());
        const std::string exe = dir + "\\vantor.exe";
        ASSERT_TRUE(CopyFileA((Bin() + "\\vantor.exe").c_str(), exe.c_str(), FALSE));
        CreateDirectoryA((dir + "\\night").c_str(), nullptr);
        for (const char* f : {"skin.ini", "back.bmp", "backLT.bmp", "backRT.bmp", "backRB.bmp",
                              "backLB.bmp", "backST.bmp", "backSB.bmp", "backSL.bmp", "backSR.bmp"})
            ASSERT_TRUE(CopyFileA((Bin() + "\\night\\" + f).c_str(),
                                  (dir + "\\night\\" + f).c_str(), FALSE));
        testkit::WriteTextFile(dir + "\\vantor.ini",
                               "[Window]\r\nposx=200\r\nposy=150\r\nwintop=0\r\n[Option]\r\n"
                               "iconanim=1\r\n[Config]\r\ntmrate=200\r\n[Config\\Ext]\r\n"
                               "skinname=night\r\n");
        const size_t before = tray.CallCount();
        testkit::Process p;
        ASSERT_TRUE(testkit::Start(
            {exe, "", dir, testkit::WriteTextFile(dir + "\\l.txt", "cpus 1\n2\n"), {}}, &p));
        HWND window = testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000);
        ASSERT_NE(window, nullptr);
        // A message sent while the window is made is answered once it offers
        // its tray icon: it is sized after that.
        ASSERT_TRUE(testkit::WaitUntil([&] { return tray.CallCount() > before; }, 10000));
        ASSERT_TRUE(testkit::SendWithTimeout(window, WM_NULL, 0, 0, 10000, nullptr));
        const SIZE size = SizeOf(window);
        const double scale = row.dpi / 96.0;
        if (row.dpi == 96) base = size;
        EXPECT_NEAR(size.cx, base.cx * scale, 3);
        EXPECT_NEAR(size.cy, base.cy * scale, 3);
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        // The screen shows the window once a busy machine has painted it.
        int text = 0;
        testkit::WaitUntil([&] { return (text = TextRows(window, row.dpi)) > 5; }, 5000);
        if (row.dpi == 96) baseText = text;
        EXPECT_GT(text, 5);
        EXPECT_NEAR(text, baseText * scale, 3);
        if (row.dpi == 144) testkit::Screenshot("dpi_144");

        // The outline is the scaled corner piece's: cut where its pixel is blue.
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(window, region), ERROR);
        const int sw = Scaled(cw, row.dpi), sh = Scaled(ch, row.dpi);
        int wrong = 0;
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < sw; ++x) {
                const uint32_t from =
                    piece[NearestSource(y, ch, sh) * cw + NearestSource(x, cw, sw)];
                wrong += (PtInRegion(region, x, y) != FALSE) == ((from & 0xffffff) == 0x0000ff);
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_TRUE(PtInRegion(region, size.cx / 2, size.cy / 2));
        DeleteObject(region);

        // The built-in icon's own frame of the size the shell shows.
        const TrayCall first = tray.Calls()[before];
        EXPECT_EQ(first.message, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(first.iconWidth, row.iconSide);
        EXPECT_EQ(first.iconHeight, row.iconSide);
        EXPECT_EQ(first.iconPixels, BuiltIn(exe, "TICON00", row.iconSide));

        if (row.dpi == 96) {
            // To 144 dpi at another place, several times as in a drag, and back.
            const RECT to = {300, 250, 300 + size.cx * 3 / 2, 250 + size.cy * 3 / 2};
            for (int i = 0; i < 5; ++i)
                ASSERT_TRUE(SendDpiChanged(p.process, window, 144, to));
            POINT at;
            const SIZE big = SizeOf(window, &at);
            EXPECT_EQ(at.x, 300);
            EXPECT_EQ(at.y, 250);
            EXPECT_NEAR(big.cx, size.cx * 1.5, 3);
            EXPECT_NEAR(big.cy, size.cy * 1.5, 3);
            int bigText = 0;
            EXPECT_TRUE(testkit::WaitUntil(
                [&] { return std::abs((bigText = TextRows(window, 144)) - baseText * 1.5) <= 3; },
                5000))
                << bigText;
            const RECT home = {200, 150, 200 + size.cx, 150 + size.cy};
            ASSERT_TRUE(SendDpiChanged(p.process, window, 96, home));
            const SIZE again = SizeOf(window, &at);
            EXPECT_EQ(at.x, 200);
            EXPECT_EQ(again.cx, size.cx);
            EXPECT_EQ(again.cy, size.cy);
        }
        DWORD code = 99;
        testkit::Post(window, WM_COMMAND, 40001, 0);
        EXPECT_TRUE(testkit::WaitExit(p, 15000, &code));
        EXPECT_EQ(code, 0u);
    }
}

} // namespace
