#include "app/PlacementRules.h"

#include "view/Geometry.h"
#include "view/Scale.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Coordinates come from the system and the settings file; 64-bit sums keep
// absurd ones from overflowing before they are clamped back.
int32_t Clamp32(int64_t v) {
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(v, INT32_MIN), INT32_MAX));
}

int64_t Overlap(int32_t a0, int32_t a1, int32_t b0, int32_t b1) {
    return std::max<int64_t>(0, static_cast<int64_t>(std::min(a1, b1)) - std::max(a0, b0));
}

int64_t Gap(int32_t a0, int32_t a1, int32_t b0, int32_t b1) {
    if (a1 <= b0) return static_cast<int64_t>(b0) - a1;
    if (b1 <= a0) return static_cast<int64_t>(a0) - b1;
    return 0;
}

// One axis of a drag step: the snapped coordinate, and whether it is free.
int32_t SnapAxis(int64_t proposed, int32_t low, int64_t high, int32_t distance, bool* free) {
    *free = false;
    if (proposed < static_cast<int64_t>(low) + distance) return low;
    if (proposed > high - distance) return Clamp32(high);
    *free = true;
    return Clamp32(proposed);
}

// A pointer offset that must be non-negative and below half the window.
bool InHalf(int64_t difference, uint32_t size) {
    return difference >= 0 && difference < static_cast<int64_t>(size / 2);
}

int32_t Fit(int64_t place, int32_t size, int32_t low, int32_t high) {
    if (place > static_cast<int64_t>(high) - size) place = static_cast<int64_t>(high) - size;
    if (place < low) place = low;
    return Clamp32(place);
}

// A window that fits between low and high, with its far edge at high or past
// it (a task bar may cover that part) and its near edge clear of low.
bool AgainstFarEdge(int32_t nearEdge, int32_t farEdge, int32_t low, int32_t high) {
    const bool fits = static_cast<int64_t>(farEdge) - nearEdge <= static_cast<int64_t>(high) - low;
    return fits && farEdge >= high && nearEdge > low;
}

} // namespace

const MonitorArea& NearestMonitor(const MonitorArea* monitors, int count, const Box& r) {
    int best = 0;
    int64_t bestArea = 0;
    for (int i = 0; i < count; ++i) {
        const Box& m = monitors[i].monitor;
        int64_t area =
            Overlap(r.left, r.right, m.left, m.right) * Overlap(r.top, r.bottom, m.top, m.bottom);
        if (area > bestArea) {
            bestArea = area;
            best = i;
        }
    }
    if (bestArea > 0) return monitors[best];

    // Doubles: squared gaps between far-flung coordinates exceed 64 bits.
    double bestDistance = -1;
    for (int i = 0; i < count; ++i) {
        const Box& m = monitors[i].monitor;
        double dx = static_cast<double>(Gap(r.left, r.right, m.left, m.right));
        double dy = static_cast<double>(Gap(r.top, r.bottom, m.top, m.bottom));
        double distance = dx * dx + dy * dy;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return monitors[best];
}

Spot DragStep(const DragInput& in, const MonitorArea* monitors, int count, Spot* anchor) {
    int64_t left = static_cast<int64_t>(in.window.left) + in.pointer.x - anchor->x;
    int64_t top = static_cast<int64_t>(in.window.top) + in.pointer.y - anchor->y;
    if (!in.snap || count <= 0) {
        *anchor = in.pointer;
        return Spot{Clamp32(left), Clamp32(top)};
    }
    const Box at{in.pointer.x, in.pointer.y, Clamp32(in.pointer.x + 1LL),
                 Clamp32(in.pointer.y + 1LL)};
    const MonitorArea& m = NearestMonitor(monitors, count, at);
    const int64_t maxLeft = static_cast<int64_t>(m.work.right) - in.width;
    const int64_t maxTop = static_cast<int64_t>(m.work.bottom) - in.height;
    bool freeX = false, freeY = false;
    if (&m != &NearestMonitor(monitors, count, in.window)) {
        // The pointer has gone over to another monitor: the window enters it
        // at the edge it came through, and the drag goes on from here. (An
        // anchor held back by the old monitor's edge means nothing there.)
        *anchor = in.pointer;
        return Spot{SnapAxis(in.window.left, m.monitor.left, maxLeft, in.snapDistance, &freeX),
                    SnapAxis(in.window.top, m.monitor.top, maxTop, in.snapDistance, &freeY)};
    }
    Spot place{SnapAxis(left, m.monitor.left, maxLeft, in.snapDistance, &freeX),
               SnapAxis(top, m.monitor.top, maxTop, in.snapDistance, &freeY)};
    if (freeX) anchor->x = in.pointer.x;
    if (freeY) anchor->y = in.pointer.y;
    return place;
}

int32_t CornerZone(Spot p, const Box& wr, const Box* regionBox, uint32_t w, uint32_t h,
                   int32_t dpi) {
    const int64_t zone = Scaled(12, dpi);
    const Box& rb = regionBox ? *regionBox : wr;
    const int64_t fromLeft = static_cast<int64_t>(p.x) - wr.left;
    const int64_t fromRight = static_cast<int64_t>(wr.right) - p.x;
    const int64_t fromTop = static_cast<int64_t>(p.y) - wr.top;
    const int64_t fromBottom = static_cast<int64_t>(wr.bottom) - p.y;
    // Near the shape's edge (12 pixels at 96 dpi, signed) within the half of
    // the window on the corner's side.
    const bool nearTop = static_cast<int64_t>(p.y) - rb.top < zone;
    const bool nearBottom = static_cast<int64_t>(rb.bottom) - p.y < zone;
    const bool nearLeft = static_cast<int64_t>(p.x) - rb.left < zone;
    const bool nearRight = static_cast<int64_t>(rb.right) - p.x < zone;

    if ((InHalf(fromLeft, w) && nearTop) || (nearLeft && InHalf(fromTop, h))) return 3;
    if ((InHalf(fromLeft, w) && nearBottom) || (nearLeft && InHalf(fromBottom, h))) return 1;
    if ((InHalf(fromRight, w) && nearTop) || (nearRight && InHalf(fromTop, h))) return 2;
    if ((InHalf(fromRight, w) && nearBottom) || (nearRight && InHalf(fromBottom, h))) return 0;
    return -1;
}

bool GridResizeStep(int32_t corner, Spot anchor, Spot p, int32_t processorCount, int32_t* colum,
                    int32_t* row, int32_t dpi) {
    int64_t dx =
        (corner & 1) ? static_cast<int64_t>(anchor.x) - p.x : static_cast<int64_t>(p.x) - anchor.x;
    int64_t dy =
        (corner & 2) ? static_cast<int64_t>(anchor.y) - p.y : static_cast<int64_t>(p.y) - anchor.y;
    // The grid's pitches as the window is drawn at dpi (see Draw.cpp).
    int64_t dc = dx / Scaled(110, dpi), dr = dy / (Scaled(32, dpi) + Scaled(40, dpi));
    if (dc == 0 && dr == 0) return false;
    int32_t c = Clamp32(*colum + dc), r = Clamp32(*row + dr);
    FitMeterGrid(processorCount, c, r);
    if (c == *colum && r == *row) return false;
    *colum = c;
    *row = r;
    return true;
}

Spot ResizePlace(int32_t held, const Box& r, int32_t width, int32_t height,
                 const MonitorArea* monitors, int count) {
    const Box* work = count > 0 ? &NearestMonitor(monitors, count, r).work : nullptr;
    if (held < 0) {
        // A window larger than its work area sits against nothing: it keeps
        // its left and top, where its memory line and corners show.
        held = 0;
        if (work && AgainstFarEdge(r.left, r.right, work->left, work->right)) held |= 1;
        if (work && AgainstFarEdge(r.top, r.bottom, work->top, work->bottom)) held |= 2;
    }
    Spot place{(held & 1) ? Clamp32(static_cast<int64_t>(r.right) - width) : r.left,
               (held & 2) ? Clamp32(static_cast<int64_t>(r.bottom) - height) : r.top};
    if (!work) return place;
    if (width <= static_cast<int64_t>(work->right) - work->left)
        place.x = Fit(place.x, width, work->left, work->right);
    if (height <= static_cast<int64_t>(work->bottom) - work->top)
        place.y = Fit(place.y, height, work->top, work->bottom);
    const Box moved{place.x, place.y, Clamp32(static_cast<int64_t>(place.x) + width),
                    Clamp32(static_cast<int64_t>(place.y) + height)};
    Spot onScreen;
    return RescuePlace(moved, monitors, count, &onScreen) ? onScreen : place;
}

Spot EvadePlace(const Box& home, int32_t w, int32_t h, Spot q, const Box& work, int32_t dpi) {
    const int64_t hw = w / 2, hh = h / 2, gap = Scaled(4, dpi), margin = Scaled(8, dpi);
    const int64_t sideGap = std::abs(q.x - hw), upGap = std::abs(q.y - hh);
    const int64_t after = home.right + gap;
    const int64_t beforeX = static_cast<int64_t>(home.left) - w - gap;
    const int64_t below = static_cast<int64_t>(home.top) + h + gap;
    const int64_t beforeY = static_cast<int64_t>(home.top) - h - gap;
    Spot place{home.left, home.top};
    if (sideGap < upGap) {
        if (q.x < hw)
            place.x = Clamp32(after > work.right - margin ? beforeX : after);
        else
            place.x = Clamp32(beforeX < work.left + margin ? after : beforeX);
    } else {
        if (q.y < hh)
            place.y = Clamp32(below > work.bottom - margin ? beforeY : below);
        else
            place.y = Clamp32(beforeY < work.top + margin ? below : beforeY);
    }
    return place;
}

bool RescuePlace(const Box& r, const MonitorArea* monitors, int count, Spot* place) {
    if (count <= 0) return false;
    const int64_t w = static_cast<int64_t>(r.right) - r.left;
    const int64_t h = static_cast<int64_t>(r.bottom) - r.top;
    // A piece this big can be grabbed and dragged; a window smaller than
    // that counts as seen when all of it is.
    const int64_t needW = std::min<int64_t>(16, std::max<int64_t>(w, 1));
    const int64_t needH = std::min<int64_t>(16, std::max<int64_t>(h, 1));
    for (int i = 0; i < count; ++i) {
        const Box& work = monitors[i].work;
        if (Overlap(r.left, r.right, work.left, work.right) >= needW &&
            Overlap(r.top, r.bottom, work.top, work.bottom) >= needH)
            return false;
    }
    const Box& work = NearestMonitor(monitors, count, r).work;
    place->x = Fit(r.left, Clamp32(w), work.left, work.right);
    place->y = Fit(r.top, Clamp32(h), work.top, work.bottom);
    return true;
}
