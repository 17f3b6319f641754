// Fields of AppState owned by the tray icon.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include "tray/IconSet.h"

// Gives an icon of the set back to the system (and counts it).
void DestroyTrayIconHandle(IconSet::Icon icon);

struct TrayState {
    // Threshold -> icon, owning its icons; destroyed with the program at the
    // latest.
    IconSet trayIcons{DestroyTrayIconHandle};
    // What the shell shows: hIcon is the icon it really has (null when that
    // is not known, after the set was rebuilt) and szTip its tip.
    NOTIFYICONDATAA trayData = {};
    // The shell has taken the icon; while it has not, a sampling tick
    // offers it again once trayRetryAt has come, each refusal doubling the
    // pause (trayRetryPause, in ms) up to a limit.
    bool trayShown = false;
    // The side in pixels of every icon of the set and of the program's own
    // (smallIcon): what the shell shows at the taskbar's scale.
    int trayIconSize = 16;
    DWORD trayRetryAt = 0;
    DWORD trayRetryPause = 0;
};
