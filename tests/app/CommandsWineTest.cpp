// vantor.exe's popup menu and commands: the menu opened by a right click with
// its texts and check marks, items chosen from it, every switch through
// WM_COMMAND changing its setting, its mark and the file's Window and Option
// sections and nothing else, the About box, and the end through the menu.
#include "tests/app/AppDriver.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace app_driver;

namespace {

struct Item {
    int depth = 0;
    unsigned id = 0;
    bool checked = false, grayed = false, separator = false, mark = false;
    std::string text;
};

// The items of a probe dump (see OpenMenus): every open menu with its
// submenus, one after another.
std::vector<Item> ParseMenu(const std::string& dump) {
    std::vector<Item> items;
    std::istringstream lines(dump);
    std::string line;
    while (std::getline(lines, line)) {
        if (line == "menu") continue;
        Item item;
        size_t start = line.find_first_not_of(' ');
        item.depth = static_cast<int>(start) / 2;
        std::istringstream fields(line.substr(start));
        std::string state, mark;
        fields >> item.id >> state >> mark;
        std::getline(fields, item.text);
        if (!item.text.empty() && item.text[0] == ' ') item.text.erase(0, 1);
        item.checked = state.rfind("checked", 0) == 0;
        item.grayed = state.find(",grayed") != std::string::npos;
        item.separator = state.find(",separator") != std::string::npos;
        item.mark = mark == "mark";
        items.push_back(item);
    }
    return items;
}

const Item* Find(const std::vector<Item>& items, unsigned id) {
    for (const Item& item : items)
        if (item.id == id) return &item;
    return nullptr;
}

std::string Ini(const std::string& window = "", const std::string& option = "") {
    return "[Window]\r\nwintop=0\r\nposx=300\r\nposy=300\r\n" + window + "[Option]\r\n" + option +
           "[Config]\r\ntmrate=5000\r\ntrans=180\r\n[Config\\Log]\r\nlogout=1\r\n"
           "[Config\\Ext]\r\nkakusi=1\r\n";
}

// The menu opened by the window's own right-click handler, read, then closed.
std::vector<Item> MenuNow(Vantor& v) {
    testkit::Post(v.window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    HWND menu = WaitMenuWindow();
    EXPECT_NE(menu, nullptr);
    std::vector<Item> items = ParseMenu(OpenMenus(v));
    PressKey(menu, VK_ESCAPE);
    testkit::WaitUntil(
        [] {
            return !FindWindowA("#32768", nullptr) ||
                   !IsWindowVisible(FindWindowA("#32768", nullptr));
        },
        3000);
    return items;
}

TEST(Menu, RightClickOpensItWithItsTextsAndMarksAndItsItemsTakeEffect) {
    Vantor v;
    ASSERT_TRUE(Start(&v, "menu_click", Ini(), 4));
    Xdo("mousemove 330 330");
    Xdo("click 3");
    HWND menu = WaitMenuWindow();
    ASSERT_NE(menu, nullptr);
    testkit::Screenshot("popup_menu");

    struct Expect {
        unsigned id;
        const char* text;
        int depth;
    };
    const Expect order[] = {{40022, "ウィンドウを隠す", 1},
                            {0, "マウスオーバー時", 1},
                            {40035, "標準", 2},
                            {40033, "隠す", 2},
                            {40034, "避ける", 2},
                            {40012, "常に最前面", 1},
                            {40027, "半透明表示", 1},
                            {40036, "画面端にスナップ", 1},
                            {0, "", 1},
                            {40028, "メモリ容量表示", 1},
                            {40023, "タイトルバーに寄生", 1},
                            {40025, "ｱｲｺﾝでもﾓﾆﾀする", 1},
                            {40020, "CPU個別表示", 1},
                            {40024, "ログ出力", 1},
                            {0, "", 1},
                            {40010, "設定...", 1},
                            {40026, "ヘルプ", 1},
                            {40011, "ﾊﾞｰｼﾞｮﾝ情報", 1},
                            {40001, "終了", 1}};
    std::vector<Item> items = ParseMenu(OpenMenus(v));
    ASSERT_EQ(items.size(), sizeof order / sizeof order[0]);
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].id, order[i].id) << i;
        EXPECT_EQ(items[i].text, order[i].text) << i;
        EXPECT_EQ(items[i].depth, order[i].depth) << i;
        EXPECT_EQ(items[i].checked, order[i].id == 40035) << i;
        EXPECT_EQ(items[i].separator, order[i].text[0] == 0) << i;
        EXPECT_TRUE(items[i].separator || !items[i].grayed) << i;
    }
    // Every switch shows the program's own check mark.
    for (unsigned id : {40022u, 40035u, 40033u, 40034u, 40012u, 40027u, 40036u, 40028u, 40023u,
                        40025u, 40020u, 40024u})
        EXPECT_TRUE(Find(items, id) && Find(items, id)->mark) << id;

    // "常に最前面", the third item, chosen with the keyboard.
    for (int i = 0; i < 3; ++i)
        PressKey(menu, VK_DOWN);
    PressKey(menu, VK_RETURN);
    EXPECT_TRUE(testkit::WaitUntil(
        [&] { return (GetWindowLongA(v.window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }, 3000));
    EXPECT_TRUE(WaitIniValue(v.ini, "Window", "wintop", "1"));

    // Open again, into the submenu: its mark follows the mode, the other
    // item's mark the new setting. "避ける" makes the window step aside from
    // the pointer still resting on it.
    Xdo("click 3");
    menu = WaitMenuWindow();
    ASSERT_NE(menu, nullptr);
    PressKey(menu, VK_DOWN);
    PressKey(menu, VK_DOWN);
    PressKey(menu, VK_RIGHT);
    Sleep(300);
    testkit::Screenshot("popup_menu_submenu");
    items = ParseMenu(OpenMenus(v));
    ASSERT_NE(Find(items, 40012), nullptr);
    EXPECT_TRUE(Find(items, 40012)->checked);
    PressKey(menu, VK_DOWN);
    PressKey(menu, VK_DOWN);
    PressKey(menu, VK_RETURN);
    EXPECT_TRUE(WaitIniValue(v.ini, "Window", "acthide", "2"));
    EXPECT_TRUE(WaitPlace(v.window, 300, 300 + 84 + 4));

    // Away from it, the window comes home; back in the normal mode, "終了",
    // the last item, ends the program with code 0.
    Xdo("mousemove 700 650");
    EXPECT_TRUE(WaitPlace(v.window, 300, 300));
    testkit::Post(v.window, WM_COMMAND, 40035, 0);
    EXPECT_TRUE(WaitIniValue(v.ini, "Window", "acthide", "0"));
    Xdo("mousemove 330 330");
    Xdo("click 3");
    menu = WaitMenuWindow();
    ASSERT_NE(menu, nullptr);
    PressKey(menu, VK_UP);
    PressKey(menu, VK_RETURN);
    DWORD code = 99;
    EXPECT_TRUE(testkit::WaitExit(v.process, 10000, &code));
    EXPECT_EQ(code, 0u);
}

std::map<std::string, std::string> Keys(const std::string& section) {
    std::map<std::string, std::string> keys;
    std::istringstream lines(section);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t eq = line.find('=');
        if (eq != std::string::npos) keys[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return keys;
}

struct Switch {
    unsigned id;
    const char* section;
    const char* key;
};

const Switch kSwitches[] = {
    {40012, "Window", "wintop"}, {40027, "Option", "trans"}, {40036, "Option", "snap"},
    {40028, "Option", "memory"}, {40023, "Option", "title"}, {40025, "Option", "iconanim"},
    {40020, "Option", "multi"},  {40024, "Option", "log"},   {40022, "Window", "winhide"},
};

// Posts the command and checks that exactly its key of the file changed to
// `value`: the other keys of Window and Option and every other section stay.
void ExpectOnlyKeyChanges(Vantor& v, unsigned id, const char* section, const char* key,
                          const char* value) {
    std::string before, after;
    ASSERT_TRUE(testkit::ReadFileText(v.ini, &before));
    ASSERT_TRUE(testkit::Post(v.window, WM_COMMAND, id, 0));
    ASSERT_TRUE(WaitIniValue(v.ini, section, key, value)) << id;
    ASSERT_TRUE(testkit::ReadFileText(v.ini, &after));
    for (const char* name : {"Window", "Option"}) {
        std::map<std::string, std::string> want = Keys(Section(before, name));
        if (std::string(name) == section) want[key] = value;
        EXPECT_EQ(Keys(Section(after, name)), want) << id << " in " << name;
    }
    for (const char* name : {"Config", "Config\\Color", "Config\\Log", "Config\\Ext"})
        EXPECT_EQ(Section(after, name), Section(before, name)) << id << " in " << name;
}

TEST(Commands, EachSwitchChangesItsSettingItsMarkAndNothingElse) {
    Vantor v;
    ASSERT_TRUE(Start(&v, "commands", Ini(), 4));
    // One save first, so that the file holds every key of both sections.
    testkit::Post(v.window, WM_COMMAND, 40036, 0);
    ASSERT_TRUE(WaitIniValue(v.ini, "Option", "snap", "1"));
    testkit::Post(v.window, WM_COMMAND, 40036, 0);
    ASSERT_TRUE(WaitIniValue(v.ini, "Option", "snap", "0"));

    // What each switch shows besides the file, on and off.
    auto expectEffect = [&](unsigned id, bool on, const RECT& before) {
        BYTE alpha = 0;
        switch (id) {
        case 40012:
            EXPECT_EQ((GetWindowLongA(v.window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, on);
            break;
        case 40027:
            GetLayeredWindowAttributes(v.window, nullptr, &alpha, nullptr);
            EXPECT_EQ(alpha, on ? 180 : 255);
            break;
        case 40028: // the memory line below the meter
        case 40020: // one meter per processor
            EXPECT_EQ(RectOf(v.window).bottom > before.bottom, on) << id;
            EXPECT_EQ(RectOf(v.window).bottom < before.bottom, !on) << id;
            break;
        case 40022: EXPECT_EQ(IsWindowVisible(v.window) != FALSE, !on); break;
        default: break;
        }
    };
    const RECT plain = RectOf(v.window);
    for (bool on : {true, false}) {
        for (const Switch& s : kSwitches) {
            const RECT before = RectOf(v.window);
            ExpectOnlyKeyChanges(v, s.id, s.section, s.key, on ? "1" : "0");
            expectEffect(s.id, on, before);
        }
        std::vector<Item> items = MenuNow(v);
        for (const Switch& s : kSwitches) {
            ASSERT_NE(Find(items, s.id), nullptr) << s.id;
            EXPECT_EQ(Find(items, s.id)->checked, on) << s.id;
        }
    }
    EXPECT_EQ(RectOf(v.window).bottom, plain.bottom);

    // The mouse-over modes: one mark among three; choosing the checked one
    // again changes nothing.
    ExpectOnlyKeyChanges(v, 40033, "Window", "acthide", "1");
    std::string before, after;
    ASSERT_TRUE(testkit::ReadFileText(v.ini, &before));
    testkit::Post(v.window, WM_COMMAND, 40033, 0);
    std::vector<Item> items = MenuNow(v);
    ASSERT_TRUE(testkit::ReadFileText(v.ini, &after));
    EXPECT_EQ(after, before);
    ASSERT_TRUE(Find(items, 40033) && Find(items, 40034) && Find(items, 40035));
    EXPECT_TRUE(Find(items, 40033)->checked);
    EXPECT_FALSE(Find(items, 40034)->checked);
    EXPECT_FALSE(Find(items, 40035)->checked);
    ExpectOnlyKeyChanges(v, 40034, "Window", "acthide", "2");
    ExpectOnlyKeyChanges(v, 40035, "Window", "acthide", "0");
    EXPECT_TRUE(IsWindowVisible(v.window));
    Exit(v);
}

std::string ControlText(HWND box, int id) {
    char text[128] = {};
    SendMessageA(GetDlgItem(box, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

POINT CentreOf(HWND control) {
    RECT r = RectOf(control);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST(About, ShowsItsTextsOffersTheLinkAndCloses) {
    Vantor v;
    ASSERT_TRUE(Start(&v, "about", Ini()));
    // Chosen from the menu: the second item from the bottom.
    Xdo("mousemove 330 330");
    Xdo("click 3");
    HWND menu = WaitMenuWindow();
    ASSERT_NE(menu, nullptr);
    PressKey(menu, VK_UP);
    PressKey(menu, VK_UP);
    PressKey(menu, VK_RETURN);
    HWND box = testkit::WaitForWindow("#32770", "About Vantor", 5000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), v.window);
    EXPECT_EQ(ControlText(box, 1042), "Vantor CPUモニタ v1.52");
    EXPECT_EQ(ControlText(box, 1081), "https://vantor.example.jp/");
    Sleep(300);
    testkit::Screenshot("about_box");

    // Over the link the pointer becomes a hand: the box answers the cursor
    // question for the link itself and leaves the other texts to the system.
    LRESULT answer = 0;
    HWND link = GetDlgItem(box, 1081);
    EXPECT_TRUE(testkit::SendWithTimeout(box, WM_SETCURSOR, reinterpret_cast<WPARAM>(link),
                                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), 3000, &answer));
    EXPECT_EQ(answer, 1);
    EXPECT_TRUE(testkit::SendWithTimeout(box, WM_SETCURSOR,
                                         reinterpret_cast<WPARAM>(GetDlgItem(box, 1042)),
                                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), 3000, &answer));
    EXPECT_EQ(answer, 0);

    // The timers run on while the box is open; OK closes it.
    POINT ok = CentreOf(GetDlgItem(box, IDOK));
    Xdo("mousemove " + std::to_string(ok.x) + " " + std::to_string(ok.y) + " click 1");
    EXPECT_TRUE(testkit::WaitUntil([&] { return !IsWindow(box); }, 3000));
    EXPECT_TRUE(testkit::SendWithTimeout(v.window, WM_NULL, 0, 0, 3000, &answer));

    // Opened by its command and closed by the window's close box.
    testkit::Post(v.window, WM_COMMAND, 40011, 0);
    box = testkit::WaitForWindow("#32770", "About Vantor", 5000);
    ASSERT_NE(box, nullptr);
    testkit::Post(box, WM_CLOSE, 0, 0);
    EXPECT_TRUE(testkit::WaitUntil([&] { return !IsWindow(box); }, 3000));
    Exit(v);
}

} // namespace
