// The real vantor.exe in a user's hands: a copy with its own vantor.ini and scripted
// processors, the X pointer (xdotool), and the menu probe hook (tools/menuprobe).
#pragma once
#include "tests/testkit/testkit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <regex>
#include <string>
#include <vector>

namespace userkit {

const int W = 112, H = 84, FoldedH = 44; // default skin: one meter, graph band or not

struct Vantor {
    testkit::Process process;
    HWND window = nullptr;
    std::string ini;
};

// Wine starts a Linux program given by its path as it would a Windows one
// (and may not wait for its end).
inline bool RunLinux(std::string line) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    bool done = WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return done;
}

inline bool Xdo(const std::string& args) {
    const bool done = RunLinux("/usr/bin/xdotool " + args);
    Sleep(60); // the program reads the X events on its next turn
    return done;
}

inline bool Move(int x, int y) {
    return Xdo("mousemove " + std::to_string(x) + " " + std::to_string(y));
}

// [Window] with wintop marks the program's own layout; waits until the window shows.
inline bool Start(Vantor* v, const char* name, const std::string& window, const std::string& rest,
                  int cpus = 1) {
    Move(1015, 760); // away from every test window
    std::string dir = testkit::FreshTempDir(name), loads = "cpus " + std::to_string(cpus) + "\n";
    for (int i = 0; i < cpus; ++i)
        loads += std::to_string(30 + 10 * i) + " ";
    v->ini = testkit::WriteTextFile(dir + "\\vantor.ini", "[Window]\r\nwintop=0\r\n" + window +
                                                              "[Config]\r\ntmrate=1000\r\n" + rest);
    testkit::RunOptions o;
    o.exe = dir + "\\vantor.exe";
    o.workDir = dir;
    o.providerScript = testkit::WriteTextFile(dir + "\\loads.txt", loads + "\n");
    const std::string built = testkit::BuildDir() + "\\..\\..\\bin\\vantor.exe";
    if (!CopyFileA(built.c_str(), o.exe.c_str(), FALSE) || !testkit::Start(o, &v->process))
        return false;
    v->window = testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000);
    return v->window && testkit::WaitUntil([&] { return IsWindowVisible(v->window); }, 5000);
}

// "終了" (unless already chosen), and the end with code 0.
inline void Exit(Vantor& v, bool chosen = false) {
    if (!chosen) testkit::Post(v.window, WM_COMMAND, 40001, 0);
    DWORD code = 99;
    ASSERT_TRUE(testkit::WaitExit(v.process, 10000, &code));
    EXPECT_EQ(code, 0u);
}

inline RECT RectOf(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

// What the screen showed of the program's window while act ran: every place
// and size the X server gave it (xev), also one that a poll of the window
// would miss between a resize and a move. xev listens once it has seen a
// property set on the window.
inline std::vector<RECT> ShownPlaces(const Vantor& v, const std::function<void()>& act) {
    static int calls = 0; // a file each: the last one's xev may not have ended yet
    const std::string log =
        v.ini.substr(0, v.ini.rfind('\\')) + "\\xev-" + std::to_string(++calls) + ".txt";
    std::string x = log.substr(2); // drive Z: is /
    std::replace(x.begin(), x.end(), '\\', '/');
    // Started by Wine as: sh -c SCRIPT sh LOG, so that $1 is the log.
    const std::string watch =
        "w=$(xdotool search --name '^Vantor$' | head -n1); "
        "xev -event structure -event property -id $w >$1 & echo $! >$1.pid; "
        "n=0; until grep -q VANTOR_READY $1 || [ $n -gt 100 ]; do "
        "xprop -id $w -f VANTOR_READY 8s -set VANTOR_READY 1; n=$((n+1)); sleep 0.1; done";
    RunLinux("/bin/sh -c \"" + watch + "\" sh " + x);
    std::string text;
    EXPECT_TRUE(testkit::WaitUntil(
        [&] { return testkit::ReadFileText(log, &text) && text.find("VANTOR_READY") != text.npos; },
        20000));
    act();
    std::vector<RECT> places;
    const std::regex configured("\\((-?\\d+),(-?\\d+)\\), width (\\d+), height (\\d+)");
    auto caughtUp = [&] { // the last place shown is where the window is
        places.clear();
        testkit::ReadFileText(log, &text);
        for (std::sregex_iterator m(text.begin(), text.end(), configured), end; m != end; ++m) {
            const LONG left = std::stol((*m)[1]), top = std::stol((*m)[2]);
            places.push_back(RECT{left, top, left + std::stol((*m)[3]), top + std::stol((*m)[4])});
        }
        const RECT now = RectOf(v.window);
        return !places.empty() && EqualRect(&places.back(), &now);
    };
    EXPECT_TRUE(testkit::WaitUntil(caughtUp, 5000));
    RunLinux("/bin/sh -c \"kill $(cat $1.pid)\" sh " + x);
    return places;
}

inline bool OnTheScreen(const RECT& r) {
    return r.left >= 0 && r.top >= 0 && r.right <= 1024 && r.bottom <= 768;
}

inline bool WaitRect(HWND window, int left, int top, int width, int height) {
    const RECT want = {left, top, left + width, top + height};
    auto there = [&] {
        const RECT r = RectOf(window);
        return EqualRect(&r, &want) != FALSE;
    };
    return testkit::WaitUntil(there, 5000);
}

inline std::string Ini(const Vantor& v, const char* section, const char* key) {
    char value[64] = {};
    GetPrivateProfileStringA(section, key, "", value, sizeof value, v.ini.c_str());
    return value;
}

inline bool WaitIni(const Vantor& v, const char* section, const char* key,
                    const std::string& want) {
    return testkit::WaitUntil([&] { return Ini(v, section, key) == want; }, 3000);
}

inline bool Shown(const Vantor& v, bool shown) {
    return testkit::WaitUntil([&] { return (IsWindowVisible(v.window) != FALSE) == shown; }, 5000);
}

inline BYTE Opacity(HWND window) {
    BYTE alpha = 0;
    GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr);
    return alpha;
}

inline HWND OpenMenuByRightClick(int x, int y) {
    Move(x, y);
    Xdo("click 3");
    return testkit::WaitForMenu(3000);
}

inline void Keys(HWND menu, std::initializer_list<WPARAM> keys) {
    for (WPARAM key : keys) {
        PostMessageA(menu, WM_KEYDOWN, key, 0);
        Sleep(80);
    }
}

} // namespace userkit
