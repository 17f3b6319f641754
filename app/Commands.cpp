#include "app/Commands.h"

#include "app/About.h"
#include "app/AppState.h"
#include "app/Help.h"
#include "app/MainWindow.h"
#include "app/OptionsExchange.h"
#include "app/Placement.h"
#include "log/LoadLog.h"
#include "measure/LoadSampler.h"
#include "res/resource.h"
#include "settings/SettingsFile.h"
#include "titlebar/TitleBar.h"
#include "tray/TrayIcon.h"
#include "tray/TrayMouse.h"

#include <shellapi.h>
#include <windowsx.h>

namespace {

// Flips an on/off setting and its check mark; returns the new value.
bool Flip(int32_t* setting, UINT id) {
    *setting = *setting ? 0 : 1;
    CheckCommand(id, *setting != 0);
    return *setting != 0;
}

// 0 normal, 1 hide, 2 avoid. Every change starts from the window at home.
void ChooseHoverMode(HWND window, int32_t mode) {
    if (mode == 0) {
        KillTimer(window, TIMER_RETURN);
        ReturnHome(window);
        app.acthide = 0;
        CheckHoverMode();
        app.hovering = 0;
        return;
    }
    if (HoverMode() == mode) return;
    ReturnHome(window);
    app.acthide = mode;
    CheckHoverMode();
    // A pointer already over the window hides or moves it at once.
    HoverEvade(window);
    app.hovering = 0;
}

// The menu's "ログ出力": the new state is saved with the other settings.
void ToggleLog(HWND window) {
    if (app.log) {
        app.log = 0;
        SetLogItem(false, false);
        CloseLog(window);
    } else if (app.logout) {
        // A greyed item sends no command; one that comes anyway must not
        // start a log the options have switched off.
        app.log = 1;
        SetLogItem(true, false);
        if (!OpenLog(window, app.sampler ? app.sampler->processorCount() : 1)) {
            app.log = 0;
            SetLogItem(false, true);
        }
    }
}

void ToggleHidden(HWND window) {
    const bool wasHidden = app.winhide != 0;
    Flip(&app.winhide, IDM_HIDE);
    ShowWindow(window, wasHidden ? SW_SHOW : SW_HIDE);
}

void ToggleTopmost(HWND window) {
    HWND order = Flip(&app.wintop, IDM_TOPMOST) ? HWND_TOPMOST : HWND_NOTOPMOST;
    SetWindowPos(window, order, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOCOPYBITS | SWP_NOSENDCHANGING);
}

void ToggleTranslucent(HWND window) {
    Flip(&app.trans, IDM_TRANS);
    RestoreOpacity(window);
}

// The commands that switch a setting; false for any other id.
bool SwitchSetting(HWND window, WORD id) {
    switch (id) {
    case IDM_HIDE: ToggleHidden(window); break;
    case IDM_HOVER_NORMAL: ChooseHoverMode(window, 0); break;
    case IDM_HOVER_HIDE: ChooseHoverMode(window, 1); break;
    case IDM_HOVER_EVADE: ChooseHoverMode(window, 2); break;
    case IDM_TOPMOST: ToggleTopmost(window); break;
    case IDM_TRANS: ToggleTranslucent(window); break;
    case IDM_SNAP: Flip(&app.snap, IDM_SNAP); break;
    case IDM_LOG: ToggleLog(window); break;
    case IDM_MEMORY:
        Flip(&app.memory, IDM_MEMORY);
        Relayout(window, app.graph == 0, -1);
        break;
    case IDM_TITLE:
        // The window in the foreground would keep our text for good.
        if (!Flip(&app.title, IDM_TITLE)) RestoreTitleBar();
        break;
    case IDM_ICONANIM:
        Flip(&app.iconanim, IDM_ICONANIM);
        OnIconAnimChanged();
        break;
    case IDM_MULTI:
        // One processor has no per-processor histories to show.
        if (app.cpuCount == 0) break;
        Flip(&app.multi, IDM_MULTI);
        Relayout(window, app.graph == 0, -1);
        break;
    default: return false;
    }
    return true;
}

} // namespace

bool OnCommand(HWND window, WORD id) {
    switch (id) {
    case IDM_HELP: OpenHelp(window); return true;
    case IDM_ABOUT: ShowAboutBox(window); return true;
    case IDM_OPTIONS: RunOptionsDialog(window); return true;
    case IDM_EXIT: DestroyWindow(window); return true;
    default: break;
    }
    if (!SwitchSetting(window, id)) return false;
    SaveSettings(false);
    return true;
}

void CheckCommand(UINT id, bool on) {
    if (app.popupMenu)
        CheckMenuItem(app.popupMenu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void CheckHoverMode() {
    CheckCommand(IDM_HOVER_NORMAL, HoverMode() == 0);
    CheckCommand(IDM_HOVER_HIDE, HoverMode() == 1);
    CheckCommand(IDM_HOVER_EVADE, HoverMode() == 2);
}

void SetLogItem(bool checked, bool greyed) {
    CheckCommand(IDM_LOG, checked);
    if (greyed && app.popupMenu) EnableMenuItem(app.popupMenu, IDM_LOG, MF_BYCOMMAND | MF_GRAYED);
}

// The tray's click on a hidden window, or a second start.
void ShowHiddenWindow(HWND window) {
    if (!app.winhide) return;
    app.winhide = 0;
    CheckCommand(IDM_HIDE, false);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetTrayTip(0, nullptr);
}

// The new winhide is saved as the menu command saves its own: a window
// shown by the click must not come back hidden at the next start.
void OnTraySingleClick(HWND window) {
    if (app.winhide) {
        ShowHiddenWindow(window);
    } else if (IsCovered(window)) {
        SetForegroundWindow(window);
        return;
    } else {
        app.winhide = 1;
        CheckCommand(IDM_HIDE, true);
        ShowWindow(window, SW_HIDE);
        KillTimer(window, TIMER_RETURN);
    }
    SaveSettings(false);
}

void ShowPopupMenu(HWND window, LPARAM lParam) {
    POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(window, &at);
    TrackPopupMenu(app.popupMenu, 0, at.x, at.y, 0, window, nullptr);
    SetTimer(window, TIMER_TRIM, 300, nullptr);
}
