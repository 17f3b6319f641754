// Transparent label backgrounds for the desktop's icons: the shell's list
// view is found, its colours remembered, set and checked again on
// TIMER_DESKTOP, and given back when the feature ends.
#pragma once
#include <windows.h>

#include <cstdint>

// The SysListView32 in the SHELLDLL_DefView of "Progman", or of a top-level
// "WorkerW" when Progman holds none; null when there is no such chain.
void FindDesktopListView();
void SaveDesktopTextColors();
// Sets textcolor and no background; unless forced, only when the shell has
// put a background back.
void ApplyDesktopTextColors(bool force);
void RestoreDesktopTextColors();

// The last steps of the window's set-up: find, save, and with bgtrans on
// apply and start TIMER_DESKTOP.
void StartDesktopTextColors(HWND window);
// Shutdown: with bgtrans on, stop the timer and give the colours back.
void StopDesktopTextColors(HWND window);
// TIMER_DESKTOP.
void OnDesktopTimer(HWND window);
// The shell was restarted: look the list view up again, remember the new
// shell's colours and, with bgtrans on, apply them at once.
void RefindDesktopListView();
// The options changed bgtrans, textcolor or tmrate3.
void ChangeDesktopTextOptions(HWND window, int32_t bgtrans, uint32_t textcolor, int32_t tmrate3);
