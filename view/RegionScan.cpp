#include "view/RegionScan.h"

static int32_t Max3(int32_t a, int32_t b, int32_t c) {
    const int32_t m = a > b ? a : b;
    return m > c ? m : c;
}

FrameBands ComputeFrameBands(int32_t ltW, int32_t ltH, int32_t rtW, int32_t rtH, int32_t rbW,
                             int32_t rbH, int32_t lbW, int32_t lbH, int32_t stH, int32_t sbH,
                             int32_t slW, int32_t srW) {
    FrameBands b;
    b.top = Max3(ltH, rtH, stH);
    b.bottom = Max3(lbH, rbH, sbH);
    b.left = Max3(ltW, lbW, slW);
    b.right = Max3(rtW, rbW, srW);
    return b;
}

static bool Transparent(const uint8_t* px) {
    return px[0] == 255 && px[1] == 0 && px[2] == 0;
}

// One stretch of one row; runs end at the stretch's end.
static int32_t ScanStretch(const uint8_t* row, int32_t y, int32_t from, int32_t to, RunSink sink,
                           void* context) {
    int32_t runs = 0;
    int32_t x = from;
    while (x < to) {
        if (!Transparent(row + 3 * x)) {
            ++x;
            continue;
        }
        const int32_t start = x;
        while (x < to && Transparent(row + 3 * x))
            ++x;
        sink(context, start, y, x);
        ++runs;
    }
    return runs;
}

int32_t ScanTransparentRuns(const uint8_t* pixels, int32_t width, int32_t height,
                            const FrameBands& bands, RunSink sink, void* context) {
    if (width <= 0 || height <= 0) return 0;
    const int32_t W = width, H = height, stride = DibStride24(width);
    int32_t runs = 0;
    int32_t y = 0;
    const int32_t topEnd = bands.top < H ? bands.top : H;
    for (; y < topEnd; ++y)
        runs += ScanStretch(pixels + y * stride, y, 0, W, sink, context);
    // The middle rows only have the side bands; the centre is always window.
    for (; y < H - bands.bottom; ++y) {
        const uint8_t* row = pixels + y * stride;
        if (bands.left > 0)
            runs += ScanStretch(row, y, 0, bands.left < W ? bands.left : W, sink, context);
        if (bands.right > 0 && bands.right <= W)
            runs += ScanStretch(row, y, W - bands.right, W, sink, context);
    }
    for (; y < H; ++y)
        runs += ScanStretch(pixels + y * stride, y, 0, W, sink, context);
    return runs;
}

namespace {

// Passes on only the runs that touch the window's left or right side.
struct OuterFilter {
    int32_t width;
    RunSink sink;
    void* context;
};

void Ignore(void*, int32_t, int32_t, int32_t) {}

void Count(void* context, int32_t, int32_t, int32_t) {
    ++*static_cast<int32_t*>(context);
}

void PassOuter(void* context, int32_t x0, int32_t y, int32_t x1) {
    const OuterFilter* f = static_cast<const OuterFilter*>(context);
    if (x0 == 0 || x1 == f->width) f->sink(f->context, x0, y, x1);
}

} // namespace

int32_t ScanOutlineRuns(const uint8_t* pixels, int32_t width, int32_t height,
                        const FrameBands& bands, RunSink sink, void* context, int32_t maxRuns) {
    if (ScanTransparentRuns(pixels, width, height, bands, Ignore, nullptr) <= maxRuns)
        return ScanTransparentRuns(pixels, width, height, bands, sink, context);
    int32_t outerRuns = 0;
    OuterFilter counter = {width, Count, &outerRuns};
    ScanTransparentRuns(pixels, width, height, bands, PassOuter, &counter);
    if (outerRuns > maxRuns) return 0;
    OuterFilter outer = {width, sink, context};
    ScanTransparentRuns(pixels, width, height, bands, PassOuter, &outer);
    return outerRuns;
}
