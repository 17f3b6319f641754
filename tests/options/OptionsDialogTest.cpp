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

LRESULT Send(HWND w, UINT m, WPARAM wp = 0, LPARAM lp = 0) {
    LRESULT r = 0;
    testkit::SendWithTimeout(w, m, wp, lp, 5000, &r);
    return r;
}
bool Click(HWND page, int id) {
    return Send(GetDlgItem(page, id), BM_CLICK) == 0;
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
void SetText(HWND control, const std::string& text, DWORD ms = 5000) {
    testkit::SendWithTimeout(control, WM_SETTEXT, 0, LPARAM(text.c_str()), ms, nullptr);
}
std::string Text(HWND page, int id) {
    char buf[512] = {};
    Send(GetDlgItem(page, id), WM_GETTEXT, sizeof buf, LPARAM(buf));
    return buf;
}
void MoveSlider(HWND page, int id, int position) {
    Send(GetDlgItem(page, id), TBM_SETPOS, TRUE, position);
    Send(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), LPARAM(GetDlgItem(page, id)));
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
    bool gone = testkit::Post(GetDlgItem(dialog, id), BM_CLICK, 0, 0) &&
                testkit::WaitUntil([&] { return !IsWindow(dialog); }, 10000);
    if (owner) Send(owner, WM_NULL);
    return gone;
}
bool Cancel(const char* title) {
    HWND chooser = WaitDialog(title);
    return chooser && Press(chooser, IDCANCEL);
}
bool PickColour(int r, int g, int b) {
    HWND chooser = WaitDialog("色");
    const int rgb[3] = {r, g, b};
    for (int k = 0; chooser && k < 3; ++k)
        SetText(GetDlgItem(chooser, 706 + k), std::to_string(rgb[k]));
    return chooser && Press(chooser, IDOK);
}
void ClickAt(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}
COLORREF ScreenAt(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ReleaseDC(nullptr, screen);
    return c;
}
// The skin list in UTF-8 (the wide message reads it across processes).
std::vector<std::string> Skins(HWND page) {
    std::vector<std::string> out;
    for (int i = 0; i < Send(GetDlgItem(page, 1079), CB_GETCOUNT); ++i) {
        wchar_t wide[128] = {};
        char utf8[256] = {};
        SendMessageTimeoutW(GetDlgItem(page, 1079), CB_GETLBTEXT, i, LPARAM(wide), SMTO_ABORTIFHUNG,
                            5000, nullptr);
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
        out.push_back(utf8);
    }
    return out;
}
void PickSkin(HWND page, const std::string& name) {
    const std::vector<std::string> skins = Skins(page);
    const auto at = std::find(skins.begin(), skins.end(), name);
    Send(GetDlgItem(page, 1079), CB_SETCURSEL, at - skins.begin());
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
        ASSERT_TRUE(testkit::ReadFileText(first.ini, &defaults));
    }
    void TearDown() override {
        if (window && testkit::Post(window, WM_COMMAND, 40001, 0))
            testkit::WaitExit(process, 10000, nullptr);
        window = nullptr;
    }
    // A copy of the program in its own folder, its settings the defaults
    // with the given keys.
    bool Launch(const char* name, const std::string& script, const Keys& keys) {
        dir = testkit::FreshTempDir(name);
        ini = dir + "\\vantor.ini";
        CopyFileA((testkit::BuildDir() + "\\..\\..\\bin\\vantor.exe").c_str(),
                  (dir + "\\vantor.exe").c_str(), FALSE);
        if (!defaults.empty()) Edited(ini, defaults, keys);
        testkit::RunOptions o;
        o.exe = dir + "\\vantor.exe";
        o.workDir = dir;
        o.providerScript = testkit::WriteTextFile(dir + "\\loads.txt", script);
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
        Sleep(600);
        testkit::Screenshot(name);
    }
    std::vector<COLORREF> Pixels(int* w) {
        std::vector<COLORREF> px;
        int h = 0;
        testkit::ReadWindowPixels(window, &px, w, &h);
        return px;
    }
    COLORREF SkinCorner() {
        int w = 0;
        const std::vector<COLORREF> px = Pixels(&w);
        return px.size() > size_t(w) + 1 ? px[size_t(w) + 1] : 0;
    }
    // Repaints of the window within ms: one per sampling tick.
    int Repaints(DWORD ms) {
        int changes = 0, w = 0;
        unsigned long long last = 0;
        for (const DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(40)) {
            unsigned long long sum = 0;
            for (COLORREF c : Pixels(&w))
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
    EXPECT_LE(Repaints(2500), 2) << "a tick every 2 s";
    RECT was, now, tab, page;
    GetWindowRect(window, &was);

    ASSERT_NE(Open(), nullptr);
    HWND p0 = ShowTab(0);
    ASSERT_NE(p0, nullptr);
    GetWindowRect(GetDlgItem(dialog, 1026), &tab);
    GetWindowRect(p0, &page);
    EXPECT_EQ(page.left - tab.left, 2);
    EXPECT_EQ(page.top - tab.top, 21);
    Shoot("options_page0");
    SetText(GetDlgItem(p0, 1007), "300");
    EXPECT_EQ(SliderPos(p0, 1008), 300);

    HWND p1 = ShowTab(1);
    ASSERT_NE(p1, nullptr);
    Shoot("options_page1");
    ClickAt(GetDlgItem(p1, 1012));
    ASSERT_TRUE(PickColour(10, 20, 250));
    EXPECT_EQ(ScreenAt(GetDlgItem(p1, 1012)), RGB(10, 20, 250)) << "the swatch shows the pick";
    Click(p1, 1029);
    SetText(GetDlgItem(p1, 1052), "Load #0 %");

    HWND p2 = ShowTab(2);
    ASSERT_NE(p2, nullptr);
    Shoot("options_page2");
    Click(p2, 1030);
    const std::string log = dir + "\\load.log";
    SetText(GetDlgItem(p2, 1031), log);

    HWND p3 = ShowTab(3);
    ASSERT_NE(p3, nullptr);
    Shoot("options_page3");
    PickSkin(p3, "night");
    Click(p3, 1071);
    ASSERT_TRUE(Press(dialog, IDOK));

    // The whole file, exactly these keys changed.
    const Keys changed = {{"Config", "tmrate", "300"},
                          {"Config", "gline", "0"},
                          {"Config\\Color", "color0", "0xfa140a"},
                          {"Config\\Color", "format_0", "Load_#0_%"},
                          {"Config\\Log", "logout", "1"},
                          {"Config\\Log", "logfile", log},
                          {"Config\\Ext", "skinname", "night"},
                          {"Config\\Ext", "kakusi", "1"}};
    EXPECT_EQ(FileText(ini), FileText(Edited(dir + "\\expected.ini", before, changed)));

    Sleep(700);
    int w = 0;
    const std::vector<COLORREF> px = Pixels(&w);
    EXPECT_NE(std::find(px.begin(), px.end(), RGB(10, 20, 250)), px.end()) << "the low-load colour";
    EXPECT_EQ(SkinCorner(), RGB(22, 26, 34)) << "the night skin";
    GetWindowRect(window, &now);
    EXPECT_GT(now.bottom - now.top, was.bottom - was.top) << "the memory line adds a row";
    EXPECT_EQ(now.left, was.left) << "the relayout does not move the window";
    EXPECT_GE(Repaints(2500), 5) << "the sampling timer runs every 300 ms";
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
    PickSkin(ShowTab(3), "night");
    ASSERT_TRUE(Press(dialog, 3));
    Sleep(500);
    EXPECT_EQ(SkinCorner(), RGB(22, 26, 34));
    EXPECT_EQ(FileText(ini), before);
    // A menu command saves only its own two sections: the skin stays unsaved.
    testkit::SendWithTimeout(window, WM_COMMAND, 40012, 0, 5000, nullptr);
    EXPECT_EQ(FileText(ini),
              FileText(Edited(dir + "\\expected.ini", before, {{"Window", "wintop", "1"}})));
    testkit::SendWithTimeout(window, WM_COMMAND, 40012, 0, 5000, nullptr);

    ASSERT_NE(Open(), nullptr);
    HWND p0 = ShowTab(0);
    EXPECT_EQ(Text(p0, 1062), "200");
    MoveSlider(p0, 1014, 60);
    EXPECT_EQ(Text(p0, 1062), "60");
    EXPECT_TRUE(testkit::WaitUntil([&] { return Alpha() == 60; }, 2000)) << "the live preview";
    HWND p1 = ShowTab(1);
    ClickAt(GetDlgItem(p1, 1013));
    ASSERT_TRUE(PickColour(1, 2, 3));
    SetText(GetDlgItem(p1, 1052), "X #0");
    Click(ShowTab(2), 1030); // a refused OK collects every page first
    PostClick(dialog, IDOK);
    ASSERT_TRUE(Press(WaitDialog("Vantor エラー"), IDOK));
    ASSERT_TRUE(Press(dialog, IDCANCEL));
    EXPECT_EQ(Alpha(), 200);

    // The next opening starts from the settings in force, not the cancelled copy.
    ASSERT_NE(Open(), nullptr);
    p1 = ShowTab(1);
    Sleep(300);
    EXPECT_EQ(ScreenAt(GetDlgItem(p1, 1013)), RGB(255, 240, 0));
    EXPECT_EQ(Text(p1, 1052), "CPU:_#0%");
    ASSERT_TRUE(Press(dialog, IDCANCEL));
    EXPECT_EQ(FileText(ini), before);
}

TEST_F(OptionsDialog, LogPageEnablingWarningRefusalAndSaveChooser) {
    ASSERT_TRUE(Launch("opt_log", SwingingLoads(), {}));
    ASSERT_NE(Open(), nullptr);
    SetText(GetDlgItem(ShowTab(0), 1007), ""); // kept as typed, never timed as 0
    HWND p = ShowTab(2);
    ASSERT_NE(p, nullptr);
    const int below[] = {1031, 1032, 1035, 1057, 1033, 1034, 1046, 1043, 1047, 1044};
    for (int on : {0, 1, 2}) { // logout off; on; on with the size reduction
        for (int id : below)
            EXPECT_EQ(Enabled(p, id),
                      on == 2 || (on == 1 && id != 1043 && id != 1047 && id != 1044))
                << id << " in state " << on;
        if (on < 2) Click(p, on == 0 ? 1030 : 1046);
    }
    Click(p, 1030); // off and on again: 1046 still checked
    Click(p, 1030);
    EXPECT_TRUE(Enabled(p, 1044));

    SetText(GetDlgItem(p, 1043), "99");
    Sleep(300);
    EXPECT_EQ(FindWindowA("#32770", "Vantor"), nullptr);
    SetText(GetDlgItem(p, 1043), "100", 300); // the warning is modal inside the change
    HWND warning = WaitDialog("Vantor");
    ASSERT_NE(warning, nullptr);
    ASSERT_TRUE(Press(warning, IDOK));
    MoveSlider(p, 1034, 1200);
    EXPECT_EQ(Text(p, 1033), "1200");

    for (int button : {IDOK, 3}) { // on without a name: both refuse
        PostClick(dialog, button);
        HWND refusal = WaitDialog("Vantor エラー");
        ASSERT_NE(refusal, nullptr) << button;
        ASSERT_TRUE(Press(refusal, IDOK));
        EXPECT_TRUE(IsWindow(dialog));
    }

    PostClick(p, 1032);
    ASSERT_TRUE(Cancel("Vantor のログファイル"));
    EXPECT_EQ(Text(p, 1031), "");
    PostClick(p, 1032);
    HWND save = WaitDialog("Vantor のログファイル");
    ASSERT_NE(save, nullptr);
    const std::string chosen = dir + "\\chosen.log";
    HWND nameCombo = FindWindowExA(GetDlgItem(save, 1148), nullptr, "ComboBox", nullptr);
    SetText(FindWindowExA(nameCombo, nullptr, "Edit", nullptr), chosen);
    ASSERT_TRUE(Press(save, IDOK));
    EXPECT_TRUE(testkit::WaitUntil([&] { return Text(p, 1031) == chosen; }, 3000));

    ASSERT_TRUE(Press(dialog, IDOK));
    EXPECT_EQ(Key("Config\\Log", "logfile"), chosen);
    EXPECT_EQ(Key("Config\\Log", "loglimitval"), "100");
    EXPECT_EQ(Key("Config\\Log", "tmrate2"), "1200");
    EXPECT_EQ(Key("Config", "tmrate"), "0");
    // With the log running, only the lower threshold keeps the open file;
    // another interval opens it afresh, moving the old one aside.
    testkit::Post(window, WM_COMMAND, 40024, 0);
    ASSERT_TRUE(testkit::WaitUntil([&] { return FileText(chosen).size() > 0; }, 3000));
    auto rotated = [&] {
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA((chosen + ".2*").c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) FindClose(h);
        return h != INVALID_HANDLE_VALUE;
    };
    for (int id : {1043, 1033}) {
        ASSERT_NE(Open(), nullptr);
        SetText(GetDlgItem(ShowTab(2), id), id == 1043 ? "5" : "700");
        ASSERT_TRUE(Press(dialog, IDOK));
        EXPECT_EQ(rotated(), id == 1033) << id;
    }
    const int repaints = Repaints(2000);
    EXPECT_GE(repaints, 1);
    EXPECT_LE(repaints, 3) << "an emptied interval samples at the default pace";
}

TEST_F(OptionsDialog, ExtrasPageSkinListIconFolderAndCancelledChoosers) {
    ASSERT_TRUE(Launch("opt_extras", "cpus 1\n30\n", {{"Config\\Ext", "skinname", "blue"}}));
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
    ASSERT_NE(p3, nullptr);
    EXPECT_EQ(Skins(p3), (std::vector<std::string>{u8"（なし）", "blue"}));
    EXPECT_EQ(Send(GetDlgItem(p3, 1079), CB_GETCURSEL), 1) << "blue selected";
    Send(GetDlgItem(p3, 1079), CB_SETCURSEL, 0);
    EXPECT_FALSE(Enabled(p3, 1067) || Enabled(p3, 1068));
    Click(p3, 1069);
    EXPECT_TRUE(Enabled(p3, 1067) && Enabled(p3, 1068));
    SetText(GetDlgItem(p3, 1067), "C:\\icons\\");
    PostClick(p3, 1068);
    ASSERT_TRUE(Cancel("フォルダーの参照"));
    EXPECT_EQ(Text(p3, 1067), "C:\\icons\\");
    SetText(GetDlgItem(p3, 1040), "4000");
    EXPECT_EQ(SliderPos(p3, 1041), 4000);

    ASSERT_TRUE(Press(dialog, IDOK));
    EXPECT_EQ(Key("Config\\Ext", "skinname"), "");
    EXPECT_EQ(Key("Config\\Ext", "iconpath"), "C:\\icons");
    EXPECT_EQ(Key("Config\\Ext", "tmrate3"), "4000");
    EXPECT_EQ(Key("Config", "font"), face);
}

} // namespace
