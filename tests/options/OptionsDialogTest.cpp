// The options dialog of the real program, driven from outside as a user
// would drive it, and its effects read from vantor.ini, the window and the
// screen. Screenshots of the four pages go to build/windows/screenshots.
#include "DialogDriver.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

using namespace dialogdriver;

namespace {

// Loads alternating between 10 and 90 % so that every tick repaints.
std::string SwingingLoads() {
    std::string s = "cpus 1\n";
    for (int i = 0; i < 400; ++i)
        s += (i % 2) ? "90\n" : "10\n";
    return s;
}

class OptionsDialog : public ::testing::Test {
  protected:
    // The settings file a first start writes: every key at its default.
    static void SetUpTestSuite() {
        Vantor first;
        ASSERT_TRUE(Launch(first, "opt_defaults", "", "cpus 1\n20\n"));
        Quit(first);
        ASSERT_TRUE(testkit::ReadFileText(first.ini, &defaults));
        ASSERT_NE(defaults.find("[Config\\Ext]"), std::string::npos);
    }
    void TearDown() override { Quit(v); }

    // Repaints of the window within ms: each sampling tick makes one.
    int Repaints(DWORD ms) {
        int changes = 0;
        unsigned long long last = 0;
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) {
            std::vector<COLORREF> px;
            int w = 0, h = 0;
            if (testkit::ReadWindowPixels(v.window, &px, &w, &h)) {
                unsigned long long sum = 0;
                for (size_t i = 0; i < px.size(); ++i)
                    sum = sum * 31 + px[i];
                if (last != 0 && sum != last) ++changes;
                last = sum;
            }
            Sleep(40);
        }
        return changes;
    }

    bool WindowShows(COLORREF colour) {
        std::vector<COLORREF> px;
        int w = 0, h = 0;
        if (!testkit::ReadWindowPixels(v.window, &px, &w, &h)) return false;
        for (COLORREF c : px)
            if (c == colour) return true;
        return false;
    }

    COLORREF ScreenAt(HWND control) {
        RECT r;
        GetWindowRect(control, &r);
        HDC screen = GetDC(nullptr);
        const COLORREF c = GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ReleaseDC(nullptr, screen);
        return c;
    }

    // The dialog as it shows once painted.
    static void Shoot(HWND dialog, const char* name) {
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(600);
        testkit::Screenshot(name);
    }

    static std::string defaults;
    Vantor v;
};
std::string OptionsDialog::defaults;

TEST_F(OptionsDialog, OkTakesOneChangeOfEachPageIntoTheWindowAndTheFile) {
    ASSERT_TRUE(Launch(v, "opt_ok", defaults, SwingingLoads(),
                       {{"Config", "tmrate", "2000"}, {"Option", "memory", "1"},
                        {"Window", "posx", "400"}, {"Window", "posy", "40"}}));
    MakeFolder(v, "night", true);
    const IniMap before = ReadIni(v.ini);
    EXPECT_LE(Repaints(2500), 2) << "a tick every 2 s";
    RECT was;
    GetWindowRect(v.window, &was);

    HWND dialog = OpenOptions(v);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(OnlyPageShown(dialog, 0));
    RECT tab, page;
    GetWindowRect(GetDlgItem(dialog, 1026), &tab);
    GetWindowRect(Page(dialog, 0), &page);
    EXPECT_EQ(page.left - tab.left, 2);
    EXPECT_EQ(page.top - tab.top, 21);
    Shoot(dialog, "options_page0");

    HWND p0 = Page(dialog, 0);
    ASSERT_TRUE(SetText(p0, 1007, "300"));
    EXPECT_EQ(SliderPos(p0, 1008), 300);

    NextTab(dialog);
    ASSERT_TRUE(OnlyPageShown(dialog, 1));
    Shoot(dialog, "options_page1");
    HWND p1 = Page(dialog, 1);
    ASSERT_TRUE(ClickAt(GetDlgItem(p1, 1012)));
    ASSERT_TRUE(PickColour(10, 20, 250));
    EXPECT_EQ(ScreenAt(GetDlgItem(p1, 1012)), RGB(10, 20, 250)) << "the swatch shows the pick";
    ASSERT_TRUE(Click(p1, 1029));
    ASSERT_TRUE(SetText(p1, 1052, "Load #0 %"));

    NextTab(dialog);
    ASSERT_TRUE(OnlyPageShown(dialog, 2));
    Shoot(dialog, "options_page2");
    HWND p2 = Page(dialog, 2);
    ASSERT_TRUE(Click(p2, 1030));
    const std::string log = v.dir + "\\load.log";
    ASSERT_TRUE(SetText(p2, 1031, log.c_str()));

    NextTab(dialog);
    ASSERT_TRUE(OnlyPageShown(dialog, 3));
    Shoot(dialog, "options_page3");
    HWND p3 = Page(dialog, 3);
    int night = -1;
    for (int i = 0; i < ComboCount(p3, 1079); ++i)
        if (ComboEntry(p3, 1079, i) == "night") night = i;
    ASSERT_GT(night, 0);
    PickCombo(p3, 1079, night);
    ASSERT_TRUE(Click(p3, 1071));

    ASSERT_TRUE(Press(dialog, IDOK));
    const std::map<std::string, std::string> want = {
        {"Config.tmrate", "300"},
        {"Config.gline", "0"},
        {"Config\\Color.color0", "0xfa140a"},
        {"Config\\Color.format_0", "Load_#0_%"},
        {"Config\\Log.logout", "1"},
        {"Config\\Log.logfile", log},
        {"Config\\Ext.skinname", "night"},
        {"Config\\Ext.kakusi", "1"},
    };
    EXPECT_EQ(Changes(before, ReadIni(v.ini)), want);

    Sleep(700);
    EXPECT_TRUE(WindowShows(RGB(10, 20, 250))) << "the low-load meter colour";
    std::vector<COLORREF> px;
    int w = 0, h = 0;
    ASSERT_TRUE(testkit::ReadWindowPixels(v.window, &px, &w, &h));
    EXPECT_EQ(px[static_cast<size_t>(w) + 1], RGB(22, 26, 34)) << "the night skin's background";
    RECT now;
    GetWindowRect(v.window, &now);
    EXPECT_GT(now.bottom - now.top, was.bottom - was.top) << "the memory line adds a row";
    EXPECT_EQ(now.left, was.left) << "the relayout does not move the window";
    EXPECT_GE(Repaints(2500), 5) << "the sampling timer runs every 300 ms";
    testkit::Screenshot("options_after_ok");
}

TEST_F(OptionsDialog, ApplyWithoutSavingChangesTheWindowOnly) {
    ASSERT_TRUE(Launch(v, "opt_nosave", defaults, "cpus 1\n30\n",
                       {{"Window", "posx", "600"}, {"Window", "posy", "400"}}));
    MakeFolder(v, "night", true);
    std::string before;
    ASSERT_TRUE(testkit::ReadFileText(v.ini, &before));

    HWND dialog = OpenOptions(v);
    ASSERT_NE(dialog, nullptr);
    for (int i = 0; i < 3; ++i)
        NextTab(dialog);
    ASSERT_TRUE(OnlyPageShown(dialog, 3));
    HWND p3 = Page(dialog, 3);
    for (int i = 0; i < ComboCount(p3, 1079); ++i)
        if (ComboEntry(p3, 1079, i) == "night") PickCombo(p3, 1079, i);
    ASSERT_TRUE(Press(dialog, 3));

    Sleep(500);
    std::vector<COLORREF> px;
    int w = 0, h = 0;
    ASSERT_TRUE(testkit::ReadWindowPixels(v.window, &px, &w, &h));
    EXPECT_EQ(px[static_cast<size_t>(w) + 1], RGB(22, 26, 34));
    std::string after;
    ASSERT_TRUE(testkit::ReadFileText(v.ini, &after));
    EXPECT_EQ(after, before);
}

TEST_F(OptionsDialog, CancelGivesTheOpacityBackAndKeepsEverythingElse) {
    ASSERT_TRUE(Launch(v, "opt_cancel", defaults, "cpus 1\n30\n",
                       {{"Option", "trans", "1"}, {"Config", "trans", "200"},
                        {"Window", "posx", "600"}, {"Window", "posy", "400"}}));
    std::string before;
    ASSERT_TRUE(testkit::ReadFileText(v.ini, &before));
    auto alpha = [&] {
        BYTE a = 0;
        DWORD flags = 0;
        GetLayeredWindowAttributes(v.window, nullptr, &a, &flags);
        return static_cast<int>(a);
    };
    EXPECT_EQ(alpha(), 200);

    HWND dialog = OpenOptions(v);
    ASSERT_NE(dialog, nullptr);
    HWND p0 = Page(dialog, 0);
    EXPECT_EQ(Text(p0, 1062), "200");
    MoveSlider(p0, 1014, 60);
    EXPECT_EQ(Text(p0, 1062), "60");
    EXPECT_TRUE(testkit::WaitUntil([&] { return alpha() == 60; }, 2000)) << "the live preview";
    NextTab(dialog);
    ASSERT_TRUE(OnlyPageShown(dialog, 1));
    HWND p1 = Page(dialog, 1);
    ASSERT_TRUE(ClickAt(GetDlgItem(p1, 1013)));
    ASSERT_TRUE(PickColour(1, 2, 3));
    ASSERT_TRUE(Press(dialog, IDCANCEL));
    EXPECT_EQ(alpha(), 200);

    // The next opening starts from the settings in force.
    dialog = OpenOptions(v);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Text(Page(dialog, 0), 1062), "200");
    NextTab(dialog);
    ASSERT_TRUE(OnlyPageShown(dialog, 1));
    Sleep(300);
    EXPECT_EQ(ScreenAt(GetDlgItem(Page(dialog, 1), 1013)), RGB(255, 240, 0));
    ASSERT_TRUE(Press(dialog, IDCANCEL));
    std::string after;
    ASSERT_TRUE(testkit::ReadFileText(v.ini, &after));
    EXPECT_EQ(after, before);
}

TEST_F(OptionsDialog, LogPageEnablingWarningRefusalAndSaveChooser) {
    ASSERT_TRUE(Launch(v, "opt_log", defaults, SwingingLoads()));
    HWND dialog = OpenOptions(v);
    ASSERT_NE(dialog, nullptr);
    // An emptied interval is kept as typed but never samples flat out.
    ASSERT_TRUE(SetText(Page(dialog, 0), 1007, ""));
    NextTab(dialog);
    NextTab(dialog);
    ASSERT_TRUE(OnlyPageShown(dialog, 2));
    HWND p = Page(dialog, 2);
    const int below[] = {1031, 1032, 1035, 1057, 1033, 1034, 1046, 1043, 1047, 1044};
    EXPECT_TRUE(Enabled(p, 1030));
    for (int id : below)
        EXPECT_FALSE(Enabled(p, id)) << id;

    ASSERT_TRUE(Click(p, 1030));
    for (int id : below)
        EXPECT_EQ(Enabled(p, id), id != 1043 && id != 1047 && id != 1044) << id;
    ASSERT_TRUE(Click(p, 1046));
    ASSERT_TRUE(Click(p, 1030));
    ASSERT_TRUE(Click(p, 1030));
    for (int id : below)
        EXPECT_TRUE(Enabled(p, id)) << id << " with both switches on";

    // The threshold warning: at 100, not at 99.
    ASSERT_TRUE(SetText(p, 1043, "99"));
    Sleep(300);
    EXPECT_EQ(FindWindowA("#32770", "Vantor"), nullptr);
    // The warning is modal inside the edit's change: the send returns late.
    testkit::SendWithTimeout(GetDlgItem(p, 1043), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("100"),
                             300, nullptr);
    HWND warning = WaitDialog("Vantor");
    ASSERT_NE(warning, nullptr);
    ASSERT_TRUE(Press(warning, IDOK));
    EXPECT_EQ(Text(p, 1043), "100");

    MoveSlider(p, 1034, 1200);
    EXPECT_EQ(Text(p, 1033), "1200");
    ASSERT_TRUE(SetText(p, 1033, "2500"));
    EXPECT_EQ(SliderPos(p, 1034), 2500);

    // On with no name: both closing buttons refuse with the message.
    for (int button : {IDOK, 3}) {
        ASSERT_TRUE(PostClick(dialog, button));
        HWND refusal = WaitDialog("Vantor エラー");
        ASSERT_NE(refusal, nullptr) << button;
        ASSERT_TRUE(Press(refusal, IDOK));
        EXPECT_TRUE(IsWindow(dialog));
    }

    // The save-file chooser: cancelled it changes nothing, used it names the log.
    ASSERT_TRUE(PostClick(p, 1032));
    ASSERT_TRUE(CancelChooser("Vantor のログファイル"));
    EXPECT_EQ(Text(p, 1031), "");
    ASSERT_TRUE(PostClick(p, 1032));
    HWND save = WaitDialog("Vantor のログファイル");
    ASSERT_NE(save, nullptr);
    const std::string chosen = v.dir + "\\chosen.log";
    // The file name box: the edit inside the combo box of ComboBoxEx 1148.
    HWND nameCombo = FindWindowExA(GetDlgItem(save, 1148), nullptr, "ComboBox", nullptr);
    HWND nameBox = FindWindowExA(nameCombo, nullptr, "Edit", nullptr);
    ASSERT_NE(nameBox, nullptr);
    testkit::SendWithTimeout(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen.c_str()), 5000,
                             nullptr);
    ASSERT_TRUE(Press(save, IDOK));
    EXPECT_TRUE(testkit::WaitUntil([&] { return Text(p, 1031) == chosen; }, 3000));

    ASSERT_TRUE(Press(dialog, IDOK));
    const IniMap after = ReadIni(v.ini);
    EXPECT_EQ(after.at("Config\\Log").at("logfile"), chosen);
    EXPECT_EQ(after.at("Config\\Log").at("logout"), "1");
    EXPECT_EQ(after.at("Config\\Log").at("loglimit"), "1");
    EXPECT_EQ(after.at("Config\\Log").at("loglimitval"), "100");
    EXPECT_EQ(after.at("Config\\Log").at("tmrate2"), "2500");
    EXPECT_EQ(after.at("Config").at("tmrate"), "0");
    const int repaints = Repaints(2000);
    EXPECT_GE(repaints, 8);
    EXPECT_LE(repaints, 24) << "no faster than a tick every 100 ms";
}

TEST_F(OptionsDialog, ExtrasPageSkinListIconFolderAndCancelledChoosers) {
    ASSERT_TRUE(Launch(v, "opt_extras", defaults, "cpus 1\n30\n",
                       {{"Config\\Ext", "skinname", "blue"}}));
    MakeFolder(v, "blue", true);
    MakeFolder(v, "old", false);
    MakeFolder(v, std::string(70, 'k'), true); // too long for skinname
    HWND dialog = OpenOptions(v);
    ASSERT_NE(dialog, nullptr);

    // Cancelled font and colour choosers leave the page as it was.
    NextTab(dialog);
    ASSERT_TRUE(OnlyPageShown(dialog, 1));
    HWND p1 = Page(dialog, 1);
    const std::string face = Text(p1, 1077);
    ASSERT_TRUE(PostClick(p1, 1076));
    ASSERT_TRUE(CancelChooser("フォントの指定"));
    EXPECT_EQ(Text(p1, 1077), face);
    ASSERT_TRUE(ClickAt(GetDlgItem(p1, 1024)));
    ASSERT_TRUE(CancelChooser("色"));

    NextTab(dialog);
    NextTab(dialog);
    ASSERT_TRUE(OnlyPageShown(dialog, 3));
    HWND p3 = Page(dialog, 3);
    std::vector<std::string> entries;
    for (int i = 0; i < ComboCount(p3, 1079); ++i)
        entries.push_back(ComboEntry(p3, 1079, i));
    EXPECT_EQ(entries, (std::vector<std::string>{u8"（なし）", "blue"}));
    EXPECT_EQ(SendMessageA(GetDlgItem(p3, 1079), CB_GETCURSEL, 0, 0), 1) << "blue selected";
    PickCombo(p3, 1079, 0);

    EXPECT_FALSE(Enabled(p3, 1067));
    EXPECT_FALSE(Enabled(p3, 1068));
    ASSERT_TRUE(Click(p3, 1069));
    EXPECT_TRUE(Enabled(p3, 1067));
    EXPECT_TRUE(Enabled(p3, 1068));
    ASSERT_TRUE(SetText(p3, 1067, "C:\\icons\\"));
    ASSERT_TRUE(PostClick(p3, 1068));
    ASSERT_TRUE(CancelChooser("フォルダーの参照"));
    EXPECT_EQ(Text(p3, 1067), "C:\\icons\\");
    ASSERT_TRUE(SetText(p3, 1040, "4000"));
    EXPECT_EQ(SliderPos(p3, 1041), 4000);

    ASSERT_TRUE(Press(dialog, IDOK));
    const IniMap after = ReadIni(v.ini);
    EXPECT_EQ(after.at("Config\\Ext").at("skinname"), "");
    EXPECT_EQ(after.at("Config\\Ext").at("iconpath"), "C:\\icons");
    EXPECT_EQ(after.at("Config\\Ext").at("usericon"), "1");
    EXPECT_EQ(after.at("Config\\Ext").at("tmrate3"), "4000");
    EXPECT_EQ(after.at("Config").at("font"), face);
}

} // namespace
