// The window moved to a monitor of another display scale, or started on one.
#pragma once
#include <windows.h>

#include <cstdint>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

// The menu's check mark, drawn for 96 dpi, at dpi (nearest neighbour).
HBITMAP LoadCheckMark(int32_t dpi);

// The window at dpi: its drawing, its size where it stands, the menu's check
// marks and the tray icons. False when it was at that scale already.
bool ApplyScale(HWND window, int32_t dpi);

// WM_DPICHANGED: the new scale from wParam, and the place the system
// suggests (lParam), with an edge snapped to the work area kept there.
void OnDpiChanged(HWND window, WPARAM wParam, const RECT* suggested);
