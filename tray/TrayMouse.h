// The tray icon's mouse: a double click opens Task Manager, a right click
// the popup menu; a single click is known when TIMER_TRAYCLICK runs out and
// is carried out by the shell's commands.
#pragma once
#include <windows.h>

// WM_TRAYNOTIFY, with the mouse message in lParam.
void OnTrayNotify(HWND window, LPARAM mouseMessage);
// Whether a visible window above the main window overlaps it (edges
// touching count) or is maximised.
bool IsCovered(HWND window);
