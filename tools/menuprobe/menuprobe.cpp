// Hooked into a thread with SetWindowsHookExA(WH_GETMESSAGE, MenuProbeHook): a
// WM_NULL posted with wParam 0x4D50 makes it write the items of every open
// popup menu of that thread to "<this dll>.txt" (renamed into place whole),
// one per line: "<id> checked|unchecked[,grayed] mark|nomark <text>".
#include <windows.h>

#include <cstdio>
#include <string>

static HMODULE self = nullptr;

static void DumpMenu(HMENU menu, std::string* out) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {}, line[256];
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING | MIIM_CHECKMARKS;
        item.dwTypeData = text;
        item.cch = sizeof text - 1;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item)) continue;
        snprintf(line, sizeof line, "%u %s%s %s %s\n", item.hSubMenu ? 0u : item.wID,
                 (item.fState & MFS_CHECKED) ? "checked" : "unchecked",
                 (item.fState & MFS_GRAYED) ? ",grayed" : "", item.hbmpChecked ? "mark" : "nomark",
                 text);
        *out += line;
        if (item.hSubMenu) DumpMenu(item.hSubMenu, out);
    }
}

static BOOL CALLBACK AddOpenMenu(HWND window, LPARAM out) {
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, 0x01E1 /* MN_GETHMENU */, 0, 0));
    // The menu first opened holds the others as submenus: the longest dump.
    if (strcmp(cls, "#32768") == 0 && IsWindowVisible(window) && menu) {
        std::string text, *longest = reinterpret_cast<std::string*>(out);
        DumpMenu(menu, &text);
        if (text.size() > longest->size()) *longest = text;
    }
    return TRUE;
}

extern "C" __declspec(dllexport) LRESULT CALLBACK
    MenuProbeHook(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_NULL &&
        msg->wParam == 0x4D50) {
        std::string out;
        EnumThreadWindows(GetCurrentThreadId(), AddOpenMenu, reinterpret_cast<LPARAM>(&out));
        char path[MAX_PATH] = {};
        GetModuleFileNameA(self, path, MAX_PATH);
        std::string done = std::string(path) + ".txt", part = done + ".part";
        if (FILE* f = fopen(part.c_str(), "wb")) {
            fwrite(out.data(), 1, out.size(), f);
            fclose(f);
            MoveFileExA(part.c_str(), done.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}
