// The real program under the X pointer: each row starts a copy with its own settings,
// plays pointer, menu and options on it, and checks where the window and its file are left.
#include "tests/app/UserKit.h"

#include <functional>

namespace {

using namespace userkit;

// The window grows where it stands; the pointer moving in small steps through
// the strip it gained sends it away once, until the pointer leaves its place.
void PointerInGainedStrip(Vantor& v, const std::function<void()>& relayout) {
    const LONG bottom = RectOf(v.window).bottom;
    relayout();
    ASSERT_TRUE(testkit::WaitUntil([&] { return RectOf(v.window).bottom > bottom; }, 5000));
    const RECT home = RectOf(v.window);
    auto atHome = [&] {
        const RECT r = RectOf(v.window);
        return IsWindowVisible(v.window) && r.left == home.left && r.top == home.top;
    };
    Move(home.left + 20, home.bottom - 4);
    ASSERT_TRUE(testkit::WaitUntil([&] { return !atHome(); }, 5000));
    for (int step = 1; step <= 10; ++step) {
        Move(home.left + 20 + step, home.bottom - 4 - step % 2);
        EXPECT_FALSE(testkit::WaitUntil(atHome, 200)) << "step " << step;
    }
    Move(700, 650);
    EXPECT_TRUE(testkit::WaitUntil(atHome, 5000));
}

// The opacity at start, hovered, left, and through "半透明表示" off and on.
void Opacities(Vantor& v, BYTE normal, BYTE hovered) {
    EXPECT_EQ(Opacity(v.window), normal);
    Move(350, 320);
    EXPECT_TRUE(testkit::WaitUntil([&] { return Opacity(v.window) == hovered; }, 3000));
    Move(700, 650);
    EXPECT_TRUE(testkit::WaitUntil([&] { return Opacity(v.window) == normal; }, 3000));
    for (const char* on : {"0", "1"}) {
        testkit::Post(v.window, WM_COMMAND, 40027, 0);
        ASSERT_TRUE(WaitIni(v, "Option", "trans", on));
        EXPECT_EQ(Opacity(v.window), *on == '1' ? normal : 255);
    }
}

// The bottom-right corner of four processors, 2 x 2, makes 3 x 2 and 4 x 1 in
// one press that goes on past the window and is released there; a popup menu
// opened afterwards leaves the grid as it was made.
void GridByItsCorner(Vantor& v) {
    RECT r = RectOf(v.window);
    const int w = r.right - r.left, h = r.bottom - r.top;
    Move(r.right - 3, r.bottom - 3); // the corner is offered
    Xdo("mousedown 1");
    Xdo("mousemove_relative 109 0");
    Sleep(300);
    EXPECT_EQ(RectOf(v.window).right, r.right) << "109 pixels are not a column";
    Xdo("mousemove_relative 1 0");
    EXPECT_TRUE(WaitRect(v.window, 100, 100, w + 110, h));      // 3 x 2
    Xdo("mousemove_relative 110 0");                            // off the window, still held
    EXPECT_TRUE(WaitRect(v.window, 100, 100, w + 220, h - 72)); // 4 x 1
    POINT at;
    GetCursorPos(&at);
    EXPECT_EQ(at.x, r.right - 3 + 220) << "the pointer stays where the user put it";
    Xdo("mouseup 1");
    EXPECT_TRUE(WaitIni(v, "Window", "colum", "4"));
    EXPECT_EQ(Ini(v, "Window", "row"), "1");
    ASSERT_NE(OpenMenuByRightClick(r.left + 20, r.top + 20), nullptr);
    Sleep(300);
    EXPECT_TRUE(WaitRect(v.window, 100, 100, w + 220, h - 72));
    Keys(testkit::WaitForMenu(3000), {VK_ESCAPE});
}

// "省スペース" switched on the options' first page, and OK.
void SpaceSavingSwitchedByOptions(Vantor& v) {
    testkit::Post(v.window, WM_COMMAND, 40010, 0);
    HWND dialog = testkit::WaitForWindow("#32770", "Vantorモニタ 設定", 10000), page = nullptr;
    ASSERT_TRUE(dialog && testkit::WaitUntil([&] { return IsWindowVisible(dialog); }, 5000));
    while ((page = FindWindowExA(GetDlgItem(dialog, 1026), page, "#32770", nullptr)) &&
           !GetDlgItem(page, 1059)) {
    }
    ASSERT_TRUE(testkit::SendWithTimeout(GetDlgItem(page, 1058), BM_CLICK, 0, 0, 5000, nullptr));
    testkit::Post(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(testkit::WaitUntil([&] { return !IsWindow(dialog); }, 10000));
}

TEST(Pointer, EveryRowLeavesTheWindowAndTheFileWhereTheyBelong) {
    struct Row {
        const char* name;
        std::string window, config; // after [Window] and [Config]
        int cpus;
        std::function<void(Vantor&)> play;
    };
    const std::string
        home = "posx=300\r\nposy=300\r\n",
        translucent = "[Option]\r\ntrans=1\r\n", kakusi = "[Config\\Ext]\r\nkakusi=1\r\n",
        grid = "posx=100\r\nposy=100\r\ncolum=2\r\nrow=2\r\n[Option]\r\nmulti=1\r\nmemory=";
    auto command = [](Vantor& v, unsigned id) { testkit::Post(v.window, WM_COMMAND, id, 0); };
    const Row rows[] = {
        {"drag_snap_release", home + "[Option]\r\nsnap=1\r\n", "", 1,
         [](Vantor& v) {
             Move(320, 320);
             Xdo("mousedown 1");
             Move(200, 322);
             EXPECT_TRUE(WaitRect(v.window, 180, 302, W, H));
             Move(27, 322); // the left edge would be at 7: it snaps to 0
             EXPECT_TRUE(WaitRect(v.window, 0, 302, W, H));
             Move(205, 322); // 5 past the last free point: still held
             Sleep(300);
             EXPECT_EQ(RectOf(v.window).left, 0);
             Move(215, 330);
             EXPECT_TRUE(WaitRect(v.window, 15, 310, W, H));
             EXPECT_EQ(Ini(v, "Window", "posx"), "300"); // nothing saved while held
             Xdo("mouseup 1");
             EXPECT_TRUE(WaitIni(v, "Window", "posx", "15"));
             EXPECT_EQ(Ini(v, "Window", "posy"), "310");
             Move(500, 500); // released, it no longer follows
             Sleep(300);
             EXPECT_EQ(RectOf(v.window).left, 15);
         }},
        {"hide_and_avoid", home, "", 1,
         [](Vantor& v) {
             Move(350, 320);
             Sleep(300);
             EXPECT_TRUE(IsWindowVisible(v.window)); // the normal mode lets it be
             // "隠す" chosen with the pointer over the window hides it at once.
             testkit::Post(v.window, WM_COMMAND, 40033, 0);
             EXPECT_TRUE(Shown(v, false));
             EXPECT_TRUE(WaitIni(v, "Window", "acthide", "1"));
             // Wine without a window manager holds a program that hides a window for
             // up to 2 s; the return is timed after that.
             Sleep(2100);
             Move(405, 380); // within its place: it stays away
             Sleep(400);
             EXPECT_FALSE(IsWindowVisible(v.window));
             Move(600, 600);
             DWORD left = GetTickCount();
             EXPECT_TRUE(Shown(v, true));
             EXPECT_LT(GetTickCount() - left, 1000u);
             // "避ける": touched just left of the middle of its top edge, it jumps 4
             // pixels to the right; chosen again, away, it moves nothing.
             testkit::Post(v.window, WM_COMMAND, 40034, 0);
             EXPECT_TRUE(WaitIni(v, "Window", "acthide", "2"));
             Move(300 + W / 2 - 1, 301);
             EXPECT_TRUE(WaitRect(v.window, 300 + W + 4, 300, W, H));
             Move(302, 300 + H - 2);
             Sleep(300);
             EXPECT_EQ(RectOf(v.window).left, 300 + W + 4);
             WritePrivateProfileStringA("Window", "wintop", "7", v.ini.c_str());
             testkit::Post(v.window, WM_COMMAND, 40034, 0);
             ASSERT_TRUE(WaitIni(v, "Window", "wintop", "0")); // saved: carried out
             EXPECT_TRUE(WaitRect(v.window, 300 + W + 4, 300, W, H));
             // Hidden by the user, it goes home hidden once the pointer has left
             // its place, and choosing a mode does not show it.
             testkit::Post(v.window, WM_COMMAND, 40022, 0);
             ASSERT_TRUE(Shown(v, false));
             Move(700, 650);
             EXPECT_TRUE(WaitRect(v.window, 300, 300, W, H));
             EXPECT_EQ(Ini(v, "Window", "posx"), "300");
             testkit::Post(v.window, WM_COMMAND, 40033, 0);
             EXPECT_TRUE(WaitIni(v, "Window", "acthide", "1"));
             EXPECT_FALSE(IsWindowVisible(v.window));
         }},
        {"unfold_above_the_bottom", "posx=300\r\nposy=700\r\n" + translucent,
         "graph=1\r\ntrans=200\r\ntrans2=120\r\n", 1,
         [](Vantor& v) {
             ASSERT_TRUE(WaitRect(v.window, 300, 700, W, FoldedH));
             const std::vector<RECT> shown = ShownPlaces(v, [&] {
                 Move(350, 720);
                 EXPECT_TRUE(WaitRect(v.window, 300, 768 - H, W, H)); // ends at the screen's bottom
             });
             ASSERT_FALSE(shown.empty());
             for (const RECT& s : shown) // unfolded and lifted in one step
                 EXPECT_TRUE(OnTheScreen(s)) << s.top << " " << s.bottom;
             EXPECT_EQ(Opacity(v.window), 120);
             testkit::Screenshot("hover_graph_unfolded");
             Move(600, 300);
             EXPECT_TRUE(WaitRect(v.window, 300, 700, W, FoldedH));
             EXPECT_EQ(Opacity(v.window), 200);
             // A press folds it at once; on the band, it moves the folded window
             // up under the pointer (elsewhere each time: Wine reports no move to
             // where it last saw the pointer). Either saves where it rests.
             for (int pressY : {722, 760}) {
                 Move(352, 720);
                 EXPECT_TRUE(WaitRect(v.window, 300, 768 - H, W, H));
                 Move(350, pressY);
                 Xdo("mousedown 1");
                 EXPECT_TRUE(WaitRect(v.window, 300, pressY == 760 ? 740 : 768 - H, W, FoldedH));
                 WritePrivateProfileStringA("Window", "posy", "1", v.ini.c_str());
                 Xdo("mouseup 1");
                 EXPECT_TRUE(WaitIni(v, "Window", "posy", "700"));
                 Move(600, 300);
                 EXPECT_TRUE(WaitRect(v.window, 300, 700, W, FoldedH));
             }
         }},
        // Without and with the memory line, which makes the window taller.
        {"grid", grid + "0\r\n", "layout=1\r\n" + kakusi, 4, GridByItsCorner},
        {"grid_memory", grid + "1\r\n", "layout=1\r\n" + kakusi, 4, GridByItsCorner},
        {"rescue_keeps_the_saved_place", "posx=5000\r\nposy=300\r\n", "", 1,
         [](Vantor& v) {
             EXPECT_TRUE(WaitRect(v.window, 1024 - W, 300, W, H));
             testkit::Post(v.window, WM_COMMAND, 40012, 0); // a save keeps the given place
             EXPECT_TRUE(WaitIni(v, "Window", "wintop", "1"));
             EXPECT_EQ(Ini(v, "Window", "posx"), "5000");
             // Dragged until 6 pixels show, then the display changes: it comes
             // back whole, and the file keeps where the user put it.
             Move(1024 - W + 5, 320);
             Xdo("mousedown 1");
             Move(1023, 320);
             Xdo("mouseup 1");
             EXPECT_TRUE(WaitIni(v, "Window", "posx", "1018"));
             testkit::Post(v.window, WM_DISPLAYCHANGE, 24, MAKELPARAM(1024, 768));
             EXPECT_TRUE(WaitRect(v.window, 1024 - W, 300, W, H));
             Sleep(200);
             EXPECT_EQ(Ini(v, "Window", "posx"), "1018");
         }},
        // Hide and avoid after each kind of relayout, each leaving it at home.
        {"relayouts", home + "acthide=1\r\n", kakusi, 4,
         [&](Vantor& v) {
             PointerInGainedStrip(v, [&] { command(v, 40028); }); // the memory line, hiding
             command(v, 40034);
             PointerInGainedStrip(v, [&] { command(v, 40020); }); // per processor, avoiding
             command(v, 40033);
             PointerInGainedStrip(v, [&] { SpaceSavingSwitchedByOptions(v); }); // hiding
         }},
        // Flush with the screen's bottom-right corner, the window keeps both edges
        // through the memory line, a meter per processor and "省スペース", saved so.
        {"grows_in_the_corner", "posx=912\r\nposy=684\r\n", kakusi, 4,
         [&](Vantor& v) {
             for (unsigned id : {40028u, 40020u, 0u}) {
                 const RECT was = RectOf(v.window);
                 RECT r = {};
                 // Grown and moved in one step: never shown past the screen's edge.
                 const std::vector<RECT> shown = ShownPlaces(v, [&] {
                     id ? command(v, id) : SpaceSavingSwitchedByOptions(v);
                     EXPECT_TRUE(testkit::WaitUntil(
                         [&] {
                             r = RectOf(v.window);
                             return r.bottom - r.top > was.bottom - was.top && r.right == 1024 &&
                                    r.bottom == 768;
                         },
                         5000));
                 });
                 ASSERT_FALSE(shown.empty());
                 EXPECT_TRUE(EqualRect(&shown.back(), &r));
                 for (const RECT& s : shown)
                     EXPECT_TRUE(OnTheScreen(s)) << s.left << "," << s.top << " " << s.right;
                 EXPECT_TRUE(WaitIni(v, "Window", "posx", std::to_string(r.left)));
                 EXPECT_TRUE(WaitIni(v, "Window", "posy", std::to_string(r.top)));
             }
         }},
        // A release that ends no press of this window saves nothing (the menu
        // opens once it is handled). acthide out of range is the normal mode:
        // the graph unfolds, the window is dragged, the file keeps the value.
        {"acthide_3", home + "acthide=3\r\n", "graph=1\r\n", 1,
         [](Vantor& v) {
             WritePrivateProfileStringA("Window", "posx", "1", v.ini.c_str());
             testkit::Post(v.window, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
             ASSERT_FALSE(testkit::MenuItemsOf(v.window).empty());
             EXPECT_EQ(Ini(v, "Window", "posx"), "1");
             ASSERT_TRUE(WaitRect(v.window, 300, 300, W, FoldedH));
             Move(350, 320);
             EXPECT_TRUE(WaitRect(v.window, 300, 300, W, H));
             Xdo("mousedown 1");
             Move(400, 350);
             EXPECT_TRUE(WaitRect(v.window, 350, 330, W, FoldedH));
             Xdo("mouseup 1");
             EXPECT_TRUE(WaitIni(v, "Window", "posx", "350"));
             EXPECT_EQ(Ini(v, "Window", "posy"), "330");
             EXPECT_EQ(Ini(v, "Window", "acthide"), "3");
         }},
        // Opacities out of 1..255 are bounded, never wrapped; acthide=-1 is normal.
        {"opacity_256_hover_negative", home + "acthide=-1\r\n" + translucent,
         "trans=256\r\ntrans2=-5\r\n", 1,
         [](Vantor& v) {
             Opacities(v, 255, 1);
             EXPECT_EQ(Ini(v, "Window", "acthide"), "-1");
         }},
        {"opacity_0_hover_300", home + translucent, "trans=0\r\ntrans2=300\r\n", 1,
         [](Vantor& v) { Opacities(v, 1, 255); }},
        // A 1 x 32 grid 2317 pixels tall made 2 x 16 from its top-right corner
        // would end below the screen: it comes up to the top, saved there.
        {"tall_grid_widened_from_the_top",
         "posx=100\r\nposy=100\r\ncolum=1\r\nrow=32\r\n[Option]\r\nmulti=1\r\n", "layout=1\r\n", 32,
         [](Vantor& v) {
             ASSERT_TRUE(WaitRect(v.window, 100, 100, W, 2317));
             Move(100 + W - 3, 103);
             Xdo("mousedown 1");
             Xdo("mousemove_relative 120 0");
             EXPECT_TRUE(WaitRect(v.window, 100, 0, W + 110, 1165));
             Xdo("mouseup 1");
             EXPECT_TRUE(WaitIni(v, "Window", "row", "16"));
             EXPECT_EQ(Ini(v, "Window", "posy"), "0");
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Vantor v;
        ASSERT_TRUE(Start(&v, row.name, row.window, row.config, row.cpus));
        row.play(v);
        Exit(v);
    }
}

} // namespace
