#include "view/Dpi.h"

#include "app/AppState.h"
#include "view/Layout.h"
#include "view/Scale.h"
#include "view/Skin.h"

namespace {

const int MONITOR_DPI_EFFECTIVE = 0; // MDT_EFFECTIVE_DPI

template <class Fn> Fn Look(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

int32_t SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : BASE_DPI;
    if (screen) ReleaseDC(nullptr, screen);
    return UsableDpi(dpi);
}

int32_t MonitorDpi(HMONITOR monitor) {
    UINT x = 0, y = 0;
    if (monitor && app.pfnGetDpiForMonitor &&
        app.pfnGetDpiForMonitor(monitor, MONITOR_DPI_EFFECTIVE, &x, &y) == S_OK)
        return UsableDpi(static_cast<int32_t>(x));
    return SystemDpi();
}

} // namespace

void LookUpDpiCalls() {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    app.pfnGetDpiForWindow = Look<GetDpiForWindowFn>(user32, "GetDpiForWindow");
    app.pfnGetSystemMetricsForDpi =
        Look<GetSystemMetricsForDpiFn>(user32, "GetSystemMetricsForDpi");
    if (!app.shcoreModule) app.shcoreModule = LoadLibraryA("shcore.dll");
    app.pfnGetDpiForMonitor = Look<GetDpiForMonitorFn>(app.shcoreModule, "GetDpiForMonitor");
}

void ReleaseDpiCalls() {
    app.pfnGetDpiForMonitor = nullptr;
    if (app.shcoreModule) FreeLibrary(app.shcoreModule);
    app.shcoreModule = nullptr;
}

int32_t WindowDpi(HWND window) {
    if (app.pfnGetDpiForWindow && window) {
        const UINT dpi = app.pfnGetDpiForWindow(window);
        if (dpi != 0) return UsableDpi(static_cast<int32_t>(dpi));
    }
    return MonitorDpi(window ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST) : nullptr);
}

int32_t TaskbarDpi() {
    HWND shell = FindWindowA("Shell_TrayWnd", nullptr);
    const POINT origin = {0, 0};
    return MonitorDpi(shell ? MonitorFromWindow(shell, MONITOR_DEFAULTTOPRIMARY)
                            : MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY));
}

int32_t MetricForDpi(int index, int32_t dpi) {
    if (app.pfnGetSystemMetricsForDpi)
        return app.pfnGetSystemMetricsForDpi(index, static_cast<UINT>(UsableDpi(dpi)));
    return GetSystemMetrics(index);
}

bool RescaleView(HWND window, int32_t dpi) {
    dpi = UsableDpi(dpi);
    if (dpi == app.dpi && app.skinDpi == dpi) return false;
    app.dpi = dpi;
    CreateViewFonts();
    HDC dc = GetDC(window);
    MeasureMemoryTemplate(dc);
    ReleaseDC(window, dc);
    // The pieces are read again from their files and scaled once for this
    // scale; painting only blits them.
    ReleaseSkin();
    LoadSkin();
    CreateGraphPens();
    return true;
}
