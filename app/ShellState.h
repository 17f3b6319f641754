// Fields of AppState owned by the application shell.
#pragma once
#include <windows.h>
#include <cstdint>

typedef BOOL(WINAPI* SetLayeredWindowAttributesFn)(HWND, COLORREF, BYTE, DWORD);
typedef BOOL(WINAPI* GlobalMemoryStatusExFn)(LPMEMORYSTATUSEX);

struct ShellState {
    HINSTANCE instance = nullptr;
    HWND mainWindow = nullptr;
    HANDLE instanceMutex = nullptr;
    uint8_t osNt5OrLater = 0;
    char iniPath[MAX_PATH] = {};
    char helpPath[MAX_PATH] = {};  // a compiled help file, opened when present
    char guidePath[MAX_PATH] = {}; // help\index.html beside the program
    UINT msgTaskbarCreated = 0;

    // Auto-exit (/E:delay,threshold,seconds)
    int32_t exitDelay = -1, exitThreshold = -1, exitDuration = 0;
    uint8_t exitWatchArmed = 0;
    uint32_t belowSince = 0;

    // Set up with the window
    HMENU menuResource = nullptr, popupMenu = nullptr;
    HBITMAP checkMarkBitmap = nullptr; // shown by the menu for as long as it lives
    HICON smallIcon = nullptr;
    HMODULE user32Module = nullptr, kernel32Module = nullptr;
    SetLayeredWindowAttributesFn pfnSetLayeredWindowAttributes = nullptr;
    GlobalMemoryStatusExFn pfnGlobalMemoryStatusEx = nullptr;
    uint32_t* pendingGcolor = nullptr; // the options dialog's graph colours

    // Pointer state read by painting
    uint8_t hovering = 0, graphSuppressed = 0;
    HCURSOR resizeCursor = nullptr; // a corner zone is offered or a grid resize runs

    // Dragging and the mouse-over behaviours
    POINT dragAnchor = {0, 0};
    uint8_t dragging = 0;
    uint8_t resizeCorner = 0; // 1: the left edge moves, 2: the top edge moves
    int32_t restTop = 0;      // top to return to when the graph folds up
};
