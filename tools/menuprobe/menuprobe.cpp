// Hooked into a thread with SetWindowsHookExA(WH_GETMESSAGE, MenuProbeHook):
// a WM_NULL posted with wParam 0x4D50 makes it write every open popup menu of
// that thread, item by item (id, check, gray, separator, check-mark bitmap,
// text), to "<this dll>.txt", written whole and then renamed into place. An
// empty file: no menu is open.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

const WPARAM kDump = 0x4D50;  // "MP"
const UINT kGetMenu = 0x01E1; // MN_GETHMENU

HMODULE self = nullptr;

void DumpMenu(HMENU menu, int depth, std::string* out) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask =
            MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING | MIIM_CHECKMARKS;
        item.dwTypeData = text;
        item.cch = sizeof text - 1;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item)) continue;
        char line[256];
        snprintf(line, sizeof line, "%*s%u %s%s%s %s %s\n", depth * 2, "",
                 item.hSubMenu ? 0u : item.wID,
                 (item.fState & MFS_CHECKED) ? "checked" : "unchecked",
                 (item.fState & MFS_GRAYED) ? ",grayed" : "",
                 (item.fType & MFT_SEPARATOR) ? ",separator" : "",
                 item.hbmpChecked ? "mark" : "nomark", text);
        *out += line;
        if (item.hSubMenu) DumpMenu(item.hSubMenu, depth + 1, out);
    }
}

BOOL CALLBACK AddOpenMenu(HWND window, LPARAM context) {
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (strcmp(cls, "#32768") != 0 || !IsWindowVisible(window)) return TRUE;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, kGetMenu, 0, 0));
    std::string* out = reinterpret_cast<std::string*>(context);
    *out += "menu\n";
    if (menu) DumpMenu(menu, 1, out);
    return TRUE;
}

void Dump() {
    std::string out;
    EnumThreadWindows(GetCurrentThreadId(), AddOpenMenu, reinterpret_cast<LPARAM>(&out));
    char path[MAX_PATH] = {};
    GetModuleFileNameA(self, path, MAX_PATH);
    std::string final = std::string(path) + ".txt", part = final + ".part";
    FILE* f = fopen(part.c_str(), "wb");
    if (!f) return;
    fwrite(out.data(), 1, out.size(), f);
    fclose(f);
    MoveFileExA(part.c_str(), final.c_str(), MOVEFILE_REPLACE_EXISTING);
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    MenuProbeHook(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_NULL && msg->wParam == kDump)
        Dump();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}
