#include "app/SetUpWindow.h"

#include "app/AppState.h"
#include "app/Commands.h"
#include "app/DpiChange.h"
#include "app/MainWindow.h"
#include "app/Placement.h"
#include "log/LoadLog.h"
#include "measure/LoadHistory.h"
#include "measure/LoadSampler.h"
#include "desktop/DesktopText.h"
#include "res/resource.h"
#include "settings/SettingLimits.h"
#include "tray/TrayIcon.h"
#include "view/Dpi.h"
#include "view/Layout.h"
#include "view/Skin.h"

#include <initializer_list>

namespace {

void LoadPopupMenu() {
    app.menuResource = LoadMenuA(app.instance, "POPMENU");
    app.popupMenu = app.menuResource ? GetSubMenu(app.menuResource, 0) : nullptr;
    if (app.popupMenu) {
        // The submenu belongs to the menu resource; detached, each handle has
        // one owner and both are destroyed at shutdown.
        RemoveMenu(app.menuResource, 0, MF_BYPOSITION);
    }
}

void Grey(UINT id) {
    EnableMenuItem(app.popupMenu, id, MF_BYCOMMAND | MF_GRAYED);
}

void SetCheckMark(HBITMAP mark, UINT id) {
    SetMenuItemBitmaps(app.popupMenu, id, MF_BYCOMMAND, nullptr, mark);
}

// The menu's check marks and initial states.
void PrepareMenuItems(HBITMAP mark) {
    if (!app.popupMenu) return;
    for (UINT id : {IDM_HIDE, IDM_TOPMOST, IDM_TITLE, IDM_MEMORY, IDM_ICONANIM, IDM_LOG, IDM_SNAP})
        SetCheckMark(mark, id);
    if (app.cpuCount != 0) SetCheckMark(mark, IDM_MULTI);
    for (UINT id : {IDM_HOVER_HIDE, IDM_HOVER_EVADE, IDM_HOVER_NORMAL})
        SetCheckMark(mark, id);

    CheckCommand(IDM_HIDE, app.winhide != 0);
    CheckCommand(IDM_TOPMOST, app.wintop != 0);
    CheckCommand(IDM_TITLE, app.title != 0);
    CheckCommand(IDM_SNAP, app.snap != 0);
    if (app.cpuCount == 0) Grey(IDM_MULTI);
    if (app.kakusi == 0)
        DeleteMenu(app.popupMenu, IDM_MEMORY, MF_BYCOMMAND);
    else
        CheckCommand(IDM_MEMORY, app.memory != 0);
    CheckHoverMode();
}

void SetUpTranslucency(HWND window, HBITMAP mark) {
    if (app.osNt5OrLater) {
        app.user32Module = LoadLibraryA("user32.dll");
        if (app.user32Module)
            app.pfnSetLayeredWindowAttributes =
                reinterpret_cast<SetLayeredWindowAttributesFn>(reinterpret_cast<void*>(
                    GetProcAddress(app.user32Module, "SetLayeredWindowAttributes")));
    }
    if (!app.pfnSetLayeredWindowAttributes) {
        Grey(IDM_TRANS);
        return;
    }
    SetWindowLongA(window, GWL_EXSTYLE, GetWindowLongA(window, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetCheckMark(mark, IDM_TRANS);
    CheckCommand(IDM_TRANS, app.trans != 0);
    RestoreOpacity(window);
}

void LookUpMemoryStatus() {
    if (!app.osNt5OrLater) return;
    app.kernel32Module = LoadLibraryA("kernel32.dll");
    if (app.kernel32Module)
        app.pfnGlobalMemoryStatusEx = reinterpret_cast<GlobalMemoryStatusExFn>(
            reinterpret_cast<void*>(GetProcAddress(app.kernel32Module, "GlobalMemoryStatusEx")));
}

void PrepareLogItem() {
    if (app.logout == 0)
        Grey(IDM_LOG);
    else
        CheckCommand(IDM_LOG, app.log != 0);
}

void StartTimers(HWND window) {
    SetTimer(window, TIMER_SAMPLE, UsableTimerPeriod(app.tmrate, Settings().tmrate), nullptr);
    if (!StartLogAtSetUp(window)) SetLogItem(false, true);
    if (app.exitDelay > 0) {
        // Timers take at most 2^31 - 1 ms; a longer delay waits that long.
        UINT seconds = app.exitDelay < 2147483 ? static_cast<UINT>(app.exitDelay) : 2147483u;
        SetTimer(window, TIMER_AUTOEXIT, seconds * 1000u, nullptr);
    }
}

} // namespace

void SetUpWindow(HWND window) {
    HDC windowDC = GetDC(window);
    app.backDC = CreateCompatibleDC(windowDC);
    // Sizes, fonts and the skin's bitmaps are made at the scale of the
    // monitor the window is on.
    LookUpDpiCalls();
    app.dpi = WindowDpi(window);
    LoadSkin();

    // One processor has no per-processor arrays to show, menu or not.
    if (app.cpuCount == 0) app.multi = 0;
    LoadPopupMenu();
    app.checkMarkBitmap = LoadCheckMark(app.dpi);
    HBITMAP mark = app.checkMarkBitmap;
    PrepareMenuItems(mark);
    SetUpTranslucency(window, mark);
    LookUpMemoryStatus();
    PrepareLogItem();
    ResetLogFilter();
    CheckCommand(IDM_ICONANIM, app.iconanim != 0);
    AddTrayIcon(window);

    CreateViewFonts();
    MeasureMemoryTemplate(windowDC);
    ReleaseDC(window, windowDC);

    FitMeterGrid(app.sampler->processorCount());
    CheckCommand(IDM_MULTI, app.multi != 0);
    LayoutWindow(window, app.posx, app.posy, true, app.graph == 0);
    // Its place may be on a monitor of another scale than where it was made.
    ApplyScale(window, WindowDpi(window));
    if (app.wintop)
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOSENDCHANGING);
    GetWindowRect(window, &app.windowRect);

    CreateGraphPens();
    CreateMeterBrushes();
    CreateGridPen();

    for (int i = 0; i <= app.cpuCount; ++i)
        app.loadHistory[i].resize(HISTORY_LENGTH);
    StartTimers(window);
    // The log's message box runs a message loop: the window may have been
    // closed from it, and its shutdown has put everything away.
    if (!IsWindow(window)) return;
    StartDesktopTextColors(window);
}
