// Reads the open popup menus of a program's window through the menu probe
// hook (tools/menuprobe): another process cannot read a menu under Wine.
#include "testkit.h"

#include <sstream>

namespace testkit {

HWND WaitForMenu(DWORD timeoutMs) {
    HWND menu = nullptr;
    WaitUntil([&] { return (menu = FindWindowA("#32768", nullptr)) && IsWindowVisible(menu); },
              timeoutMs);
    return menu;
}

std::map<unsigned, std::string> OpenMenuItems(HWND window, std::string* texts) {
    static HHOOK hook = nullptr;
    static DWORD hooked = 0;
    std::string dll = BuildDir() + "\\..\\..\\bin\\menuprobe.dll", dump = dll + ".txt", text;
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (hooked != thread) {
        if (hook) UnhookWindowsHookEx(hook);
        HMODULE probe = LoadLibraryA(dll.c_str());
        void* proc = reinterpret_cast<void*>(GetProcAddress(probe, "MenuProbeHook"));
        hook = SetWindowsHookExA(WH_GETMESSAGE, reinterpret_cast<HOOKPROC>(proc), probe, thread);
        hooked = thread;
    }
    DeleteFileA(dump.c_str());
    WaitUntil(
        [&] {
            PostMessageA(window, WM_NULL, 0x4D50, 0); // the probe's cue
            Sleep(50);
            return ReadFileText(dump, &text);
        },
        5000);
    std::map<unsigned, std::string> items;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        unsigned id = 0;
        std::string state, mark, name;
        if (!(fields >> id >> state >> mark)) continue;
        std::getline(fields, name);
        if (texts) *texts += std::to_string(id) + name + "|";
        if (id) items[id] = state + " " + mark;
    }
    return items;
}

std::map<unsigned, std::string> MenuItemsOf(HWND window) {
    PostMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(2, 2));
    HWND menu = WaitForMenu(3000);
    if (!menu) return {};
    std::map<unsigned, std::string> items = OpenMenuItems(window, nullptr);
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    WaitUntil([&] { return !IsWindowVisible(menu); }, 2000);
    return items;
}

} // namespace testkit
