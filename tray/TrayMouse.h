// The tray icon's mouse: a single click hides or shows the window, a double
// click opens Task Manager, a right click opens the popup menu.
#pragma once
#include <windows.h>

// WM_TRAYNOTIFY, with the mouse message in lParam.
void OnTrayNotify(HWND window, LPARAM mouseMessage);
// TIMER_TRAYCLICK: no double click followed the press.
void OnTrayClickTimer(HWND window);
// Whether a visible window above the main window overlaps it (edges
// touching count) or is maximised.
bool IsCovered(HWND window);
