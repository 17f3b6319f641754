// vantor.exe beside a notification area that the test plays: the icon
// follows the load band by band, carries the load text while the window is
// hidden, survives refusals and shell restarts, goes at exit, and its clicks
// hide, show, start Task Manager and open the popup menu.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include "tests/shell/VantorRun.h"
#include "tools/fakeshell/FakeShell.h"

namespace {

using fakeshell::TrayCall;
typedef std::vector<uint32_t> Pixels;

// A built-in icon's colour bits, as the shell receives an icon.
Pixels BuiltIn(const std::string& exe, const char* name) {
    Pixels bits(256);
    HMODULE m = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HICON icon = static_cast<HICON>(LoadImageA(m, name, IMAGE_ICON, 16, 16, 0));
    ICONINFO info = {};
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 16, bi.bmiHeader.biHeight = -16;
    bi.bmiHeader.biPlanes = 1, bi.bmiHeader.biBitCount = 32;
    HDC dc = GetDC(nullptr);
    if (!GetIconInfo(icon, &info) || !GetDIBits(dc, info.hbmColor, 0, 16, bits.data(), &bi, 0))
        bits.clear();
    ReleaseDC(nullptr, dc);
    DeleteObject(info.hbmColor), DeleteObject(info.hbmMask), DestroyIcon(icon), FreeLibrary(m);
    return bits;
}

std::vector<TrayCall> Only(const std::vector<TrayCall>& calls, DWORD message, UINT flag) {
    std::vector<TrayCall> out;
    for (const TrayCall& c : calls)
        if (c.message == message && (c.flags & flag)) out.push_back(c);
    return out;
}

class Tray : public ::testing::Test {
  protected:
    fakeshell::FakeTray tray;
    VantorRun vantor;
    void SetUp() override { ASSERT_EQ(FindWindowA("Shell_TrayWnd", nullptr), tray.hwnd()); }
    bool Calls(size_t n) {
        return testkit::WaitUntil([&] { return tray.CallCount() >= n; }, 10000);
    }
    std::string Tip() {
        std::vector<TrayCall> tips = Only(tray.Calls(), NIM_MODIFY, NIF_TIP);
        return tips.empty() ? "" : tips.back().tip;
    }
    bool Visible() { return IsWindowVisible(vantor.window) != FALSE; }
};

TEST_F(Tray, IconFollowsTheLoadBandByBandAndLeavesAtExit) {
    // Two seconds each inside the bands 0-5 and 49-55, then 100 for good.
    std::string script = "cpus 1\n";
    for (int i = 0; i < 20; ++i) script += i < 10 ? "2\n" : "52\n";
    ASSERT_TRUE(vantor.Start("tray_bands", "", "iconanim=1\r\n", "", script + "100\n"));
    const Pixels low = BuiltIn(vantor.Exe(), "TICON00"), mid = BuiltIn(vantor.Exe(), "TICON07"),
                 high = BuiltIn(vantor.Exe(), "TICON14");
    auto shown = [&] {
        std::vector<TrayCall> icons = Only(tray.Calls(), NIM_MODIFY, NIF_ICON);
        return icons.empty() ? Pixels() : icons.back().iconPixels;
    };
    ASSERT_TRUE(testkit::WaitUntil([&] { return shown() == mid; }, 15000));
    ASSERT_TRUE(testkit::WaitUntil([&] { return shown() == high; }, 15000));
    size_t settled = tray.CallCount();
    Sleep(1500);
    EXPECT_EQ(tray.CallCount(), settled) << "a steady load calls the shell no more";

    std::vector<TrayCall> calls = tray.Calls();
    EXPECT_EQ(calls[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(calls[0].flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(calls[0].callback, static_cast<UINT>(WM_APP + 100));
    EXPECT_EQ(calls[0].tip, "Vantor");
    EXPECT_EQ(calls[0].iconPixels, low);
    Pixels before = low; // every call changes the picture
    for (const TrayCall& c : Only(calls, NIM_MODIFY, NIF_ICON)) {
        EXPECT_NE(c.iconPixels, before);
        before = c.iconPixels;
    }
    EXPECT_EQ(Tip(), "") << "a visible window changes no tip";

    ASSERT_TRUE(vantor.Exit());
    EXPECT_EQ(tray.Calls().back().message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_FALSE(tray.HasIcon());
}

TEST_F(Tray, IconComesBackAfterRefusalsAndShellRestarts) {
    tray.RefuseNext(1); // not ready for the first add
    ASSERT_TRUE(vantor.Start("tray_restart", "", "", "", "cpus 1\n20\n"));
    ASSERT_TRUE(testkit::WaitUntil([&] { return tray.HasIcon(); }, 5000));
    EXPECT_FALSE(tray.Calls()[0].accepted);

    const UINT created = RegisterWindowMessageA("TaskbarCreated");
    tray.Forget(); // a restarted shell
    size_t n = tray.CallCount();
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, created, 0, 0));
    ASSERT_TRUE(testkit::WaitUntil([&] { return tray.HasIcon(); }, 5000));
    EXPECT_EQ(tray.Calls()[n].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(tray.Calls()[n].tip, "Vantor");

    // No restart (a display change): the add is refused, the icon modified.
    n = tray.CallCount();
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, created, 0, 0));
    ASSERT_TRUE(Calls(n + 2));
    Sleep(600);
    std::vector<TrayCall> calls = tray.Calls();
    ASSERT_EQ(calls.size(), n + 2) << "nothing more once the shell has the icon";
    EXPECT_FALSE(calls[n].accepted);
    EXPECT_EQ(calls[n + 1].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_TRUE(calls[n + 1].accepted);
    EXPECT_TRUE(vantor.Exit());
    EXPECT_FALSE(tray.HasIcon());
}

// A shell that refuses every icon is asked after growing pauses, not on
// every tick, and at once on "TaskbarCreated"; meanwhile the hidden window,
// which has no icon to be clicked, is shown by a second start.
TEST_F(Tray, ARefusingShellIsAskedLessOftenAndASecondStartShowsTheHiddenWindow) {
    tray.RefuseNext(1 << 30);
    ASSERT_TRUE(vantor.Start("tray_refused", "winhide=1\r\n", "", "", "cpus 1\n20\n"));
    EXPECT_FALSE(Visible());
    auto adds = [&] { return Only(tray.Calls(), NIM_ADD, NIF_ICON); };
    ASSERT_TRUE(testkit::WaitUntil([&] { return adds().size() >= 4; }, 20000));
    std::vector<TrayCall> a = adds();
    for (size_t k = 1; k < 4; ++k) // 1, 2 and 4 s at least, on ticks of 200 ms
        EXPECT_GE(a[k].tick - a[k - 1].tick, (1000u << (k - 1)) - 20) << k;
    // The next offer is 8 s away: one within 4 s answers the message.
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0));
    EXPECT_TRUE(testkit::WaitUntil([&] { return adds().size() >= 5; }, 4000));

    testkit::Process second;
    DWORD code = 99;
    ASSERT_TRUE(testkit::Start(testkit::RunOptions{vantor.Exe(), "", vantor.dir, "", {}}, &second));
    ASSERT_TRUE(testkit::WaitExit(second, 15000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(testkit::WaitUntil([&] { return Visible(); }, 5000));
    EXPECT_FALSE(tray.HasIcon());
    EXPECT_TRUE(vantor.Exit());
}

bool TaskManagerRunning(bool end) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 e = {};
    e.dwSize = sizeof e;
    bool found = false;
    for (BOOL more = Process32First(snap, &e); more; more = Process32Next(snap, &e)) {
        if (lstrcmpiA(e.szExeFile, "taskmgr.exe") != 0) continue;
        found = true;
        HANDLE p = end ? OpenProcess(PROCESS_TERMINATE, FALSE, e.th32ProcessID) : nullptr;
        if (p) TerminateProcess(p, 0), CloseHandle(p);
    }
    CloseHandle(snap);
    return found;
}

std::string IniValue(const std::string& ini, const char* section, const char* key) {
    char value[64] = {};
    GetPrivateProfileStringA(section, key, "", value, sizeof value, ini.c_str());
    return value;
}

TEST_F(Tray, ClicksHideAndShowWithTheTipStartTaskManagerAndOpenTheMenu) {
    std::string loads = "cpus 16\n", tip = "\x81\x79" "CPU: 50%";
    for (int i = 1; i <= 16; ++i) loads += "50 ", tip += "/" + std::to_string(i) + "-50%";
    tip += "\x81\x7a"; // longer than the 63 bytes of the record's first form
    ASSERT_TRUE(vantor.Start("tray_clicks", "", "multi=1\r\n", "", loads + "\n"));
    ASSERT_TRUE(testkit::WaitUntil([&] { return Visible(); }, 5000));
    const DWORD settle = GetDoubleClickTime() + 500;
    { // covered by a window over it (topmost, 100,100 to 300,250): brought to the front
        testkit::Process other;
        testkit::RunOptions o;
        o.exe = testkit::BuildDir() + "\\..\\..\\tools\\testwindow\\testwindow.exe";
        ASSERT_TRUE(testkit::Start(o, &other));
        ASSERT_NE(testkit::WaitForWindow("VantorTestWindow", nullptr, 5000), nullptr);
        tray.Click();
        EXPECT_TRUE(testkit::WaitUntil([&] { return GetForegroundWindow() == vantor.window; }, 3000));
        Sleep(settle);
        EXPECT_TRUE(Visible());
    }
    tray.Click(); // visible and uncovered: hidden, the tip shows the loads
    ASSERT_TRUE(testkit::WaitUntil([&] { return !Visible(); }, 3000));
    // Each click saves its change, as the menu's command does.
    EXPECT_TRUE(testkit::WaitUntil(
        [&] { return IniValue(vantor.Ini(), "Window", "winhide") == "1"; }, 3000));
    // The tip waits for the next sampling tick, which a busy machine delays.
    EXPECT_TRUE(testkit::WaitUntil([&] { return Tip() == tip; }, 15000)) << Tip();
    tray.Click(); // shown and put in front, the tip names the program
    ASSERT_TRUE(testkit::WaitUntil([&] { return Visible() && Tip() == "Vantor"; }, 3000));
    EXPECT_TRUE(testkit::WaitUntil([&] { return GetForegroundWindow() == vantor.window; }, 3000));
    size_t settled = tray.CallCount();
    Sleep(settle);
    EXPECT_EQ(tray.CallCount(), settled) << "the tip stays while the window shows";
    EXPECT_EQ(IniValue(vantor.Ini(), "Window", "winhide"), "0") << "a click's show is saved";

    TaskManagerRunning(true);
    tray.DoubleClick(); // Task Manager, and neither hidden nor shown
    EXPECT_TRUE(testkit::WaitUntil([&] { return TaskManagerRunning(false); }, 10000));
    Sleep(settle);
    EXPECT_TRUE(Visible());
    TaskManagerRunning(true);

    // The menu's seventh item reaches the window: the icon follows the load.
    size_t n = tray.CallCount();
    tray.RightClick();
    HWND menu = testkit::WaitForWindow("#32768", nullptr, 5000);
    ASSERT_NE(menu, nullptr);
    for (int i = 0; i < 7; ++i) testkit::Post(menu, WM_KEYDOWN, VK_DOWN, 0);
    testkit::Post(menu, WM_KEYDOWN, VK_RETURN, 0);
    // A call of before the command may still arrive first: the last one counts.
    const Pixels mid = BuiltIn(vantor.Exe(), "TICON07");
    EXPECT_TRUE(testkit::WaitUntil(
        [&] { return tray.CallCount() > n && tray.Calls().back().iconPixels == mid; }, 10000));
    // The icon is set before the command saves: wait for the file.
    EXPECT_TRUE(testkit::WaitUntil(
        [&] { return IniValue(vantor.Ini(), "Option", "iconanim") == "1"; }, 5000));

    // Under an open box of its own the menu stays shut: the box comes first.
    testkit::Post(vantor.window, WM_COMMAND, 40011, 0);
    HWND about = testkit::WaitForWindow("#32770", "About Vantor", 5000);
    ASSERT_NE(about, nullptr);
    tray.RightClick();
    EXPECT_EQ(testkit::WaitForWindow("#32768", nullptr, 1500), nullptr);
    EXPECT_TRUE(IsWindow(about));
    testkit::Post(about, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindow(about); }, 5000));
    EXPECT_TRUE(vantor.Exit());
}

} // namespace
