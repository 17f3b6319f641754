// The popup menu: its commands, each keeping its check mark equal to its
// setting and saving the window and option settings at once.
#pragma once
#include <windows.h>

// WM_COMMAND from the menu; false for an id that is not one of its commands.
bool OnCommand(HWND window, WORD id);

// Sets a menu item's check mark (nothing without a menu).
void CheckCommand(UINT id, bool on);

// WM_RBUTTONDOWN: the menu at the click, then a working-set trim.
void ShowPopupMenu(HWND window, LPARAM lParam);
