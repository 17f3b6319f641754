// Which pixels of the composed window picture are cut out of the window:
// pure blue ones, and only inside the frame bands. Works on a top-down
// 24-bit DIB (blue, green, red per pixel, rows padded to 4 bytes).
#pragma once
#include <cstdint>

struct FrameBands {
    int32_t top = 0, bottom = 0, left = 0, right = 0;
};

// Each band is as thick as the thickest piece that lies along it.
FrameBands ComputeFrameBands(int32_t ltW, int32_t ltH, int32_t rtW, int32_t rtH, int32_t rbW,
                             int32_t rbH, int32_t lbW, int32_t lbH, int32_t stH, int32_t sbH,
                             int32_t slW, int32_t srW);

inline int32_t DibStride24(int32_t width) {
    return (3 * width + 3) & ~3;
}

// Called once per maximal run of transparent pixels: columns x0 to x1
// (excluded) of row y.
using RunSink = void (*)(void* context, int32_t x0, int32_t y, int32_t x1);

// Scans the bands row by row (the centre never) and reports every run.
// Returns the number of runs.
int32_t ScanTransparentRuns(const uint8_t* pixels, int32_t width, int32_t height,
                            const FrameBands& bands, RunSink sink, void* context);

// Past this many runs the window's outline is simplified: each run is one
// rectangle of the window region, and the X server under Wine refuses a
// shape of about 32 000 rectangles (and takes seconds well before that).
enum : int32_t { MAX_OUTLINE_RUNS = 2000 };

// The runs the window's outline is cut by: every run when there are at most
// maxRuns; otherwise only the runs that touch the window's left or right side
// (a dithered frame keeps its outer edge, a rounded corner its curve); when
// even those are more than maxRuns, none (the plain rectangle). Returns the
// number reported.
int32_t ScanOutlineRuns(const uint8_t* pixels, int32_t width, int32_t height,
                        const FrameBands& bands, RunSink sink, void* context,
                        int32_t maxRuns = MAX_OUTLINE_RUNS);
