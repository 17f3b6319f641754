#include "app/MainWindow.h"

#include "app/AppState.h"
#include "app/AutoExit.h"
#include "app/Commands.h"
#include "app/DpiChange.h"
#include "app/Placement.h"
#include "app/SetUpWindow.h"
#include "measure/LoadHistory.h"
#include "measure/LoadSampler.h"
#include "app/SampleTick.h"
#include "desktop/DesktopText.h"
#include "log/LoadLog.h"
#include "res/resource.h"
#include "settings/SettingsFile.h"
#include "titlebar/TitleBar.h"
#include "tray/TrayIcon.h"
#include "tray/TrayMouse.h"
#include "view/Background.h"
#include "view/Dpi.h"
#include "view/Draw.h"
#include "view/Layout.h"
#include "view/Region.h"
#include "view/Skin.h"

namespace {

void OnDestroy(HWND window) {
    CloseLog(window);
    StopDesktopTextColors(window);
    KillTimer(window, TIMER_SAMPLE);
    if (app.title) RestoreTitleBar();

    DeleteViewObjects();

    if (app.popupMenu) DestroyMenu(app.popupMenu);
    if (app.menuResource) DestroyMenu(app.menuResource);
    app.popupMenu = app.menuResource = nullptr;
    // The menus that showed it are gone.
    if (app.checkMarkBitmap) DeleteObject(app.checkMarkBitmap);
    app.checkMarkBitmap = nullptr;
    ReleaseDpiCalls();

    if (app.backDC) DeleteDC(app.backDC);
    if (app.backBuffer) DeleteObject(app.backBuffer);
    if (app.skinBackBrush) DeleteObject(app.skinBackBrush);
    app.backDC = nullptr;
    app.backBuffer = nullptr;
    app.skinBackBrush = nullptr;
    ReleaseSkin();
    RemoveTrayIcon();
    ClearTrayIcons();
    if (app.smallIcon) DestroyIcon(app.smallIcon);
    app.smallIcon = nullptr;

    if (app.instanceMutex) {
        ReleaseMutex(app.instanceMutex);
        CloseHandle(app.instanceMutex);
        app.instanceMutex = nullptr;
    }
    PostQuitMessage(0);
}

void OnSize(HWND window, WPARAM type) {
    if (type != SIZE_RESTORED || !app.backDC) return;
    ComposeBackground(app.backDC);
    SetWindowRgn(window, BuildWindowRegion(app.backDC), FALSE);
}

void OnPaint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (app.backDC) {
        ComposeBackground(app.backDC);
        DrawMonitor(app.backDC, app.multi ? app.sampler->processorCount() : 0, app.loadHistory,
                    GraphShownNow());
        BitBlt(dc, 0, 0, static_cast<int>(app.clientWidth), static_cast<int>(app.clientHeight),
               app.backDC, 0, 0, SRCCOPY);
    }
    EndPaint(window, &ps);
}

void OnAutoExitTimer(HWND window) {
    KillTimer(window, TIMER_AUTOEXIT);
    if (app.exitThreshold < 0) {
        DestroyWindow(window);
        return;
    }
    app.exitWatchArmed = 1;
    // Its own meter: the regular tick may have read a moment ago.
    OnSampleTick(window, app.watchMeter);
}

void OnTrimTimer(HWND window) {
    KillTimer(window, TIMER_TRIM);
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

void OnTimer(HWND window, UINT_PTR id) {
    switch (id) {
    case TIMER_SAMPLE: OnSampleTick(window); break;
    case TIMER_LOG:
        if (!OnLogTick(window)) SetLogItem(false, true);
        break;
    case TIMER_AUTOEXIT: OnAutoExitTimer(window); break;
    case TIMER_TRIM: OnTrimTimer(window); break;
    case TIMER_LEAVE: OnLeaveTimer(window); break;
    case TIMER_RETURN: OnReturnTimer(window); break;
    case TIMER_TRAYCLICK:
        KillTimer(window, TIMER_TRAYCLICK);
        OnTraySingleClick(window);
        break;
    case TIMER_DESKTOP: OnDesktopTimer(window); break;
    default: break;
    }
}

} // namespace

bool RunAutoExitWatch(HWND window) {
    if (!app.exitWatchArmed) return false;
    if (AutoExitStep(app.loadHistory[0].latest(), app.exitThreshold, app.exitDuration,
                     &app.belowSince, GetTickCount())) {
        DestroyWindow(window);
        return true;
    }
    return false;
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The shell has restarted: its icon and its desktop are new.
    if (message == app.msgTaskbarCreated && message != 0) {
        AddTrayIcon(window);
        RefindDesktopListView();
    }
    switch (message) {
    case WM_CREATE:
        SetUpWindow(window);
        RescueLostWindow(window);
        return 0;
    case WM_DESTROY: OnDestroy(window); return 0;
    case WM_SIZE: OnSize(window, wParam); return 0;
    case WM_ACTIVATE: SetTimer(window, TIMER_TRIM, 1000, nullptr); return 0;
    case WM_PAINT: OnPaint(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_QUERYENDSESSION: SaveSettingsAtSessionEnd(); return TRUE;
    case WM_TIMER: OnTimer(window, wParam); return 0;
    case WM_TRAYNOTIFY: OnTrayNotify(window, lParam); return 0;
    case WM_SHOWHIDDEN: ShowHiddenWindow(window); return 0;
    case WM_COMMAND:
        if (OnCommand(window, LOWORD(wParam))) return 0;
        break;
    case WM_LBUTTONDOWN: OnLButtonDown(window, lParam); return 0;
    case WM_LBUTTONUP: OnLButtonUp(window); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(window, reinterpret_cast<HWND>(lParam)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(window); return 0;
    case WM_MOUSELEAVE: OnMouseLeave(window); return 0;
    case WM_RBUTTONDOWN: ShowPopupMenu(window, lParam); return 0;
    case WM_SETCURSOR:
        if (OnSetCursor(lParam)) return TRUE;
        break;
    case WM_DISPLAYCHANGE: RescueLostWindow(window); return 0;
    case WM_DPICHANGED:
        OnDpiChanged(window, wParam, reinterpret_cast<const RECT*>(lParam));
        return 0;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
