// The options dialog of the real program, driven from another process as
// the platform allows (posted clicks and keys, WM_SETTEXT, the pointer, the
// common dialogs by title); effects read from vantor.ini, the window, the screen.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/testkit/testkit.h"

namespace optionstest {

using Keys = std::vector<std::vector<std::string>>; // {section, key, value}

inline LRESULT Send(HWND w, UINT m, WPARAM wp = 0, LPARAM lp = 0, DWORD ms = 5000) {
    LRESULT r = 0;
    testkit::SendWithTimeout(w, m, wp, lp, ms, &r);
    return r;
}
inline void Click(HWND page, int id) {
    Send(GetDlgItem(page, id), BM_CLICK);
}
inline void PostClick(HWND page, int id) {
    testkit::Post(GetDlgItem(page, id), BM_CLICK, 0, 0);
}
inline bool Enabled(HWND page, int id) {
    return IsWindowEnabled(GetDlgItem(page, id)) != 0;
}
inline int SliderPos(HWND page, int id) {
    return int(Send(GetDlgItem(page, id), TBM_GETPOS));
}
inline void SetText(HWND page, int id, const std::string& text, DWORD ms = 5000) {
    Send(GetDlgItem(page, id), WM_SETTEXT, 0, LPARAM(text.c_str()), ms);
}
inline std::string Text(HWND page, int id) {
    char buf[512] = {};
    Send(GetDlgItem(page, id), WM_GETTEXT, sizeof buf, LPARAM(buf));
    return buf;
}
inline HWND WaitDialog(const char* title) {
    HWND found = nullptr;
    testkit::WaitUntil(
        [&] { return (found = FindWindowA("#32770", title)) && IsWindowVisible(found); }, 10000);
    return found;
}
// Ends a dialog with a button; its owner has taken the result over once it
// answers again.
inline bool Press(HWND dialog, int id) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    PostClick(dialog, id);
    const bool gone = testkit::WaitUntil([&] { return !IsWindow(dialog); }, 10000);
    Send(owner, WM_NULL);
    return gone;
}
inline bool PickColour(int r, int g, int b) {
    HWND chooser = WaitDialog("色");
    const int rgb[3] = {r, g, b};
    for (int k = 0; k < 3; ++k)
        SetText(chooser, 706 + k, std::to_string(rgb[k]));
    return Press(chooser, IDOK);
}
inline POINT Centre(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
inline void ClickAt(HWND control) {
    SetCursorPos(Centre(control).x, Centre(control).y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}
// A busy machine repaints a swatch some time after the chooser closes.
inline bool ShowsColour(HWND control, COLORREF colour) {
    auto shows = [&] {
        HDC screen = GetDC(nullptr);
        const COLORREF c = GetPixel(screen, Centre(control).x, Centre(control).y);
        ReleaseDC(nullptr, screen);
        return c == colour;
    };
    return testkit::WaitUntil(shows, 5000);
}
// Entry 1, "cpu 1", of the series list as the screen shows it, against that
// text drawn here in a face and height, gap pixels right of the colour square.
inline bool SeriesEntryDrawnIn(HWND list, const char* face, int fontHeight, int gap) {
    RECT client;
    GetClientRect(list, &client);
    const int h = int(Send(list, LB_GETITEMHEIGHT)), w = client.right - (h - 1 + gap);
    POINT at = {h - 1 + gap, h};
    ClientToScreen(list, &at);
    HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
    HBITMAP drawn = CreateCompatibleBitmap(screen, w, h);
    HFONT font = CreateFontA(fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, 0, face);
    HGDIOBJ oldBitmap = SelectObject(dc, drawn), oldFont = SelectObject(dc, font);
    const RECT all = {0, 0, w, h};
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &all, "cpu 1", 5, nullptr);
    bool same = h > 0 && w > 0; // an empty list or none at all shows nothing
    for (int i = 0; same && i < w * h; ++i)
        same = GetPixel(dc, i % w, i / w) == GetPixel(screen, at.x + i % w, at.y + i / w);
    SelectObject(dc, oldFont), SelectObject(dc, oldBitmap);
    DeleteObject(font), DeleteObject(drawn), DeleteDC(dc), ReleaseDC(nullptr, screen);
    return same;
}

// Loads swinging between 10 and 90 %, so that every tick repaints.
inline std::string SwingingLoads() {
    std::string s = "cpus 1\n";
    for (int i = 0; i < 200; ++i)
        s += "10\n90\n";
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

    static inline std::string defaults;
    std::string dir, ini;
    testkit::Process process;
    HWND window = nullptr, dialog = nullptr;
    int width = 0, height = 0;
};

} // namespace optionstest
