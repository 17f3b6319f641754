// The options dialog of the real program, driven from another process as
// the platform allows (posted clicks and keys, WM_SETTEXT, the pointer, the
// common dialogs by title); effects read from vantor.ini, the window and
// the screen. The four pages are shot to build/windows/screenshots.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/testkit/testkit.h"

namespace {

using Ini = std::map<std::string, std::string>; // "Section.key" -> value

Ini ReadIni(const std::string& path) {
    Ini ini;
    std::string text, line, section;
    testkit::ReadFileText(path, &text);
    std::istringstream in(text);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t eq = line.find('=');
        if (line.size() > 1 && line[0] == '[')
            section = line.substr(1, line.size() - 2);
        else if (eq != std::string::npos)
            ini[section + "." + line.substr(0, eq)] = line.substr(eq + 1);
    }
    return ini;
}

Ini Changes(const Ini& before, const Ini& after) {
    Ini out;
    for (const auto& [key, value] : after)
        if (!before.count(key) || before.at(key) != value) out[key] = value;
    return out;
}

LRESULT Send(HWND w, UINT m, WPARAM wp = 0, LPARAM lp = 0) {
    LRESULT r = 0;
    testkit::SendWithTimeout(w, m, wp, lp, 5000, &r);
    return r;
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
    if (!testkit::Post(GetDlgItem(dialog, id), BM_CLICK, 0, 0) ||
        !testkit::WaitUntil([&] { return !IsWindow(dialog); }, 10000))
        return false;
    if (owner) Send(owner, WM_NULL);
    return true;
}

bool PickColour(int r, int g, int b) {
    HWND chooser = WaitDialog("色");
    for (int k = 0; chooser && k < 3; ++k)
        Send(GetDlgItem(chooser, 706 + k), WM_SETTEXT, 0,
             reinterpret_cast<LPARAM>(std::to_string(k == 0   ? r
                                                     : k == 1 ? g
                                                              : b)
                                          .c_str()));
    return chooser && Press(chooser, IDOK);
}

bool Cancel(const char* title) {
    HWND chooser = WaitDialog(title);
    return chooser && Press(chooser, IDCANCEL);
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
        ASSERT_TRUE(first.Launch("opt_defaults", "", "cpus 1\n20\n", {}));
        first.TearDown();
        ASSERT_TRUE(testkit::ReadFileText(first.ini, &defaults));
    }
    void TearDown() override {
        if (window && testkit::Post(window, WM_COMMAND, 40001, 0))
            testkit::WaitExit(process, 10000, nullptr);
        window = nullptr;
    }

    bool Launch(const char* name, const std::string& text, const std::string& script,
                const std::vector<std::vector<const char*>>& tweaks) {
        dir = testkit::FreshTempDir(name);
        ini = dir + "\\vantor.ini";
        CopyFileA((testkit::BuildDir() + "\\..\\..\\bin\\vantor.exe").c_str(),
                  (dir + "\\vantor.exe").c_str(), FALSE);
        if (!text.empty()) testkit::WriteTextFile(ini, text);
        for (const auto& t : tweaks)
            WritePrivateProfileStringA(t[0], t[1], t[2], ini.c_str());
        testkit::RunOptions o;
        o.exe = dir + "\\vantor.exe";
        o.workDir = dir;
        o.providerScript = testkit::WriteTextFile(dir + "\\loads.txt", script);
        window = testkit::Start(o, &process)
                     ? testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000)
                     : nullptr;
        return window != nullptr;
    }
    void Folder(const std::string& name, bool skinIni) {
        CreateDirectoryA((dir + "\\" + name).c_str(), nullptr);
        if (skinIni)
            testkit::WriteTextFile(dir + "\\" + name + "\\skin.ini",
                                   "[COLOR]\r\nBACK=22 26 34\r\n");
    }

    // The command 設定..., then the dialog with the page of tab 0 shown.
    HWND Open() {
        testkit::Post(window, WM_COMMAND, 40010, 0);
        return dialog = WaitDialog("Vantorモニタ 設定");
    }
    // The page of tab index, known by a control only it has.
    HWND Page(int index) {
        const int marks[4] = {1059, 1072, 1030, 1079};
        HWND tab = GetDlgItem(dialog, 1026);
        for (HWND c = FindWindowExA(tab, nullptr, "#32770", nullptr); c;
             c = FindWindowExA(tab, c, "#32770", nullptr))
            if (GetDlgItem(c, marks[index])) return c;
        return nullptr;
    }
    // The right-arrow key on the tab control until tab index shows alone.
    HWND ShowTab(int index) {
        for (int i = static_cast<int>(Send(GetDlgItem(dialog, 1026), TCM_GETCURSEL)); i < index;
             ++i) {
            testkit::Post(GetDlgItem(dialog, 1026), WM_KEYDOWN, VK_RIGHT, 0);
            Send(GetDlgItem(dialog, 1026), WM_NULL);
        }
        const bool alone = testkit::WaitUntil(
            [&] {
                for (int i = 0; i < 4; ++i)
                    if ((IsWindowVisible(Page(i)) != 0) != (i == index)) return false;
                return true;
            },
            3000);
        return alone ? Page(index) : nullptr;
    }
    void Shoot(const char* name) {
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(600);
        testkit::Screenshot(name);
    }

    // Repaints of the window within ms: one per sampling tick.
    int Repaints(DWORD ms) {
        int changes = 0;
        unsigned long long last = 0;
        for (const DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(40)) {
            std::vector<COLORREF> px;
            int w = 0, h = 0;
            unsigned long long sum = 0;
            if (!testkit::ReadWindowPixels(window, &px, &w, &h)) continue;
            for (COLORREF c : px)
                sum = sum * 31 + c;
            changes += last != 0 && sum != last;
            last = sum;
        }
        return changes;
    }
    std::vector<COLORREF> Pixels(int* w) {
        std::vector<COLORREF> px;
        int h = 0;
        testkit::ReadWindowPixels(window, &px, w, &h);
        return px;
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

bool Click(HWND page, int id) {
    return Send(GetDlgItem(page, id), BM_CLICK) == 0;
}
void PostClick(HWND page, int id) {
    testkit::Post(GetDlgItem(page, id), BM_CLICK, 0, 0);
}
void SetText(HWND page, int id, const char* text, DWORD ms = 5000) {
    testkit::SendWithTimeout(GetDlgItem(page, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text),
                             ms, nullptr);
}
std::string Text(HWND page, int id) {
    char buf[512] = {};
    Send(GetDlgItem(page, id), WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
    return buf;
}
bool Enabled(HWND page, int id) {
    return IsWindowEnabled(GetDlgItem(page, id)) != 0;
}
int SliderPos(HWND page, int id) {
    return static_cast<int>(Send(GetDlgItem(page, id), TBM_GETPOS));
}
void MoveSlider(HWND page, int id, int position) {
    Send(GetDlgItem(page, id), TBM_SETPOS, TRUE, position);
    testkit::Post(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                  reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    Send(page, WM_NULL);
}
// The skin list's entries in UTF-8 (the wide message works across processes).
std::vector<std::string> Skins(HWND page) {
    std::vector<std::string> out;
    for (int i = 0; i < Send(GetDlgItem(page, 1079), CB_GETCOUNT); ++i) {
        wchar_t wide[128] = {};
        DWORD_PTR r;
        SendMessageTimeoutW(GetDlgItem(page, 1079), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide),
                            SMTO_ABORTIFHUNG, 5000, &r);
        char utf8[256] = {};
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
        out.push_back(utf8);
    }
    return out;
}
void PickSkin(HWND page, const std::string& name) {
    const std::vector<std::string> skins = Skins(page);
    for (size_t i = 0; i < skins.size(); ++i)
        if (skins[i] == name) Send(GetDlgItem(page, 1079), CB_SETCURSEL, i);
}

TEST_F(OptionsDialog, OkTakesOneChangeOfEachPageIntoTheWindowAndTheFile) {
    ASSERT_TRUE(Launch("opt_ok", defaults, SwingingLoads(),
                       {{"Config", "tmrate", "2000"},
                        {"Option", "memory", "1"},
                        {"Window", "posx", "400"},
                        {"Window", "posy", "40"}}));
    Folder("night", true);
    const Ini before = ReadIni(ini);
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
    SetText(p0, 1007, "300");
    EXPECT_EQ(SliderPos(p0, 1008), 300);

    HWND p1 = ShowTab(1);
    ASSERT_NE(p1, nullptr);
    Shoot("options_page1");
    ClickAt(GetDlgItem(p1, 1012));
    ASSERT_TRUE(PickColour(10, 20, 250));
    EXPECT_EQ(ScreenAt(GetDlgItem(p1, 1012)), RGB(10, 20, 250)) << "the swatch shows the pick";
    Click(p1, 1029);
    SetText(p1, 1052, "Load #0 %");

    HWND p2 = ShowTab(2);
    ASSERT_NE(p2, nullptr);
    Shoot("options_page2");
    Click(p2, 1030);
    const std::string log = dir + "\\load.log";
    SetText(p2, 1031, log.c_str());

    HWND p3 = ShowTab(3);
    ASSERT_NE(p3, nullptr);
    Shoot("options_page3");
    PickSkin(p3, "night");
    Click(p3, 1071);
    ASSERT_TRUE(Press(dialog, IDOK));

    const Ini want = {{"Config.tmrate", "300"},
                      {"Config.gline", "0"},
                      {"Config\\Color.color0", "0xfa140a"},
                      {"Config\\Color.format_0", "Load_#0_%"},
                      {"Config\\Log.logout", "1"},
                      {"Config\\Log.logfile", log},
                      {"Config\\Ext.skinname", "night"},
                      {"Config\\Ext.kakusi", "1"}};
    EXPECT_EQ(Changes(before, ReadIni(ini)), want);
    Sleep(700);
    int w = 0;
    const std::vector<COLORREF> px = Pixels(&w);
    EXPECT_NE(std::find(px.begin(), px.end(), RGB(10, 20, 250)), px.end()) << "the low-load colour";
    EXPECT_EQ(px.at(static_cast<size_t>(w) + 1), RGB(22, 26, 34)) << "the night skin";
    GetWindowRect(window, &now);
    EXPECT_GT(now.bottom - now.top, was.bottom - was.top) << "the memory line adds a row";
    EXPECT_EQ(now.left, was.left) << "the relayout does not move the window";
    EXPECT_GE(Repaints(2500), 5) << "the sampling timer runs every 300 ms";
}

TEST_F(OptionsDialog, ApplyWithoutSavingChangesTheWindowOnlyAndCancelOnlyTheOpacity) {
    ASSERT_TRUE(Launch("opt_nosave", defaults, "cpus 1\n30\n",
                       {{"Option", "trans", "1"},
                        {"Config", "trans", "200"},
                        {"Window", "posx", "600"},
                        {"Window", "posy", "400"}}));
    Folder("night", true);
    std::string before, after;
    ASSERT_TRUE(testkit::ReadFileText(ini, &before));
    ASSERT_NE(Open(), nullptr);
    PickSkin(ShowTab(3), "night");
    ASSERT_TRUE(Press(dialog, 3));
    Sleep(500);
    int w = 0;
    EXPECT_EQ(Pixels(&w).at(static_cast<size_t>(w) + 1), RGB(22, 26, 34));

    ASSERT_NE(Open(), nullptr);
    HWND p0 = ShowTab(0);
    EXPECT_EQ(Text(p0, 1062), "200");
    MoveSlider(p0, 1014, 60);
    EXPECT_EQ(Text(p0, 1062), "60");
    EXPECT_TRUE(testkit::WaitUntil([&] { return Alpha() == 60; }, 2000)) << "the live preview";
    ClickAt(GetDlgItem(ShowTab(1), 1013));
    ASSERT_TRUE(PickColour(1, 2, 3));
    ASSERT_TRUE(Press(dialog, IDCANCEL));
    EXPECT_EQ(Alpha(), 200);

    // The next opening starts from the settings in force, not the cancelled copy.
    ASSERT_NE(Open(), nullptr);
    HWND p1 = ShowTab(1);
    Sleep(300);
    EXPECT_EQ(ScreenAt(GetDlgItem(p1, 1013)), RGB(255, 240, 0));
    ASSERT_TRUE(Press(dialog, IDCANCEL));
    ASSERT_TRUE(testkit::ReadFileText(ini, &after));
    EXPECT_EQ(after, before);
}

TEST_F(OptionsDialog, LogPageEnablingWarningRefusalAndSaveChooser) {
    ASSERT_TRUE(Launch("opt_log", defaults, SwingingLoads(), {}));
    ASSERT_NE(Open(), nullptr);
    SetText(ShowTab(0), 1007, ""); // kept as typed, never sampled flat out
    HWND p = ShowTab(2);
    ASSERT_NE(p, nullptr);
    const int below[] = {1031, 1032, 1035, 1057, 1033, 1034, 1046, 1043, 1047, 1044};
    for (int id : below)
        EXPECT_FALSE(Enabled(p, id)) << id;
    Click(p, 1030);
    for (int id : below)
        EXPECT_EQ(Enabled(p, id), id != 1043 && id != 1047 && id != 1044) << id;
    Click(p, 1046);
    Click(p, 1030);
    Click(p, 1030);
    for (int id : below)
        EXPECT_TRUE(Enabled(p, id)) << id << " with both switches on";

    SetText(p, 1043, "99");
    Sleep(300);
    EXPECT_EQ(FindWindowA("#32770", "Vantor"), nullptr);
    SetText(p, 1043, "100", 300); // the warning is modal inside the change
    HWND warning = WaitDialog("Vantor");
    ASSERT_NE(warning, nullptr);
    ASSERT_TRUE(Press(warning, IDOK));
    MoveSlider(p, 1034, 1200);
    EXPECT_EQ(Text(p, 1033), "1200");
    SetText(p, 1033, "2500");
    EXPECT_EQ(SliderPos(p, 1034), 2500);

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
    SetText(nameCombo, GetDlgCtrlID(FindWindowExA(nameCombo, nullptr, "Edit", nullptr)),
            chosen.c_str());
    ASSERT_TRUE(Press(save, IDOK));
    EXPECT_TRUE(testkit::WaitUntil([&] { return Text(p, 1031) == chosen; }, 3000));

    ASSERT_TRUE(Press(dialog, IDOK));
    const Ini after = ReadIni(ini);
    EXPECT_EQ(after.at("Config\\Log.logfile"), chosen);
    EXPECT_EQ(after.at("Config\\Log.loglimitval"), "100");
    EXPECT_EQ(after.at("Config\\Log.tmrate2"), "2500");
    EXPECT_EQ(after.at("Config.tmrate"), "0");
    const int repaints = Repaints(2000);
    EXPECT_GE(repaints, 8);
    EXPECT_LE(repaints, 24) << "no faster than a tick every 100 ms";
}

TEST_F(OptionsDialog, ExtrasPageSkinListIconFolderAndCancelledChoosers) {
    ASSERT_TRUE(
        Launch("opt_extras", defaults, "cpus 1\n30\n", {{"Config\\Ext", "skinname", "blue"}}));
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
    SetText(p3, 1067, "C:\\icons\\");
    PostClick(p3, 1068);
    ASSERT_TRUE(Cancel("フォルダーの参照"));
    EXPECT_EQ(Text(p3, 1067), "C:\\icons\\");
    SetText(p3, 1040, "4000");
    EXPECT_EQ(SliderPos(p3, 1041), 4000);

    ASSERT_TRUE(Press(dialog, IDOK));
    const Ini after = ReadIni(ini);
    EXPECT_EQ(after.at("Config\\Ext.skinname"), "");
    EXPECT_EQ(after.at("Config\\Ext.iconpath"), "C:\\icons");
    EXPECT_EQ(after.at("Config\\Ext.tmrate3"), "4000");
    EXPECT_EQ(after.at("Config.font"), face);
}

} // namespace
