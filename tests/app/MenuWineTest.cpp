// The popup menu opened by a right click and read from inside; every switch
// changes its setting, its mark and its line of vantor.ini and nothing else.
#include "tests/app/UserKit.h"

#include <sstream>

namespace {

using namespace userkit;

const char* const kMenuConfig =
    "trans=180\r\n[Config\\Log]\r\nlogout=1\r\nlogfile=cpu.csv\r\n[Config\\Ext]\r\nkakusi=1\r\n";

TEST(Menu, RightClickOpensItWithItsTextsAndMarksAndItsItemsTakeEffect) {
    Vantor v;
    ASSERT_TRUE(Start(&v, "menu", "posx=300\r\nposy=300\r\n", kMenuConfig, 4));
    HWND menu = OpenMenuByRightClick(330, 330);
    ASSERT_NE(menu, nullptr);
    testkit::Screenshot("popup_menu");
    std::string texts;
    std::map<unsigned, std::string> items = testkit::OpenMenuItems(v.window, &texts);
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
    EXPECT_EQ(testkit::OpenMenuItems(v.window, nullptr)[40012], "checked mark");
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
    char text[64] = {};
    GetDlgItemTextA(box, 1042, text, sizeof text);
    EXPECT_STREQ(text, "Vantor CPUモニタ v1.52");
    GetDlgItemTextA(box, 1081, text, sizeof text);
    EXPECT_STREQ(text, "https://vantor.example.jp/");
    Sleep(300);
    testkit::Screenshot("about_box");
    for (int id : {1081, 1042}) { // the hand cursor is the box's answer for the link alone
        LRESULT hand = -1;
        testkit::SendWithTimeout(box, WM_SETCURSOR, (WPARAM)GetDlgItem(box, id),
                                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), 3000, &hand);
        EXPECT_EQ(hand, id == 1081) << id;
    }
    RECT ok = RectOf(GetDlgItem(box, IDOK));
    Move((ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
    Xdo("click 1");
    EXPECT_TRUE(testkit::WaitUntil([&] { return !IsWindow(box); }, 3000));

    // "終了", the last item, ends the program with code 0.
    Keys(OpenMenuByRightClick(330, 330), {VK_UP, VK_RETURN});
    Exit(v, true);
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
            // Its mark (a hidden or evading window cannot be right-clicked).
            EXPECT_EQ(testkit::MenuItemsOf(v.window)[s.id],
                      mode || want == "1" ? "checked mark" : "unchecked mark")
                << s.id;
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
    Exit(v);
}

} // namespace
