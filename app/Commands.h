// The popup menu: its commands, each keeping its check mark equal to its
// setting and saving the window and option settings at once.
#pragma once
#include <windows.h>

// WM_COMMAND from the menu; false for an id that is not one of its commands.
bool OnCommand(HWND window, WORD id);

// Sets a menu item's check mark (nothing without a menu).
void CheckCommand(UINT id, bool on);

// The mouse-over submenu's marks: the mode obeyed is checked, the others not.
void CheckHoverMode();

// WM_RBUTTONDOWN: the menu at the click, then a working-set trim.
void ShowPopupMenu(HWND window, LPARAM lParam);

// The "ログ出力" item: its check mark, and greyed when logging failed or is
// switched off in the options.
void SetLogItem(bool checked, bool greyed);

// A hidden window shown as the tray's click shows it (also asked for by a
// second start, which saves nothing).
void ShowHiddenWindow(HWND window);

// TIMER_TRAYCLICK ran out without a double click: shows a hidden window,
// raises a covered one, hides a visible one; a change is saved with the
// Window and Option sections.
void OnTraySingleClick(HWND window);
