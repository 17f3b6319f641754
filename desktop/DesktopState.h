// Fields of AppState owned by the desktop icon text.
#pragma once
#include <windows.h>
#include <commctrl.h>

struct DesktopState {
    HWND desktopListView = nullptr; // the shell's list view of desktop icons
    COLORREF savedIconTextColor = 0;
    COLORREF savedIconTextBkColor = CLR_NONE;
    bool desktopColorsSaved = false; // the two colours above came from the list view
};
