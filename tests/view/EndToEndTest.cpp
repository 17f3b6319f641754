// vantor.exe itself, playing known loads from the provider script: the
// meters on the screen show the colours of those loads, in both shipped
// skins, for one processor and for four in the grid. Screenshots are kept
// in build/windows/screenshots.
#include "tests/testkit/testkit.h"
#include "view/MeterCells.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

std::string Bin() {
    return testkit::BuildDir() + "\\..\\..\\bin";
}

bool CopyFolder(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        ok = ok && CopyFileA((from + "\\" + found.cFileName).c_str(),
                             (to + "\\" + found.cFileName).c_str(), FALSE);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return ok;
}

struct Case {
    const char* name;
    const char* skin;
    int padLeft, padTop; // the skin's PADDING
    bool grid;           // four processors, 2 x 2, one meter each
};

// The loads the script plays: the total (mean) first, then each processor.
const uint32_t kLoads[4] = {77, 23, 53, 95};
const uint32_t kTotal = (77 + 23 + 53 + 95) / 4;

class EndToEnd : public ::testing::TestWithParam<Case> {};

COLORREF At(const std::vector<COLORREF>& pixels, int w, int x, int y) {
    return pixels[static_cast<size_t>(y) * w + x];
}

// Every cell of the meter at (left, top) shows what the figure asks for: a
// lit cell the colour of its band, an unlit one none of the three.
void ExpectMeter(const std::vector<COLORREF>& pixels, int w, int h, uint32_t figure, int left,
                 int top, const char* what) {
    const uint32_t colours[3] = {RGB(0, 255, 0), RGB(255, 240, 0), RGB(255, 0, 0)};
    MeterLayout meter;
    LayoutMeter(figure, 0, 0, colours, left, top, top + 10, meter);
    ASSERT_GT(meter.count, 0);
    int lit = 0;
    for (int c = 0; c < meter.count; ++c) {
        const MeterCell& cell = meter.cells[c];
        const int x = (cell.rect.left + cell.rect.right - 1) / 2;
        const int y = (cell.rect.top + cell.rect.bottom - 1) / 2;
        ASSERT_LT(x, w);
        ASSERT_LT(y, h);
        const COLORREF got = At(pixels, w, x, y);
        if (cell.lit) {
            ++lit;
            EXPECT_EQ(got, colours[cell.colourIndex])
                << what << " cell " << c << " at " << x << "," << y << ": " << std::hex << got;
        } else {
            for (COLORREF colour : colours)
                EXPECT_NE(got, colour) << what << " unlit cell " << c << " at " << x << "," << y;
        }
    }
    EXPECT_GT(lit, 0) << what;
}

TEST_P(EndToEnd, MetersShowTheScriptedLoads) {
    const Case& c = GetParam();
    std::string dir = testkit::FreshTempDir(c.name);
    ASSERT_TRUE(CopyFileA((Bin() + "\\vantor.exe").c_str(), (dir + "\\vantor.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFolder(Bin() + "\\" + c.skin, dir + "\\" + c.skin));
    std::string ini = "[Window]\r\nposx=100\r\nposy=100\r\ncolum=2\r\nrow=2\r\nwintop=0\r\n"
                      "[Option]\r\nmulti=" +
                      std::string(c.grid ? "1" : "0") +
                      "\r\n[Config]\r\nlayout=1\r\ntmrate=300\r\n" +
                      "[Config\\Ext]\r\nskinname=" + c.skin + "\r\n";
    ASSERT_FALSE(testkit::WriteTextFile(dir + "\\vantor.ini", ini).empty());
    std::string script = testkit::WriteTextFile(dir + "\\loads.txt", "cpus 4\n77 23 53 95\n");

    testkit::Process p;
    testkit::RunOptions o;
    o.exe = dir + "\\vantor.exe";
    o.workDir = dir;
    o.providerScript = script;
    ASSERT_TRUE(testkit::Start(o, &p));
    HWND window = testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000);
    ASSERT_NE(window, nullptr);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    // A few ticks fill the meters; pixels are read once they settle.
    std::vector<COLORREF> pixels;
    int w = 0, h = 0;
    Sleep(1500);
    ASSERT_TRUE(testkit::WaitUntil(
        [&] { return testkit::ReadWindowPixels(window, &pixels, &w, &h) && w > 0; }, 5000));
    EXPECT_FALSE(testkit::Screenshot(c.name).empty());

    const int fontsize = 15;
    if (!c.grid) {
        ExpectMeter(pixels, w, h, kTotal, c.padLeft + 1, c.padTop + fontsize, "total");
    } else {
        // Cells of the grid are 110 pixels apart, rows 32 + 40 (the graph band).
        for (int i = 0; i < 4; ++i) {
            const int left = c.padLeft + 110 * (i % 2) + 1;
            const int top = c.padTop + fontsize + 72 * (i / 2);
            ExpectMeter(pixels, w, h, kLoads[i], left, top,
                        ("processor " + std::to_string(i + 1)).c_str());
        }
    }
    testkit::Post(window, WM_COMMAND, 40001, 0);
    DWORD code = 99;
    EXPECT_TRUE(testkit::WaitExit(p, 10000, &code));
    EXPECT_EQ(code, 0u);
}

INSTANTIATE_TEST_SUITE_P(Skins, EndToEnd,
                         ::testing::Values(Case{"e2e_default_1", "default", 4, 8, false},
                                           Case{"e2e_default_4", "default", 4, 8, true},
                                           Case{"e2e_night_1", "night", 6, 9, false},
                                           Case{"e2e_night_4", "night", 6, 9, true}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
