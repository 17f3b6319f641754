// Window sizes, meter grid fitting and background tile positions. Pure
// arithmetic, so the Win32 layer only creates bitmaps and blits.
#pragma once
#include <cstdint>

// Corrects the grid to the processor count: no more columns than processors,
// and no row that would stay empty.
void FitMeterGrid(int32_t processorCount, int32_t& colum, int32_t& row);

// A skin's margin as it is used: 0 to MAX_PADDING pixels, so a negative or
// enormous PADDING can neither fold the window away nor make it too large
// to draw. The window's sides are bounded by MAX_WINDOW_SIDE as well.
enum : int32_t { MAX_PADDING = 200, MAX_WINDOW_SIDE = 8192 };
int32_t UsablePadding(int32_t padding);

struct LayoutInput {
    int32_t multi = 0, layout = 0, colum = 1, row = 1, fontsize = 15;
    int32_t processorCount = 1;
    bool band = false; // reserve the 40-pixel graph band
    int32_t padLeft = 0, padTop = 0, padRight = 0, padBottom = 0;
    int32_t kakusi = 0, memory = 0;
    int32_t memWidth = 0, memHeight = 0; // extent of the memory template text, at dpi
    int32_t dpi = 96;                    // the window's scale: every other length here is at 96 dpi
};

struct WindowSize {
    uint32_t width = 0, height = 0;
};

// The window's size at in.dpi; paddings and the font height are bounded first (see
// UsablePadding and UsableFontHeight), so the result is always drawable.
WindowSize ComputeWindowSize(const LayoutInput& in);

// Grey level of the dotted guide-line pen: readable on the graph background
// whether that is dark or light.
int32_t GridPenGrey(uint32_t gcolorbk);

struct PieceSize {
    int32_t width = 0, height = 0;
    bool loaded = false;
};

enum BackgroundPiece {
    PIECE_BACK,
    PIECE_LT,
    PIECE_RT,
    PIECE_RB,
    PIECE_LB,
    PIECE_ST,
    PIECE_SB,
    PIECE_SL,
    PIECE_SR,
    PIECE_COUNT
};

struct TileRect {
    int32_t piece; // BackgroundPiece
    int32_t x, y, width, height;
};

// Calls sink once per blit, in drawing order: back tiles column by column,
// then the top, bottom, left and right edges, then the corners LT, RT, RB, LB.
// Each tile is copied from the piece's origin with the given size.
using TileSink = void (*)(void* context, const TileRect& tile);
void ForEachBackgroundTile(const PieceSize (&pieces)[PIECE_COUNT], int32_t width, int32_t height,
                           TileSink sink, void* context);
