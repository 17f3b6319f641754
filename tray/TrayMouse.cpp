#include "tray/TrayMouse.h"

#include <shellapi.h>

#include <cstring>

#include "app/AppState.h"
#include "base/SafeText.h"
#include "base/WindowIds.h"

namespace {

// A Z order that keeps changing while it is walked must not hold the click.
enum : int { MAX_WINDOWS_ABOVE = 4096 };

void OpenTaskManager() {
    char path[MAX_PATH];
    UINT n = GetSystemDirectoryA(path, sizeof path);
    if (n == 0 || n >= sizeof path) return;
    const char* program = "\\taskmgr.exe";
    if (AppendText(path, sizeof path, program) != n + strlen(program)) return;
    ShellExecuteA(nullptr, "open", path, nullptr, nullptr, SW_SHOWNORMAL);
}

// The menu of a hidden or background window closes properly only when the
// window is in the foreground, and opens again only after a message has
// reached it.
void ShowTrayMenu(HWND window) {
    if (!app.popupMenu) return;
    // A modal box of ours (options, About) has disabled the window: it has
    // to be answered first. A second options dialog, or "終了" under an
    // open one, would pull its state away beneath it.
    if (!IsWindowEnabled(window)) {
        SetForegroundWindow(GetLastActivePopup(window));
        return;
    }
    SetForegroundWindow(window);
    POINT at = {};
    GetCursorPos(&at);
    TrackPopupMenu(app.popupMenu, 0, at.x, at.y, 0, window, nullptr);
    PostMessageA(window, WM_NULL, 0, 0);
    SetTimer(window, TIMER_TRIM, 300, nullptr);
}

} // namespace

void OnTrayNotify(HWND window, LPARAM mouseMessage) {
    switch (LOWORD(mouseMessage)) {
    case WM_LBUTTONDOWN:
        SetTimer(window, TIMER_TRAYCLICK, GetDoubleClickTime(), nullptr);
        break;
    case WM_LBUTTONDBLCLK:
        KillTimer(window, TIMER_TRAYCLICK);
        OpenTaskManager();
        break;
    case WM_RBUTTONUP: ShowTrayMenu(window); break;
    default: break;
    }
}

bool IsCovered(HWND window) {
    RECT own;
    if (!GetWindowRect(window, &own)) return false;
    HWND other = GetWindow(window, GW_HWNDPREV);
    for (int seen = 0; other && seen < MAX_WINDOWS_ABOVE;
         ++seen, other = GetWindow(other, GW_HWNDPREV)) {
        if (!IsWindowVisible(other)) continue;
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof placement;
        GetWindowPlacement(other, &placement);
        if (placement.showCmd == SW_SHOWMAXIMIZED) return true;
        if (placement.showCmd == SW_SHOWMINIMIZED) continue;
        RECT r;
        if (!GetWindowRect(other, &r)) continue;
        if (r.right >= own.left && own.right >= r.left && r.bottom >= own.top &&
            own.bottom >= r.top)
            return true;
    }
    return false;
}
