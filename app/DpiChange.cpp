#include "app/DpiChange.h"

#include "app/AppState.h"
#include "app/Placement.h"
#include "res/resource.h"
#include "tray/TrayIcon.h"
#include "view/Background.h"
#include "view/Dpi.h"
#include "view/Layout.h"
#include "view/Region.h"
#include "view/Scale.h"
#include "view/Skin.h"

namespace {

ScaleBox ToScaleBox(const RECT& r) {
    return ScaleBox{r.left, r.top, r.right, r.bottom};
}

ScaleBox WorkAreaAt(const RECT& r) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info)) {
        RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        return ToScaleBox(work);
    }
    return ToScaleBox(info.rcWork);
}

// Every item of the menu and its submenus showing the old mark gets the new.
void SwapCheckMarks(HMENU menu, HBITMAP old, HBITMAP mark) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_CHECKMARKS | MIIM_SUBMENU;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item)) continue;
        if (item.hSubMenu) SwapCheckMarks(item.hSubMenu, old, mark);
        if (item.hbmpChecked == old)
            SetMenuItemBitmaps(menu, static_cast<UINT>(i), MF_BYPOSITION, nullptr, mark);
    }
}

void RescaleCheckMark() {
    HBITMAP mark = LoadCheckMark(app.dpi);
    if (!mark) return;
    HBITMAP old = app.checkMarkBitmap;
    if (app.popupMenu && old) SwapCheckMarks(app.popupMenu, old, mark);
    app.checkMarkBitmap = mark;
    // No menu shows the old one any more.
    if (old) DeleteObject(old);
}

// A new size where the window stands, its shape made again also when the
// size came out the same (the skin's pixels changed all the same).
void Resize(HWND window) {
    const uint32_t width = app.clientWidth, height = app.clientHeight;
    LayoutWindow(window, 0, 0, false, GraphShownNow());
    // The stored rectangle keeps its corner and takes the new size.
    app.windowRect.right = app.windowRect.left + static_cast<LONG>(app.clientWidth);
    app.windowRect.bottom = app.windowRect.top + static_cast<LONG>(app.clientHeight);
    if (app.clientWidth == width && app.clientHeight == height) {
        ComposeBackground(app.backDC);
        SetWindowRgn(window, BuildWindowRegion(app.backDC), TRUE);
    }
    InvalidateRect(window, nullptr, FALSE);
}

} // namespace

HBITMAP LoadCheckMark(int32_t dpi) {
    HBITMAP mark = static_cast<HBITMAP>(
        LoadImageA(app.instance, MAKEINTRESOURCEA(IDB_CHECKMARK), IMAGE_BITMAP, 0, 0, 0));
    BITMAP info = {};
    if (!mark || !GetObjectA(mark, sizeof info, &info)) return mark;
    int32_t w = info.bmWidth, h = info.bmHeight;
    return ScaleBitmapNearest(mark, w, h, dpi);
}

bool ApplyScale(HWND window, int32_t dpi) {
    if (!RescaleView(window, dpi)) return false;
    Resize(window);
    RescaleCheckMark();
    ResizeTrayIcons();
    return true;
}

// During a drag the pointer places the window, snapping it by its own rule
// on the monitor it enters: an edge held on the old one would throw it to
// the far side of the new one.
void OnDpiChanged(HWND window, WPARAM wParam, const RECT* suggested) {
    RECT old = {};
    GetWindowRect(window, &old);
    const ScaleBox oldWork = WorkAreaAt(old);
    ApplyScale(window, UsableDpi(LOWORD(wParam)));
    if (!suggested) return;
    const ScaleBox place =
        DpiChangePlace(ToScaleBox(old), oldWork, ToScaleBox(*suggested), WorkAreaAt(*suggested),
                       static_cast<int32_t>(app.clientWidth),
                       static_cast<int32_t>(app.clientHeight), app.snap != 0 && !app.dragging);
    SetWindowPos(window, nullptr, place.left, place.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
    GetWindowRect(window, &app.windowRect);
    app.restTop = place.top;
}
