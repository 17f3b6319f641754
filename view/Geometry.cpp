#include "view/Geometry.h"

#include "settings/SettingLimits.h"
#include "view/Scale.h"

static int32_t CeilDiv(int32_t a, int32_t b) {
    return (a + b - 1) / b;
}

void FitMeterGrid(int32_t processorCount, int32_t& colum, int32_t& row) {
    if (colum < 1) colum = 1;
    if (row < 1) row = 1;
    const int32_t p = processorCount;
    if (p <= colum) {
        colum = p < 1 ? 1 : p;
        row = 1;
        return;
    }
    // 64-bit so that absurd stored values cannot overflow the product.
    const int64_t cells = static_cast<int64_t>(colum) * row;
    if (p >= cells || cells - p >= colum) {
        if (colum > row)
            colum = CeilDiv(p, row);
        else
            row = CeilDiv(p, colum);
    }
}

int32_t UsablePadding(int32_t padding) {
    const int32_t most = MAX_PADDING;
    return padding < 0 ? 0 : (padding > most ? most : padding);
}

static uint32_t Side(int64_t pixels) {
    const int64_t most = MAX_WINDOW_SIDE;
    return static_cast<uint32_t>(pixels < 1 ? 1 : (pixels > most ? most : pixels));
}

WindowSize ComputeWindowSize(const LayoutInput& in) {
    const int32_t d = in.dpi;
    auto S = [d](int64_t v) { return static_cast<int64_t>(Scaled(static_cast<int32_t>(v), d)); };
    const int64_t b = S(in.band ? 40 : 0), fs = S(UsableFontHeight(in.fontsize));
    const int64_t left = S(UsablePadding(in.padLeft)), right = S(UsablePadding(in.padRight));
    const int64_t top = S(UsablePadding(in.padTop)), bottom = S(UsablePadding(in.padBottom));
    int64_t w = S(120), h = 0;
    if (in.multi == 0) {
        h = fs + b + S(21);
    } else if (in.layout != 0) {
        // The pitches are those the drawing steps by (see Draw.cpp).
        w = S(120) + S(110) * (static_cast<int64_t>(in.colum) - 1);
        h = (S(32) + b) * in.row + S(5);
        if (!in.band) h += fs - S(15);
    } else {
        h = S(42 - 31) + S(8) * static_cast<int64_t>(in.processorCount) + fs + b;
    }
    w += left + right - S(16);
    h += top + bottom - S(8);
    if (in.kakusi != 0 && in.memory != 0) {
        const int64_t need = static_cast<int64_t>(in.memWidth) + left + right;
        if (w < need) w = need;
        h += static_cast<int64_t>(in.memHeight) + S(7);
    }
    WindowSize size;
    size.width = Side(w);
    size.height = Side(h);
    return size;
}

int32_t GridPenGrey(uint32_t gcolorbk) {
    const int32_t r = gcolorbk & 0xff, g = (gcolorbk >> 8) & 0xff, bl = (gcolorbk >> 16) & 0xff;
    const int32_t a = (r + g + bl) / 3;
    int32_t grey = a < 128 ? a + 80 : a - 51;
    if (grey < 0) grey = 0;
    if (grey > 255) grey = 255;
    return grey;
}

static bool Usable(const PieceSize& p) {
    return p.loaded && p.width > 0 && p.height > 0;
}

static int32_t Width(const PieceSize& p) {
    return p.loaded ? p.width : 0;
}
static int32_t Height(const PieceSize& p) {
    return p.loaded ? p.height : 0;
}

static int32_t Min(int32_t a, int32_t b) {
    return a < b ? a : b;
}

// One side tiled along x (horizontal edge) from start while below end.
static void TileAcross(int32_t piece, const PieceSize& p, int32_t y, int32_t start, int32_t end,
                       TileSink sink, void* context) {
    for (int32_t x = start; x < end; x += p.width)
        sink(context, TileRect{piece, x, y, Min(p.width, end - x), p.height});
}

static void TileDown(int32_t piece, const PieceSize& p, int32_t x, int32_t start, int32_t end,
                     TileSink sink, void* context) {
    for (int32_t y = start; y < end; y += p.height)
        sink(context, TileRect{piece, x, y, p.width, Min(p.height, end - y)});
}

void ForEachBackgroundTile(const PieceSize (&pieces)[PIECE_COUNT], int32_t width, int32_t height,
                           TileSink sink, void* context) {
    const int32_t W = width, H = height;
    const PieceSize& back = pieces[PIECE_BACK];
    if (Usable(back)) {
        for (int32_t x = 0; x < W; x += back.width)
            for (int32_t y = 0; y < H; y += back.height)
                sink(context, TileRect{PIECE_BACK, x, y, back.width, back.height});
    }
    const PieceSize &lt = pieces[PIECE_LT], &rt = pieces[PIECE_RT];
    const PieceSize &rb = pieces[PIECE_RB], &lb = pieces[PIECE_LB];
    const PieceSize &st = pieces[PIECE_ST], &sb = pieces[PIECE_SB];
    const PieceSize &sl = pieces[PIECE_SL], &sr = pieces[PIECE_SR];
    if (Usable(st)) TileAcross(PIECE_ST, st, 0, Width(lt), W - Width(rt), sink, context);
    if (Usable(sb))
        TileAcross(PIECE_SB, sb, H - sb.height, Width(lb), W - Width(rb), sink, context);
    if (Usable(sl)) TileDown(PIECE_SL, sl, 0, Height(lt), H - Height(lb), sink, context);
    if (Usable(sr)) TileDown(PIECE_SR, sr, W - sr.width, Height(rt), H - Height(rb), sink, context);
    if (Usable(lt)) sink(context, TileRect{PIECE_LT, 0, 0, lt.width, lt.height});
    if (Usable(rt)) sink(context, TileRect{PIECE_RT, W - rt.width, 0, rt.width, rt.height});
    if (Usable(rb))
        sink(context, TileRect{PIECE_RB, W - rb.width, H - rb.height, rb.width, rb.height});
    if (Usable(lb)) sink(context, TileRect{PIECE_LB, 0, H - lb.height, lb.width, lb.height});
}
