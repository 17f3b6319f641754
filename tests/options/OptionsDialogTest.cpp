// The options dialog of the real program, driven from another process as
// the platform allows (posted clicks and keys, WM_SETTEXT, the pointer, the
// common dialogs by title); effects read from vantor.ini, the window and
// the screen. The four pages are shot to build/windows/screenshots.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/testkit/testkit.h"

namespace {

using Keys = std::vector<std::vector<std::string>>; // {section, key, value}

LRESULT Send(HWND w, UINT m, WPARAM wp = 0, LPARAM lp = 0, DWORD ms = 5000) {
    LRESULT r = 0;
    testkit::SendWithTimeout(w, m, wp, lp, ms, &r);
    return r;
}
void Click(HWND page, int id) {
    Send(GetDlgItem(page, id), BM_CLICK);
}
void PostClick(HWND page, int id) {
    testkit::Post(GetDlgItem(page, id), BM_CLICK, 0, 0);
}
bool Enabled(HWND page, int id) {
    return IsWindowEnabled(GetDlgItem(page, id)) != 0;
}
int SliderPos(HWND page, int id) {
    return int(Send(GetDlgItem(page, id), TBM_GETPOS));
}
void SetText(HWND page, int id, const std::string& text, DWORD ms = 5000) {
    Send(GetDlgItem(page, id), WM_SETTEXT, 0, LPARAM(text.c_str()), ms);
}
std::string Text(HWND page, int id) {
    char buf[512] = {};
    Send(GetDlgItem(page, id), WM_GETTEXT, sizeof buf, LPARAM(buf));
    return buf;
}
HWND WaitDialog(const char* title) {
    HWND found = nullptr;
    testkit::WaitUntil(
        [&] { return (found = FindWindowA("#32770", title)) && IsWindowVisible(found); }, 10000);
    return found;
}
// Ends a dialog with a button; its owner has taken the result over once it
// answers again.
bool Press(HWND dialog, int id) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    PostClick(dialog, id);
    const bool gone = testkit::WaitUntil([&] { return !IsWindow(dialog); }, 10000);
    Send(owner, WM_NULL);
    return gone;
}
bool Cancel(const char* title) {
    return Press(WaitDialog(title), IDCANCEL);
}
bool PickColour(int r, int g, int b) {
    HWND chooser = WaitDialog("色");
    const int rgb[3] = {r, g, b};
    for (int k = 0; k < 3; ++k)
        SetText(chooser, 706 + k, std::to_string(rgb[k]));
    return Press(chooser, IDOK);
}
POINT Centre(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
void ClickAt(HWND control) {
    SetCursorPos(Centre(control).x, Centre(control).y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}
COLORREF ScreenAt(HWND control) {
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, Centre(control).x, Centre(control).y);
    ReleaseDC(nullptr, screen);
    return c;
}
// A busy machine repaints a swatch some time after the chooser closes.
bool ShowsColour(HWND control, COLORREF colour) {
    return testkit::WaitUntil([&] { return ScreenAt(control) == colour; }, 5000);
}
// Entry 1, "cpu 1", of the series list as the screen shows it, against that
// text drawn here in a face, right of the colour square.
bool SeriesEntryDrawnIn(HWND list, const char* face) {
    RECT client;
    GetClientRect(list, &client);
    const int h = int(Send(list, LB_GETITEMHEIGHT)), w = client.right - (h + 1);
    POINT at = {h + 1, h};
    ClientToScreen(list, &at);
    HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
    HBITMAP drawn = CreateCompatibleBitmap(screen, w, h);
    HFONT font = CreateFontA(13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, 0, face);
    HGDIOBJ oldBitmap = SelectObject(dc, drawn), oldFont = SelectObject(dc, font);
    const RECT all = {0, 0, w, h};
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &all, "cpu 1", 5, nullptr);
    bool same = true;
    for (int i = 0; same && i < w * h; ++i)
        same = GetPixel(dc, i % w, i / w) == GetPixel(screen, at.x + i % w, at.y + i / w);
    SelectObject(dc, oldFont), SelectObject(dc, oldBitmap);
    DeleteObject(font), DeleteObject(drawn), DeleteDC(dc), ReleaseDC(nullptr, screen);
    return same;
}

// Loads swinging between 10 and 90 %, so that every tick repaints.
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
        struct First : OptionsDialog {
            void TestBody() override {}
        } first;
        ASSERT_TRUE(first.Launch("opt_defaults", "cpus 1\n20\n", {}));
        first.TearDown();
        defaults = first.FileText(first.ini);
    }
    void TearDown() override {
        if (window && testkit::Post(window, WM_COMMAND, 40001, 0))
            testkit::WaitExit(process, 10000, nullptr);
    }
    // A copy of the program in its own folder: the default settings with keys.
    bool Launch(const char* name, const std::string& script, const Keys& keys) {
        dir = testkit::FreshTempDir(name);
        ini = dir + "\\vantor.ini";
        CopyFileA((testkit::BuildDir() + "\\..\\..\\bin\\vantor.exe").c_str(),
                  (dir + "\\vantor.exe").c_str(), FALSE);
        if (!defaults.empty()) Edited(ini, defaults, keys);
        testkit::RunOptions o{
            dir + "\\vantor.exe", "", dir, testkit::WriteTextFile(dir + "\\loads.txt", script), {}};
        window = testkit::Start(o, &process)
                     ? testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000)
                     : nullptr;
        return window != nullptr;
    }
    // The file at path holding text with those keys written over it.
    static const std::string& Edited(const std::string& path, const std::string& text,
                                     const Keys& keys) {
        testkit::WriteTextFile(path, text);
        for (const auto& k : keys)
            WritePrivateProfileStringA(k[0].c_str(), k[1].c_str(), k[2].c_str(), path.c_str());
        return path;
    }
    std::string FileText(const std::string& path) {
        std::string text;
        testkit::ReadFileText(path, &text);
        return text;
    }
    std::string Key(const char* section, const char* key) {
        char value[512] = {};
        GetPrivateProfileStringA(section, key, "?", value, sizeof value, ini.c_str());
        return value;
    }
    void Folder(const std::string& name, bool skinIni) {
        CreateDirectoryA((dir + "\\" + name).c_str(), nullptr);
        if (skinIni)
            testkit::WriteTextFile(dir + "\\" + name + "\\skin.ini",
                                   "[COLOR]\r\nBACK=22 26 34\r\n");
    }
    // The command 設定..., then the dialog.
    HWND Open() {
        testkit::Post(window, WM_COMMAND, 40010, 0);
        return dialog = WaitDialog("Vantorモニタ 設定");
    }
    // The page of a tab, known by a control that only it has.
    HWND Page(int index) {
        const int marks[4] = {1059, 1072, 1030, 1079};
        HWND tab = GetDlgItem(dialog, 1026), c = nullptr;
        while ((c = FindWindowExA(tab, c, "#32770", nullptr)) && !GetDlgItem(c, marks[index])) {
        }
        return c;
    }
    // The right-arrow key on the tab control until that page shows alone.
    HWND ShowTab(int index) {
        HWND tab = GetDlgItem(dialog, 1026);
        for (int i = int(Send(tab, TCM_GETCURSEL)); i < index; ++i) {
            testkit::Post(tab, WM_KEYDOWN, VK_RIGHT, 0);
            Send(tab, WM_NULL);
        }
        auto alone = [&] {
            for (int i = 0; i < 4; ++i)
                if ((IsWindowVisible(Page(i)) != 0) != (i == index)) return false;
            return true;
        };
        return testkit::WaitUntil(alone, 3000) ? Page(index) : nullptr;
    }
    void Shoot(const char* name) {
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(400);
        testkit::Screenshot(name);
    }
    std::vector<COLORREF> Pixels() {
        std::vector<COLORREF> px;
        testkit::ReadWindowPixels(window, &px, &width, &height);
        return px;
    }
    // Repaints of the window within ms: one per sampling tick.
    int Repaints(DWORD ms) {
        int changes = 0;
        unsigned long long last = 0;
        for (const DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(40)) {
            unsigned long long sum = 0;
            for (COLORREF c : Pixels())
                sum = sum * 31 + c;
            changes += last != 0 && sum != last;
            last = sum;
        }
        return changes;
    }
    int Alpha() {
        BYTE a = 0;
        GetLayeredWindowAttributes(window, nullptr, &a, nullptr);
        return a;
    }

    static std::string defaults;
    std::string dir, ini;
    testkit::Process process;
    HWND window = nullptr, dialog = nullptr;
    int width = 0, height = 0;
};
std::string OptionsDialog::defaults;

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
    RECT tab, page;
    GetWindowRect(GetDlgItem(dialog, 1026), &tab);
    GetWindowRect(p0, &page);
    EXPECT_EQ(page.left - tab.left, 2);
    EXPECT_EQ(page.top - tab.top, 21);
    Shoot("options_page0");
    SetText(p0, 1007, "300");
    EXPECT_EQ(SliderPos(p0, 1008), 300);

    HWND p1 = ShowTab(1);
    Shoot("options_page1");
    ClickAt(GetDlgItem(p1, 1012));
    ASSERT_TRUE(PickColour(10, 20, 250));
    EXPECT_TRUE(ShowsColour(GetDlgItem(p1, 1012), RGB(10, 20, 250))) << "the swatch shows the pick";
    Click(p1, 1029);
    SetText(p1, 1052, "Load #0 %");

    HWND p2 = ShowTab(2);
    Shoot("options_page2");
    Click(p2, 1030);
    SetText(p2, 1031, dir + "\\load.log");

    HWND p3 = ShowTab(3);
    Shoot("options_page3");
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
        if (r.id == 1072) {
            // The series are listed in the dialog's face (substituted here),
            // not in one the system lacks (the fallback is fixed-pitch).
            EXPECT_TRUE(testkit::WaitUntil(
                [&] { return SeriesEntryDrawnIn(control, "ＭＳ Ｐゴシック"); }, 3000));
            EXPECT_FALSE(SeriesEntryDrawnIn(control, "ＭＳ Pゴシック"));
        }
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
    ASSERT_TRUE(Cancel("Vantor のログファイル"));
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
    ASSERT_TRUE(Cancel("フォントの指定"));
    EXPECT_EQ(Text(p1, 1077), face);
    ClickAt(GetDlgItem(p1, 1024));
    ASSERT_TRUE(Cancel("色"));

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
    ASSERT_TRUE(Cancel("フォルダーの参照"));
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
