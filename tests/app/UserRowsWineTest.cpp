// One table of the real program in a user's hands: each row starts a copy
// with its own settings, plays pointer, menu and options on it, and checks
// where the window and its file are left.
#include "tests/app/UserKit.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace userkit;

// The window grows where it stands; the pointer moves in small steps through
// the strip it gained: the window goes away once and stays away (shown at
// home is where it must not be) until the pointer leaves its place.
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

// The opacity at start, while hovered, after the pointer has left, and
// through the translucency command off and on again.
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
    const std::string home = "posx=300\r\nposy=300\r\n", translucent = "[Option]\r\ntrans=1\r\n";
    auto command = [](Vantor& v, unsigned id) { testkit::Post(v.window, WM_COMMAND, id, 0); };
    const Row rows[] = {
        // The hide and avoid modes after each kind of relayout, in one run:
        // each leaves the window at home for the next.
        {"relayouts", home + "acthide=1\r\n", "[Config\\Ext]\r\nkakusi=1\r\n", 4,
         [&](Vantor& v) {
             PointerInGainedStrip(v, [&] { command(v, 40028); }); // the memory line, hiding
             command(v, 40034);
             PointerInGainedStrip(v, [&] { command(v, 40020); }); // per processor, avoiding
             command(v, 40033);
             PointerInGainedStrip(v, [&] { SpaceSavingSwitchedByOptions(v); }); // hiding
         }},
        // Flush with the screen's bottom-right corner, the window keeps both
        // edges through each change of size, and the file follows it.
        {"grows_in_the_corner", "posx=912\r\nposy=684\r\n", "[Config\\Ext]\r\nkakusi=1\r\n", 4,
         [&](Vantor& v) {
             const std::function<void()> changes[] = {
                 [&] { command(v, 40028); }, // the memory line
                 [&] { command(v, 40020); }, // a meter per processor
                 [&] { SpaceSavingSwitchedByOptions(v); }};
             for (const auto& change : changes) {
                 const RECT was = RectOf(v.window);
                 change();
                 // Grown where it stood, it is then moved: the last state counts.
                 RECT r = {};
                 EXPECT_TRUE(testkit::WaitUntil(
                     [&] {
                         r = RectOf(v.window);
                         return r.bottom - r.top > was.bottom - was.top && r.right == 1024 &&
                                r.bottom == 768;
                     },
                     5000))
                     << r.left << "," << r.top << "-" << r.right << "," << r.bottom;
                 EXPECT_TRUE(WaitIni(v, "Window", "posx", std::to_string(r.left)));
                 EXPECT_TRUE(WaitIni(v, "Window", "posy", std::to_string(r.top)));
             }
         }},
        // Away, with the pointer elsewhere within its place: "避ける" chosen
        // again moves nothing. Hidden by the user, it goes home hidden, and
        // choosing a mode does not show it.
        {"away_then_hidden", home + "acthide=2\r\n", "", 1,
         [&](Vantor& v) {
             Move(300 + W / 2 - 1, 301);
             ASSERT_TRUE(WaitRect(v.window, 300 + W + 4, 300, W, H));
             Move(302, 300 + H - 2);
             WritePrivateProfileStringA("Window", "wintop", "7", v.ini.c_str());
             command(v, 40034);
             ASSERT_TRUE(WaitIni(v, "Window", "wintop", "0")); // saved: carried out
             EXPECT_TRUE(WaitRect(v.window, 300 + W + 4, 300, W, H));
             command(v, 40022);
             ASSERT_TRUE(Shown(v, false));
             Move(700, 650);
             EXPECT_TRUE(WaitRect(v.window, 300, 300, W, H));
             command(v, 40033);
             EXPECT_TRUE(WaitIni(v, "Window", "acthide", "1"));
             EXPECT_FALSE(IsWindowVisible(v.window));
         }},
        // A release that ends no press of this window saves nothing (the
        // menu asked for after it opens once it has been handled). acthide
        // out of range is the normal mode: the graph unfolds, the window is
        // dragged, and the file keeps the value.
        {"acthide_3", home + "acthide=3\r\n", "graph=1\r\n", 1,
         [](Vantor& v) {
             WritePrivateProfileStringA("Window", "posx", "1", v.ini.c_str());
             testkit::Post(v.window, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
             testkit::Post(v.window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
             ASSERT_NE(WaitMenu(), nullptr);
             Keys(WaitMenu(), {VK_ESCAPE});
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
        // Opacities out of 1..255 are bounded, never wrapped; a negative
        // hover opacity is undone like any other; acthide=-1 hovers as the
        // normal mode does.
        {"opacity_256_hover_negative", home + "acthide=-1\r\n" + translucent,
         "trans=256\r\ntrans2=-5\r\n", 1,
         [](Vantor& v) {
             Opacities(v, 255, 1);
             EXPECT_EQ(Ini(v, "Window", "acthide"), "-1");
         }},
        {"opacity_0_hover_300", home + translucent, "trans=0\r\ntrans2=300\r\n", 1,
         [](Vantor& v) { Opacities(v, 1, 255); }},
        // A 1 x 32 grid 2317 pixels tall made 2 x 16 from its top-right
        // corner: with its bottom kept it would end below the screen; it
        // comes up to the top instead, and is saved there.
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
        testkit::Post(v.window, WM_COMMAND, 40001, 0);
        ExpectExitCodeZero(v);
    }
}

} // namespace
