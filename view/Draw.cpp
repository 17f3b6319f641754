#include "view/Draw.h"

#include "app/AppState.h"
#include "base/SafeText.h"
#include "measure/LoadHistory.h"
#include "settings/SettingLimits.h"
#include "view/Geometry.h"
#include "view/Layout.h"
#include "view/MemoryLine.h"
#include "view/MeterCells.h"
#include "view/Scale.h"

namespace {

enum : int {
    COLUMN_PITCH = 110,
    GRAPH_ROW_PITCH = 72,
    GRAPH_TOP_IN_CELL = 31,
    GRAPH_BOX_WIDTH = 101,
    GRAPH_BOX_HEIGHT = 35,
    CENTRING_WIDTH = 103,
};

// A 96-dpi length at the window's scale.
int S(int length96) {
    return Scaled(length96, app.dpi);
}

// The pitches the window's size is computed with (see Geometry.cpp).
int RowPitch(bool graph) {
    return S(32) + (graph ? S(GRAPH_ROW_PITCH - 32) : 0);
}

void ReadRing(LoadHistory& ring, uint32_t (&figures)[GRAPH_FIGURES]) {
    ring.rewind();
    for (uint32_t& f : figures)
        f = ring.next();
}

// One ring in one box; pen is the ring's curve colour.
void DrawCurve(HDC dc, LoadHistory& ring, HPEN pen, bool polyline, int R, int Bt, int threshold,
               HPEN const (&barPens)[3]) {
    uint32_t figures[GRAPH_FIGURES];
    ReadRing(ring, figures);
    if (polyline) {
        GraphPoint points[GRAPH_FIGURES];
        GraphPolyline(figures, R, Bt, points, app.dpi);
        // A curve of a scaled pixel's width: the 1-pixel pen once per pixel
        // of a square of that side, up and to the left. Under Wine a pen
        // wider than 1 (rounded joins) costs several times as much.
        const int width = ScaledAtLeastOne(1, app.dpi);
        POINT pts[GRAPH_FIGURES];
        SelectObject(dc, pen);
        for (int d = 0; d < width * width; ++d) {
            for (int k = 0; k < GRAPH_FIGURES; ++k)
                pts[k] = POINT{points[k].x - d % width, points[k].y - d / width};
            Polyline(dc, pts, GRAPH_FIGURES);
        }
        return;
    }
    GraphBar bars[GRAPH_BARS];
    GraphBars(figures, R, Bt, threshold, bars, app.dpi);
    for (const GraphBar& bar : bars)
        for (int s = 0; s < bar.count; ++s) {
            const BarSegment& seg = bar.segments[s];
            if (bar.width == 1) {
                SelectObject(dc, barPens[seg.colourIndex]);
                MoveToEx(dc, bar.column, seg.bottom, nullptr);
                LineTo(dc, bar.column, seg.top - 1); // LineTo leaves out its end point
                continue;
            }
            // A pen wider than a pixel has round ends: the bars' are square.
            const RECT r = {bar.column, seg.top, bar.column + bar.width, seg.bottom + 1};
            FillRect(dc, &r, app.meterBrushes[seg.colourIndex]);
        }
}

// The pen of curve i. With the graph shown only while a grid resize is
// offered, no curve pens exist: a pen of the curve's own colour stands in.
HPEN CurvePen(int i, HPEN* made) {
    *made = nullptr;
    if (app.graphPens && app.graphPens[i]) return app.graphPens[i];
    const COLORREF colour = app.gcolor ? app.gcolor[i] : RGB(0, 0, 0);
    *made = CreatePen(PS_SOLID, 1, colour);
    return *made;
}

void DrawBox(HDC dc, int left, int top, LoadHistory* rings, int first, int last, bool polyline,
             int threshold, HPEN const (&barPens)[3]) {
    RECT box = {left, top, left + S(GRAPH_BOX_WIDTH), top + S(GRAPH_BOX_HEIGHT)};
    FillRect(dc, &box, app.graphBackBrush);
    FrameRect(dc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const int R = box.right - 1, Bt = box.bottom - 1;
    for (int i = first; i <= last; ++i) {
        HPEN made = nullptr;
        HPEN pen = CurvePen(i, &made);
        DrawCurve(dc, rings[i], pen, polyline, R, Bt, threshold, barPens);
        if (made) {
            SelectObject(dc, GetStockObject(BLACK_PEN));
            DeleteObject(made);
        }
    }
    DrawGuideLine(dc, left, top, R, Bt);
}

} // namespace

void DrawGuideLine(HDC dc, int left, int top, int right, int bottom) {
    const int oldMix = SetROP2(dc, R2_XORPEN);
    SelectObject(dc, app.gridPen);
    const int y = (top + bottom + 1) / 2;
    MoveToEx(dc, left + 1, y, nullptr);
    LineTo(dc, right - 1, y);
    SetROP2(dc, oldMix);
}

void DrawMeter(HDC dc, LoadHistory& ring, int left, int top, int bottom) {
    const uint32_t colours[3] = {app.color0, app.color1, app.color2};
    MeterLayout meter;
    LayoutMeter(ring.latest(), app.meterStep, app.meterGradient, colours, left, top, bottom, meter,
                app.dpi);
    HBRUSH grey = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    for (int i = 0; i < meter.count; ++i) {
        const MeterCell& cell = meter.cells[i];
        const RECT r = {cell.rect.left, cell.rect.top, cell.rect.right, cell.rect.bottom};
        if (!cell.lit) {
            FillRect(dc, &r, grey);
        } else if (app.meterGradient == 0) {
            FillRect(dc, &r, app.meterBrushes[cell.colourIndex]);
        } else {
            HBRUSH brush = CreateSolidBrush(cell.colour);
            FillRect(dc, &r, brush);
            DeleteObject(brush);
        }
    }
    const RECT frame = {meter.frame.left, meter.frame.top, meter.frame.right, meter.frame.bottom};
    FrameRect(dc, &frame, grey);
}

void DrawGraph(HDC dc, int n, LoadHistory* rings, int left, int top, int gridTop) {
    HGDIOBJ oldPen = GetCurrentObject(dc, OBJ_PEN);
    HPEN const barPens[3] = {CreatePen(PS_SOLID, 1, app.color0), CreatePen(PS_SOLID, 1, app.color1),
                             CreatePen(PS_SOLID, 1, app.color2)};
    if (app.layout != 0 && n != 0) {
        for (int i = 0; i < n; ++i) {
            const int boxLeft = left + S(COLUMN_PITCH) * (i % app.colum);
            const int boxTop = gridTop + S(GRAPH_TOP_IN_CELL) + RowPitch(true) * (i / app.colum);
            DrawBox(dc, boxLeft, boxTop, rings, i + 1, i + 1, app.gline != 0, 22, barPens);
        }
    } else {
        // Several rings share one box: bars would hide each other.
        DrawBox(dc, left, top, rings, 0, n, app.gline != 0 || n != 0, 20, barPens);
    }
    SelectObject(dc, oldPen);
    for (HPEN p : barPens)
        DeleteObject(p);
}

int DrawMemoryLine(HDC dc, int x, int y, bool extended, uint64_t total, uint64_t avail) {
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, app.memFont);
    char text[64];
    const size_t len = FormatMemoryText(text, sizeof text, extended, total, avail, app.memtype);
    SetTextColor(dc, app.skinTextColor);
    TextOutA(dc, x, y, text, static_cast<int>(len));
    SelectObject(dc, oldFont);

    const int yBar = y + app.memTextSize.cy + S(2);
    const int L = app.memTextSize.cx;
    const uint64_t used = total > avail ? total - avail : 0;
    const int u = MemoryBarUsed(L, used, total);
    HPEN usedPen = CreatePen(PS_SOLID, S(3), app.memtext);
    HPEN restPen = CreatePen(PS_SOLID, S(3), app.memback);
    HGDIOBJ oldPen = SelectObject(dc, usedPen);
    MoveToEx(dc, x, yBar, nullptr);
    LineTo(dc, x - 1 + u, yBar);
    SelectObject(dc, restPen);
    LineTo(dc, x - 1 + L, yBar);
    SelectObject(dc, oldPen);
    DeleteObject(usedPen);
    DeleteObject(restPen);
    return yBar + S(6);
}

void DrawMonitor(HDC dc, int n, LoadHistory* rings, bool graph) {
    int x = S(UsablePadding(app.padLeft)), y = S(UsablePadding(app.padTop));
    const bool grid = n >= 2 && app.layout != 0;
    const int colum = app.colum < 1 ? 1 : app.colum;
    if (app.kakusi != 0 && app.memory != 0) {
        uint64_t total = 0, avail = 0;
        const bool extended = ReadPhysicalMemory(&total, &avail);
        y = DrawMemoryLine(dc, x, y, extended, total, avail);
        if (!(grid && colum > 1)) x = (static_cast<int>(app.clientWidth) - S(CENTRING_WIDTH)) / 2;
    }

    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, app.meterFont);
    SetTextColor(dc, app.skinTextColor);
    char text[32];
    const int P = RowPitch(graph);
    if (!grid) {
        const size_t len = FormatText(text, sizeof text, "CPU:%3lu%%",
                                      static_cast<unsigned long>(rings[0].latest()));
        TextOutA(dc, x, y, text, static_cast<int>(len));
    } else {
        for (int i = 1; i <= n; ++i) {
            const size_t len = FormatText(text, sizeof text, "CPU %d:%3lu%%", i,
                                          static_cast<unsigned long>(rings[i].latest()));
            TextOutA(dc, x + S(COLUMN_PITCH) * ((i - 1) % colum), y + P * ((i - 1) / colum), text,
                     static_cast<int>(len));
        }
    }
    SelectObject(dc, oldFont);

    const int FS = S(UsableFontHeight(app.fontsize)), one = S(1);
    int B = y + FS + S(10);
    if (n < 2) {
        DrawMeter(dc, rings[0], x + one, y + FS, y + FS + S(10));
    } else if (grid) {
        for (int i = 0; i < n; ++i) {
            const int t = y + FS + P * (i / colum);
            DrawMeter(dc, rings[i + 1], x + S(COLUMN_PITCH) * (i % colum) + one, t, t + S(10));
        }
    } else {
        for (int k = 1; k <= n; ++k) {
            const int t = y + FS + one + S(8) * (k - 1);
            DrawMeter(dc, rings[k], x + one, t, t + S(7));
        }
        B = y + FS + S(8) * n;
    }
    if (graph) DrawGraph(dc, n, rings, x + one, B + S(5), y);
}
