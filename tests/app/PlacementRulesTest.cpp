// Where the window goes: drags with snapping on one and on several monitors,
// corner zones, grid resizing, stepping aside and bringing a lost window back.
#include "app/PlacementRules.h"

#include <gtest/gtest.h>

namespace {

const int W = 112, H = 84;

// 1024 x 768 at the origin with a 40-pixel task bar at the bottom.
const MonitorArea kPrimary{{0, 0, 1024, 768}, {0, 0, 1024, 728}};
// A second screen to the right, one to the left, both without task bars.
const MonitorArea kRight{{1024, 0, 2304, 1024}, {1024, 0, 2304, 1024}};
const MonitorArea kLeft{{-1280, -100, 0, 924}, {-1280, -100, 0, 924}};

Box At(int x, int y) {
    return Box{x, y, x + W, y + H};
}

// A drag played step by step, as the window procedure does it: each step
// starts from where the previous one put the window.
struct Drag {
    const MonitorArea* monitors;
    int count;
    Spot window;
    Spot anchor;
    bool snap = true;

    Spot To(int x, int y) {
        DragInput in;
        in.window = At(window.x, window.y);
        in.width = W;
        in.height = H;
        in.pointer = Spot{x, y};
        in.snap = snap;
        in.snapDistance = 10;
        window = DragStep(in, monitors, count, &anchor);
        return window;
    }
};

#define EXPECT_SPOT(spot, ex, ey)                                                                  \
    do {                                                                                           \
        Spot s_ = (spot);                                                                          \
        EXPECT_EQ(s_.x, ex);                                                                       \
        EXPECT_EQ(s_.y, ey);                                                                       \
    } while (0)

TEST(Snap, LeftEdgeHoldsUntilThePointerIsTheSnapDistancePastItsLastFreePoint) {
    Drag drag{&kPrimary, 1, {100, 300}, {150, 350}};
    EXPECT_SPOT(drag.To(60, 350), 10, 300); // 10 is not within the distance
    EXPECT_SPOT(drag.To(57, 350), 0, 300);  // 7 from the edge: snapped
    // Back to the right, the edge holds while the pointer is less than 10
    // past 60, the last point before the snap.
    EXPECT_SPOT(drag.To(62, 350), 0, 300);
    EXPECT_SPOT(drag.To(69, 351), 0, 301);
    EXPECT_SPOT(drag.To(70, 351), 10, 301);
    // Loose again, it follows the pointer one for one.
    EXPECT_SPOT(drag.To(71, 352), 11, 302);
    EXPECT_SPOT(drag.To(90, 352), 30, 302);
    // Far past the screen's left edge it stays at 0.
    EXPECT_SPOT(drag.To(-500, 352), 0, 302);
}

TEST(Snap, RightAndBottomTargetsAreTheWorkAreaLeftAndTopTheScreen) {
    Drag drag{&kPrimary, 1, {500, 300}, {550, 350}};
    EXPECT_SPOT(drag.To(951, 350), 901, 300);
    EXPECT_SPOT(drag.To(952, 350), 902, 300);
    EXPECT_SPOT(drag.To(953, 350), 912, 300); // 1024 - 112
    EXPECT_SPOT(drag.To(953, 686), 912, 644); // above the task bar: 728 - 84
    EXPECT_SPOT(drag.To(5000, 5000), 912, 644);

    // A task bar along the top: the window snaps to y 0, under it.
    const MonitorArea topBar{{0, 0, 1024, 768}, {0, 40, 1024, 768}};
    Drag high{&topBar, 1, {300, 300}, {350, 350}};
    EXPECT_SPOT(high.To(350, 55), 300, 0);
    EXPECT_SPOT(high.To(350, 1100), 300, 684); // 768 - 84
}

TEST(Snap, OffTheWindowFollowsThePointerAnywhere) {
    Drag drag{&kPrimary, 1, {100, 100}, {120, 120}};
    drag.snap = false;
    EXPECT_SPOT(drag.To(105, 103), 85, 83);
    EXPECT_SPOT(drag.To(-3000, 2000), -3020, 1980);
    EXPECT_EQ(drag.anchor.x, -3000);
}

TEST(Snap, OnASecondMonitorTheWindowSnapsToThatMonitorsEdges) {
    const MonitorArea rightOf[] = {kPrimary, kRight};
    Drag drag{rightOf, 2, {1500, 500}, {1550, 550}};
    EXPECT_SPOT(drag.To(1085, 550), 1035, 500);
    EXPECT_SPOT(drag.To(1079, 550), 1024, 500);  // its own left edge, not the primary's right
    EXPECT_SPOT(drag.To(1079, 1000), 1024, 940); // its own bottom: 1024 - 84
    Drag far{rightOf, 2, {1500, 500}, {1550, 550}};
    EXPECT_SPOT(far.To(2232, 550), 2182, 500);
    EXPECT_SPOT(far.To(2236, 550), 2192, 500); // 2304 - 112

    const MonitorArea leftOf[] = {kPrimary, kLeft};
    Drag left{leftOf, 2, {-600, 400}, {-550, 450}};
    EXPECT_SPOT(left.To(-1220, 450), -1270, 400);
    EXPECT_SPOT(left.To(-1225, 450), -1280, 400);
    EXPECT_SPOT(left.To(-1225, -45), -1280, -100); // its top is above the primary's
    EXPECT_SPOT(left.To(-60, -45), -112, -100);    // and its right edge meets the primary
}

TEST(Snap, TheWindowGoesOverToTheMonitorThePointerCrossesTo) {
    const MonitorArea both[] = {kPrimary, kRight};
    Drag drag{both, 2, {800, 300}, {850, 350}};
    EXPECT_SPOT(drag.To(962, 350), 912, 300); // held at the primary's right edge
    EXPECT_SPOT(drag.To(1020, 350), 912, 300);
    // Over the right screen, it enters at that screen's left edge and holds
    // there for the snap distance.
    EXPECT_SPOT(drag.To(1030, 352), 1024, 300);
    EXPECT_SPOT(drag.To(1039, 353), 1024, 301);
    EXPECT_SPOT(drag.To(1045, 353), 1039, 301);
    // And back: the primary's right edge takes it, then it follows again.
    EXPECT_SPOT(drag.To(1020, 353), 912, 301);
    EXPECT_SPOT(drag.To(990, 353), 882, 301);
}

TEST(NearestMonitor, MostOverlapThenShortestDistanceThenTheFirst) {
    const MonitorArea three[] = {kPrimary, kRight, kLeft};
    EXPECT_EQ(&NearestMonitor(three, 3, Box{1000, 0, 1100, 50}), &three[1]);
    EXPECT_EQ(&NearestMonitor(three, 3, Box{950, 0, 1050, 50}), &three[0]);
    EXPECT_EQ(&NearestMonitor(three, 3, Box{-60, 0, 40, 50}), &three[2]);
    EXPECT_EQ(&NearestMonitor(three, 3, Box{-50, 0, 50, 50}), &three[0]); // a tie
    EXPECT_EQ(&NearestMonitor(three, 3, Box{5000, 5000, 5100, 5080}), &three[1]);
    EXPECT_EQ(&NearestMonitor(three, 3, Box{-9000, 800, -8900, 880}), &three[2]);
    EXPECT_EQ(&NearestMonitor(three, 3, Box{500, 800, 600, 880}), &three[0]);
    EXPECT_EQ(&NearestMonitor(three, 3, Box{900, 1100, 1000, 1180}), &three[1]);
}

TEST(CornerZone, EachCornerAndTheMiddle) {
    const Box wr{100, 100, 332, 253}; // 232 x 153
    auto zone = [&](int x, int y, const Box* shape = nullptr) {
        return CornerZone(Spot{x, y}, wr, shape, 232, 153);
    };
    EXPECT_EQ(zone(104, 104), 3);
    EXPECT_EQ(zone(104, 249), 1);
    EXPECT_EQ(zone(328, 104), 2);
    EXPECT_EQ(zone(328, 249), 0);
    // Along an edge the half of the window decides; far from the edges, none.
    EXPECT_EQ(zone(215, 105), 3);
    EXPECT_EQ(zone(217, 105), 2);
    EXPECT_EQ(zone(104, 178), 1);
    EXPECT_EQ(zone(104, 177), -1);
    EXPECT_EQ(zone(216, 176), -1);
    EXPECT_EQ(zone(112, 112), -1);

    // A skin's shape inset by 20 pixels moves the 12-pixel bands inwards.
    const Box shape{120, 120, 312, 233};
    EXPECT_EQ(zone(125, 160, &shape), 3);
    EXPECT_EQ(zone(140, 160, &shape), -1);
    EXPECT_EQ(zone(308, 228, &shape), 0);
    // A pointer left of the window: the halves compare without sign, so only
    // the band along the left edge can match.
    EXPECT_EQ(zone(90, 104), 3);
    EXPECT_EQ(zone(90, 240), 1);
}

TEST(GridResize, FourProcessorsFromTwoByTwoByTheBottomRightCorner) {
    int32_t colum = 2, row = 2;
    Box wr{100, 100, 332, 253};
    Spot anchor{330, 250};
    // 109 pixels is not a column yet; nothing changes, the anchor stays.
    EXPECT_FALSE(GridResizeStep(0, anchor, Spot{439, 250}, 4, &colum, &row));
    EXPECT_EQ(colum, 2);
    EXPECT_TRUE(GridResizeStep(0, anchor, Spot{440, 250}, 4, &colum, &row));
    EXPECT_EQ(colum, 3); // two cells empty, still fewer than a row
    EXPECT_EQ(row, 2);
    EXPECT_SPOT(GridResizePlace(0, wr, 342, 153, &anchor), 100, 100);
    EXPECT_SPOT(anchor, 441, 252); // the corner's own pixel
    wr = Box{100, 100, 442, 253};
    EXPECT_TRUE(GridResizeStep(0, anchor, Spot{551, 252}, 4, &colum, &row));
    EXPECT_EQ(colum, 4);
    EXPECT_EQ(row, 1);
    // Wider than the processors: nothing more to change.
    EXPECT_FALSE(GridResizeStep(0, Spot{552, 253}, Spot{800, 253}, 4, &colum, &row));
    // 72 pixels up give a row: 4 x 1 cannot take it.
    EXPECT_FALSE(GridResizeStep(0, Spot{552, 253}, Spot{552, 325}, 4, &colum, &row));
}

TEST(GridResize, TheOppositeCornerStaysWhereItWas) {
    int32_t colum = 4, row = 1;
    // Top-left: the grid grows when the pointer goes left and up.
    Spot anchor{100, 100};
    EXPECT_TRUE(GridResizeStep(3, anchor, Spot{50, 28}, 8, &colum, &row));
    EXPECT_EQ(colum, 4);
    EXPECT_EQ(row, 2);
    const Box wr{100, 100, 552, 177};
    EXPECT_SPOT(GridResizePlace(3, wr, 452, 149, &anchor), 100, 28);
    EXPECT_SPOT(anchor, 100, 28);
    // Bottom-left, 220 pixels to the left: two columns more, the right edge stays.
    colum = 2;
    row = 4;
    EXPECT_TRUE(GridResizeStep(1, Spot{400, 400}, Spot{180, 400}, 8, &colum, &row));
    EXPECT_EQ(colum, 4);
    EXPECT_EQ(row, 2);
    EXPECT_SPOT(GridResizePlace(1, Box{400, 100, 632, 397}, 452, 149, &anchor), 180, 100);
    EXPECT_SPOT(anchor, 180, 248);
    // Shrinking below one column keeps one.
    colum = 1;
    row = 8;
    EXPECT_FALSE(GridResizeStep(0, Spot{400, 400}, Spot{0, 400}, 8, &colum, &row));
}

TEST(Evade, JumpsAwayFromThePointerAndToTheOtherSideNearTheFarEdge) {
    const Box work = kPrimary.work;
    // Just left of the middle of the top edge: sideways, to the right.
    EXPECT_SPOT(EvadePlace(At(500, 300), W, H, Spot{55, 0}, work), 616, 300);
    // Near the right edge of the work area: to the left instead.
    EXPECT_SPOT(EvadePlace(At(905, 300), W, H, Spot{55, 0}, work), 789, 300);
    // Right half: to the left, or to the right when the left is too close.
    EXPECT_SPOT(EvadePlace(At(500, 300), W, H, Spot{60, 83}, work), 384, 300);
    EXPECT_SPOT(EvadePlace(At(100, 300), W, H, Spot{60, 83}, work), 216, 300);
    // On the left edge near the middle: up or down.
    EXPECT_SPOT(EvadePlace(At(500, 300), W, H, Spot{0, 40}, work), 500, 388);
    EXPECT_SPOT(EvadePlace(At(500, 640), W, H, Spot{0, 40}, work), 500, 552);
    EXPECT_SPOT(EvadePlace(At(500, 300), W, H, Spot{111, 50}, work), 500, 212);
    EXPECT_SPOT(EvadePlace(At(500, 90), W, H, Spot{111, 50}, work), 500, 178);
    // On a monitor to the right the far edges are that monitor's.
    EXPECT_SPOT(EvadePlace(At(2150, 300), W, H, Spot{55, 0}, kRight.work), 2266, 300);
    EXPECT_SPOT(EvadePlace(At(1030, 300), W, H, Spot{60, 83}, kRight.work), 1146, 300);
}

TEST(Rescue, AWindowWithoutASixteenPixelPieceOnAnyWorkAreaComesBack) {
    const MonitorArea both[] = {kPrimary, kRight};
    Spot place{-1, -1};
    // Off every monitor: onto the nearest, as close to where it was as fits.
    EXPECT_TRUE(RescuePlace(At(5000, 100), &kPrimary, 1, &place));
    EXPECT_SPOT(place, 912, 100);
    EXPECT_TRUE(RescuePlace(At(-500, -500), &kPrimary, 1, &place));
    EXPECT_SPOT(place, 0, 0);
    EXPECT_TRUE(RescuePlace(At(3000, 500), both, 2, &place));
    EXPECT_SPOT(place, 2192, 500);
    // Saved on a monitor since removed: the remaining one takes it.
    EXPECT_TRUE(RescuePlace(At(1500, 200), &kPrimary, 1, &place));
    EXPECT_SPOT(place, 912, 200);
    // Behind the task bar, on the screen but not on its work area.
    EXPECT_TRUE(RescuePlace(At(300, 720), &kPrimary, 1, &place));
    EXPECT_SPOT(place, 300, 644);

    // Half on, or just a 16 x 16 piece on a work area: left where it is.
    place = Spot{-1, -1};
    EXPECT_FALSE(RescuePlace(At(968, 300), &kPrimary, 1, &place));
    EXPECT_FALSE(RescuePlace(At(1008, 712), &kPrimary, 1, &place));
    EXPECT_FALSE(RescuePlace(At(1500, 200), both, 2, &place));
    EXPECT_FALSE(RescuePlace(At(970, 300), both, 2, &place)); // across both
    EXPECT_SPOT(place, -1, -1);
    EXPECT_TRUE(RescuePlace(At(1009, 712), &kPrimary, 1, &place)); // 15 wide
    EXPECT_TRUE(RescuePlace(At(1008, 713), &kPrimary, 1, &place)); // 15 high
    // No monitor listed: nothing to move it to.
    EXPECT_FALSE(RescuePlace(At(5000, 100), nullptr, 0, &place));
}

} // namespace
