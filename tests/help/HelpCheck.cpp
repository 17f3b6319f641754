// The Help command and the user's guide, beside the real program under Wine.
// guide_test.sh names the guide's folder in VANTOR_GUIDE_DIR and gives the
// guide's picture of its example skin as a 24-bit BMP in VANTOR_SKIN_PICTURE.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/testkit/testkit.h"

namespace {

std::string Env(const char* name) {
    const char* value = getenv(name);
    return value ? value : "";
}
std::string Bin() {
    return testkit::BuildDir() + "\\..\\..\\bin";
}
std::string Guide() {
    return Env("VANTOR_GUIDE_DIR");
}

std::string Utf8(const wchar_t* text) {
    char out[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, nullptr, nullptr);
    return out;
}

// A copy of the program in a fresh folder, at a steady full load on one
// processor; `ini` empty means a first start. A `dir` set before Start is
// the folder to use, with what the caller put in it.
struct Copy {
    std::string dir;
    testkit::Process process;
    HWND window = nullptr;
    bool Start(const char* name, const std::string& ini) {
        if (dir.empty()) dir = testkit::FreshTempDir(name);
        testkit::RunOptions o{dir + "\\vantor.exe", "", dir,
                              testkit::WriteTextFile(dir + "\\load.txt", "cpus 1\n100\n"), {}};
        if (!CopyFileA((Bin() + "\\vantor.exe").c_str(), o.exe.c_str(), FALSE) ||
            (!ini.empty() && testkit::WriteTextFile(dir + "\\vantor.ini", ini).empty()) ||
            !testkit::Start(o, &process))
            return false;
        window = testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000);
        return window && testkit::SendWithTimeout(window, WM_NULL, 0, 0, 10000, nullptr);
    }
    bool Exit() {
        DWORD code = 99;
        return testkit::Post(window, WM_COMMAND, IDM_EXIT, 0) &&
               testkit::WaitExit(process, 15000, &code) && code == 0;
    }
};

// Points the .html and .chm files of this prefix at the recorder for as long
// as it lives, then gives them their handlers back.
class RecordingHandler {
  public:
    explicit RecordingHandler(const std::string& recorder) {
        for (int i = 0; i < 2; ++i) {
            LONG size = sizeof old_[i];
            had_[i] = RegQueryValueA(HKEY_CLASSES_ROOT, kTypes[i], old_[i], &size) == 0;
        }
        std::string command = "\"" + recorder + "\" \"%1\"";
        Set("VantorRecorded\\shell\\open\\command", command.c_str());
        for (const char* type : kTypes) Set(type, "VantorRecorded");
    }
    ~RecordingHandler() {
        for (int i = 0; i < 2; ++i)
            had_[i] ? Set(kTypes[i], old_[i]) : (void)RegDeleteKeyA(HKEY_CLASSES_ROOT, kTypes[i]);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "VantorRecorded");
    }

  private:
    static void Set(const char* key, const char* value) {
        RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, value, static_cast<DWORD>(strlen(value)));
    }
    static constexpr const char* kTypes[2] = {".html", ".chm"};
    char old_[2][MAX_PATH] = {};
    bool had_[2] = {};
};

struct HelpRow {
    const char* name;
    bool guide, chm;    // what lies beside the program
    const char* opened; // what the shell must be handed; null: the message instead
};

const HelpRow kHelpRows[] = {
    // A browser takes what a compiled help file could not: "#" and spaces.
    {"guide in folder #1", true, false, "\\help\\index.html"},
    {"chm-and-guide", true, true, "\\vantor.chm"},
    {"chm-alone", false, true, "\\vantor.chm"},
    {"neither", false, false, nullptr},
};

HWND MessageBoxOf(DWORD pid) {
    HWND box = nullptr;
    testkit::WaitUntil(
        [&] {
            box = FindWindowA("#32770", "Vantor エラー");
            DWORD owner = 0;
            if (box) GetWindowThreadProcessId(box, &owner);
            return box && owner == pid;
        },
        10000);
    return box;
}

TEST(Help, OpensTheGuideOrTheHelpFileBesideTheProgram) {
    for (const HelpRow& row : kHelpRows) {
        SCOPED_TRACE(row.name);
        Copy copy;
        ASSERT_TRUE(copy.Start(row.name, "[Window]\r\nwintop=0\r\n"));
        const std::string recorder = copy.dir + "\\rec.exe", opened = copy.dir + "\\opened.txt";
        ASSERT_TRUE(CopyFileA((Bin() + "\\help_recorder.exe").c_str(), recorder.c_str(), FALSE));
        RecordingHandler handler(recorder);
        if (row.guide) {
            CreateDirectoryA((copy.dir + "\\help").c_str(), nullptr);
            ASSERT_TRUE(CopyFileA((Guide() + "\\index.html").c_str(),
                                  (copy.dir + "\\help\\index.html").c_str(), FALSE));
        }
        if (row.chm) testkit::WriteTextFile(copy.dir + "\\vantor.chm", "ITSF");

        ASSERT_TRUE(testkit::Post(copy.window, WM_COMMAND, IDM_HELP, 0));
        std::string got;
        if (row.opened) {
            EXPECT_TRUE(testkit::WaitUntil([&] { return testkit::ReadFileText(opened, &got); },
                                           20000));
            EXPECT_EQ(got, copy.dir + row.opened);
        } else {
            HWND box = MessageBoxOf(copy.process.pid);
            ASSERT_NE(box, nullptr) << "no message box";
            char text[1024] = {};
            testkit::SendWithTimeout(GetDlgItem(box, 0xFFFF), WM_GETTEXT, sizeof text,
                                     reinterpret_cast<LPARAM>(text), 5000, nullptr);
            EXPECT_NE(std::string(text).find(copy.dir + "\\help\\index.html"), std::string::npos)
                << text;
            testkit::Post(box, WM_COMMAND, IDOK, 0);
            EXPECT_TRUE(testkit::WaitUntil([&] { return !IsWindow(box); }, 5000));
            EXPECT_FALSE(testkit::ReadFileText(opened, &got)) << "opened " << got;
        }
        EXPECT_TRUE(copy.Exit());
    }
}

std::string GuideText() {
    std::string all, text;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((Guide() + "\\*.html").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return all;
    do {
        if (testkit::ReadFileText(Guide() + "\\" + found.cFileName, &text)) all += text;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return all;
}

void AddMenuTexts(HMENU menu, std::vector<std::string>* out) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        if (GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION) > 0)
            out->push_back(Utf8(text));
        if (HMENU sub = GetSubMenu(menu, i)) AddMenuTexts(sub, out);
    }
}

BOOL CALLBACK AddControlText(HWND control, LPARAM out) {
    wchar_t text[256] = {};
    GetWindowTextW(control, text, 256);
    std::string label = Utf8(text);
    label.erase(0, label.find_first_not_of(' '));
    label.erase(label.find_last_not_of(' ') + 1);
    if (!label.empty()) reinterpret_cast<std::vector<std::string>*>(out)->push_back(label);
    return TRUE;
}

INT_PTR CALLBACK QuietPage(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// The labels of an options page, from the dialog template in vantor.exe.
void AddPageLabels(HMODULE module, const char* page, std::vector<std::string>* out) {
    HRSRC found = FindResourceA(module, page, reinterpret_cast<LPCSTR>(RT_DIALOG));
    auto* tpl = static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(module, found)));
    HWND parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 400, 400, nullptr, nullptr,
                                nullptr, nullptr);
    HWND dialog = tpl ? CreateDialogIndirectParamW(GetModuleHandleW(nullptr), tpl, parent,
                                                   QuietPage, 0)
                      : nullptr;
    EXPECT_NE(dialog, nullptr) << page;
    if (dialog) EnumChildWindows(dialog, AddControlText, reinterpret_cast<LPARAM>(out));
    DestroyWindow(parent);
}

// "[Section]" lines and "<code>key</code>" for each key of an ini text.
void AddIniNames(const std::string& ini, std::vector<std::string>* out) {
    std::istringstream lines(ini);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 2 && line[0] == '[') out->push_back(line);
        else if (line.find('=') != std::string::npos && line.find('=') > 0)
            out->push_back("<code>" + line.substr(0, line.find('=')) + "</code>");
    }
}

TEST(Guide, NamesEveryMenuItemPageLabelAndSetting) {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    const std::string guide = GuideText();
    ASSERT_FALSE(guide.empty()) << "no pages in " << Guide();
    HMODULE module = LoadLibraryExA((Bin() + "\\vantor.exe").c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    std::vector<std::string> names;
    HMENU bar = LoadMenuA(module, "POPMENU");
    AddMenuTexts(GetSubMenu(bar, 0), &names);
    DestroyMenu(bar);
    const size_t menuItems = names.size();
    EXPECT_GE(menuItems, 17u);
    for (const char* page : {"TPAGE0", "TPAGE1", "TPAGE2", "TPAGE3"}) AddPageLabels(module, page, &names);
    EXPECT_GE(names.size(), menuItems + 50);
    FreeLibrary(module);

    // Every key the program reads is in the file its first start writes.
    Copy copy;
    ASSERT_TRUE(copy.Start("first-start", ""));
    std::string ini, skin;
    EXPECT_TRUE(testkit::WaitUntil(
        [&] { return testkit::ReadFileText(copy.dir + "\\vantor.ini", &ini) &&
                     ini.find("memtype=") != std::string::npos; },
        10000));
    EXPECT_TRUE(copy.Exit());
    AddIniNames(ini, &names);
    ASSERT_TRUE(testkit::ReadFileText(Guide() + "\\skin\\sample\\skin.ini", &skin));
    AddIniNames(skin, &names);

    std::string missing;
    for (const std::string& name : names)
        if (guide.find(name) == std::string::npos) missing += "\n  " + name;
    EXPECT_EQ(missing, "") << "not in the guide";
}

// The guide's picture of its example skin, as COLORREFs, rows top-down.
bool LoadPicture(std::vector<COLORREF>* pixels, int* w, int* h) {
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, Env("VANTOR_SKIN_PICTURE").c_str(),
                                                     IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    BITMAP info;
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return false;
    *w = info.bmWidth;
    *h = info.bmHeight;
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof bi.bmiHeader, *w, -*h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> raw(static_cast<size_t>(*w) * *h);
    HDC screen = GetDC(nullptr);
    bool ok = GetDIBits(screen, bitmap, 0, *h, raw.data(), &bi, DIB_RGB_COLORS) == *h;
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    pixels->clear();
    for (DWORD p : raw) pixels->push_back(RGB((p >> 16) & 255, (p >> 8) & 255, p & 255));
    return ok;
}

// The skin loads from a folder beside the program as the guide tells, and
// once the graph is full of the steady load the window is the picture, pixel
// for pixel inside its shape.
TEST(Guide, SampleSkinWindowIsItsPicture) {
    std::vector<COLORREF> want, got;
    int ww = 0, wh = 0, w = 0, h = 0;
    ASSERT_TRUE(LoadPicture(&want, &ww, &wh)) << Env("VANTOR_SKIN_PICTURE");
    // Copied beside the program as the guide tells.
    Copy copy;
    copy.dir = testkit::FreshTempDir("sample-skin");
    const std::string from = Guide() + "\\skin\\sample", to = copy.dir + "\\sample";
    CreateDirectoryA(to.c_str(), nullptr);
    for (const char* f : {"skin.ini", "back.bmp", "backLT.bmp", "backRT.bmp", "backRB.bmp",
                          "backLB.bmp", "backST.bmp", "backSB.bmp", "backSL.bmp", "backSR.bmp"})
        ASSERT_TRUE(CopyFileA((from + "\\" + f).c_str(), (to + "\\" + f).c_str(), FALSE)) << f;
    ASSERT_TRUE(copy.Start("sample-skin",
                           "[Window]\r\nposx=200\r\nposy=200\r\nwintop=1\r\n[Option]\r\nmulti=0\r\n"
                           "[Config]\r\ntmrate=200\r\n[Config\\Ext]\r\nskinname=sample\r\n"));
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    size_t differ = 0;
    bool same = testkit::WaitUntil(
        [&] {
            if (!testkit::ReadWindowPixels(copy.window, &got, &w, &h) || w != ww || h != wh)
                return false;
            bool shaped = GetWindowRgn(copy.window, shape) != ERROR;
            differ = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if ((!shaped || PtInRegion(shape, x, y)) && got[y * w + x] != want[y * w + x])
                        ++differ;
            return differ == 0;
        },
        60000);
    DeleteObject(shape);
    EXPECT_TRUE(same) << "window " << w << " x " << h << ", picture " << ww << " x " << wh << ", "
                      << differ << " pixels differ; " << testkit::Screenshot("sample-skin");
    EXPECT_TRUE(copy.Exit());
}

} // namespace
