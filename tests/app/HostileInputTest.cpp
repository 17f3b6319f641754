// The real vantor.exe against hostile settings files, skins and program
// files, one row each: the program starts, shows a window of a sane size,
// keeps sampling, ends through its own Exit command with code 0, and leaves
// the user's settings as they were written.
#include "tests/testkit/testkit.h"
#include "tests/view/ViewKit.h"
#include "view/MeterCells.h"

#include <gtest/gtest.h>
#include <psapi.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const COLORREF kSkinGrey = RGB(220, 220, 220); // the fill of a missing skin
const char* const kSteady = "cpus 1\n30\n";    // one processor at 30 %

std::string Bin() {
    return testkit::BuildDir() + "\\..\\..\\bin";
}

// A skin folder with a skin.ini and optional pieces.
void MakeSkin(const std::string& folder, const std::string& ini) {
    CreateDirectoryA(folder.c_str(), nullptr);
    testkit::WriteTextFile(folder + "\\skin.ini", ini);
}

// Every frame piece a 100 x 100 checkerboard of pure blue: one outline run
// per blue pixel.
void MakeDitheredSkin(const std::string& folder) {
    MakeSkin(folder, "[LAYOUT]\r\nPADDING=100 100 100 100\r\n");
    for (const char* piece : {"LT", "RT", "RB", "LB", "ST", "SB", "SL", "SR"})
        viewkit::WriteBmp(folder + "\\back" + piece + ".bmp", 100, 100, [](int x, int y) {
            return (x + y) % 2 ? RGB(0, 0, 255) : RGB(90, 90, 90);
        });
}

// An 8000 x 8000 back.bmp, run-length coded (8 bits, two colours) so that
// the file stays small: runs of 255, then the rest, then the row's end.
void MakeHugeBack(const std::string& folder) {
    MakeSkin(folder, "");
    std::string row;
    for (int left = 8000; left > 0; left -= 255)
        row += {static_cast<char>(left < 255 ? left : 255), 1};
    std::string rle;
    for (int y = 0; y < 8000; ++y)
        rle += row + std::string(2, '\0');
    rle += std::string("\0\1", 2);
    const DWORD size = static_cast<DWORD>(rle.size());
    // File header after "BM", info header, two palette entries.
    const DWORD head[15] = {62 + size, 0, 62, 40, 8000, 8000, 1 | 8 << 16, BI_RLE8,
                            size,      0, 0,  2,  0,    0,    0x28a028};
    testkit::WriteTextFile(folder + "\\back.bmp",
                           "BM" + std::string(reinterpret_cast<const char*>(head), 60) + rle);
}

// A copy of the program whose popup menu resource holds no menu at all.
bool EmptyMenuResource(const std::string& exe) {
    HANDLE update = BeginUpdateResourceA(exe.c_str(), FALSE);
    if (!update) return false;
    WORD header[4] = {}; // version 0, no items
    UpdateResourceA(update, reinterpret_cast<LPCSTR>(RT_MENU), "POPMENU",
                    MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), header, sizeof header);
    if (!EndUpdateResourceA(update, FALSE)) return false;
    HMODULE image = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HMENU menu = image ? LoadMenuA(image, "POPMENU") : nullptr;
    const bool empty = image && (!menu || !GetSubMenu(menu, 0));
    if (menu) DestroyMenu(menu);
    if (image) FreeLibrary(image);
    return empty;
}

struct Seen {
    HWND window;
    DWORD startMs; // from CreateProcess to the window shown
    int w, h;
    std::vector<COLORREF> pixels;
    HANDLE process;
};

struct Row {
    const char* name;
    std::string settings;                        // besides wintop=0, posx/posy 100
    std::function<void(const std::string&)> set; // prepares the program folder
    std::function<void(const Seen&)> check;
    std::string script = kSteady; // the provider's script
    const char* exeName = "vantor.exe";
    std::string folderTail; // more folders below the program's temporary folder
    bool noMenu = false;
    DWORD settleMs = 1500; // time for a few samples at the default rate
};

// The first meter cell shows the low-load colour: the program has sampled
// the scripted 30 %.
bool Sampled(const Seen& s, int padLeft, int padTop, int fontHeight, uint32_t load = 30) {
    const uint32_t colours[3] = {RGB(0, 255, 0), RGB(255, 240, 0), RGB(255, 0, 0)};
    MeterLayout meter;
    LayoutMeter(load, 0, 0, colours, padLeft + 1, padTop + fontHeight, padTop + fontHeight + 10,
                meter);
    // The last lit cell: its colour is the load's band.
    int last = 0;
    while (last + 1 < meter.count && meter.cells[last + 1].lit)
        ++last;
    const MeterCell& cell = meter.cells[last];
    const int x = (cell.rect.left + cell.rect.right - 1) / 2;
    const int y = (cell.rect.top + cell.rect.bottom - 1) / 2;
    return x < s.w && y < s.h &&
           s.pixels[static_cast<size_t>(y) * s.w + x] == colours[cell.colourIndex];
}

void RunRow(const Row& row) {
    SCOPED_TRACE(row.name);
    std::string dir = testkit::FreshTempDir(row.name) + row.folderTail;
    for (size_t at = dir.find('\\', 3); at != std::string::npos; at = dir.find('\\', at + 1))
        CreateDirectoryA(dir.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string exe = dir + "\\" + row.exeName;
    ASSERT_TRUE(CopyFileA((Bin() + "\\vantor.exe").c_str(), exe.c_str(), FALSE)) << exe;
    if (row.noMenu) {
        ASSERT_TRUE(EmptyMenuResource(exe));
    }
    const std::string ini = "[Window]\r\nposx=100\r\nposy=100\r\nwintop=0\r\n" + row.settings;
    ASSERT_FALSE(testkit::WriteTextFile(dir + "\\vantor.ini", ini).empty());
    if (row.set) row.set(dir);
    testkit::RunOptions o;
    o.exe = exe;
    o.workDir = dir;
    o.providerScript = testkit::WriteTextFile(dir + "\\load.txt", row.script);

    testkit::Process p;
    const DWORD start = GetTickCount();
    ASSERT_TRUE(testkit::Start(o, &p));
    Seen seen = {};
    seen.window = testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000);
    ASSERT_NE(seen.window, nullptr) << "no window; running: " << testkit::IsRunning(p);
    ASSERT_TRUE(testkit::WaitUntil([&] { return IsWindowVisible(seen.window) != FALSE; }, 10000));
    seen.startMs = GetTickCount() - start;
    seen.process = p.process;
    SetWindowPos(seen.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Sleep(row.settleMs);
    ASSERT_TRUE(testkit::ReadWindowPixels(seen.window, &seen.pixels, &seen.w, &seen.h));
    testkit::Screenshot(row.name);
    EXPECT_GT(seen.w, 0);
    EXPECT_GT(seen.h, 0);
    EXPECT_LE(seen.w, 1024);
    EXPECT_LE(seen.h, 768);
    row.check(seen);

    ASSERT_TRUE(testkit::Post(seen.window, WM_COMMAND, 40001, 0));
    DWORD code = 99;
    ASSERT_TRUE(testkit::WaitExit(p, 10000, &code));
    EXPECT_EQ(code, 0u);
    std::string after;
    ASSERT_TRUE(testkit::ReadFileText(dir + "\\vantor.ini", &after));
    EXPECT_NE(after.find(row.settings), std::string::npos) << after;
}

TEST(HostileInput, EveryRowRunsAndKeepsItsSettings) {
    // The default skin's window: 112 x 84 with its 4 8 4 8 margins.
    const std::string defaultSkin = "[Config\\Ext]\r\nskinname=default\r\n";
    auto withDefaultSkin = [](const std::string& dir) {
        MakeSkin(dir + "\\default", "[LAYOUT]\r\nPADDING=4 8 4 8\r\n");
    };
    const Row rows[] = {
        {"padding_negative", "",
         [](const std::string& dir) {
             MakeSkin(dir + "\\default", "[LAYOUT]\r\nPADDING=-60 -60 -60 -60\r\n");
         },
         [](const Seen& s) { EXPECT_TRUE(s.w == 104 && s.h == 68 && Sampled(s, 0, 0, 15)); }},
        {"padding_huge", "",
         [](const std::string& dir) {
             MakeSkin(dir + "\\default", "[LAYOUT]\r\nPADDING=2000000000 9 2000000000 9\r\n");
         },
         [](const Seen& s) { EXPECT_EQ(s.w, 104 + 400); }},
        {"font_negative", "[Config]\r\nfontsize=-15\r\n", withDefaultSkin,
         [](const Seen& s) {
             EXPECT_EQ(s.h, 84);
             EXPECT_TRUE(Sampled(s, 4, 8, 15));
         }},
        {"font_enormous", "[Config]\r\nfontsize=-5000\r\n", withDefaultSkin,
         [](const Seen& s) { EXPECT_EQ(s.h, 200 + 40 + 21 + 16 - 8); }},
        // Fifteen samples at 30 %, then 90 % for ever: sampling at the default
        // rate, the meter shows 30 % from the first sample, never yet 90 %.
        {"rate_zero", "[Config]\r\ntmrate=0\r\n", withDefaultSkin,
         [](const Seen& s) {
             EXPECT_TRUE(Sampled(s, 4, 8, 15));
             EXPECT_FALSE(Sampled(s, 4, 8, 15, 90));
         },
         "cpus 1\n30\n30\n30\n30\n30\n30\n30\n30\n30\n30\n30\n30\n30\n30\n30\n90\n", "vantor.exe",
         "", false, 2500},
        {"rate_negative", "[Config]\r\ntmrate=-1\r\n", withDefaultSkin,
         [](const Seen& s) { EXPECT_TRUE(Sampled(s, 4, 8, 15)); }},
        {"rate_huge", "[Config]\r\ntmrate=2147483647\r\n", withDefaultSkin,
         [](const Seen& s) { EXPECT_TRUE(Sampled(s, 4, 8, 15)); }},
        {"skin_outside", "[Config\\Ext]\r\nskinname=..\\evil\r\n",
         [](const std::string& dir) {
             MakeSkin(dir.substr(0, dir.rfind('\\')) + "\\evil", "[COLOR]\r\nBACK=255 0 255\r\n");
         },
         // One folder down, so the skin beside it stays in the test's folder.
         [](const Seen& s) { EXPECT_EQ(s.pixels[s.w + 1], kSkinGrey); }, kSteady, "vantor.exe",
         "\\program"},
        {"skin_path_too_long", "[Config\\Ext]\r\nskinname=" + std::string(60, 's') + "\r\n",
         [](const std::string& dir) {
             // The program folder's own skin.ini must not stand in for it.
             testkit::WriteTextFile(dir + "\\skin.ini", "[COLOR]\r\nBACK=255 0 255\r\n");
         },
         [](const Seen& s) { EXPECT_EQ(s.pixels[s.w + 1], kSkinGrey); }, kSteady, "vantor.exe",
         "\\" + std::string(72, 'd') + "\\" + std::string(72, 'e')},
        {"skin_dithered_frame", defaultSkin,
         [](const std::string& dir) { MakeDitheredSkin(dir + "\\default"); },
         [](const Seen& s) {
             printf("dithered frame: window shown %lu ms after start\n",
                    static_cast<unsigned long>(s.startMs));
             EXPECT_LT(s.startMs, 5000u);
             // The outline keeps the frame's outer edge: a blue pixel there is cut.
             HRGN outline = CreateRectRgn(0, 0, 0, 0);
             ASSERT_NE(GetWindowRgn(s.window, outline), ERROR);
             EXPECT_FALSE(PtInRegion(outline, 0, 1));
             EXPECT_TRUE(PtInRegion(outline, 0, 0));
             DeleteObject(outline);
         }},
        {"skin_huge_piece", defaultSkin,
         [](const std::string& dir) { MakeHugeBack(dir + "\\default"); },
         [](const Seen& s) {
             PROCESS_MEMORY_COUNTERS counters = {sizeof counters};
             ASSERT_TRUE(GetProcessMemoryInfo(s.process, &counters, sizeof counters));
             EXPECT_LT(counters.PeakWorkingSetSize, 100u << 20);
             EXPECT_LT(counters.PagefileUsage, 100u << 20);
             EXPECT_EQ(s.pixels[s.w + 1], kSkinGrey);
         }},
        // The trail byte of the first character is a backslash byte: the
        // settings beside the program are found all the same.
        {"program_name_double_byte", "[Config]\r\nfontsize=30\r\n", withDefaultSkin,
         [](const Seen& s) { EXPECT_EQ(s.h, 84 + 15); }, kSteady, "\x95\x5c\x8e\xa6.exe"},
        {"one_processor_no_menu", "[Option]\r\nmulti=1\r\n[Config]\r\nlayout=0\r\n",
         withDefaultSkin, [](const Seen& s) { EXPECT_EQ(s.w * 1000 + s.h, 112084); }, kSteady,
         "vantor.exe", "", true},
    };
    for (const Row& row : rows)
        RunRow(row);
}

} // namespace
