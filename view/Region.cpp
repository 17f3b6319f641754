#include "view/Region.h"

#include <cstdlib>
#include <cstring>

#include "app/AppState.h"
#include "view/RegionScan.h"

namespace {

// The transparent runs of the composed picture, as rectangles of one row,
// behind the header ExtCreateRegion takes. Grows by doubling; when it
// cannot grow, the region is cut run by run instead.
struct RunList {
    RGNDATA* data = nullptr;
    DWORD capacity = 0;
    bool complete = true;
};

void CollectRun(void* context, int32_t x0, int32_t y, int32_t x1) {
    RunList* list = static_cast<RunList*>(context);
    if (list->data->rdh.nCount == list->capacity) {
        DWORD more = list->capacity * 2;
        void* grown = realloc(list->data, sizeof(RGNDATAHEADER) + more * sizeof(RECT));
        if (!grown) {
            list->complete = false;
            return;
        }
        list->data = static_cast<RGNDATA*>(grown);
        list->capacity = more;
    }
    RECT* rects = reinterpret_cast<RECT*>(list->data->Buffer);
    rects[list->data->rdh.nCount++] = RECT{x0, y, x1, y + 1};
}

void CutRun(void* context, int32_t x0, int32_t y, int32_t x1) {
    HRGN region = static_cast<HRGN>(context);
    HRGN run = CreateRectRgn(x0, y, x1, y + 1);
    CombineRgn(region, region, run, RGN_DIFF);
    DeleteObject(run);
}

// The composed picture as a top-down 24-bit DIB, or null. A read that fails
// leaves zeros: no pure blue, so the whole rectangle stays the window.
uint8_t* ReadPicture(HDC dc, int32_t W, int32_t H) {
    const size_t bytes = static_cast<size_t>(DibStride24(W)) * static_cast<size_t>(H);
    uint8_t* pixels = static_cast<uint8_t*>(calloc(bytes, 1));
    if (!pixels) return nullptr;
    BITMAPINFO info = TopDownBitmapInfo(W, H, 24);
    if (GetDIBits(dc, app.backBuffer, 0, static_cast<UINT>(H), pixels, &info, DIB_RGB_COLORS) == 0)
        memset(pixels, 0, bytes);
    return pixels;
}

FrameBands SkinBands() {
    return ComputeFrameBands(app.skinLT.width, app.skinLT.height, app.skinRT.width,
                             app.skinRT.height, app.skinRB.width, app.skinRB.height,
                             app.skinLB.width, app.skinLB.height, app.skinST.height,
                             app.skinSB.height, app.skinSL.width, app.skinSR.width);
}

} // namespace

HRGN BuildWindowRegion(HDC dc) {
    const int32_t W = static_cast<int32_t>(app.clientWidth);
    const int32_t H = static_cast<int32_t>(app.clientHeight);
    HRGN region = CreateRectRgn(0, 0, W, H);
    if (W <= 0 || H <= 0) return region;
    uint8_t* pixels = ReadPicture(dc, W, H);
    if (!pixels) return region;

    RunList list;
    list.capacity = 64;
    list.data = static_cast<RGNDATA*>(malloc(sizeof(RGNDATAHEADER) + list.capacity * sizeof(RECT)));
    if (list.data) {
        memset(&list.data->rdh, 0, sizeof list.data->rdh);
        list.data->rdh.dwSize = sizeof(RGNDATAHEADER);
        list.data->rdh.iType = RDH_RECTANGLES;
        ScanOutlineRuns(pixels, W, H, SkinBands(), CollectRun, &list);
        const DWORD count = list.data->rdh.nCount;
        if (!list.complete) {
            ScanOutlineRuns(pixels, W, H, SkinBands(), CutRun, region);
        } else if (count > 0) {
            list.data->rdh.nRgnSize = count * sizeof(RECT);
            list.data->rdh.rcBound = RECT{0, 0, W, H};
            // One region of all runs and one cut, instead of a cut per run.
            HRGN cut = ExtCreateRegion(nullptr, sizeof(RGNDATAHEADER) + count * sizeof(RECT),
                                       list.data);
            if (cut) {
                CombineRgn(region, region, cut, RGN_DIFF);
                DeleteObject(cut);
            }
        }
        free(list.data);
    } else {
        ScanOutlineRuns(pixels, W, H, SkinBands(), CutRun, region);
    }
    free(pixels);
    return region;
}

HRGN BuildWindowRegionPerRun(HDC dc) {
    const int32_t W = static_cast<int32_t>(app.clientWidth);
    const int32_t H = static_cast<int32_t>(app.clientHeight);
    HRGN region = CreateRectRgn(0, 0, W, H);
    if (W <= 0 || H <= 0) return region;
    uint8_t* pixels = ReadPicture(dc, W, H);
    if (!pixels) return region;
    ScanTransparentRuns(pixels, W, H, SkinBands(), CutRun, region);
    free(pixels);
    return region;
}

BITMAPINFO TopDownBitmapInfo(int w, int h, WORD bitCount) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitCount;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}
