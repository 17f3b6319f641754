// The display scale. Every size of the window is written for 96 dots per
// inch (100 %) and taken to the DPI of the monitor the window is on where it
// is used; the settings keep their 96-dpi values.
#pragma once
#include <cstdint>

enum : int32_t { BASE_DPI = 96, MIN_DPI = 48, MAX_DPI = 960 };

// A DPI the system reported, or 96 for none (0, or a figure no display has).
int32_t UsableDpi(int32_t dpi);

// A 96-dpi length at dpi, rounded to the nearest pixel (halves away from 0),
// so that a length and its negative scale alike.
int32_t Scaled(int32_t length96, int32_t dpi);

// A length of at least one pixel: a line or a cell never vanishes at a scale
// below 100 %.
int32_t ScaledAtLeastOne(int32_t length96, int32_t dpi);

// Nearest-neighbour resampling of 32-bit pixels (rows top-down): every
// destination pixel is a copy of one source pixel, so a colour key stays
// exact and a hard edge stays hard. Pixel i of a row of dstLength comes from
// pixel (2i + 1) srcLength / (2 dstLength) of srcLength.
int32_t NearestSource(int32_t i, int32_t srcLength, int32_t dstLength);
void ScaleNearest(const uint32_t* src, int32_t srcWidth, int32_t srcHeight, uint32_t* dst,
                  int32_t dstWidth, int32_t dstHeight);

struct ScaleBox {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Where the window goes when its scale changes: the place the system
// suggests, at the window's new size; an edge of the old window that lay on
// its work area's edge stays on the same edge of the new work area when
// keepEdges (snapping on, and no drag under way).
ScaleBox DpiChangePlace(const ScaleBox& old, const ScaleBox& oldWork, const ScaleBox& suggested,
                        const ScaleBox& newWork, int32_t width, int32_t height, bool keepEdges);
