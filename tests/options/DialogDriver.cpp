#include "DialogDriver.h"

#include <commctrl.h>

#include <fstream>
#include <sstream>

namespace dialogdriver {

namespace {

std::string Bin() {
    return testkit::BuildDir() + "\\..\\..\\bin";
}

LRESULT Send(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    LRESULT r = 0;
    testkit::SendWithTimeout(w, m, wp, lp, 5000, &r);
    return r;
}

} // namespace

bool Launch(Vantor& v, const char* name, const std::string& ini, const std::string& script,
            const std::vector<Tweak>& tweaks) {
    v.dir = testkit::FreshTempDir(name);
    v.ini = v.dir + "\\vantor.ini";
    if (!CopyFileA((Bin() + "\\vantor.exe").c_str(), (v.dir + "\\vantor.exe").c_str(), FALSE))
        return false;
    if (!ini.empty()) testkit::WriteTextFile(v.ini, ini);
    for (const Tweak& t : tweaks)
        WritePrivateProfileStringA(t.section, t.key, t.value.c_str(), v.ini.c_str());
    testkit::RunOptions o;
    o.exe = v.dir + "\\vantor.exe";
    o.workDir = v.dir;
    o.providerScript = testkit::WriteTextFile(v.dir + "\\loads.txt", script);
    if (!testkit::Start(o, &v.process)) return false;
    v.window = testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000);
    if (v.window)
        SetWindowPos(v.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return v.window != nullptr;
}

void Quit(Vantor& v) {
    if (!v.window) return;
    testkit::Post(v.window, WM_COMMAND, 40001, 0);
    DWORD code = 99;
    testkit::WaitExit(v.process, 10000, &code);
}

void MakeFolder(const Vantor& v, const std::string& name, bool skinIni) {
    const std::string folder = v.dir + "\\" + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    if (skinIni) testkit::WriteTextFile(folder + "\\skin.ini", "[COLOR]\r\nBACK=22 26 34\r\n");
}

IniMap ReadIni(const std::string& path) {
    IniMap map;
    std::string text;
    if (!testkit::ReadFileText(path, &text)) return map;
    std::istringstream in(text);
    std::string line, section;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 1 && line[0] == '[') {
            section = line.substr(1, line.size() - 2);
            map[section];
        } else if (line.find('=') != std::string::npos) {
            const size_t eq = line.find('=');
            map[section][line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return map;
}

std::map<std::string, std::string> Changes(const IniMap& before, const IniMap& after) {
    std::map<std::string, std::string> out;
    for (const auto& [section, keys] : after)
        for (const auto& [key, value] : keys) {
            auto s = before.find(section);
            if (s == before.end() || s->second.count(key) == 0 || s->second.at(key) != value)
                out[section + "." + key] = value;
        }
    for (const auto& [section, keys] : before)
        for (const auto& [key, value] : keys) {
            auto s = after.find(section);
            if (s == after.end() || s->second.count(key) == 0) out[section + "." + key] = "(gone)";
        }
    return out;
}

HWND OpenOptions(const Vantor& v) {
    testkit::Post(v.window, WM_COMMAND, 40010, 0);
    return WaitDialog("Vantorモニタ 設定");
}

HWND Page(HWND dialog, int index) {
    // Each page is known by a control that only it has.
    const int marks[4] = {1059, 1072, 1030, 1079};
    HWND tab = GetDlgItem(dialog, 1026);
    for (HWND c = FindWindowExA(tab, nullptr, "#32770", nullptr); c;
         c = FindWindowExA(tab, c, "#32770", nullptr))
        if (GetDlgItem(c, marks[index])) return c;
    return nullptr;
}

void NextTab(HWND dialog) {
    HWND tab = GetDlgItem(dialog, 1026);
    testkit::Post(tab, WM_KEYDOWN, VK_RIGHT, 0);
    testkit::Post(tab, WM_KEYUP, VK_RIGHT, 0xC0000001);
    Send(tab, WM_NULL, 0, 0); // the keys are handled once this returns
}

bool OnlyPageShown(HWND dialog, int index) {
    return testkit::WaitUntil(
        [&] {
            for (int i = 0; i < 4; ++i)
                if ((IsWindowVisible(Page(dialog, i)) != 0) != (i == index)) return false;
            return true;
        },
        3000);
}

bool Click(HWND page, int id) {
    HWND c = GetDlgItem(page, id);
    return c && testkit::SendWithTimeout(c, BM_CLICK, 0, 0, 5000, nullptr);
}

bool PostClick(HWND page, int id) {
    HWND c = GetDlgItem(page, id);
    return c && testkit::Post(c, BM_CLICK, 0, 0);
}

bool ClickAt(HWND control) {
    RECT r;
    if (!GetWindowRect(control, &r)) return false;
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    SetCursorPos(x, y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return SendInput(2, in, sizeof(INPUT)) == 2;
}

bool SetText(HWND page, int id, const char* text) {
    HWND c = GetDlgItem(page, id);
    return c && testkit::SendWithTimeout(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), 5000,
                                         nullptr);
}

std::string Text(HWND page, int id) {
    char buf[512] = {};
    HWND c = GetDlgItem(page, id);
    if (c) testkit::SendWithTimeout(c, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), 5000,
                                    nullptr);
    return buf;
}

bool IsChecked(HWND page, int id) {
    return Send(GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Enabled(HWND page, int id) {
    return IsWindowEnabled(GetDlgItem(page, id)) != 0;
}

void MoveSlider(HWND page, int id, int position) {
    HWND slider = GetDlgItem(page, id);
    Send(slider, TBM_SETPOS, TRUE, position);
    testkit::Post(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                  reinterpret_cast<LPARAM>(slider));
    Send(page, WM_NULL, 0, 0);
}

int SliderPos(HWND page, int id) {
    return static_cast<int>(Send(GetDlgItem(page, id), TBM_GETPOS, 0, 0));
}

std::string ComboEntry(HWND page, int id, int index) {
    wchar_t wide[256] = {};
    HWND c = GetDlgItem(page, id);
    DWORD_PTR r = 0;
    SendMessageTimeoutW(c, CB_GETLBTEXT, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG, 5000, &r);
    char utf8[512] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

int ComboCount(HWND page, int id) {
    return static_cast<int>(Send(GetDlgItem(page, id), CB_GETCOUNT, 0, 0));
}

void PickCombo(HWND page, int id, int index) {
    HWND c = GetDlgItem(page, id);
    Send(c, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    testkit::Post(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(c));
    Send(page, WM_NULL, 0, 0);
}

HWND WaitDialog(const char* title, DWORD timeoutMs) {
    HWND found = nullptr;
    testkit::WaitUntil(
        [&] {
            found = FindWindowA("#32770", title);
            return found != nullptr && IsWindowVisible(found);
        },
        timeoutMs);
    return found;
}

bool WaitGone(HWND window, DWORD timeoutMs) {
    return testkit::WaitUntil([&] { return !IsWindow(window); }, timeoutMs);
}

bool Press(HWND dialog, int id) {
    // The owner takes the result over before it handles another message.
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (!PostClick(dialog, id) || !WaitGone(dialog)) return false;
    if (owner) testkit::SendWithTimeout(owner, WM_NULL, 0, 0, 5000, nullptr);
    return true;
}

bool PickColour(int r, int g, int b) {
    HWND chooser = WaitDialog("色");
    if (!chooser) return false;
    const int values[3] = {r, g, b};
    for (int k = 0; k < 3; ++k)
        SetText(chooser, 706 + k, std::to_string(values[k]).c_str());
    return Press(chooser, IDOK);
}

bool CancelChooser(const char* title) {
    HWND chooser = WaitDialog(title);
    return chooser && Press(chooser, IDCANCEL);
}

} // namespace dialogdriver
