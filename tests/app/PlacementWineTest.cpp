// vantor.exe moved by the X pointer: a drag that snaps to an edge and saves
// its place, the hide and avoid modes, the graph unfolding on hover, a grid
// resized by its corner, and a window lost off-screen coming back.
#include "tests/app/AppDriver.h"

#include <gtest/gtest.h>

#include <string>

using namespace app_driver;

namespace {

// The default skin with fontsize 15: one meter with the graph band.
const int W = 112, H = 84, FoldedH = 44;

std::string Ini(const std::string& window, const std::string& option = "",
                const std::string& config = "") {
    // wintop marks the file as the program's own layout.
    return "[Window]\r\nwintop=0\r\n" + window + "[Option]\r\n" + option +
           "[Config]\r\ntmrate=1000\r\n" + config;
}

bool Move(int x, int y) {
    return Xdo("mousemove " + std::to_string(x) + " " + std::to_string(y));
}

bool Visible(HWND window) {
    return IsWindowVisible(window) != FALSE;
}

TEST(Drag, SnapsToTheLeftEdgeHoldsThereAndSavesThePlaceOnRelease) {
    Vantor v;
    ASSERT_TRUE(
        Start(&v, "drag_snap", Ini("posx=300\r\nposy=300\r\n", "snap=1\r\nsnapoffset=10\r\n")));
    ASSERT_TRUE(WaitPlace(v.window, 300, 300));

    Move(320, 320);
    Xdo("mousedown 1");
    Move(200, 322);
    EXPECT_TRUE(WaitPlace(v.window, 180, 302));
    Move(27, 322); // the window's left would be 7: it snaps to 0
    EXPECT_TRUE(WaitPlace(v.window, 0, 302));
    Move(205, 322); // only 5 past the last free point (200): still held
    Sleep(300);
    EXPECT_EQ(RectOf(v.window).left, 0);
    Move(215, 322);
    EXPECT_TRUE(WaitPlace(v.window, 15, 302));
    // Nothing is saved while the button is down.
    EXPECT_EQ(IniValue(v.ini, "Window", "posx"), "300");
    Move(30, 330);
    EXPECT_TRUE(WaitPlace(v.window, 0, 310));
    Xdo("mouseup 1");
    EXPECT_TRUE(WaitIniValue(v.ini, "Window", "posx", "0"));
    EXPECT_EQ(IniValue(v.ini, "Window", "posy"), "310");

    // Released, the window no longer follows the pointer.
    Move(500, 500);
    Sleep(300);
    EXPECT_EQ(RectOf(v.window).left, 0);
    Exit(v);
}

TEST(HoverModes, HideAndAvoidReactToThePointerAndComeBackWhenItLeaves) {
    Vantor v;
    ASSERT_TRUE(Start(&v, "hover_modes", Ini("posx=300\r\nposy=300\r\n")));
    ASSERT_TRUE(WaitPlace(v.window, 300, 300));

    // Normal mode: the pointer over the window changes nothing.
    Move(350, 320);
    Sleep(300);
    EXPECT_TRUE(Visible(v.window));
    // "隠す" chosen with the pointer already over the window hides it at once.
    testkit::Post(v.window, WM_COMMAND, 40033, 0);
    EXPECT_TRUE(testkit::WaitUntil([&] { return !Visible(v.window); }, 2000));
    EXPECT_TRUE(WaitIniValue(v.ini, "Window", "acthide", "1"));
    // Wine on a desktop without a window manager holds a program that hides
    // a window for up to 2 s; the return is timed after that.
    Sleep(2100);
    Move(405, 380); // within the window's place: it stays away
    Sleep(400);
    EXPECT_FALSE(Visible(v.window));
    Move(600, 600);
    DWORD left = GetTickCount();
    EXPECT_TRUE(testkit::WaitUntil([&] { return Visible(v.window); }, 2000));
    EXPECT_LT(GetTickCount() - left, 1000u);
    EXPECT_TRUE(WaitPlace(v.window, 300, 300));
    // Touched again, it hides again.
    Move(310, 310);
    EXPECT_TRUE(testkit::WaitUntil([&] { return !Visible(v.window); }, 2000));
    Move(610, 610);
    EXPECT_TRUE(testkit::WaitUntil([&] { return Visible(v.window); }, 5000));

    // Avoid: touched just left of the middle of its top edge, it jumps 4
    // pixels to the right of its place, and comes back once the pointer has
    // left that place.
    testkit::Post(v.window, WM_COMMAND, 40034, 0);
    EXPECT_TRUE(WaitIniValue(v.ini, "Window", "acthide", "2"));
    Move(300 + W / 2 - 1, 301);
    EXPECT_TRUE(WaitPlace(v.window, 300 + W + 4, 300));
    Move(302, 300 + H / 2 - 2); // still within its place: stays aside
    Sleep(300);
    EXPECT_EQ(RectOf(v.window).left, 300 + W + 4);
    Move(700, 650);
    EXPECT_TRUE(WaitPlace(v.window, 300, 300));
    // Touched on its left edge just above the middle: it jumps down.
    Move(301, 300 + H / 2 - 2);
    EXPECT_TRUE(WaitPlace(v.window, 300, 300 + H + 4));
    Move(700, 650);
    EXPECT_TRUE(WaitPlace(v.window, 300, 300));

    // Back to normal: the pointer may rest on the window again. None of the
    // jumps touched the saved place.
    testkit::Post(v.window, WM_COMMAND, 40035, 0);
    EXPECT_TRUE(WaitIniValue(v.ini, "Window", "acthide", "0"));
    Move(350, 320);
    Sleep(300);
    EXPECT_TRUE(Visible(v.window));
    EXPECT_EQ(RectOf(v.window).left, 300);
    EXPECT_EQ(IniValue(v.ini, "Window", "posx"), "300");
    Exit(v);
}

TEST(HoverModes, AvoidNearTheRightEdgeJumpsToTheLeft) {
    Vantor v;
    ASSERT_TRUE(Start(&v, "avoid_edge", Ini("posx=905\r\nposy=300\r\nacthide=2\r\n")));
    ASSERT_TRUE(WaitPlace(v.window, 905, 300));
    Move(905 + W / 2 - 1, 301);
    EXPECT_TRUE(WaitPlace(v.window, 905 - W - 4, 300));
    Move(300, 650);
    EXPECT_TRUE(WaitPlace(v.window, 905, 300));
    Exit(v);
}

BYTE Opacity(HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    GetLayeredWindowAttributes(window, nullptr, &alpha, &flags);
    return alpha;
}

TEST(HoverModes, ShowGraphOnHoverUnfoldsAboveTheScreenBottomAndFoldsBack) {
    Vantor v;
    ASSERT_TRUE(Start(
        &v, "hover_graph",
        Ini("posx=300\r\nposy=700\r\n", "trans=1\r\n", "graph=1\r\ntrans=200\r\ntrans2=120\r\n")));
    ASSERT_TRUE(WaitSize(v.window, W, FoldedH));
    EXPECT_EQ(Opacity(v.window), 200);

    // Unfolded, the window ends at the bottom of the screen (the work area
    // of a desktop without a task bar) and turns to the hover opacity.
    Move(350, 720);
    EXPECT_TRUE(WaitSize(v.window, W, H));
    EXPECT_TRUE(WaitPlace(v.window, 300, 768 - H));
    EXPECT_EQ(Opacity(v.window), 120);
    testkit::Screenshot("hover_graph_unfolded");

    Move(600, 300);
    EXPECT_TRUE(WaitSize(v.window, W, FoldedH));
    EXPECT_TRUE(WaitPlace(v.window, 300, 700));
    EXPECT_EQ(Opacity(v.window), 200);

    // A press folds the graph at once; the drag then moves the folded window.
    // (Wine reports no movement to a point where it last saw the pointer.)
    Move(352, 722);
    EXPECT_TRUE(WaitSize(v.window, W, H));
    Xdo("mousedown 1");
    EXPECT_TRUE(WaitSize(v.window, W, FoldedH));
    Move(342, 602);
    Xdo("mouseup 1");
    EXPECT_TRUE(WaitIniValue(v.ini, "Window", "posx", "290"));
    Exit(v);
}

TEST(GridResize, DraggingTheBottomRightCornerOfFourProcessorsChangesColumAndRow) {
    Vantor v;
    ASSERT_TRUE(Start(
        &v, "grid_resize",
        Ini("posx=100\r\nposy=100\r\ncolum=2\r\nrow=2\r\n", "multi=1\r\n", "layout=1\r\n"), 4));
    RECT r = RectOf(v.window);
    const int w0 = r.right - r.left, h0 = r.bottom - r.top;
    ASSERT_EQ(r.left, 100);

    Move(r.right - 3, r.bottom - 3); // the corner is offered
    Xdo("mousedown 1");
    Xdo("mousemove_relative 109 0");
    Sleep(300);
    EXPECT_EQ(RectOf(v.window).right - r.left, w0) << "109 pixels are not a column";
    Xdo("mousemove_relative 1 0");
    EXPECT_TRUE(WaitSize(v.window, w0 + 110, h0)); // 3 x 2
    // The pointer is put on the dragged corner; the top-left corner stayed.
    r = RectOf(v.window);
    POINT at;
    GetCursorPos(&at);
    EXPECT_EQ(at.x, r.right - 1);
    EXPECT_EQ(at.y, r.bottom - 1);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 100);
    Xdo("mouseup 1");
    EXPECT_TRUE(WaitIniValue(v.ini, "Window", "colum", "3"));
    EXPECT_EQ(IniValue(v.ini, "Window", "row"), "2");

    // Another column: four processors need only one row.
    Move(r.right - 2, r.bottom - 2);
    Xdo("mousedown 1");
    Xdo("mousemove_relative 110 0");
    const int rowH = 72;                                  // one row of meter and graph band
    EXPECT_TRUE(WaitSize(v.window, w0 + 220, h0 - rowH)); // 4 x 1
    EXPECT_EQ(RectOf(v.window).left, 100);
    EXPECT_EQ(RectOf(v.window).top, 100);
    Xdo("mouseup 1");
    EXPECT_TRUE(WaitIniValue(v.ini, "Window", "colum", "4"));
    EXPECT_EQ(IniValue(v.ini, "Window", "row"), "1");
    EXPECT_EQ(IniValue(v.ini, "Window", "posx"), "100");

    // Away from the corners a press moves the window.
    Move(160, 120);
    Xdo("mousedown 1");
    Move(170, 130);
    Xdo("mouseup 1");
    EXPECT_TRUE(WaitIniValue(v.ini, "Window", "posx", "110"));
    Exit(v);
}

TEST(Rescue, AWindowOffTheScreenComesBackAndKeepsItsSavedPlace) {
    Vantor v;
    ASSERT_TRUE(Start(&v, "rescue", Ini("posx=5000\r\nposy=300\r\n")));
    // Started on the screen, as near to its place as it fits.
    EXPECT_TRUE(WaitPlace(v.window, 1024 - W, 300));
    testkit::Screenshot("rescue_start");
    // A save by a menu command keeps the place it was given.
    testkit::Post(v.window, WM_COMMAND, 40012, 0);
    EXPECT_TRUE(WaitIniValue(v.ini, "Window", "wintop", "1"));
    EXPECT_EQ(IniValue(v.ini, "Window", "posx"), "5000");

    // Dragged until only 3 pixels show, then the display changes: it comes
    // back whole, and the file keeps where the user put it.
    Move(1024 - W + 5, 320);
    Xdo("mousedown 1");
    Move(1023, 320);
    Xdo("mouseup 1");
    EXPECT_TRUE(WaitIniValue(v.ini, "Window", "posx", "1018"));
    testkit::Post(v.window, WM_DISPLAYCHANGE, 24, MAKELPARAM(1024, 768));
    EXPECT_TRUE(WaitPlace(v.window, 1024 - W, 300));
    Sleep(200);
    EXPECT_EQ(IniValue(v.ini, "Window", "posx"), "1018");
    Exit(v);
}

} // namespace
