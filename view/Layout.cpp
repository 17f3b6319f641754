#include "view/Layout.h"

#include "app/AppState.h"
#include "measure/LoadSampler.h"
#include "settings/SettingLimits.h"
#include "view/Geometry.h"
#include "view/MemoryLine.h"
#include "view/Scale.h"

void FitMeterGrid(int32_t processorCount) {
    FitMeterGrid(processorCount, app.colum, app.row);
}

WindowSize LayoutSize(bool band) {
    LayoutInput in;
    in.multi = app.multi;
    in.layout = app.layout;
    in.colum = app.colum;
    in.row = app.row;
    in.fontsize = app.fontsize;
    in.processorCount = app.sampler ? app.sampler->processorCount() : 1;
    in.band = band;
    in.padLeft = app.padLeft;
    in.padTop = app.padTop;
    in.padRight = app.padRight;
    in.padBottom = app.padBottom;
    in.kakusi = app.kakusi;
    in.memory = app.memory;
    in.memWidth = app.memTextSize.cx;
    in.memHeight = app.memTextSize.cy;
    in.dpi = app.dpi;
    return ComputeWindowSize(in);
}

void LayoutWindow(HWND window, int x, int y, bool move, bool band) {
    WindowSize size = LayoutSize(band);

    HDC windowDC = GetDC(window);
    HBITMAP fresh = CreateCompatibleBitmap(windowDC, static_cast<int>(size.width),
                                           static_cast<int>(size.height));
    ReleaseDC(window, windowDC);
    if (fresh) {
        // Select the new bitmap first: a bitmap still selected cannot be deleted.
        SelectObject(app.backDC, fresh);
        if (app.backBuffer) DeleteObject(app.backBuffer);
        app.backBuffer = fresh;
    } else if (app.backBuffer) {
        // Out of memory for the new size: the window keeps the size of the
        // buffer it has, rather than going on without one.
        size.width = app.clientWidth;
        size.height = app.clientHeight;
    }
    app.clientWidth = size.width;
    app.clientHeight = size.height;

    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING;
    if (!move) flags |= SWP_NOMOVE;
    SetWindowPos(window, nullptr, x, y, static_cast<int>(size.width), static_cast<int>(size.height),
                 flags);
}

void CreateViewFonts() {
    if (app.meterFont) DeleteObject(app.meterFont);
    if (app.memFont) DeleteObject(app.memFont);
    // The file keeps the height at 96 dpi; the face is made at the window's scale.
    app.meterFont = CreateFontA(Scaled(UsableFontHeight(app.fontsize), app.dpi), 0, 0, 0, FW_NORMAL,
                                FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH, app.font);
    app.memFont = CreateFontA(Scaled(12, app.dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                              DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                              PROOF_QUALITY, FIXED_PITCH | FF_MODERN, "SimSun");
}

bool ReadPhysicalMemory(uint64_t* total, uint64_t* avail) {
    if (app.pfnGlobalMemoryStatusEx) {
        MEMORYSTATUSEX ex = {};
        ex.dwLength = sizeof ex;
        app.pfnGlobalMemoryStatusEx(&ex);
        *total = ex.ullTotalPhys;
        *avail = ex.ullAvailPhys;
        return true;
    }
    MEMORYSTATUS basic = {};
    basic.dwLength = sizeof basic;
    GlobalMemoryStatus(&basic);
    *total = basic.dwTotalPhys;
    *avail = basic.dwAvailPhys;
    return false;
}

void MeasureMemoryTemplate(HDC dc) {
    uint64_t total = 0, avail = 0;
    ReadPhysicalMemory(&total, &avail);
    char text[48];
    const size_t length = MemoryTemplate(text, sizeof text, total);
    HGDIOBJ old = SelectObject(dc, app.memFont);
    GetTextExtentPoint32A(dc, text, static_cast<int>(length), &app.memTextSize);
    SelectObject(dc, old);
}

void CreateGraphPens() {
    if (!app.graphPens) return;
    for (int i = 0; i <= app.cpuCount; ++i) {
        if (app.graphPens[i]) DeleteObject(app.graphPens[i]);
        app.graphPens[i] = nullptr;
        if (app.graph < 2 && app.gcolor) app.graphPens[i] = CreatePen(PS_SOLID, 1, app.gcolor[i]);
    }
}

void CreateMeterBrushes() {
    const uint32_t colours[3] = {app.color0, app.color1, app.color2};
    for (int k = 0; k < 3; ++k) {
        if (app.meterBrushes[k]) DeleteObject(app.meterBrushes[k]);
        app.meterBrushes[k] = CreateSolidBrush(colours[k]);
    }
    if (app.graphBackBrush) DeleteObject(app.graphBackBrush);
    app.graphBackBrush = CreateSolidBrush(app.gcolorbk);
}

void CreateGridPen() {
    if (app.gridPen) DeleteObject(app.gridPen);
    const int grey = GridPenGrey(app.gcolorbk);
    app.gridPen = CreatePen(PS_DOT, 1, RGB(grey, grey, grey));
}

template <class Handle> static void Drop(Handle& h) {
    if (h) DeleteObject(h);
    h = nullptr;
}

void DeleteViewObjects() {
    Drop(app.meterFont);
    Drop(app.memFont);
    Drop(app.gridPen);
    Drop(app.graphBackBrush);
    for (HBRUSH& b : app.meterBrushes)
        Drop(b);
    if (app.graphPens)
        for (int i = 0; i <= app.cpuCount; ++i)
            Drop(app.graphPens[i]);
}
