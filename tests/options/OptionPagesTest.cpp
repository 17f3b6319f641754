// The options dialog's other ways out (apply without saving, cancel, a
// refused OK) and the log and extras pages' own rules and choosers.
#include "tests/options/OptionsDialogKit.h"

namespace optionstest {
namespace {

TEST_F(OptionsDialog, ApplyWithoutSavingChangesTheWindowOnlyAndCancelOnlyTheOpacity) {
    ASSERT_TRUE(Launch("opt_nosave", "cpus 1\n30\n",
                       {{"Option", "trans", "1"},
                        {"Config", "trans", "200"},
                        {"Window", "posx", "600"},
                        {"Window", "posy", "400"}}));
    Folder("night", true);
    const std::string before = FileText(ini);
    ASSERT_NE(Open(), nullptr);
    Send(GetDlgItem(ShowTab(3), 1079), CB_SELECTSTRING, 0, LPARAM("night"));
    ASSERT_TRUE(Press(dialog, 3));
    Sleep(500);
    EXPECT_EQ(Pixels().at(width + 1), RGB(22, 26, 34));
    EXPECT_EQ(FileText(ini), before);
    // A menu command saves only its own two sections: the skin stays unsaved.
    Send(window, WM_COMMAND, 40012);
    EXPECT_EQ(FileText(ini),
              FileText(Edited(dir + "\\x.ini", before, {{"Window", "wintop", "1"}})));
    Send(window, WM_COMMAND, 40012);

    ASSERT_NE(Open(), nullptr);
    HWND p0 = ShowTab(0);
    EXPECT_EQ(Text(p0, 1062), "200");
    Send(GetDlgItem(p0, 1014), TBM_SETPOS, TRUE, 60);
    Send(p0, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 60), LPARAM(GetDlgItem(p0, 1014)));
    EXPECT_EQ(Text(p0, 1062), "60");
    EXPECT_TRUE(testkit::WaitUntil([&] { return Alpha() == 60; }, 2000)) << "the live preview";
    HWND p1 = ShowTab(1);
    ClickAt(GetDlgItem(p1, 1013));
    ASSERT_TRUE(PickColour(1, 2, 3));
    SetText(p1, 1052, "X #0");
    Click(ShowTab(2), 1030); // a refused OK collects every page first
    PostClick(dialog, IDOK);
    ASSERT_TRUE(Press(WaitDialog("Vantor エラー"), IDOK));
    ASSERT_TRUE(Press(dialog, IDCANCEL));
    EXPECT_EQ(Alpha(), 200);

    // The next opening starts from the settings in force, not the cancelled copy.
    ASSERT_NE(Open(), nullptr);
    p1 = ShowTab(1);
    EXPECT_TRUE(ShowsColour(GetDlgItem(p1, 1013), RGB(255, 240, 0)));
    EXPECT_EQ(Text(p1, 1052), "CPU:_#0%");
    ASSERT_TRUE(Press(dialog, IDCANCEL));
    EXPECT_EQ(FileText(ini), before);
}

TEST_F(OptionsDialog, LogPageRulesAndTheLogKeptOrOpenedAfresh) {
    ASSERT_TRUE(Launch("opt_log", SwingingLoads(), {}));
    ASSERT_NE(Open(), nullptr);
    SetText(ShowTab(0), 1007, ""); // kept as typed, never timed as 0
    HWND p = ShowTab(2);
    const int below[] = {1031, 1032, 1035, 1057, 1033, 1034, 1046, 1043, 1047, 1044};
    for (int state : {0, 1, 2}) { // logout off; on; on with the size reduction
        for (int id : below)
            EXPECT_EQ(Enabled(p, id),
                      state == 2 || (state == 1 && id != 1043 && id != 1047 && id != 1044))
                << id << "@" << state;
        if (state < 2) Click(p, state == 0 ? 1030 : 1046);
    }
    Click(p, 1030); // off and on again: 1046 is still checked
    Click(p, 1030);
    EXPECT_TRUE(Enabled(p, 1044));

    SetText(p, 1043, "99");
    Sleep(300);
    EXPECT_EQ(FindWindowA("#32770", "Vantor"), nullptr);
    SetText(p, 1043, "100", 300); // the warning is modal inside the change
    ASSERT_TRUE(Press(WaitDialog("Vantor"), IDOK));
    SetText(p, 1033, "2500");
    EXPECT_EQ(SliderPos(p, 1034), 2500);

    for (int button : {IDOK, 3}) { // on without a name: both refuse
        PostClick(dialog, button);
        ASSERT_TRUE(Press(WaitDialog("Vantor エラー"), IDOK)) << button;
        EXPECT_TRUE(IsWindow(dialog));
    }
    PostClick(p, 1032);
    ASSERT_TRUE(Press(WaitDialog("Vantor のログファイル"), IDCANCEL));
    EXPECT_EQ(Text(p, 1031), "");
    const std::string log = dir + "\\load.log";
    SetText(p, 1031, log);
    ASSERT_TRUE(Press(dialog, IDOK));
    EXPECT_EQ(Key("Config\\Log", "loglimitval"), "100");
    EXPECT_EQ(Key("Config\\Log", "tmrate2"), "2500");
    EXPECT_EQ(Key("Config", "tmrate"), "0");
    EXPECT_LE(Repaints(2000), 3) << "an emptied interval samples at the default pace";

    // With the log running, only the lower threshold keeps the open file;
    // another interval opens it afresh, moving the old one aside.
    Send(window, WM_COMMAND, 40024);
    for (int id : {1043, 1033}) {
        ASSERT_NE(Open(), nullptr);
        SetText(ShowTab(2), id, id == 1043 ? "5" : "700");
        ASSERT_TRUE(Press(dialog, IDOK));
        WIN32_FIND_DATAA found;
        HANDLE moved = FindFirstFileA((log + ".2*").c_str(), &found); // ".*" matches load.log
        EXPECT_EQ(moved != INVALID_HANDLE_VALUE, id == 1033) << id;
        if (moved != INVALID_HANDLE_VALUE) FindClose(moved);
    }
}

TEST_F(OptionsDialog, ExtrasPageSkinListIconFolderAndCancelledChoosers) {
    ASSERT_TRUE(Launch("opt_extras", "cpus 1\n30\n",
                       {{"Config\\Ext", "skinname", "blue"}, {"Config\\Ext", "kakusi", "1"}}));
    Folder("blue", true);
    Folder("old", false);
    Folder(std::string(70, 'k'), true); // too long for skinname
    ASSERT_NE(Open(), nullptr);
    HWND p1 = ShowTab(1);
    const std::string face = Text(p1, 1077);
    PostClick(p1, 1076);
    ASSERT_TRUE(Press(WaitDialog("フォントの指定"), IDCANCEL));
    EXPECT_EQ(Text(p1, 1077), face);
    ClickAt(GetDlgItem(p1, 1024));
    ASSERT_TRUE(Press(WaitDialog("色"), IDCANCEL));

    HWND p3 = ShowTab(3);
    HWND skins = GetDlgItem(p3, 1079);
    EXPECT_EQ(Send(skins, CB_GETCOUNT), 2) << "（なし） and blue";
    EXPECT_EQ(Send(skins, CB_GETCURSEL), Send(skins, CB_FINDSTRINGEXACT, 0, LPARAM("blue")));
    Send(skins, CB_SETCURSEL, 0);
    EXPECT_FALSE(Enabled(p3, 1067) || Enabled(p3, 1068));
    Click(p3, 1069);
    EXPECT_TRUE(Enabled(p3, 1067) && Enabled(p3, 1068));
    SetText(p3, 1067, "C:\\icons\\");
    PostClick(p3, 1068);
    ASSERT_TRUE(Press(WaitDialog("フォルダーの参照"), IDCANCEL));
    EXPECT_EQ(Text(p3, 1067), "C:\\icons\\");
    Click(p3, 1071); // the memory line off: its menu item goes
    SetText(p3, 1040, "4000");
    EXPECT_EQ(SliderPos(p3, 1041), 4000);
    ASSERT_TRUE(Press(dialog, IDOK));
    EXPECT_EQ(Key("Config\\Ext", "skinname"), "");
    EXPECT_EQ(Key("Config\\Ext", "iconpath"), "C:\\icons");
    EXPECT_EQ(Key("Config\\Ext", "tmrate3"), "4000");
    EXPECT_EQ(Key("Config", "font"), face);
    EXPECT_EQ(testkit::MenuItemsOf(window).count(40028), 0u);
}

} // namespace
} // namespace optionstest
