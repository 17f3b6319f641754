#include "view/Scale.h"

int32_t UsableDpi(int32_t dpi) {
    return dpi < MIN_DPI || dpi > MAX_DPI ? BASE_DPI : dpi;
}

int32_t Scaled(int32_t length96, int32_t dpi) {
    const int64_t p = static_cast<int64_t>(length96) * UsableDpi(dpi);
    const int64_t half = BASE_DPI / 2;
    return static_cast<int32_t>(p >= 0 ? (p + half) / BASE_DPI : -((-p + half) / BASE_DPI));
}

int32_t ScaledAtLeastOne(int32_t length96, int32_t dpi) {
    const int32_t s = Scaled(length96, dpi);
    return length96 > 0 && s < 1 ? 1 : s;
}

int32_t NearestSource(int32_t i, int32_t srcLength, int32_t dstLength) {
    if (dstLength <= 0 || srcLength <= 0) return 0;
    const int64_t s =
        (2 * static_cast<int64_t>(i) + 1) * srcLength / (2 * static_cast<int64_t>(dstLength));
    return static_cast<int32_t>(s < srcLength ? s : srcLength - 1);
}

void ScaleNearest(const uint32_t* src, int32_t srcWidth, int32_t srcHeight, uint32_t* dst,
                  int32_t dstWidth, int32_t dstHeight) {
    for (int32_t y = 0; y < dstHeight; ++y) {
        const uint32_t* row =
            src + static_cast<int64_t>(NearestSource(y, srcHeight, dstHeight)) * srcWidth;
        uint32_t* out = dst + static_cast<int64_t>(y) * dstWidth;
        for (int32_t x = 0; x < dstWidth; ++x)
            out[x] = row[NearestSource(x, srcWidth, dstWidth)];
    }
}

ScaleBox DpiChangePlace(const ScaleBox& old, const ScaleBox& oldWork, const ScaleBox& suggested,
                        const ScaleBox& newWork, int32_t width, int32_t height, bool keepEdges) {
    ScaleBox b{suggested.left, suggested.top, suggested.left + width, suggested.top + height};
    if (!keepEdges) return b;
    if (old.right == oldWork.right) b.left = newWork.right - width;
    if (old.left == oldWork.left) b.left = newWork.left;
    if (old.bottom == oldWork.bottom) b.top = newWork.bottom - height;
    if (old.top == oldWork.top) b.top = newWork.top;
    b.right = b.left + width;
    b.bottom = b.top + height;
    return b;
}
