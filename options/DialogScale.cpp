#include "options/DialogScale.h"

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// Windows 10 1607 and later know the window's own monitor; before that the
// screen's one scale is all there is.
GetDpiForWindowFn WindowDpiCall() {
    static const GetDpiForWindowFn call = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    return call;
}

} // namespace

int DpiOf(HWND window) {
    if (const GetDpiForWindowFn call = WindowDpiCall()) {
        const UINT dpi = call(window);
        if (dpi != 0) return static_cast<int>(dpi);
    }
    HDC dc = GetDC(window);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(window, dc);
    return dpi > 0 ? dpi : 96;
}

int Scaled(int at96, int dpi) {
    return MulDiv(at96, dpi, 96);
}
