// Ends a running Vantor the way its menu does (WM_COMMAND Exit), so that it
// saves its settings and restores the caption it wrote. Used by ./run.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HWND window = FindWindowA("Vantor_PerfMon", "Vantor");
    if (!window) return 1;
    PostMessageA(window, WM_COMMAND, 40001, 0);
    return 0;
}
