#include "view/Region.h"

#include <cstdlib>
#include <cstring>

#include "app/AppState.h"
#include "view/RegionScan.h"

namespace {

void CutRun(void* context, int32_t x0, int32_t y, int32_t x1) {
    HRGN region = static_cast<HRGN>(context);
    HRGN run = CreateRectRgn(x0, y, x1, y + 1);
    CombineRgn(region, region, run, RGN_DIFF);
    DeleteObject(run);
}

} // namespace

HRGN BuildWindowRegion(HDC dc) {
    const int32_t W = static_cast<int32_t>(app.clientWidth);
    const int32_t H = static_cast<int32_t>(app.clientHeight);
    HRGN region = CreateRectRgn(0, 0, W, H);
    if (W <= 0 || H <= 0) return region;

    const size_t bytes = static_cast<size_t>(DibStride24(W)) * static_cast<size_t>(H);
    // Zeroed, so that a failed read leaves no transparent pixel: the whole
    // rectangle is then the window.
    uint8_t* pixels = static_cast<uint8_t*>(calloc(bytes, 1));
    if (!pixels) return region;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = W;
    info.bmiHeader.biHeight = -H; // row 0 on top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    if (GetDIBits(dc, app.backBuffer, 0, static_cast<UINT>(H), pixels, &info, DIB_RGB_COLORS) == 0)
        memset(pixels, 0, bytes);

    const FrameBands bands =
        ComputeFrameBands(app.skinLT.width, app.skinLT.height, app.skinRT.width, app.skinRT.height,
                          app.skinRB.width, app.skinRB.height, app.skinLB.width, app.skinLB.height,
                          app.skinST.height, app.skinSB.height, app.skinSL.width, app.skinSR.width);
    ScanTransparentRuns(pixels, W, H, bands, CutRun, region);
    free(pixels);
    return region;
}
