// Cells of a segmented load meter and the figures of the history graph,
// computed apart from any device context.
#pragma once
#include <cstdint>

struct PixelRect {
    int32_t left, top, right, bottom; // right and bottom exclusive
};

struct MeterCell {
    PixelRect rect;
    bool lit;
    int32_t colourIndex; // gradient off: which of the three meter brushes
    uint32_t colour;     // gradient on: the cell's own colour (red in the low byte)
};

enum { METER_MAX_CELLS = 100 };

struct MeterLayout {
    int32_t count = 0;
    MeterCell cells[METER_MAX_CELLS];
    PixelRect frame; // for FrameRect, in the grey brush
};

struct MeterStyle {
    int32_t step;  // cell pitch in pixels
    int32_t limit; // cell starts stay below this
};

// 0 coarse, 1 fine, 2 and above continuous. Negative kinds are treated as
// coarse, the default, rather than trusting a hand-edited file.
MeterStyle MeterStyleOf(int32_t meterStep);

// Colour of a lit gradient cell starting at s, from the low, middle and high
// colours.
uint32_t GradientColour(int32_t s, uint32_t color0, uint32_t color1, uint32_t color2);

void LayoutMeter(uint32_t figure, int32_t meterStep, int32_t meterGradient,
                 const uint32_t (&colours)[3], int32_t left, int32_t top, int32_t bottom,
                 MeterLayout& out, int32_t dpi = 96);

// Height in pixels of a load figure in a graph box: 0.33 px per percent,
// rounded down; figures beyond 100 are taken as 100 so nothing leaves the box.
int32_t GraphHeight(uint32_t figure);

enum { GRAPH_FIGURES = 51, GRAPH_BARS = 50 };

struct GraphPoint {
    int32_t x, y;
};

// figures[0] is the newest. R is the frame's right column, Bt its bottom row.
// The meter and the graph take their 96-dpi offsets to dpi; the box's own
// corners (left, top, R, Bt) are given at dpi already.
void GraphPolyline(const uint32_t (&figures)[GRAPH_FIGURES], int32_t R, int32_t Bt,
                   GraphPoint (&points)[GRAPH_FIGURES], int32_t dpi = 96);

struct BarSegment {
    int32_t colourIndex; // 0, 1, 2: the bar pens
    int32_t top, bottom; // rows, both inclusive
};

struct GraphBar {
    int32_t column;
    int32_t width; // columns from column rightwards
    int32_t count; // 1 to 3 segments, from the bottom up
    BarSegment segments[3];
};

// Bars of the 50 older figures (the newest one has none). threshold is 20 in
// the single box and 22 in a grid cell.
void GraphBars(const uint32_t (&figures)[GRAPH_FIGURES], int32_t R, int32_t Bt, int32_t threshold,
               GraphBar (&bars)[GRAPH_BARS], int32_t dpi = 96);
