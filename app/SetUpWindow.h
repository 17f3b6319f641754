#pragma once
#include <windows.h>

// WM_CREATE: drawing surface, menu, optional system functions, histories and
// timers.
void SetUpWindow(HWND window);
