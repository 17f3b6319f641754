// The main window's timer ids, class, title and tray message: shared by the
// subsystems that set timers on it or find it, without reaching into app/.
#pragma once
#include <windows.h>

enum : UINT_PTR {
    TIMER_TRAYCLICK = 513,
    TIMER_SAMPLE = 1000,
    TIMER_LOG = 1001,
    TIMER_AUTOEXIT = 1002,
    TIMER_TRIM = 1003,
    TIMER_LEAVE = 1004,
    TIMER_DESKTOP = 1010,
    TIMER_RETURN = 1011,
};

enum : UINT {
    WM_TRAYNOTIFY = WM_APP + 100,
    // Sent by a second start to the running window: show yourself if hidden.
    WM_SHOWHIDDEN = WM_APP + 101,
};

#define VANTOR_CLASS "Vantor_PerfMon"
#define VANTOR_TITLE "Vantor"
