// The frame the window does not have: dragging with snapping, resizing the
// processor grid by a corner, the mouse-over behaviours (unfolding the graph,
// hiding, stepping aside) and bringing a window lost off-screen back.
#pragma once
#include <windows.h>

#include <cstdint>

void OnLButtonDown(HWND window, LPARAM lParam);
void OnLButtonUp(HWND window);
// Capture taken away mid-drag (a menu, another program) ends the drag.
void OnCaptureChanged(HWND window, HWND newOwner);
void OnMouseMove(HWND window);
// Keeps the resize cursor while a corner is offered; false: default handling.
bool OnSetCursor(LPARAM lParam);
void OnLeaveTimer(HWND window);
void OnMouseLeave(HWND window);
void OnReturnTimer(HWND window);

// The graph shows always, while a grid resize is offered or running, or
// on hover when that mode is chosen and not held back.
bool GraphShownNow();

// The mouse-over mode obeyed: 1 hide, 2 avoid, and 0, the normal mode, for
// every other value of acthide, whatever the file says.
int32_t HoverMode();

// The hide and avoid modes' reaction to a pointer over the window.
void HoverEvade(HWND window);
// Puts the window back at its own place (windowRect) and shows it unless the
// user has hidden it.
void ReturnHome(HWND window);
// After a change of size (a menu command, the options, the grid): the new
// size from the settings, band reserving the graph band, and the window
// placed as ResizePlace says with held: the grid's dragged corner, or -1 for
// a setting, which moves the window's own place (windowRect) and the saved
// position with it. A size left as it was moves nothing. It is repainted.
void Relayout(HWND window, bool band, int32_t held);
// At start and after a display change: a window that shows less than a
// 16 x 16 piece on every screen comes fully onto the nearest one. The saved
// position is left alone, so the window returns there with its monitor.
void RescueLostWindow(HWND window);

// Window opacity when translucency is available: whatever the settings
// say, bounded to 1..255, so that the window never wraps to invisible.
void SetOpacity(HWND window, int32_t alpha);
// The opacity in force: the normal one while translucency is on, else none.
void RestoreOpacity(HWND window);
