// The real vantor.exe in a user's hands: the X pointer (xdotool) drags and
// snaps it, resizes its grid by a corner, makes it hide, step aside and
// unfold its graph; its popup menu is opened by a right click and read from
// inside by the menu probe hook (tools/menuprobe); every switch of the menu
// changes its setting, its mark and its line of vantor.ini and nothing else.
#include "tests/testkit/testkit.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>
#include <string>

namespace {

const int W = 112, H = 84, FoldedH = 44; // default skin: one meter, graph band or not

std::string Bin() {
    return testkit::BuildDir() + "\\..\\..\\bin";
}

struct Vantor {
    testkit::Process process;
    HWND window = nullptr;
    std::string ini;
};

// Wine starts a Linux program given by its path as it would a Windows one.
bool Xdo(const std::string& args) {
    std::string line = "/usr/bin/xdotool " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    bool done = WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    Sleep(60); // the program reads the X events on its next turn
    return done;
}

bool Move(int x, int y) {
    return Xdo("mousemove " + std::to_string(x) + " " + std::to_string(y));
}

// A copy with its own vantor.ini ([Window] with wintop marks the program's
// own layout) and `cpus` scripted processors; waits until the window shows.
bool Start(Vantor* v, const char* name, const std::string& window, const std::string& rest,
           int cpus = 1) {
    Move(1015, 760); // away from every test window
    std::string dir = testkit::FreshTempDir(name), loads = "cpus " + std::to_string(cpus) + "\n";
    for (int i = 0; i < cpus; ++i)
        loads += std::to_string(30 + 10 * i) + " ";
    v->ini = testkit::WriteTextFile(dir + "\\vantor.ini", "[Window]\r\nwintop=0\r\n" + window +
                                                              "[Config]\r\ntmrate=1000\r\n" + rest);
    testkit::RunOptions o;
    o.exe = dir + "\\vantor.exe";
    o.workDir = dir;
    o.providerScript = testkit::WriteTextFile(dir + "\\loads.txt", loads + "\n");
    if (!CopyFileA((Bin() + "\\vantor.exe").c_str(), o.exe.c_str(), FALSE) ||
        !testkit::Start(o, &v->process))
        return false;
    v->window = testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000);
    return v->window && testkit::WaitUntil([&] { return IsWindowVisible(v->window); }, 5000);
}

void ExpectExitCodeZero(Vantor& v) {
    DWORD code = 99;
    ASSERT_TRUE(testkit::WaitExit(v.process, 10000, &code));
    EXPECT_EQ(code, 0u);
}

RECT RectOf(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

bool WaitRect(HWND window, int left, int top, int width, int height) {
    return testkit::WaitUntil(
        [&] {
            RECT r = RectOf(window);
            return r.left == left && r.top == top && r.right - r.left == width &&
                   r.bottom - r.top == height;
        },
        5000);
}

std::string Ini(const Vantor& v, const char* section, const char* key) {
    char value[64] = {};
    GetPrivateProfileStringA(section, key, "", value, sizeof value, v.ini.c_str());
    return value;
}

bool WaitIni(const Vantor& v, const char* section, const char* key, const std::string& want) {
    return testkit::WaitUntil([&] { return Ini(v, section, key) == want; }, 3000);
}

bool Shown(const Vantor& v, bool shown) {
    return testkit::WaitUntil([&] { return (IsWindowVisible(v.window) != FALSE) == shown; }, 5000);
}

TEST(Drag, SnapsToTheLeftEdgeHoldsThereAndSavesThePlaceOnRelease) {
    Vantor v;
    ASSERT_TRUE(Start(&v, "drag", "posx=300\r\nposy=300\r\n[Option]\r\nsnap=1\r\n", ""));
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
    testkit::Post(v.window, WM_COMMAND, 40001, 0);
    ExpectExitCodeZero(v);
}

TEST(HoverModes, HideAndAvoidReactToThePointerAndComeBackWhenItLeaves) {
    Vantor v;
    ASSERT_TRUE(Start(&v, "hover", "posx=300\r\nposy=300\r\n", ""));
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
    // pixels to the right, and comes home once the pointer has left its place.
    testkit::Post(v.window, WM_COMMAND, 40034, 0);
    EXPECT_TRUE(WaitIni(v, "Window", "acthide", "2"));
    Move(300 + W / 2 - 1, 301);
    EXPECT_TRUE(WaitRect(v.window, 300 + W + 4, 300, W, H));
    Move(302, 340);
    Sleep(300);
    EXPECT_EQ(RectOf(v.window).left, 300 + W + 4);
    Move(700, 650);
    EXPECT_TRUE(WaitRect(v.window, 300, 300, W, H));
    EXPECT_EQ(Ini(v, "Window", "posx"), "300");
    testkit::Post(v.window, WM_COMMAND, 40001, 0);
    ExpectExitCodeZero(v);
}

BYTE Opacity(HWND window) {
    BYTE alpha = 0;
    GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr);
    return alpha;
}

TEST(HoverModes, ShowGraphOnHoverUnfoldsAboveTheScreenBottomAndFoldsBack) {
    Vantor v;
    ASSERT_TRUE(Start(&v, "unfold", "posx=300\r\nposy=700\r\n[Option]\r\ntrans=1\r\n",
                      "graph=1\r\ntrans=200\r\ntrans2=120\r\n"));
    ASSERT_TRUE(WaitRect(v.window, 300, 700, W, FoldedH));
    Move(350, 720);
    EXPECT_TRUE(WaitRect(v.window, 300, 768 - H, W, H)); // ends at the screen's bottom
    EXPECT_EQ(Opacity(v.window), 120);
    testkit::Screenshot("hover_graph_unfolded");
    Move(600, 300);
    EXPECT_TRUE(WaitRect(v.window, 300, 700, W, FoldedH));
    EXPECT_EQ(Opacity(v.window), 200);
    // A press folds it at once; on the band, it moves the folded window up
    // under the pointer. (Wine reports no movement to the point where it
    // last saw the pointer, so each goes elsewhere.) Either click saves where
    // the window rests, not where hovering has put it.
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
    testkit::Post(v.window, WM_COMMAND, 40001, 0);
    ExpectExitCodeZero(v);
}

TEST(GridResize, TheBottomRightCornerOfFourProcessorsChangesColumAndRow) {
    Vantor v;
    ASSERT_TRUE(Start(&v, "grid",
                      "posx=100\r\nposy=100\r\ncolum=2\r\nrow=2\r\n[Option]\r\nmulti=1\r\n",
                      "layout=1\r\n", 4));
    RECT r = RectOf(v.window);
    const int w = r.right - r.left, h = r.bottom - r.top;
    Move(r.right - 3, r.bottom - 3); // the corner is offered
    Xdo("mousedown 1");
    Xdo("mousemove_relative 109 0");
    Sleep(300);
    EXPECT_EQ(RectOf(v.window).right, r.right) << "109 pixels are not a column";
    Xdo("mousemove_relative 1 0");
    EXPECT_TRUE(WaitRect(v.window, 100, 100, w + 110, h)); // 3 x 2
    POINT at;
    GetCursorPos(&at); // put on the dragged corner
    EXPECT_EQ(at.x, 100 + w + 110 - 1);
    Xdo("mouseup 1");
    EXPECT_TRUE(WaitIni(v, "Window", "colum", "3"));
    // Under Wine the pointer put by the program ends the button's hold, so
    // the next column takes a new press.
    Move(at.x - 1, at.y - 1);
    Xdo("mousedown 1");
    Xdo("mousemove_relative 110 0");
    EXPECT_TRUE(WaitRect(v.window, 100, 100, w + 220, h - 72)); // 4 x 1
    Xdo("mouseup 1");
    EXPECT_TRUE(WaitIni(v, "Window", "colum", "4"));
    EXPECT_EQ(Ini(v, "Window", "row"), "1");
    testkit::Post(v.window, WM_COMMAND, 40001, 0);
    ExpectExitCodeZero(v);
}

TEST(Rescue, AWindowOffTheScreenComesBackAndKeepsItsSavedPlace) {
    Vantor v;
    ASSERT_TRUE(Start(&v, "rescue", "posx=5000\r\nposy=300\r\n", ""));
    EXPECT_TRUE(WaitRect(v.window, 1024 - W, 300, W, H));
    testkit::Post(v.window, WM_COMMAND, 40012, 0); // a save keeps the given place
    EXPECT_TRUE(WaitIni(v, "Window", "wintop", "1"));
    EXPECT_EQ(Ini(v, "Window", "posx"), "5000");
    // Dragged until 6 pixels show, then the display changes: it comes back
    // whole, and the file keeps where the user put it.
    Move(1024 - W + 5, 320);
    Xdo("mousedown 1");
    Move(1023, 320);
    Xdo("mouseup 1");
    EXPECT_TRUE(WaitIni(v, "Window", "posx", "1018"));
    testkit::Post(v.window, WM_DISPLAYCHANGE, 24, MAKELPARAM(1024, 768));
    EXPECT_TRUE(WaitRect(v.window, 1024 - W, 300, W, H));
    Sleep(200);
    EXPECT_EQ(Ini(v, "Window", "posx"), "1018");
    testkit::Post(v.window, WM_COMMAND, 40001, 0);
    ExpectExitCodeZero(v);
}

// The items of every open menu: "id state,flags mark|nomark text" lines.
std::map<unsigned, std::string> MenuItems(Vantor& v, std::string* texts = nullptr) {
    return testkit::OpenMenuItems(v.window, texts);
}

HWND WaitMenu() {
    return testkit::WaitForMenu(3000);
}

HWND OpenMenuByRightClick(int x, int y) {
    Move(x, y);
    Xdo("click 3");
    return WaitMenu();
}

void Keys(HWND menu, std::initializer_list<WPARAM> keys) {
    for (WPARAM key : keys) {
        PostMessageA(menu, WM_KEYDOWN, key, 0);
        Sleep(80);
    }
}

const char* const kMenuConfig =
    "trans=180\r\n[Config\\Log]\r\nlogout=1\r\nlogfile=cpu.csv\r\n[Config\\Ext]\r\nkakusi=1\r\n";

TEST(Menu, RightClickOpensItWithItsTextsAndMarksAndItsItemsTakeEffect) {
    Vantor v;
    ASSERT_TRUE(Start(&v, "menu", "posx=300\r\nposy=300\r\n", kMenuConfig, 4));
    HWND menu = OpenMenuByRightClick(330, 330);
    ASSERT_NE(menu, nullptr);
    testkit::Screenshot("popup_menu");
    std::string texts;
    std::map<unsigned, std::string> items = MenuItems(v, &texts);
    EXPECT_EQ(texts, "40022 ウィンドウを隠す|0 マウスオーバー時|40035 標準|40033 隠す|40034 避ける|"
                     "40012 常に最前面|40027 半透明表示|40036 画面端にスナップ|0 |"
                     "40028 メモリ容量表示|40023 タイトルバーに寄生|40025 ｱｲｺﾝでもﾓﾆﾀする|"
                     "40020 CPU個別表示|40024 ログ出力|0 |40010 設定...|40026 ヘルプ|"
                     "40011 ﾊﾞｰｼﾞｮﾝ情報|40001 終了|");
    for (unsigned id :
         {40022u, 40033u, 40034u, 40012u, 40027u, 40036u, 40028u, 40023u, 40025u, 40020u, 40024u})
        EXPECT_EQ(items[id], "unchecked mark") << id; // the program's own check mark
    EXPECT_EQ(items[40035], "checked mark");

    Keys(menu, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}); // "常に最前面"
    EXPECT_TRUE(testkit::WaitUntil(
        [&] { return (GetWindowLongA(v.window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }, 3000));
    EXPECT_TRUE(WaitIni(v, "Window", "wintop", "1"));

    // Into the submenu: "避ける" makes the window step aside from the
    // pointer still resting on it (down, as it rests above the middle).
    menu = OpenMenuByRightClick(330, 330);
    ASSERT_NE(menu, nullptr);
    Keys(menu, {VK_DOWN, VK_DOWN, VK_RIGHT});
    Sleep(300);
    testkit::Screenshot("popup_menu_submenu");
    EXPECT_EQ(MenuItems(v)[40012], "checked mark");
    Keys(menu, {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_TRUE(WaitIni(v, "Window", "acthide", "2"));
    EXPECT_TRUE(WaitRect(v.window, 300, 300 + H + 4, W, H));
    Move(700, 650);
    EXPECT_TRUE(WaitRect(v.window, 300, 300, W, H));

    // "ﾊﾞｰｼﾞｮﾝ情報", second from the bottom: the About box.
    testkit::Post(v.window, WM_COMMAND, 40035, 0);
    EXPECT_TRUE(WaitIni(v, "Window", "acthide", "0"));
    Keys(OpenMenuByRightClick(330, 330), {VK_UP, VK_UP, VK_RETURN});
    HWND box = testkit::WaitForWindow("#32770", "About Vantor", 5000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), v.window);
    char version[64] = {}, link[64] = {};
    SendMessageA(GetDlgItem(box, 1042), WM_GETTEXT, sizeof version,
                 reinterpret_cast<LPARAM>(version));
    SendMessageA(GetDlgItem(box, 1081), WM_GETTEXT, sizeof link, reinterpret_cast<LPARAM>(link));
    EXPECT_STREQ(version, "Vantor CPUモニタ v1.52");
    EXPECT_STREQ(link, "https://vantor.example.jp/");
    Sleep(300);
    testkit::Screenshot("about_box");
    // The hand cursor is the box's answer for the link alone.
    LRESULT hand = 0, other = 0;
    LPARAM at = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    testkit::SendWithTimeout(box, WM_SETCURSOR, (WPARAM)GetDlgItem(box, 1081), at, 3000, &hand);
    testkit::SendWithTimeout(box, WM_SETCURSOR, (WPARAM)GetDlgItem(box, 1042), at, 3000, &other);
    EXPECT_EQ(hand, 1);
    EXPECT_EQ(other, 0);
    RECT ok = RectOf(GetDlgItem(box, IDOK));
    Move((ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
    Xdo("click 1");
    EXPECT_TRUE(testkit::WaitUntil([&] { return !IsWindow(box); }, 3000));

    // "終了", the last item, ends the program with code 0.
    Keys(OpenMenuByRightClick(330, 330), {VK_UP, VK_RETURN});
    ExpectExitCodeZero(v);
}

std::map<std::string, std::string> KeysOf(const std::string& ini, const std::string& name) {
    std::map<std::string, std::string> keys;
    size_t at = ini.find("[" + name + "]\r\n");
    std::istringstream lines(ini.substr(at == std::string::npos ? ini.size() : at));
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line) && !line.empty() && line[0] != '[') {
        line.pop_back(); // the profile functions end lines with CR LF
        keys[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    }
    return keys;
}

// Another program's window in front (asked until it is), carrying the load text or not.
bool InFrontCarrying(HWND window, bool carries) {
    return testkit::WaitUntil(
        [&] {
            if (GetForegroundWindow() != window) SetForegroundWindow(window);
            char text[256] = {};
            testkit::SendWithTimeout(window, WM_GETTEXT, sizeof text, LPARAM(text), 3000, nullptr);
            return GetForegroundWindow() == window &&
                   (std::string(text) != "Test Window") == carries;
        },
        3000);
}

TEST(Commands, EachSwitchChangesItsSettingItsMarkAndNothingElse) {
    Vantor v;
    ASSERT_TRUE(Start(&v, "commands", "posx=300\r\nposy=300\r\n", kMenuConfig, 4));
    testkit::Process other; // a window of another program, away from Vantor's
    testkit::RunOptions o;
    o.exe = testkit::BuildDir() + "\\..\\..\\tools\\testwindow\\testwindow.exe";
    ASSERT_TRUE(testkit::Start(o, &other));
    HWND memo = testkit::WaitForWindow("VantorTestWindow", nullptr, 5000);
    ASSERT_NE(memo, nullptr);
    struct Switch {
        unsigned id;
        const char *section, *key;
    } const switches[] = {
        {40012, "Window", "wintop"},  {40027, "Option", "trans"},   {40036, "Option", "snap"},
        {40028, "Option", "memory"},  {40023, "Option", "title"},   {40025, "Option", "iconanim"},
        {40020, "Option", "multi"},   {40024, "Option", "log"},     {40022, "Window", "winhide"},
        {40033, "Window", "acthide"}, {40034, "Window", "acthide"}, {40035, "Window", "acthide"}};
    const RECT plain = RectOf(v.window);
    for (const char* value : {"1", "0"}) {
        for (const Switch& s : switches) {
            std::string before, after;
            testkit::ReadFileText(v.ini, &before);
            const RECT was = RectOf(v.window);
            const bool on = *value == '1';
            // Switched off, the caption it carries goes back to its owner.
            if (s.id == 40023 && !on) {
                ASSERT_TRUE(InFrontCarrying(memo, true));
            }
            testkit::Post(v.window, WM_COMMAND, s.id, 0);
            const bool mode = s.id >= 40033 && s.id <= 40035;
            const std::string want = mode ? std::to_string((s.id - 40032) % 3) : value;
            // Wine rewrites the file in place for each section: a read may
            // catch it half written, so read until the whole save is there.
            auto whole = [&] {
                return testkit::ReadFileText(v.ini, &after) &&
                       KeysOf(after, "Window").size() == 7 && KeysOf(after, "Option").size() == 8 &&
                       KeysOf(after, s.section)[s.key] == want;
            };
            ASSERT_TRUE(testkit::WaitUntil(whole, 3000)) << s.id;
            // Only its own key changes; a file without all keys gets them.
            for (const char* name : {"Window", "Option"}) {
                std::map<std::string, std::string> now = KeysOf(after, name);
                for (const auto& kv : KeysOf(before, name))
                    EXPECT_EQ(now[kv.first], kv.first == s.key ? want : kv.second) << s.id;
            }
            for (const char* name : {"Config", "Config\\Color", "Config\\Log", "Config\\Ext"})
                EXPECT_EQ(KeysOf(after, name), KeysOf(before, name)) << s.id << name;
            // Its mark, read from the menu the window's own handler opens
            // (a hidden or evading window cannot be right-clicked).
            testkit::Post(v.window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
            ASSERT_NE(WaitMenu(), nullptr);
            std::string mark = MenuItems(v)[s.id];
            Keys(WaitMenu(), {VK_ESCAPE});
            EXPECT_EQ(mark, mode || want == "1" ? "checked mark" : "unchecked mark") << s.id;
            if (s.id == 40023) {
                EXPECT_TRUE(InFrontCarrying(memo, on));
            } else if (s.id == 40012) {
                EXPECT_EQ((GetWindowLongA(v.window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, on);
            } else if (s.id == 40027) {
                EXPECT_EQ(Opacity(v.window), on ? 180 : 255);
            } else if (s.id == 40028 || s.id == 40020) { // the memory line; a meter per processor
                EXPECT_EQ(RectOf(v.window).bottom > was.bottom, on) << s.id;
            } else if (s.id == 40022) {
                EXPECT_EQ(IsWindowVisible(v.window) != FALSE, !on);
            }
        }
    }
    EXPECT_EQ(RectOf(v.window).bottom, plain.bottom);
    testkit::Post(v.window, WM_COMMAND, 40001, 0);
    ExpectExitCodeZero(v);
}

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
             PointerInGainedStrip(v, [&] { // "省スペース" on the first page, OK; hiding
                 command(v, 40010);
                 HWND dialog = testkit::WaitForWindow("#32770", "Vantorモニタ 設定", 10000),
                      page = nullptr;
                 ASSERT_TRUE(dialog &&
                             testkit::WaitUntil([&] { return IsWindowVisible(dialog); }, 5000));
                 while ((page = FindWindowExA(GetDlgItem(dialog, 1026), page, "#32770", nullptr)) &&
                        !GetDlgItem(page, 1059)) {
                 }
                 ASSERT_TRUE(testkit::SendWithTimeout(GetDlgItem(page, 1058), BM_CLICK, 0, 0, 5000,
                                                      nullptr));
                 testkit::Post(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
                 EXPECT_TRUE(testkit::WaitUntil([&] { return !IsWindow(dialog); }, 10000));
             });
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
