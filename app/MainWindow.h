// The main window: its procedure, its timers and its set-up.
#pragma once
#include <windows.h>

#include "base/WindowIds.h"

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Step 3 of the sampling tick: true when the watch closed the window.
bool RunAutoExitWatch(HWND window);
