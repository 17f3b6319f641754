// viewbench [iterations]: microseconds per paint of the monitor window
// (ComposeBackground, DrawMonitor, BitBlt of the back buffer) for the shipped
// skins and layouts at 96 and 144 dpi, per BuildWindowRegion, and per bare
// "238" query; the memory and GDI handles over 100 changes of scale.
// Lives beside vantor.exe so that LoadSkin finds the skins there.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "app/AppState.h"
#include "measure/LoadHistory.h"
#include "view/Background.h"
#include "view/Dpi.h"
#include "view/Draw.h"
#include "view/Geometry.h"
#include "view/Layout.h"
#include "view/Region.h"
#include "view/Skin.h"

namespace {

double Now() {
    static LARGE_INTEGER freq = {};
    if (!freq.QuadPart) QueryPerformanceFrequency(&freq);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1e6 / static_cast<double>(freq.QuadPart);
}

// Room for the widest case below: 16 processors and the total.
constexpr int kMaxCpus = 16;
LoadHistory rings[kMaxCpus + 1];
uint32_t gcolor[kMaxCpus + 1];
HPEN pens[kMaxCpus + 1];

// The window's size as LayoutWindow computes it, without a window: only the
// back buffer is renewed. n is the processors shown, 0 for the total alone.
void Prepare(const char* skin, int n, int layout, int colum, int row, bool graph, HDC screen) {
    const int multi = n > 0 ? 1 : 0;
    ReleaseSkin();
    lstrcpynA(app.skinname, skin, sizeof app.skinname);
    LoadSkin();
    app.multi = multi, app.layout = layout, app.colum = colum, app.row = row;
    app.gline = 1;
    LayoutInput in;
    in.multi = multi, in.layout = layout, in.colum = colum, in.row = row;
    in.fontsize = app.fontsize, in.processorCount = n > 0 ? n : 1, in.band = graph;
    in.padLeft = app.padLeft, in.padTop = app.padTop;
    in.padRight = app.padRight, in.padBottom = app.padBottom;
    in.kakusi = app.kakusi, in.memory = app.memory;
    in.memWidth = app.memTextSize.cx, in.memHeight = app.memTextSize.cy;
    in.dpi = app.dpi;
    const WindowSize size = ComputeWindowSize(in);
    app.clientWidth = size.width;
    app.clientHeight = size.height;
    if (app.backBuffer) DeleteObject(app.backBuffer);
    app.backBuffer =
        CreateCompatibleBitmap(screen, static_cast<int>(size.width), static_cast<int>(size.height));
    SelectObject(app.backDC, app.backBuffer);
}

double PaintCost(int iterations, int n, bool graph, HDC target) {
    const double start = Now();
    for (int i = 0; i < iterations; ++i) {
        for (int k = 0; k <= n; ++k)
            rings[k].push(static_cast<uint32_t>((i * 7 + k * 13) % 101));
        ComposeBackground(app.backDC);
        DrawMonitor(app.backDC, n, rings, graph);
        BitBlt(target, 0, 0, static_cast<int>(app.clientWidth), static_cast<int>(app.clientHeight),
               app.backDC, 0, 0, SRCCOPY);
    }
    return (Now() - start) / iterations;
}

double BlitCost(int iterations, HDC target) {
    const double start = Now();
    for (int i = 0; i < iterations; ++i)
        BitBlt(target, 0, 0, static_cast<int>(app.clientWidth), static_cast<int>(app.clientHeight),
               app.backDC, 0, 0, SRCCOPY);
    return (Now() - start) / iterations;
}

double RegionCost(int iterations, HRGN (*build)(HDC)) {
    ComposeBackground(app.backDC);
    const double start = Now();
    for (int i = 0; i < iterations; ++i)
        DeleteObject(build(app.backDC));
    return (Now() - start) / iterations;
}

// Free places in the process's GDI handle table: brushes are made until
// none can be, then all deleted. Wine has no GetGuiResources count, and a
// leak shows as fewer free places just the same.
long FreeGdiSlots() {
    static HBRUSH made[100000];
    long n = 0;
    while (n < 100000 && (made[n] = CreateSolidBrush(RGB(n & 255, 0, 0))) != nullptr) ++n;
    for (long i = 0; i < n; ++i) DeleteObject(made[i]);
    return n;
}

size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

double QueryCost(int iterations) {
    static BYTE buffer[1 << 16];
    const double start = Now();
    for (int i = 0; i < iterations; ++i) {
        DWORD bytes = sizeof buffer;
        RegQueryValueExA(HKEY_PERFORMANCE_DATA, "238", nullptr, nullptr, buffer, &bytes);
    }
    RegCloseKey(HKEY_PERFORMANCE_DATA);
    return (Now() - start) / iterations;
}

} // namespace

int main(int argc, char** argv) {
    const int iterations = argc > 1 ? atoi(argv[1]) : 500;
    HDC screen = GetDC(nullptr);
    app.backDC = CreateCompatibleDC(screen);
    HDC target = CreateCompatibleDC(screen);
    HBITMAP targetBitmap = CreateCompatibleBitmap(screen, 1024, 1024);
    SelectObject(target, targetBitmap);
    app.cpuCount = kMaxCpus;
    app.usericon = 1;
    for (int i = 0; i <= kMaxCpus; ++i) {
        rings[i].resize(HISTORY_LENGTH);
        gcolor[i] = DefaultGraphColor(i);
    }
    app.gcolor = gcolor;
    app.graphPens = pens;
    CreateGraphPens();
    CreateMeterBrushes();
    CreateGridPen();
    CreateViewFonts();
    app.kakusi = 1;
    app.memory = 0;

    struct Case {
        const char* name;
        const char* skin;
        int layout, colum, row;
        bool graph;
        int n;
    };
    const Case cases[] = {
        {"total+graph default", "default", 0, 1, 1, true, 0},
        {"total+graph night", "night", 0, 1, 1, true, 0},
        {"total plain (no skin)", "", 0, 1, 1, false, 0},
        {"8 cpus grid 4x2+graph night", "night", 1, 4, 2, true, 8},
        {"8 cpus compact+graph default", "default", 0, 1, 1, true, 8},
        {"16 cpus compact+graph default", "default", 0, 1, 1, true, 16},
        {"16 cpus grid 4x4+graph default", "default", 1, 4, 4, true, 16},
    };
    const double query = QueryCost(iterations < 50 ? iterations : 50);
    printf("query \"238\": %.1f us\n", query);
    for (int dpi : {96, 144}) {
        RescaleView(nullptr, dpi);
        printf("at %d dpi:\n", dpi);
        for (const Case& c : cases) {
            Prepare(c.skin, c.n, c.layout, c.colum, c.row, c.graph, screen);
            PaintCost(10, c.n, c.graph, target); // warm-up
            const double paint = PaintCost(iterations, c.n, c.graph, target);
            const double blit = BlitCost(iterations, target);
            const double region = RegionCost(iterations / 5 + 1, BuildWindowRegion);
            const double perRun = RegionCost(iterations / 5 + 1, BuildWindowRegionPerRun);
            printf(
                "%-30s %ux%u  paint %.1f us = %.1f x bare BitBlt (%.1f us), %.2f%% of a query\n"
                "%-30s          region %.1f us = %.1f x BitBlt (one cut; a cut per run %.1f us)\n",
                c.name, app.clientWidth, app.clientHeight, paint, paint / blit, blit,
                100.0 * paint / query, "", region, region / blit, perRun);
        }
    }
    RescaleView(nullptr, 96);
    app.kakusi = 1, app.memory = 1;
    MeasureMemoryTemplate(screen);
    Prepare("default", 0, 0, 1, 1, true, screen);
    const double memPaint = PaintCost(iterations, 0, true, target);
    printf("%-30s paint %.1f us (%.2f%% of a query)\n", "total+graph+memory default", memPaint,
           100.0 * memPaint / query);

    // The objects of the process must not grow with the paints.
    Prepare("night", 8, 1, 4, 2, true, screen);
    PaintCost(10, 8, true, target);
    const long before = FreeGdiSlots();
    PaintCost(10000, 8, true, target);
    for (int i = 0; i < 1000; ++i) DeleteObject(BuildWindowRegion(app.backDC));
    const long after = FreeGdiSlots();
    printf("free GDI handles before/after 10000 paints and 1000 regions: %ld / %ld (%s)\n",
           before, after, after < before ? "LEAKING" : "no growth");

    // Nor with changes of scale: skin, fonts, pens and back buffer made again.
    const long scaleBefore = FreeGdiSlots();
    const size_t bytesBefore = PrivateBytes();
    for (int i = 0; i < 100; ++i) {
        RescaleView(nullptr, i % 2 ? 96 : 144);
        Prepare("night", 8, 1, 4, 2, true, screen);
        PaintCost(1, 8, true, target);
    }
    const long scaleAfter = FreeGdiSlots();
    const size_t bytesAfter = PrivateBytes();
    printf("100 changes of scale: free GDI handles %ld / %ld (%s), private bytes %zu / %zu KiB\n",
           scaleBefore, scaleAfter, scaleAfter < scaleBefore ? "LEAKING" : "no growth",
           bytesBefore / 1024, bytesAfter / 1024);
    ReleaseDC(nullptr, screen);
    return after < before || scaleAfter < scaleBefore ? 1 : 0;
}
