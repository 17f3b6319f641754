// Driving the real vantor.exe as a user does: a copy of the program with its
// own vantor.ini, the X pointer moved and clicked through xdotool, and the
// open popup menu read from inside the program by the menu probe hook.
#pragma once
#include "tests/testkit/testkit.h"

#include <windows.h>

#include <string>

namespace app_driver {

struct Vantor {
    testkit::Process process;
    HWND window = nullptr;
    std::string dir, ini;
};

// A fresh copy with `iniText` as its vantor.ini and a script of `cpus`
// processors at steady loads; waits until the window shows. The pointer is
// first parked in the bottom-right corner, away from every test window.
bool Start(Vantor* v, const char* name, const std::string& iniText, int cpus = 1);
// The menu's "終了" by WM_COMMAND: the program must end with code 0.
void Exit(Vantor& v);

// One xdotool command line ("mousemove 10 20", "click 3"), waited for.
bool Xdo(const std::string& args);

RECT RectOf(HWND window);
// Wait until the window stands at (left, top), or has that size.
bool WaitPlace(HWND window, int left, int top, DWORD timeoutMs = 3000);
bool WaitSize(HWND window, int width, int height, DWORD timeoutMs = 3000);

std::string IniValue(const std::string& ini, const char* section, const char* key);
bool WaitIniValue(const std::string& ini, const char* section, const char* key,
                  const std::string& want, DWORD timeoutMs = 3000);
std::string Section(const std::string& iniText, const char* name);

// The open popup menus of the program, one "menu" line each followed by an
// item per line: "<id> checked|unchecked[,grayed][,separator] mark|nomark
// <text>", indented by depth. Empty when no menu is open.
std::string OpenMenus(Vantor& v);
// The newest popup menu window, or null.
HWND WaitMenuWindow(DWORD timeoutMs = 3000);
void PressKey(HWND menu, WPARAM key);

} // namespace app_driver
