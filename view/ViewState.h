// Fields of AppState owned by the presentation subsystem.
#pragma once
#include <windows.h>
#include <cstdint>

struct SkinPiece {
    HBITMAP image = nullptr;
    HBITMAP mask = nullptr; // frame pieces only
    int32_t width = 0;
    int32_t height = 0;
    // Memory DCs that hold image and mask selected for as long as the skin
    // lives, so that a paint blits without selecting anything: under Wine one
    // bitmap selection costs about 200 us, a small blit under 1 us. The
    // bitmaps therefore cannot be selected into another DC.
    HDC imageDC = nullptr;
    HDC maskDC = nullptr;
};

typedef UINT(WINAPI* GetDpiForWindowFn)(HWND);
typedef HRESULT(WINAPI* GetDpiForMonitorFn)(HMONITOR, int, UINT*, UINT*);
typedef int(WINAPI* GetSystemMetricsForDpiFn)(int, UINT);

struct ViewState {
    // The window's scale: the DPI of its monitor. Every size below is at this
    // scale; skinDpi is the one the skin's bitmaps were made at (0: none
    // yet), skinBuilds how often they were made.
    int32_t dpi = 96;
    int32_t skinDpi = 0;
    uint32_t skinBuilds = 0;
    // The system's per-monitor calls, where it has them (shcore is loaded
    // for GetDpiForMonitor and freed at exit).
    GetDpiForWindowFn pfnGetDpiForWindow = nullptr;
    GetDpiForMonitorFn pfnGetDpiForMonitor = nullptr;
    GetSystemMetricsForDpiFn pfnGetSystemMetricsForDpi = nullptr;
    HMODULE shcoreModule = nullptr;

    HDC backDC = nullptr;
    HBITMAP backBuffer = nullptr;
    uint32_t clientWidth = 0, clientHeight = 0;

    // Skin
    SkinPiece skinBack, skinLT, skinRT, skinRB, skinLB, skinST, skinSB, skinSL, skinSR;
    HBRUSH skinBackBrush = nullptr;
    COLORREF skinTextColor = 0;
    int32_t padLeft = 0, padTop = 0, padRight = 0, padBottom = 0;

    // Drawing objects
    HFONT meterFont = nullptr;
    HFONT memFont = nullptr;
    SIZE memTextSize = {0, 0};
    HBRUSH meterBrushes[3] = {};
    HBRUSH graphBackBrush = nullptr;
    HPEN* graphPens = nullptr; // cpuCount + 1 pens
    HPEN gridPen = nullptr;
    RECT windowRect = {0, 0, 0, 0};
};
