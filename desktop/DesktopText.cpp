#include "desktop/DesktopText.h"

#include <commctrl.h>

#include "app/AppState.h"
#include "base/WindowIds.h"

namespace {

// The list view lives in the shell's process: a shell that does not answer
// must not stop this program.
const UINT SHELL_TIMEOUT_MS = 500;
// The options offer 500 to 5000 ms; a hand-edited smaller period would keep
// the shell busy.
const int32_t MIN_CHECK_PERIOD_MS = 500;

bool Ask(UINT message, LPARAM value, DWORD_PTR* result) {
    DWORD_PTR r = 0;
    if (!app.desktopListView ||
        !SendMessageTimeoutA(app.desktopListView, message, 0, value,
                             SMTO_ABORTIFHUNG | SMTO_NORMAL, SHELL_TIMEOUT_MS, &r))
        return false;
    if (result) *result = r;
    return true;
}

void SetColors(COLORREF text, COLORREF background) {
    // InvalidateRect of no window would redraw every window on the screen.
    if (!app.desktopListView) return;
    Ask(LVM_SETTEXTCOLOR, static_cast<LPARAM>(text), nullptr);
    Ask(LVM_SETTEXTBKCOLOR, static_cast<LPARAM>(background), nullptr);
    InvalidateRect(app.desktopListView, nullptr, TRUE);
}

UINT CheckPeriod() {
    return static_cast<UINT>(app.tmrate3 < MIN_CHECK_PERIOD_MS ? MIN_CHECK_PERIOD_MS
                                                               : app.tmrate3);
}

void StartChecking(HWND window) {
    ApplyDesktopTextColors(true);
    SetTimer(window, TIMER_DESKTOP, CheckPeriod(), nullptr);
}

HWND DefViewIn(HWND parent) {
    return parent ? FindWindowExA(parent, nullptr, "SHELLDLL_DefView", nullptr) : nullptr;
}

} // namespace

void FindDesktopListView() {
    HWND defView = DefViewIn(FindWindowExA(nullptr, nullptr, "Progman", "Program Manager"));
    // Newer shells move the icons into one of the top-level WorkerW windows
    // behind the desktop.
    for (HWND worker = nullptr; !defView;) {
        worker = FindWindowExA(nullptr, worker, "WorkerW", nullptr);
        if (!worker) break;
        defView = DefViewIn(worker);
    }
    app.desktopListView = defView ? FindWindowExA(defView, nullptr, "SysListView32", nullptr)
                                  : nullptr;
}

void SaveDesktopTextColors() {
    DWORD_PTR text = 0, background = 0;
    app.desktopColorsSaved =
        Ask(LVM_GETTEXTCOLOR, 0, &text) && Ask(LVM_GETTEXTBKCOLOR, 0, &background);
    if (!app.desktopColorsSaved) return;
    app.savedIconTextColor = static_cast<COLORREF>(text);
    app.savedIconTextBkColor = static_cast<COLORREF>(background);
}

void ApplyDesktopTextColors(bool force) {
    // Colours set before the shell's own were read could never be given
    // back: a shell too busy to answer now is asked again on the next check.
    if (!app.desktopColorsSaved) SaveDesktopTextColors();
    if (!app.desktopColorsSaved) return;
    DWORD_PTR current = 0;
    if (!Ask(LVM_GETTEXTBKCOLOR, 0, &current)) return;
    if (!force && static_cast<COLORREF>(current) == CLR_NONE) return;
    SetColors(app.textcolor, CLR_NONE);
}

void RestoreDesktopTextColors() {
    // Colours never read are not invented.
    if (app.desktopColorsSaved) SetColors(app.savedIconTextColor, app.savedIconTextBkColor);
}

void StartDesktopTextColors(HWND window) {
    FindDesktopListView();
    SaveDesktopTextColors();
    if (app.bgtrans) StartChecking(window);
}

void StopDesktopTextColors(HWND window) {
    if (!app.bgtrans) return;
    KillTimer(window, TIMER_DESKTOP);
    RestoreDesktopTextColors();
}

void OnDesktopTimer(HWND) {
    // A shell that came back without announcing itself is found here.
    if (!app.desktopListView || !IsWindow(app.desktopListView))
        RefindDesktopListView();
    else
        ApplyDesktopTextColors(false);
}

void RefindDesktopListView() {
    HWND before = app.desktopListView;
    FindDesktopListView();
    if (!app.desktopListView) return;
    // The same list view still wears our colours: what was saved stays.
    if (app.desktopListView != before || !app.desktopColorsSaved) SaveDesktopTextColors();
    if (app.bgtrans) ApplyDesktopTextColors(true);
}

void ChangeDesktopTextOptions(HWND window, int32_t bgtrans, uint32_t textcolor, int32_t tmrate3) {
    if (bgtrans == app.bgtrans && textcolor == app.textcolor && tmrate3 == app.tmrate3) return;
    if (app.bgtrans) KillTimer(window, TIMER_DESKTOP);
    app.bgtrans = bgtrans;
    app.textcolor = textcolor;
    app.tmrate3 = tmrate3;
    if (app.bgtrans)
        StartChecking(window);
    else
        RestoreDesktopTextColors();
}
