#include "app/Placement.h"

#include "app/AppState.h"
#include "app/MainWindow.h"
#include "app/PlacementRules.h"
#include "measure/LoadSampler.h"
#include "settings/SettingLimits.h"
#include "settings/SettingsFile.h"
#include "view/Background.h"
#include "view/Layout.h"
#include "view/Region.h"
#include "view/Scale.h"

#include <windowsx.h>

namespace {

const int kMaxMonitors = 16;

Box ToBox(const RECT& r) {
    return Box{r.left, r.top, r.right, r.bottom};
}

Spot ToSpot(POINT p) {
    return Spot{p.x, p.y};
}

POINT ToPoint(Spot s) {
    return POINT{s.x, s.y};
}

struct MonitorList {
    MonitorArea areas[kMaxMonitors];
    int count = 0;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM context) {
    MonitorList* list = reinterpret_cast<MonitorList*>(context);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) return TRUE;
    MonitorArea area{ToBox(info.rcMonitor), ToBox(info.rcWork)};
    // The primary goes first: ties between monitors are settled in its favour.
    int at = list->count;
    if (info.dwFlags & MONITORINFOF_PRIMARY) {
        for (int i = list->count; i > 0; --i)
            list->areas[i] = list->areas[i - 1];
        at = 0;
    }
    list->areas[at] = area;
    ++list->count;
    return list->count < kMaxMonitors;
}

// Every monitor as the system sees it now; the primary screen alone if the
// system lists none.
void ReadMonitors(MonitorList* list) {
    list->count = 0;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(list));
    if (list->count > 0) return;
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    MonitorArea& only = list->areas[0];
    only.monitor = ToBox(work);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    only.work = ToBox(work);
    list->count = 1;
}

// The work area of the monitor that holds r.
Box WorkAreaOf(const RECT& r) {
    MonitorList list;
    ReadMonitors(&list);
    return NearestMonitor(list.areas, list.count, ToBox(r)).work;
}

int Width() {
    return static_cast<int>(app.clientWidth);
}

int Height() {
    return static_cast<int>(app.clientHeight);
}

// Moves without resizing, raising, activating or asking first.
void PlaceWindow(HWND window, int x, int y, UINT extra = 0) {
    SetWindowPos(window, nullptr, x, y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING | extra);
}

void DropResizeCursor() {
    if (!app.resizeCursor) return;
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    app.resizeCursor = nullptr;
}

// The region's box in screen coordinates; false when the window has no shape.
bool RegionBox(HWND window, const RECT& wr, Box* box) {
    HRGN scratch = CreateRectRgn(0, 0, 0, 0);
    if (!scratch) return false;
    RECT r = {};
    int kind = GetWindowRgn(window, scratch);
    if (kind != ERROR && kind != NULLREGION) GetRgnBox(scratch, &r);
    DeleteObject(scratch);
    if (kind == ERROR || kind == NULLREGION) return false;
    *box = Box{r.left + wr.left, r.top + wr.top, r.right + wr.left, r.bottom + wr.top};
    return true;
}

void OfferCorner(HWND window, POINT p, const RECT& wr) {
    Box shape;
    const bool shaped = RegionBox(window, wr, &shape);
    const int32_t corner = CornerZone(ToSpot(p), ToBox(wr), shaped ? &shape : nullptr,
                                      app.clientWidth, app.clientHeight, app.dpi);
    const bool wasOffered = app.resizeCursor != nullptr;
    if (corner < 0) {
        DropResizeCursor();
    } else {
        app.resizeCorner = static_cast<uint8_t>(corner);
        LPCSTR shapeName = (corner == 0 || corner == 3) ? IDC_SIZENWSE : IDC_SIZENESW;
        app.resizeCursor = LoadCursorA(nullptr, shapeName);
        SetCursor(app.resizeCursor);
    }
    // The graph shows while a corner is offered: repaint when that changes.
    if (wasOffered != (app.resizeCursor != nullptr)) InvalidateRect(window, nullptr, FALSE);
}

void ResizeGridStep(HWND window, POINT p) {
    int32_t colum = app.colum, row = app.row;
    if (!GridResizeStep(app.resizeCorner, ToSpot(app.dragAnchor), ToSpot(p),
                        app.sampler->processorCount(), &colum, &row, app.dpi))
        return;
    app.colum = colum;
    app.row = row;
    Relayout(window, app.graph < 2, app.resizeCorner);
    // The next step counts from here, with the pointer left where the user
    // has it: one put on the corner (SetCursorPos) ends the button's hold on
    // the window under Wine, and the rest of the drag and its release then go
    // to whatever lies under the pointer, the new grid unsaved and the drag
    // still running when the pointer comes back.
    app.dragAnchor = p;
}

void MoveStep(HWND window, POINT p, const RECT& wr) {
    if (p.x == app.dragAnchor.x && p.y == app.dragAnchor.y) return;
    DragInput in;
    in.window = ToBox(wr);
    in.width = Width();
    in.height = Height();
    in.pointer = ToSpot(p);
    in.snap = app.snap != 0;
    in.snapDistance = Scaled(app.snapoffset, app.dpi);
    MonitorList list;
    if (in.snap) ReadMonitors(&list);
    Spot anchor = ToSpot(app.dragAnchor);
    Spot place = DragStep(in, list.areas, list.count, &anchor);
    app.dragAnchor = ToPoint(anchor);
    SetWindowPos(window, nullptr, place.x, place.y, Width(), Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
    app.restTop = place.y;
    GetWindowRect(window, &app.windowRect);
}

// First movement over the window in the normal mode.
void HoverEntry(HWND window) {
    app.hovering = 1;
    if (app.graph == 1) {
        RECT r;
        GetWindowRect(window, &r);
        app.restTop = r.top;
        // The unfolded window ends at the bottom of its work area at the
        // lowest, unfolded and lifted in one step.
        const bool band = !app.graphSuppressed;
        const int lowest = WorkAreaOf(r).bottom - static_cast<int>(LayoutSize(band).height);
        LayoutWindow(window, r.left, r.top > lowest ? lowest : r.top, true, band);
        InvalidateRect(window, nullptr, FALSE);
    }
    if (app.trans && app.trans2 != 0) SetOpacity(window, app.trans2);
    SetTimer(window, TIMER_LEAVE, 100, nullptr);
}

// Where the window stays once the pointer has gone: its own place in the hide
// and avoid modes; with the graph unfolded by hovering, which may have lifted
// the window or moved it up to a press on the band, the top it folds back to.
POINT RestingPlace(HWND window) {
    if (HoverMode() != 0) return POINT{app.windowRect.left, app.windowRect.top};
    RECT r;
    GetWindowRect(window, &r);
    return POINT{r.left, app.graph == 1 && app.hovering ? app.restTop : r.top};
}

void EndDrag(HWND window) {
    DropResizeCursor();
    app.dragging = 0;
    const POINT rest = RestingPlace(window);
    app.posx = rest.x;
    app.posy = rest.y;
    SaveSettings(false);
}

} // namespace

void SetOpacity(HWND window, int32_t alpha) {
    if (app.pfnSetLayeredWindowAttributes)
        app.pfnSetLayeredWindowAttributes(window, 0, UsableOpacity(alpha), LWA_ALPHA);
}

void RestoreOpacity(HWND window) {
    SetOpacity(window, app.trans ? app.transAlpha : 255);
}

void OnLButtonDown(HWND window, LPARAM lParam) {
    POINT press = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(window, &press);
    app.dragAnchor = press;
    SetCapture(window);
    if (app.resizeCursor) {
        SetCursor(app.resizeCursor);
        app.dragging = 1;
        return;
    }
    if (app.graph == 1) {
        // The graph folds away while the window is held; when the press was
        // on the band that folds, the window follows the pointer up.
        app.graphSuppressed = 1;
        LayoutWindow(window, 0, 0, false, false);
        RECT r;
        GetWindowRect(window, &r);
        if (press.y < r.top || press.y >= r.bottom)
            PlaceWindow(window, r.left, press.y - Scaled(20, app.dpi));
        InvalidateRect(window, nullptr, FALSE);
    }
    app.dragging = 1;
}

void OnLButtonUp(HWND window) {
    // A release that ends no drag of this window saves nothing: the window
    // may stand where hovering put it, which is not its place.
    if (app.dragging) EndDrag(window);
    ReleaseCapture();
}

void OnCaptureChanged(HWND window, HWND newOwner) {
    if (app.dragging && newOwner != window) EndDrag(window);
}

void OnMouseMove(HWND window) {
    if (HoverMode() != 0) {
        HoverEvade(window);
        app.hovering = 0;
        return;
    }
    POINT p;
    RECT wr;
    GetCursorPos(&p);
    GetWindowRect(window, &wr);
    if (app.multi && app.layout != 0 && !app.dragging) OfferCorner(window, p, wr);
    if (app.dragging && app.resizeCursor)
        ResizeGridStep(window, p);
    else if (app.dragging)
        MoveStep(window, p, wr);
    if (!app.hovering) HoverEntry(window);
}

bool OnSetCursor(LPARAM lParam) {
    if (!app.resizeCursor || LOWORD(lParam) != HTCLIENT) return false;
    SetCursor(app.resizeCursor);
    return true;
}

void OnLeaveTimer(HWND window) {
    if (app.dragging) return;
    RECT r;
    POINT p;
    GetWindowRect(window, &r);
    GetCursorPos(&p);
    if (PtInRect(&r, p) && WindowFromPoint(p) == window) return;
    KillTimer(window, TIMER_LEAVE);
    PostMessageA(window, WM_MOUSELEAVE, 0, 0);
}

void OnMouseLeave(HWND window) {
    app.hovering = 0;
    app.graphSuppressed = 0;
    DropResizeCursor();
    // Whatever the entry applied is undone, a bounded negative hover opacity too.
    if (app.trans && app.trans2 != 0) RestoreOpacity(window);
    if (app.graph == 1) {
        RECT r;
        GetWindowRect(window, &r);
        LayoutWindow(window, r.left, app.restTop, true, false);
        // Folded where it rests: that is its own place again. (A mode chosen
        // while hovering may have sent it aside: its place stays.)
        if (HoverMode() == 0) GetWindowRect(window, &app.windowRect);
        InvalidateRect(window, nullptr, FALSE);
        SetTimer(window, TIMER_TRIM, 1000, nullptr);
    }
}

bool GraphShownNow() {
    if (app.graph == 0 || app.resizeCursor) return true;
    return app.graph == 1 && app.hovering && !app.graphSuppressed;
}

int32_t HoverMode() {
    return app.acthide == 1 || app.acthide == 2 ? app.acthide : 0;
}

void HoverEvade(HWND window) {
    RECT wr;
    POINT p;
    GetWindowRect(window, &wr);
    GetCursorPos(&p);
    if (p.x < wr.left || p.x > wr.right || p.y < wr.top || p.y > wr.bottom) return;
    KillTimer(window, TIMER_RETURN);
    if (HoverMode() == 1) {
        ShowWindow(window, SW_HIDE);
    } else if (HoverMode() == 2) {
        POINT q = p;
        ScreenToClient(window, &q);
        Spot place = EvadePlace(ToBox(app.windowRect), Width(), Height(), ToSpot(q),
                                WorkAreaOf(app.windowRect), app.dpi);
        PlaceWindow(window, place.x, place.y);
    }
    SetTimer(window, TIMER_RETURN, 100, nullptr);
}

void OnReturnTimer(HWND window) {
    POINT p;
    GetCursorPos(&p);
    const RECT& home = app.windowRect;
    if (p.x >= home.left && p.x <= home.right && p.y >= home.top && p.y <= home.bottom) return;
    KillTimer(window, TIMER_RETURN);
    ReturnHome(window);
}

void ReturnHome(HWND window) {
    // A window the user hid stays hidden; it only goes back to its place.
    PlaceWindow(window, app.windowRect.left, app.windowRect.top, app.winhide ? 0 : SWP_SHOWWINDOW);
}

void Relayout(HWND window, bool band, int32_t held) {
    RECT now;
    GetWindowRect(window, &now);
    // A grid step moves the window as it stands; a setting moves its own
    // place, and the window, wherever hovering or the pointer sent it, with it.
    const RECT from = held < 0 ? app.windowRect : now;
    const WindowSize size = LayoutSize(band);
    const bool resized = size.width != app.clientWidth || size.height != app.clientHeight;
    // A window the user left partly off the screen stays there while its
    // size stays.
    Spot place{from.left, from.top};
    if (resized) {
        MonitorList list;
        ReadMonitors(&list);
        place = ResizePlace(held, ToBox(from), static_cast<int32_t>(size.width),
                            static_cast<int32_t>(size.height), list.areas, list.count);
    }
    const int dx = place.x - from.left, dy = place.y - from.top;
    // Sized and moved in one step: the new size never shows where the
    // window stood, behind a task bar or past the screen's edge.
    LayoutWindow(window, now.left + dx, now.top + dy, true, band);
    if (dx != 0 || dy != 0) {
        // The graph unfolded by hovering folds back to a top that moves with the window's.
        app.restTop += dy;
        if (held < 0) {
            app.posx = place.x;
            app.posy = place.y;
        }
    }
    // The hide and avoid modes test the pointer against the window as it now
    // is, even while it stands aside.
    app.windowRect = RECT{place.x, place.y, place.x + Width(), place.y + Height()};
    // A new size has had its shape made by WM_SIZE; the same size with
    // another skin needs it made here.
    if (!resized) {
        ComposeBackground(app.backDC);
        SetWindowRgn(window, BuildWindowRegion(app.backDC), TRUE);
    }
    InvalidateRect(window, nullptr, FALSE);
}

void RescueLostWindow(HWND window) {
    MonitorList list;
    ReadMonitors(&list);
    Spot place;
    if (!RescuePlace(ToBox(app.windowRect), list.areas, list.count, &place)) return;
    PlaceWindow(window, place.x, place.y);
    GetWindowRect(window, &app.windowRect);
    app.restTop = place.y;
}
