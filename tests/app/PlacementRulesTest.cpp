// Drags with snapping on one and on several monitors, stepping aside, grid
// resizing by a corner and bringing a lost window back.
#include "app/PlacementRules.h"

#include <gtest/gtest.h>

namespace {

const int W = 112, H = 84;
// 1024 x 768 with a 40-pixel task bar below; screens to its right and left.
const MonitorArea kPrimary{{0, 0, 1024, 768}, {0, 0, 1024, 728}};
const MonitorArea kRight{{1024, 0, 2304, 1024}, {1024, 0, 2304, 1024}};
const MonitorArea kLeft{{-1280, -100, 0, 924}, {-1280, -100, 0, 924}};

Box At(int x, int y) {
    return Box{x, y, x + W, y + H};
}

#define EXPECT_SPOT(spot, ex, ey)                                                                  \
    do {                                                                                           \
        Spot s_ = (spot);                                                                          \
        EXPECT_EQ(s_.x, ex);                                                                       \
        EXPECT_EQ(s_.y, ey);                                                                       \
    } while (0)

// A drag played step by step as the window procedure plays it.
struct Drag {
    const MonitorArea* monitors;
    int count;
    Spot window, anchor;
    Spot To(int x, int y) {
        DragInput in;
        in.window = At(window.x, window.y);
        in.width = W;
        in.height = H;
        in.pointer = Spot{x, y};
        in.snap = true;
        window = DragStep(in, monitors, count, &anchor);
        return window;
    }
};

TEST(Snap, AnEdgeHoldsTheWindowUntilThePointerIsTheDistancePastItsLastFreePoint) {
    Drag d{&kPrimary, 1, {100, 300}, {150, 350}};
    EXPECT_SPOT(d.To(60, 350), 10, 300);
    EXPECT_SPOT(d.To(57, 350), 0, 300); // 7 from the left edge
    EXPECT_SPOT(d.To(69, 351), 0, 301);
    EXPECT_SPOT(d.To(70, 351), 10, 301);
    EXPECT_SPOT(d.To(71, 352), 11, 302);
    // Right and bottom: the work area's edges, above the task bar.
    EXPECT_SPOT(d.To(5000, 5000), 1024 - W, 728 - H);
    // A task bar along the top: snapped to the top, the window sits under it.
    const MonitorArea topBar{{0, 0, 1024, 768}, {0, 40, 1024, 768}};
    Drag t{&topBar, 1, {300, 300}, {350, 350}};
    EXPECT_SPOT(t.To(350, 55), 300, 0);
}

TEST(Snap, OtherMonitorsHaveTheirOwnEdgesAndTheWindowCrossesWithThePointer) {
    const MonitorArea right[] = {kPrimary, kRight}, left[] = {kPrimary, kLeft};
    Drag r{right, 2, {1500, 500}, {1550, 550}};
    EXPECT_SPOT(r.To(1085, 550), 1035, 500);
    EXPECT_SPOT(r.To(1079, 1000), 1024, 1024 - H); // not thrown back to the primary
    EXPECT_SPOT(r.To(5000, 1000), 2304 - W, 1024 - H);
    Drag l{left, 2, {-600, 400}, {-550, 450}};
    EXPECT_SPOT(l.To(-1225, -45), -1280, -100);
    Drag l2{left, 2, {-200, 400}, {-150, 450}};
    EXPECT_SPOT(l2.To(-65, 450), -W, 400); // its right edge meets the primary

    Drag across{right, 2, {800, 300}, {850, 350}};
    EXPECT_SPOT(across.To(1020, 350), 1024 - W, 300); // held by the primary's right edge
    EXPECT_SPOT(across.To(1030, 352), 1024, 300);     // over the line it enters the next
    EXPECT_SPOT(across.To(1039, 353), 1024, 301);
    EXPECT_SPOT(across.To(1045, 353), 1039, 301);
    EXPECT_SPOT(across.To(1020, 353), 1024 - W, 301); // and comes back the same way
}

TEST(Evade, JumpsAwayFromThePointerOrToTheOtherSideNearTheFarEdge) {
    const Box work = kPrimary.work;
    // Just left of the middle of the top edge: to the right, 4 pixels off.
    EXPECT_SPOT(EvadePlace(At(500, 300), W, H, Spot{55, 0}, work, 96), 616, 300);
    EXPECT_SPOT(EvadePlace(At(905, 300), W, H, Spot{55, 0}, work, 96), 789, 300);
    // On the left edge just above the middle: down, or up near the bottom.
    EXPECT_SPOT(EvadePlace(At(500, 300), W, H, Spot{0, 40}, work, 96), 500, 388);
    EXPECT_SPOT(EvadePlace(At(500, 640), W, H, Spot{0, 40}, work, 96), 500, 552);
    // The far edge is that of the window's own monitor.
    EXPECT_SPOT(EvadePlace(At(2150, 300), W, H, Spot{55, 0}, kRight.work, 96), 2266, 300);
    // At 200 % the gap is 8 pixels and the margin 16: from 898 the jump to the
    // right would start 6 pixels from the far edge (at 96 dpi, 10: it goes).
    EXPECT_SPOT(EvadePlace(At(500, 300), W, H, Spot{55, 0}, work, 192), 620, 300);
    EXPECT_SPOT(EvadePlace(At(898, 300), W, H, Spot{55, 0}, work, 192), 778, 300);
}

TEST(GridResize, FourProcessorsTwoByTwoThenThreeByTwoThenFourByOne) {
    int32_t colum = 2, row = 2;
    Spot anchor{330, 250};
    EXPECT_FALSE(GridResizeStep(0, anchor, Spot{439, 250}, 4, &colum, &row)); // 109 pixels
    EXPECT_TRUE(GridResizeStep(0, anchor, Spot{440, 250}, 4, &colum, &row));
    EXPECT_EQ(colum * 10 + row, 32);
    anchor = Spot{440, 250}; // the next step counts from the pointer of the last
    EXPECT_TRUE(GridResizeStep(0, anchor, Spot{550, 252}, 4, &colum, &row));
    EXPECT_EQ(colum * 10 + row, 41);
    EXPECT_FALSE(GridResizeStep(0, anchor, Spot{800, 400}, 4, &colum, &row)); // nothing more
    // The top-left corner grows the grid leftwards and upwards.
    colum = 2;
    row = 4;
    EXPECT_TRUE(GridResizeStep(3, Spot{400, 400}, Spot{180, 400}, 8, &colum, &row));
    EXPECT_EQ(colum * 10 + row, 42);
}

// A grid step (held: its corner) and a setting's change of size (held -1,
// the edges the window sits against).
TEST(Resize, TheHeldEdgesStayAndAWindowThatFitsStaysOnItsWorkArea) {
    const MonitorArea both[] = {kPrimary, kRight};
    struct Row {
        const char* name;
        int32_t held;
        Box window;
        int32_t width, height;
        int count; // of both
        Spot place;
    } const rows[] = {
        // The corner opposite the dragged one stays.
        {"3 x 2", 0, {100, 100, 332, 253}, 342, 153, 1, {100, 100}},
        {"4 x 2 from the top left", 3, {400, 100, 632, 397}, 452, 149, 1, {180, 248}},
        // A 1 x 32 grid made 2 x 16 from the top-right corner would fall below
        // the screen; it comes up to the work area's top instead.
        {"on the right monitor", 2, {1100, 100, 1212, 2417}, 222, 1165, 2, {1100, 0}},
        // Grown leftwards from where only 12 pixels of it showed.
        {"left edge", 1, {-100, 100, 12, 184}, 222, 84, 1, {0, 100}},
        // Grown past the right edge: wholly back on the screen.
        {"partly off", 0, {1000, 100, 1112, 400}, 222, 300, 1, {802, 100}},
        // The memory line switched on, flush with the bottom behind the task bar: above it.
        {"behind the task bar", -1, {300, 684, 412, 768}, 128, 103, 1, {300, 625}},
        {"snapped to the task bar", -1, {300, 644, 412, 728}, 128, 103, 1, {300, 625}},
        {"snapped right", -1, {912, 300, 1024, 384}, 128, 103, 1, {896, 300}},
        {"snapped to the corner, shrinking", -1, {802, 575, 1024, 728}, 112, 84, 1, {912, 644}},
        {"free, growing past the bottom", -1, {300, 600, 412, 684}, 222, 153, 1, {300, 575}},
        {"at the top left", -1, {0, 0, 112, 84}, 222, 153, 1, {0, 0}},
        {"taller than the screen", -1, {100, 100, 212, 2417}, 112, 2436, 1, {100, 100}},
        {"snapped on the right monitor", -1, {2192, 940, 2304, 1024}, 128, 103, 2, {2176, 921}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const Spot place = ResizePlace(r.held, r.window, r.width, r.height, both, r.count);
        EXPECT_SPOT(place, r.place.x, r.place.y);
    }
}

TEST(Rescue, AWindowWithoutASixteenPixelPieceOnAnyWorkAreaComesBack) {
    const MonitorArea both[] = {kPrimary, kRight};
    Spot place{-1, -1};
    EXPECT_TRUE(RescuePlace(At(5000, 100), &kPrimary, 1, &place)); // off every monitor
    EXPECT_SPOT(place, 1024 - W, 100);
    EXPECT_TRUE(RescuePlace(At(3000, 500), both, 2, &place)); // onto the nearest
    EXPECT_SPOT(place, 2304 - W, 500);
    EXPECT_TRUE(RescuePlace(At(1500, 200), &kPrimary, 1, &place)); // its monitor is gone
    EXPECT_SPOT(place, 1024 - W, 200);
    EXPECT_TRUE(RescuePlace(At(300, 720), &kPrimary, 1, &place)); // behind the task bar
    EXPECT_SPOT(place, 300, 728 - H);
    EXPECT_TRUE(RescuePlace(At(1009, 712), &kPrimary, 1, &place)); // 15 x 16 on it
    // Half on, a 16 x 16 corner on, or across two monitors: left alone.
    EXPECT_FALSE(RescuePlace(At(968, 300), &kPrimary, 1, &place));
    EXPECT_FALSE(RescuePlace(At(1008, 712), &kPrimary, 1, &place));
    EXPECT_FALSE(RescuePlace(At(970, 300), both, 2, &place));
}

} // namespace
