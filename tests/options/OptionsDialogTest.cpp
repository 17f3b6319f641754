// The options dialog as a whole: OK, the rules of each page from the file
// back to the file, and the command that brings an open dialog forward.
#include "tests/options/OptionsDialogKit.h"

namespace optionstest {
namespace {

TEST_F(OptionsDialog, OkTakesOneChangeOfEachPageIntoTheWindowAndTheFile) {
    ASSERT_TRUE(Launch("opt_ok", SwingingLoads(),
                       {{"Config", "tmrate", "2000"},
                        {"Option", "memory", "1"},
                        {"Window", "posx", "400"},
                        {"Window", "posy", "40"}}));
    Folder("night", true);
    const std::string before = FileText(ini);
    EXPECT_LE(Repaints(2000), 2) << "a tick every 2 s";
    const int wasHeight = (Pixels(), height);

    ASSERT_NE(Open(), nullptr);
    HWND p0 = ShowTab(0);
    SetText(p0, 1007, "300");
    EXPECT_EQ(SliderPos(p0, 1008), 300);

    HWND p1 = ShowTab(1);
    ClickAt(GetDlgItem(p1, 1012));
    ASSERT_TRUE(PickColour(10, 20, 250));
    EXPECT_TRUE(ShowsColour(GetDlgItem(p1, 1012), RGB(10, 20, 250))) << "the swatch shows the pick";
    Click(p1, 1029);
    SetText(p1, 1052, "Load #0 %");

    HWND p2 = ShowTab(2);
    Click(p2, 1030);
    SetText(p2, 1031, dir + "\\load.log");

    HWND p3 = ShowTab(3);
    Send(GetDlgItem(p3, 1079), CB_SELECTSTRING, 0, LPARAM("night"));
    Click(p3, 1071);
    ASSERT_TRUE(Press(dialog, IDOK));

    // The whole file, exactly these keys changed.
    const Keys changed = {{"Config", "tmrate", "300"},
                          {"Config", "gline", "0"},
                          {"Config\\Color", "color0", "0xfa140a"},
                          {"Config\\Color", "format_0", "Load_#0_%"},
                          {"Config\\Log", "logout", "1"},
                          {"Config\\Log", "logfile", dir + "\\load.log"},
                          {"Config\\Ext", "skinname", "night"},
                          {"Config\\Ext", "kakusi", "1"}};
    EXPECT_EQ(FileText(ini), FileText(Edited(dir + "\\expected.ini", before, changed)));
    Sleep(700);
    const std::vector<COLORREF> px = Pixels();
    EXPECT_NE(std::find(px.begin(), px.end(), RGB(10, 20, 250)), px.end()) << "low-load colour";
    EXPECT_EQ(px.at(width + 1), RGB(22, 26, 34)) << "the night skin";
    EXPECT_GT(height, wasHeight) << "the memory line adds a row";
    EXPECT_GE(Repaints(2000), 4) << "the sampling timer runs every 300 ms";
    std::string menu;
    testkit::Post(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(2, 2));
    HWND open = testkit::WaitForMenu(3000);
    EXPECT_EQ(testkit::OpenMenuItems(window, &menu).at(40028), "checked mark");
    testkit::Post(open, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_NE(menu.find("40036 画面端にスナップ|40028 メモリ容量表示|0 |"), std::string::npos)
        << menu;
}

// One control of each rule the pages keep: its state at opening from the
// file, one change, and after OK exactly these keys changed in the file.
TEST_F(OptionsDialog, EachPageRuleFromTheFileThroughAChangeBackToTheFile) {
    ASSERT_TRUE(Launch("opt_rules", "cpus 4\n30 40 50 60\n",
                       {{"Config", "layout", "1"},
                        {"Config", "graph", "2"},
                        {"Config", "trans2", "120"},
                        {"Config\\Ext", "memtype", "0"}}));
    ASSERT_NE(Open(), nullptr); // an OK without changes writes the keys of four processors
    ASSERT_TRUE(Press(dialog, IDOK));
    const std::string before = FileText(ini);
    enum How { CLICK, CHOOSE, PICK };
    struct Row {
        int tab, id;
        How how;
        int initially;  // check state or selected entry at opening
        COLORREF value; // the entry chosen or the colour picked
        const char *section, *key, *want;
    } const rows[] = {
        {0, 1058, CLICK, BST_UNCHECKED, 0, "Config", "layout", "0"}, // "省スペース" means 0
        {0, 1059, CHOOSE, 2, 1, "Config", "graph", "1"},
        {0, 1070, CLICK, BST_CHECKED, 0, "Config", "trans2", "0"}, // off: no second opacity
        {1, 1072, CHOOSE, 0, 2, nullptr, nullptr, nullptr},        // the series cpu 2
        {1, 1016, PICK, 0, RGB(9, 99, 199), "Config\\Color", "gcolor2", "0xc76309"},
        {3, 1039, PICK, 0, RGB(1, 2, 3), "Config\\Ext", "textcolor", "0x030201"},
        {3, 1075, PICK, 0, RGB(200, 0, 100), "Config\\Ext", "memback", "6553800"},
        {3, 1076, PICK, 0, RGB(0, 150, 50), "Config\\Ext", "memtext", "3315200"},
        {3, 1078, CLICK, BST_UNCHECKED, 0, "Config\\Ext", "memtype", "1"},
    };
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Text(Page(0), 1063), "120");
    Keys changed;
    for (const Row& r : rows) {
        HWND page = ShowTab(r.tab), control = GetDlgItem(page, r.id);
        ASSERT_NE(control, nullptr) << r.id;
        if (r.how == CLICK) {
            EXPECT_EQ(Send(control, BM_GETCHECK), r.initially) << r.id;
            Click(page, r.id);
        } else if (r.how == CHOOSE) {
            const UINT get = r.id == 1072 ? LB_GETCURSEL : CB_GETCURSEL;
            EXPECT_EQ(Send(control, get), r.initially) << r.id;
            Send(control, r.id == 1072 ? LB_SETCURSEL : CB_SETCURSEL, r.value);
            testkit::Post(page, WM_COMMAND, MAKEWPARAM(r.id, LBN_SELCHANGE), LPARAM(control));
        } else {
            ClickAt(control);
            ASSERT_TRUE(PickColour(GetRValue(r.value), GetGValue(r.value), GetBValue(r.value)));
            EXPECT_TRUE(ShowsColour(control, r.value)) << r.id << ": the swatch shows the pick";
        }
        if (r.key) changed.push_back({r.section, r.key, r.want});
    }
    // The command again while the dialog is open (posted: no menu opens
    // then) brings it from behind another program's window; no second
    // dialog fills the working copy afresh, so OK saves these edits.
    testkit::Process program;
    testkit::RunOptions o;
    o.exe = testkit::BuildDir() + "\\..\\..\\tools\\testwindow\\testwindow.exe";
    ASSERT_TRUE(testkit::Start(o, &program));
    HWND other = testkit::WaitForWindow("VantorTestWindow", nullptr, 5000);
    ASSERT_TRUE(
        other &&
        testkit::WaitUntil(
            [&] { return SetForegroundWindow(other), GetForegroundWindow() == other; }, 3000));
    // Asked again until it holds: Wine may still be moving the X focus to
    // the other window when the first command comes.
    EXPECT_TRUE(testkit::WaitUntil(
        [&] {
            testkit::Post(window, WM_COMMAND, 40010, 0);
            Sleep(300);
            return GetForegroundWindow() == dialog;
        },
        5000));
    testkit::Kill(program);
    ASSERT_TRUE(Press(dialog, IDOK));
    EXPECT_EQ(FindWindowA("#32770", "Vantorモニタ 設定"), nullptr);
    EXPECT_EQ(FileText(ini), FileText(Edited(dir + "\\expected.ini", before, changed)));
}

} // namespace
} // namespace optionstest
