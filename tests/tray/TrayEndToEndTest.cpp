// vantor.exe under Wine beside a notification area that the test plays:
// the icon's picture follows the scripted load, its tip carries the load
// text while the window is hidden, it comes back after the shell restarts or
// refuses, it goes at exit, and its clicks hide, show, open Task Manager and
// open the popup menu.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "tests/shell/FakeShell.h"
#include "tests/shell/VantorRun.h"

namespace {

using fakeshell::TrayCall;

const UINT WM_TRAYNOTIFY = WM_APP + 100;
const std::string OPEN = "\x81\x79", CLOSE = "\x81\x7a"; // 【 】

std::string Ini(const std::string& window, const std::string& option) {
    // wintop marks the current layout of the file.
    return "[Window]\r\nposx=200\r\nposy=200\r\nwintop=0\r\n" + window + "[Option]\r\n" + option +
           "[Config]\r\ntmrate=200\r\n";
}

// The 32-bit pixels of a built-in icon of the program, as Wine's shell
// reads an icon: colour bits top-down.
std::vector<uint32_t> ResourceIcon(const std::string& exe, const char* name) {
    std::vector<uint32_t> pixels;
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HICON icon = module ? static_cast<HICON>(LoadImageA(module, name, IMAGE_ICON, 16, 16, 0))
                        : nullptr;
    ICONINFO info = {};
    if (icon && GetIconInfo(icon, &info)) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = 16;
        bi.bmiHeader.biHeight = -16;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        pixels.resize(256);
        HDC dc = GetDC(nullptr);
        if (GetDIBits(dc, info.hbmColor, 0, 16, pixels.data(), &bi, DIB_RGB_COLORS) != 16)
            pixels.clear();
        ReleaseDC(nullptr, dc);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    if (icon) DestroyIcon(icon);
    if (module) FreeLibrary(module);
    return pixels;
}

std::vector<TrayCall> Only(const std::vector<TrayCall>& calls, DWORD message, UINT flag) {
    std::vector<TrayCall> out;
    for (const TrayCall& c : calls)
        if (c.message == message && (c.flags & flag)) out.push_back(c);
    return out;
}

// The calls as one line each, for failure messages.
std::string Describe(const std::vector<TrayCall>& calls) {
    std::string out;
    for (const TrayCall& c : calls)
        out += "\n  " + std::to_string(c.message) + " flags " + std::to_string(c.flags) +
               (c.accepted ? " accepted" : " refused") + " icon " +
               std::to_string(c.iconWidth) + " tip \"" + c.tip + "\"";
    return out;
}

// Each test starts its own program beside its own notification area.
class Tray : public ::testing::Test {
  protected:
    fakeshell::FakeTray tray;
    fakeshell::VantorRun vantor;

    void SetUp() override {
        ASSERT_EQ(FindWindowA("Shell_TrayWnd", nullptr), tray.hwnd())
            << "the program would talk to another notification area";
    }
    bool WaitCalls(size_t n, DWORD ms = 10000) {
        return testkit::WaitUntil([&] { return tray.CallCount() >= n; }, ms);
    }
    bool WaitTip(const std::string& tip) {
        return testkit::WaitUntil(
            [&] {
                std::vector<TrayCall> tips = Only(tray.Calls(), NIM_MODIFY, NIF_TIP);
                return !tips.empty() && tips.back().accepted && tips.back().tip == tip;
            },
            10000);
    }
    bool Visible() { return IsWindowVisible(vantor.window) != FALSE; }
};

TEST_F(Tray, IconFollowsTheLoadBandByBandAndLeavesAtExit) {
    // Two seconds in each band, then 100 for good. The loads sit inside
    // their bands (0-5, 49-55, 99-100): a measured figure may be one off.
    std::string script = "cpus 1\n";
    for (int load : {2, 52})
        for (int i = 0; i < 10; ++i) script += std::to_string(load) + "\n";
    script += "100\n";
    ASSERT_TRUE(vantor.Start("tray_bands", Ini("", "iconanim=1\r\n"), script));
    const std::vector<uint32_t> low = ResourceIcon(vantor.Exe(), "TICON00");
    const std::vector<uint32_t> mid = ResourceIcon(vantor.Exe(), "TICON07");
    const std::vector<uint32_t> high = ResourceIcon(vantor.Exe(), "TICON14");
    ASSERT_EQ(low.size(), 256u);

    auto shown = [&] {
        std::vector<TrayCall> calls = tray.Calls();
        std::vector<TrayCall> icons = Only(calls, NIM_MODIFY, NIF_ICON);
        return icons.empty() ? std::vector<uint32_t>() : icons.back().iconPixels;
    };
    // The low band first, as the very first figure may be any load.
    ASSERT_TRUE(testkit::WaitUntil([&] { return shown() == mid; }, 15000)) << Describe(tray.Calls());
    ASSERT_TRUE(testkit::WaitUntil([&] { return shown() == high; }, 15000)) << Describe(tray.Calls());
    size_t settled = tray.CallCount();
    Sleep(1500);
    EXPECT_EQ(tray.CallCount(), settled) << "a steady load calls the shell no more";

    std::vector<TrayCall> calls = tray.Calls();
    const TrayCall& add = calls[0];
    EXPECT_EQ(add.message, static_cast<DWORD>(NIM_ADD));
    EXPECT_TRUE(add.accepted);
    EXPECT_EQ(add.window, vantor.window);
    EXPECT_EQ(add.flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(add.callback, WM_TRAYNOTIFY);
    EXPECT_EQ(add.tip, "Vantor");
    EXPECT_EQ(add.iconPixels, low);

    // Every call changes the picture, and from the low band on the load
    // went through the middle band to the high one.
    std::vector<std::vector<uint32_t>> pictures = {add.iconPixels};
    for (const TrayCall& c : Only(calls, NIM_MODIFY, NIF_ICON)) {
        EXPECT_NE(c.iconPixels, pictures.back()) << "the same icon sent again" << Describe(calls);
        pictures.push_back(c.iconPixels);
    }
    size_t lastLow = 0;
    for (size_t i = 0; i < pictures.size(); ++i)
        if (pictures[i] == low) lastLow = i;
    EXPECT_EQ(std::vector<std::vector<uint32_t>>(pictures.begin() + lastLow, pictures.end()),
              (std::vector<std::vector<uint32_t>>{low, mid, high}))
        << Describe(calls);
    EXPECT_TRUE(Only(calls, NIM_MODIFY, NIF_TIP).empty()) << "a visible window changes no tip";

    ASSERT_TRUE(vantor.Exit());
    calls = tray.Calls();
    EXPECT_EQ(calls.back().message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_TRUE(calls.back().accepted);
    EXPECT_FALSE(tray.HasIcon());
}

TEST_F(Tray, HiddenWindowTipCarriesTheLoadTextOfSixteenProcessors) {
    std::string loads = "cpus 16\n";
    for (int i = 0; i < 16; ++i) loads += "50 ";
    ASSERT_TRUE(vantor.Start("tray_tip", Ini("winhide=1\r\n", "multi=1\r\n"), loads + "\n"));
    EXPECT_FALSE(Visible());
    std::string expected = OPEN + "CPU: 50%";
    for (int i = 1; i <= 16; ++i) expected += "/" + std::to_string(i) + "-50%";
    expected += CLOSE;
    ASSERT_GT(expected.size(), 63u) << "longer than the record's first form holds";
    EXPECT_TRUE(WaitTip(expected)) << Describe(tray.Calls());

    // Shown from the icon, the tip names the program again.
    tray.Click();
    ASSERT_TRUE(testkit::WaitUntil([&] { return Visible(); }, 3000));
    EXPECT_TRUE(WaitTip("Vantor"));
    size_t settled = tray.CallCount();
    Sleep(1000);
    EXPECT_EQ(tray.CallCount(), settled) << "the tip stays while the window shows";
    EXPECT_TRUE(vantor.Exit());
}

TEST_F(Tray, IconComesBackAfterRefusalsAndShellRestarts) {
    tray.RefuseNext(1); // the shell is not ready for the first add
    ASSERT_TRUE(vantor.Start("tray_restart", Ini("", ""), "cpus 1\n20\n"));
    ASSERT_TRUE(testkit::WaitUntil([&] { return tray.HasIcon(); }, 5000));
    std::vector<TrayCall> calls = tray.Calls();
    EXPECT_FALSE(calls[0].accepted);
    EXPECT_EQ(calls.back().message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(calls.back().tip, "Vantor");

    // Restarted shell: the icon is added anew.
    UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    tray.Forget();
    size_t before = tray.CallCount();
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, taskbarCreated, 0, 0));
    ASSERT_TRUE(WaitCalls(before + 1));
    ASSERT_TRUE(testkit::WaitUntil([&] { return tray.HasIcon(); }, 3000));
    EXPECT_EQ(tray.Calls()[before].message, static_cast<DWORD>(NIM_ADD));

    // The same message without a restart (a display change): the add is
    // refused as the icon is there, and the icon is modified instead.
    before = tray.CallCount();
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, taskbarCreated, 0, 0));
    ASSERT_TRUE(WaitCalls(before + 2));
    calls = tray.Calls();
    EXPECT_EQ(calls[before].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_FALSE(calls[before].accepted);
    EXPECT_EQ(calls[before + 1].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_TRUE(calls[before + 1].accepted);
    Sleep(600);
    EXPECT_EQ(tray.CallCount(), before + 2) << "nothing more once the shell has the icon";
    EXPECT_TRUE(vantor.Exit());
    EXPECT_FALSE(tray.HasIcon());
}

bool TaskManagerRunning(bool end) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snap, &entry); more; more = Process32Next(snap, &entry)) {
        if (lstrcmpiA(entry.szExeFile, "taskmgr.exe") != 0) continue;
        found = true;
        HANDLE p = end ? OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID) : nullptr;
        if (p) {
            TerminateProcess(p, 0);
            CloseHandle(p);
        }
    }
    CloseHandle(snap);
    return found;
}

std::string IniValue(const std::string& ini, const char* section, const char* key) {
    char value[64] = {};
    GetPrivateProfileStringA(section, key, "", value, sizeof value, ini.c_str());
    return value;
}

TEST_F(Tray, ClicksHideShowOpenTaskManagerAndTheMenu) {
    ASSERT_TRUE(vantor.Start("tray_clicks", Ini("", ""), "cpus 1\n20\n"));
    ASSERT_TRUE(testkit::WaitUntil([&] { return Visible(); }, 5000));
    const DWORD settle = GetDoubleClickTime() + 500;

    // A single click on the visible, uncovered window hides it; the next
    // shows it and puts it in front.
    tray.Click();
    ASSERT_TRUE(testkit::WaitUntil([&] { return !Visible(); }, 3000));
    Sleep(settle);
    tray.Click();
    ASSERT_TRUE(testkit::WaitUntil([&] { return Visible(); }, 3000));
    EXPECT_TRUE(testkit::WaitUntil([&] { return GetForegroundWindow() == vantor.window; }, 3000));
    EXPECT_EQ(IniValue(vantor.Ini(), "Window", "winhide"), "") << "clicks save nothing";

    // A double click starts Task Manager and neither hides nor shows.
    TaskManagerRunning(true);
    Sleep(settle);
    tray.DoubleClick();
    EXPECT_TRUE(testkit::WaitUntil([&] { return TaskManagerRunning(false); }, 10000));
    Sleep(settle);
    EXPECT_TRUE(Visible());
    TaskManagerRunning(true);

    // A right click opens the popup menu; its command reaches the window:
    // the seventh item switches the animated icon on.
    ASSERT_EQ(IniValue(vantor.Ini(), "Option", "iconanim"), "");
    size_t before = tray.CallCount();
    tray.RightClick();
    HWND menu = testkit::WaitForWindow("#32768", nullptr, 5000);
    ASSERT_NE(menu, nullptr);
    for (int i = 0; i < 7; ++i) testkit::Post(menu, WM_KEYDOWN, VK_DOWN, 0);
    testkit::Post(menu, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(testkit::WaitUntil(
        [&] { return IniValue(vantor.Ini(), "Option", "iconanim") == "1"; }, 5000));
    ASSERT_TRUE(WaitCalls(before + 1));
    TrayCall shown = tray.Calls()[before];
    EXPECT_EQ(shown.message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(shown.iconPixels, ResourceIcon(vantor.Exe(), "TICON03"));
    EXPECT_TRUE(vantor.Exit());
}

} // namespace
