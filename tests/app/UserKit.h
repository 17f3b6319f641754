// The real vantor.exe in a user's hands: a copy in its own folder with its
// own vantor.ini and scripted processors, the X pointer (xdotool) that moves
// it, and the menu probe hook (tools/menuprobe) that reads its open menus.
#pragma once
#include "tests/testkit/testkit.h"

#include <initializer_list>
#include <map>
#include <string>

namespace userkit {

const int W = 112, H = 84, FoldedH = 44; // default skin: one meter, graph band or not

struct Vantor {
    testkit::Process process;
    HWND window = nullptr;
    std::string ini;
};

// xdotool with args; Wine starts a Linux program given by its path.
bool Xdo(const std::string& args);
bool Move(int x, int y);
// A copy with its own vantor.ini ([Window] with wintop marks the program's
// own layout) and `cpus` scripted processors; waits until the window shows.
bool Start(Vantor* v, const char* name, const std::string& window, const std::string& rest,
           int cpus = 1);
void ExpectExitCodeZero(Vantor& v);
RECT RectOf(HWND window);
bool WaitRect(HWND window, int left, int top, int width, int height);
std::string Ini(const Vantor& v, const char* section, const char* key);
bool WaitIni(const Vantor& v, const char* section, const char* key, const std::string& want);
bool Shown(const Vantor& v, bool shown);
BYTE Opacity(HWND window);
// The items of every open menu: "id state,flags mark|nomark text" lines.
std::map<unsigned, std::string> MenuItems(Vantor& v, std::string* texts = nullptr);
HWND WaitMenu();
HWND OpenMenuByRightClick(int x, int y);
// Keys posted one by one to an open menu.
void Keys(HWND menu, std::initializer_list<WPARAM> keys);

} // namespace userkit
