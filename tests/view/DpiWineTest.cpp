// vantor.exe started at each display scale of the prefix (its LogPixels):
// the window, its text and its outline grow with the DPI, the notification
// area gets icons of the size it shows at that DPI (the built-in frame and
// the user's file's), and a WM_DPICHANGED rescales the window and moves it
// where the system suggests.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/testkit/testkit.h"
#include "tools/fakeshell/FakeShell.h"
#include "view/Scale.h"

namespace {

using fakeshell::TrayCall;
typedef std::vector<uint32_t> Pixels;

const char kDesktop[] = "Control Panel\\Desktop";

// The prefix's LogPixels for the programs started from now on (each reads
// it when it starts). The value found is put back at the end; it is kept
// beside as well, so that a run that died half-way is mended by the next.
class PrefixDpi {
  public:
    PrefixDpi() {
        if (!Read(kKept, &old_)) {
            old_ = 0; // none: Wine's 96
            Read("LogPixels", &old_);
            Write(kKept, old_);
        }
    }
    ~PrefixDpi() {
        if (old_)
            Set(old_);
        else
            RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktop, "LogPixels");
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktop, kKept);
    }
    bool Set(DWORD dpi) { return Write("LogPixels", dpi); }

  private:
    static constexpr const char* kKept = "LogPixelsBeforeVantorTest";
    static bool Read(const char* name, DWORD* value) {
        DWORD size = sizeof *value;
        return RegGetValueA(HKEY_CURRENT_USER, kDesktop, name, RRF_RT_REG_DWORD, nullptr, value,
                            &size) == ERROR_SUCCESS;
    }
    static bool Write(const char* name, DWORD value) {
        return RegSetKeyValueA(HKEY_CURRENT_USER, kDesktop, name, REG_DWORD, &value,
                               sizeof value) == ERROR_SUCCESS;
    }
    DWORD old_ = 0;
};

std::string Bin() {
    return testkit::BuildDir() + "\\..\\..\\bin";
}

// An icon file of one solid colour per side, as a user's icon folder has it.
void WriteIcon(const std::string& path, const std::vector<std::pair<int, uint32_t>>& frames) {
    std::string file(6, '\0');
    file[2] = 1, file[4] = static_cast<char>(frames.size());
    std::string images;
    for (const auto& f : frames) {
        const int s = f.first, mask = ((s + 31) / 32) * 4 * s;
        BITMAPINFOHEADER h = {sizeof h, s, 2 * s, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::string image(reinterpret_cast<const char*>(&h), sizeof h);
        for (int i = 0; i < s * s; ++i) {
            const uint32_t argb = 0xff000000u | f.second;
            image.append(reinterpret_cast<const char*>(&argb), 4);
        }
        image.append(static_cast<size_t>(mask), '\0');
        const uint32_t entry[4] = {static_cast<uint32_t>(s | s << 8), 1u | 32u << 16,
                                   static_cast<uint32_t>(image.size()), 0};
        file.append(reinterpret_cast<const char*>(entry), sizeof entry);
        images += image;
    }
    const uint32_t header = static_cast<uint32_t>(file.size());
    for (size_t i = 0, at = header; i < frames.size(); ++i) {
        uint32_t* offset = reinterpret_cast<uint32_t*>(&file[6 + 16 * i + 12]);
        *offset = static_cast<uint32_t>(at);
        at += *reinterpret_cast<uint32_t*>(&file[6 + 16 * i + 8]);
    }
    FILE* out = fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    fwrite(file.data(), 1, file.size(), out);
    fwrite(images.data(), 1, images.size(), out);
    fclose(out);
}

// The program's built-in icon at side x side, as the shell receives one.
Pixels BuiltIn(const std::string& exe, const char* name, int side) {
    Pixels bits(static_cast<size_t>(side) * side);
    HMODULE m = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HICON icon = static_cast<HICON>(LoadImageA(m, name, IMAGE_ICON, side, side, 0));
    ICONINFO info = {};
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof bi.bmiHeader, side, -side, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = GetDC(nullptr);
    if (!GetIconInfo(icon, &info) ||
        !GetDIBits(dc, info.hbmColor, 0, static_cast<UINT>(side), bits.data(), &bi, 0))
        bits.clear();
    ReleaseDC(nullptr, dc);
    DeleteObject(info.hbmColor), DeleteObject(info.hbmMask), DestroyIcon(icon), FreeLibrary(m);
    return bits;
}

// The night skin's top-left corner piece, rows top-down.
Pixels CornerPiece(int* w, int* h) {
    const std::string path = Bin() + "\\night\\backLT.bmp";
    HBITMAP bmp = static_cast<HBITMAP>(
        LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    BITMAP bm = {};
    GetObjectA(bmp, sizeof bm, &bm);
    *w = bm.bmWidth, *h = bm.bmHeight;
    Pixels bits(static_cast<size_t>(*w) * *h);
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof bi.bmiHeader, *w, -*h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bmp, 0, static_cast<UINT>(*h), bits.data(), &bi, 0);
    ReleaseDC(nullptr, dc);
    DeleteObject(bmp);
    return bits;
}

// Rows of the window holding text: light pixels of the night skin's face
// colour in the strip where the load text stands.
int TextRows(HWND window, int dpi) {
    std::vector<COLORREF> px;
    int w = 0, h = 0;
    if (!testkit::ReadWindowPixels(window, &px, &w, &h)) return -1;
    const int x0 = Scaled(6, dpi), y0 = Scaled(9, dpi), y1 = y0 + Scaled(15, dpi);
    int first = -1, last = -1;
    for (int y = y0; y < y1 && y < h; ++y)
        for (int x = x0; x < x0 + Scaled(90, dpi) && x < w; ++x) {
            const COLORREF c = px[static_cast<size_t>(y) * w + x];
            if (GetRValue(c) > 120 && GetGValue(c) > 140 && GetBValue(c) > 160) {
                if (first < 0) first = y;
                last = y;
                break;
            }
        }
    return first < 0 ? 0 : last - first + 1;
}

struct Started {
    std::string dir;
    testkit::Process process;
    HWND window = nullptr;
    SIZE size = {0, 0};
};

bool Start(int dpi, const fakeshell::FakeTray& tray, Started* s) {
    const size_t calls = tray.CallCount();
    s->dir = testkit::FreshTempDir(("dpi" + std::to_string(dpi)).c_str());
    const std::string exe = s->dir + "\\vantor.exe", skin = s->dir + "\\night";
    CreateDirectoryA(skin.c_str(), nullptr);
    CreateDirectoryA((s->dir + "\\icons").c_str(), nullptr);
    for (const char* f : {"skin.ini", "back.bmp", "backLT.bmp", "backRT.bmp", "backRB.bmp",
                          "backLB.bmp", "backST.bmp", "backSB.bmp", "backSL.bmp", "backSR.bmp"})
        if (!CopyFileA((Bin() + "\\night\\" + f).c_str(), (skin + "\\" + f).c_str(), FALSE))
            return false;
    // Frames of the user's icon in colours that tell them apart.
    WriteIcon(s->dir + "\\icons\\50.ico",
              {{16, 0x102030}, {20, 0x405060}, {24, 0x708090}, {32, 0xa0b0c0}});
    const std::string ini = "[Window]\r\nposx=200\r\nposy=150\r\nwintop=0\r\n[Option]\r\n"
                            "iconanim=1\r\n[Config]\r\ntmrate=200\r\n[Config\\Ext]\r\n"
                            "skinname=night\r\nusericon=1\r\niconpath=" +
                            s->dir + "\\icons\r\n";
    testkit::RunOptions o{exe,
                          "",
                          s->dir,
                          testkit::WriteTextFile(s->dir + "\\l.txt", "cpus 1\n2\n2\n2\n2\n60\n"),
                          {}};
    if (!CopyFileA((Bin() + "\\vantor.exe").c_str(), exe.c_str(), FALSE) ||
        testkit::WriteTextFile(s->dir + "\\vantor.ini", ini).empty() ||
        !testkit::Start(o, &s->process))
        return false;
    s->window = testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000);
    // A message sent while the window is made is answered as soon as the
    // window offers its tray icon; it is sized after that.
    if (!s->window || !testkit::WaitUntil([&] { return tray.CallCount() > calls; }, 10000) ||
        !testkit::SendWithTimeout(s->window, WM_NULL, 0, 0, 10000, nullptr))
        return false;
    RECT r;
    GetWindowRect(s->window, &r);
    s->size = SIZE{r.right - r.left, r.bottom - r.top};
    return true;
}

// WM_DPICHANGED with its rectangle written into the program, where the
// message's pointer must lead.
bool SendDpiChanged(const Started& s, int dpi, const RECT& suggested) {
    HANDLE p = s.process.process;
    void* at = VirtualAllocEx(p, nullptr, sizeof suggested, MEM_COMMIT, PAGE_READWRITE);
    const bool ok = at && WriteProcessMemory(p, at, &suggested, sizeof suggested, nullptr) &&
                    testkit::SendWithTimeout(s.window, 0x02E0, MAKEWPARAM(dpi, dpi),
                                             reinterpret_cast<LPARAM>(at), 10000, nullptr);
    if (at) VirtualFreeEx(p, at, 0, MEM_RELEASE);
    return ok;
}

RECT WindowRect(HWND w) {
    RECT r = {};
    GetWindowRect(w, &r);
    return r;
}

struct Row {
    int dpi, iconSide;
    uint32_t userColour; // the user's frame of that side
};

TEST(DisplayScale, WindowTextOutlineAndTrayIconsFollowTheDpi) {
    const Row rows[] = {
        {96, 16, 0x102030}, {120, 20, 0x405060}, {144, 24, 0x708090}, {192, 32, 0xa0b0c0}};
    PrefixDpi prefix;
    fakeshell::FakeTray tray;
    ASSERT_EQ(FindWindowA("Shell_TrayWnd", nullptr), tray.hwnd());
    int cw = 0, ch = 0;
    const Pixels corner = CornerPiece(&cw, &ch);
    ASSERT_FALSE(corner.empty());
    SIZE base = {0, 0};
    int baseText = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE("LogPixels " + std::to_string(row.dpi));
        ASSERT_TRUE(prefix.Set(static_cast<DWORD>(row.dpi)));
        const size_t before = tray.CallCount();
        Started s;
        ASSERT_TRUE(Start(row.dpi, tray, &s));
        const double scale = row.dpi / 96.0;
        if (row.dpi == 96) base = s.size;
        EXPECT_NEAR(s.size.cx, base.cx * scale, 3);
        EXPECT_NEAR(s.size.cy, base.cy * scale, 3);
        SetWindowPos(s.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        Sleep(300);
        const int text = TextRows(s.window, row.dpi);
        if (row.dpi == 96) baseText = text;
        EXPECT_GT(text, 5);
        EXPECT_NEAR(text, baseText * scale, 3);

        // The outline is the scaled corner piece's: cut where its pixel is blue.
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(s.window, region), ERROR);
        int wrong = 0;
        for (int y = 0; y < Scaled(ch, row.dpi); ++y)
            for (int x = 0; x < Scaled(cw, row.dpi); ++x) {
                const uint32_t p =
                    corner[static_cast<size_t>(NearestSource(y, ch, Scaled(ch, row.dpi))) * cw +
                           NearestSource(x, cw, Scaled(cw, row.dpi))] &
                    0xffffff;
                wrong += (PtInRegion(region, x, y) != FALSE) == (p == 0x0000ff);
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_TRUE(PtInRegion(region, s.size.cx / 2, s.size.cy / 2));
        DeleteObject(region);
        if (row.dpi == 144) testkit::Screenshot("dpi_144");

        // The built-in icon for a low load first, the user's for 50 and above.
        const Pixels low = BuiltIn(s.dir + "\\vantor.exe", "TICON00", row.iconSide);
        ASSERT_FALSE(low.empty());
        auto last = [&] {
            std::vector<TrayCall> c = tray.Calls();
            for (size_t i = c.size(); i > before; --i)
                if (c[i - 1].flags & NIF_ICON) return c[i - 1];
            return TrayCall();
        };
        ASSERT_TRUE(testkit::WaitUntil([&] { return tray.CallCount() > before; }, 10000));
        const TrayCall first = tray.Calls()[before];
        EXPECT_EQ(first.message, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(first.iconWidth, row.iconSide);
        EXPECT_EQ(first.iconHeight, row.iconSide);
        EXPECT_EQ(first.iconPixels, low);
        ASSERT_TRUE(testkit::WaitUntil(
            [&] { return last().iconPixels != low && !last().iconPixels.empty(); }, 15000));
        const TrayCall user = last();
        EXPECT_EQ(user.iconWidth, row.iconSide);
        EXPECT_EQ(user.iconPixels.front() & 0xffffff, row.userColour);

        if (row.dpi == 96) {
            // Sent to 144 dpi at another place, several times as in a drag.
            const RECT to = {300, 250, 300 + s.size.cx * 3 / 2, 250 + s.size.cy * 3 / 2};
            for (int i = 0; i < 5; ++i)
                ASSERT_TRUE(SendDpiChanged(s, 144, to));
            RECT r = WindowRect(s.window);
            EXPECT_EQ(r.left, 300);
            EXPECT_EQ(r.top, 250);
            EXPECT_NEAR(r.right - r.left, s.size.cx * 1.5, 3);
            EXPECT_NEAR(r.bottom - r.top, s.size.cy * 1.5, 3);
            EXPECT_NEAR(TextRows(s.window, 144), baseText * 1.5, 3);
            const RECT back = {200, 150, 200 + s.size.cx, 150 + s.size.cy};
            ASSERT_TRUE(SendDpiChanged(s, 96, back));
            r = WindowRect(s.window);
            EXPECT_EQ(r.left, 200);
            EXPECT_EQ(r.right - r.left, s.size.cx);
            EXPECT_EQ(r.bottom - r.top, s.size.cy);
        }
        DWORD code = 99;
        testkit::Post(s.window, WM_COMMAND, 40001, 0);
        EXPECT_TRUE(testkit::WaitExit(s.process, 15000, &code));
        EXPECT_EQ(code, 0u);
    }
}

// Windows stretches a program that does not say it scales itself: the one
// embedded manifest says so for every system that reads it.
TEST(DisplayScale, TheManifestDeclaresPerMonitorAwareness) {
    HMODULE m = LoadLibraryExA((Bin() + "\\vantor.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = FindResourceA(m, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)); // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const std::string text(static_cast<const char*>(LockResource(LoadResource(m, found))),
                           SizeofResource(m, found));
    EXPECT_NE(text.find(">true/pm</dpiAware>"), std::string::npos) << text;
    EXPECT_NE(text.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
    EXPECT_EQ(FindResourceA(m, MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(24)), nullptr);
    FreeLibrary(m);
}

} // namespace
