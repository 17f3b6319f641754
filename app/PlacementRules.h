// Where the window goes when it is dragged, snapped, resized by a corner,
// sent aside by the pointer or brought back onto a screen. Pure arithmetic on
// screen rectangles: the Win32 handlers read the window, the pointer and the
// monitors, call these, and move the window.
#pragma once
#include <cstdint>

struct Box {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct Spot {
    int32_t x = 0, y = 0;
};

// One display: its whole area and the part left free by task bars.
struct MonitorArea {
    Box monitor;
    Box work;
};

// The monitor that holds the most of r; when r touches none, the one closest
// to it. Ties go to the earlier entry (the primary comes first). count > 0.
const MonitorArea& NearestMonitor(const MonitorArea* monitors, int count, const Box& r);

// One step of a drag. Returns the window's new top-left corner and moves the
// anchor to the pointer, except along an axis where an edge holds the window:
// there the anchor stays, so the window comes loose only once the pointer is
// snapDistance pixels past where it was before the snap. The edges are those
// of the monitor under the pointer: its own left and top, its work area's
// right and bottom. When the pointer crosses to another monitor, the window
// goes over with it and enters at the near edge.
struct DragInput {
    Box window; // the window's rectangle now
    int32_t width = 0, height = 0;
    Spot pointer;
    bool snap = false;
    int32_t snapDistance = 10;
};
Spot DragStep(const DragInput& in, const MonitorArea* monitors, int count, Spot* anchor);

// Which corner a press would drag to resize the grid, or -1 for none. The
// value holds 1 when the left edge moves and 2 when the top edge moves.
// regionBox is the window's shape in screen coordinates (null: no shape, the
// window rectangle is used).
int32_t CornerZone(Spot pointer, const Box& window, const Box* regionBox, uint32_t width,
                   uint32_t height, int32_t dpi = 96);

// A grid resize step: one column per 110 pixels, one row per 72 (at 96 dpi,
// scaled to dpi), counted from
// the anchor in the direction the dragged corner grows. Updates colum and row
// (fitted to the processors) and returns whether either changed.
bool GridResizeStep(int32_t corner, Spot anchor, Spot pointer, int32_t processorCount,
                    int32_t* colum, int32_t* row, int32_t dpi = 96);

// Where the window at `window` goes when its size becomes width x height.
// held names the edges that stay, with the bits of a grid corner: 1 keeps the
// right edge (else the left), 2 the bottom (else the top). A negative held
// keeps the edges the window sits against: its right or bottom edge when that
// is at or past its work area's own (snapped, or flush with the screen
// behind a task bar), its left and top otherwise (and always for a window
// larger than its work area). Then a window that fits on
// that work area comes wholly onto it along that axis, and one that would no
// longer show the piece RescuePlace asks for (a tall grid made wide from its
// top corner ends far below its old top) is brought onto the nearest work
// area.
Spot ResizePlace(int32_t held, const Box& window, int32_t width, int32_t height,
                 const MonitorArea* monitors, int count);

// Where the window jumps aside from a pointer at (client coordinates) within
// its home rectangle: to the side away from the pointer along the axis where
// the pointer is farther from the centre, 4 pixels off, or to the other side
// when that would come within 8 pixels of the work area's far edge (both at
// 96 dpi, scaled to dpi).
Spot EvadePlace(const Box& home, int32_t width, int32_t height, Spot pointerInWindow,
                const Box& work, int32_t dpi);

// Whether the window, showing less than a 16 x 16 piece on every work area,
// must be brought back; then *place is its top-left corner fully on the
// nearest monitor's work area (its left and top edges when it is larger).
bool RescuePlace(const Box& window, const MonitorArea* monitors, int count, Spot* place);
