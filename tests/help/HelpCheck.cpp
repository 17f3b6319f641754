// The Help command and the user's guide, beside the real program under Wine in
// the folder guide_test.sh names: the guide's pages in guide.txt, its example
// skin in sample\ and the guide's picture of that skin's window as a PPM.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "res/resource.h"
#include "tests/testkit/testkit.h"

namespace {

std::string dir;

struct Vantor { // without `ini`, a first start
    testkit::Process process;
    HWND window = nullptr;
    explicit Vantor(const std::string& ini) {
        DeleteFileA((dir + "\\vantor.ini").c_str());
        if (!ini.empty()) testkit::WriteTextFile(dir + "\\vantor.ini", ini);
        testkit::WriteTextFile(dir + "\\load.txt", "cpus 1\n100\n");
        if (testkit::Start({dir + "\\vantor.exe", "", dir, dir + "\\load.txt", {}}, &process))
            window = testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000);
        if (!testkit::SendWithTimeout(window, WM_NULL, 0, 0, 10000, nullptr)) window = nullptr;
    }
    bool Exit() {
        DWORD code = 99;
        return testkit::Post(window, WM_COMMAND, IDM_EXIT, 0) &&
               testkit::WaitExit(process, 15000, &code) && code == 0;
    }
};

// Points the prefix's .html and .chm at this program, which writes the path it
// is handed to opened.txt, then gives them their handlers back.
struct RecordingHandler {
    const char* types[2] = {".html", ".chm"};
    std::string old[2];
    LONG missing[2] = {};
    static void Set(const char* key, const std::string& value) {
        RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, value.c_str(), (DWORD)value.size());
    }
    RecordingHandler() {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        Set("VantorRecorded\\shell\\open\\command",
            "\"" + std::string(self) + "\" --record \"" + dir + "\\opened.txt\" \"%1\"");
        for (int i = 0; i < 2; ++i) {
            char value[MAX_PATH] = {};
            LONG size = sizeof value;
            missing[i] = RegQueryValueA(HKEY_CLASSES_ROOT, types[i], value, &size);
            old[i] = value;
            Set(types[i], "VantorRecorded");
        }
    }
    ~RecordingHandler() {
        for (int i = 0; i < 2; ++i)
            missing[i] ? (void)RegDeleteKeyA(HKEY_CLASSES_ROOT, types[i]) : Set(types[i], old[i]);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "VantorRecorded");
    }
};

void Add(std::vector<std::string>* names, const wchar_t* text) {
    char utf8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::string name = utf8;
    name.erase(0, name.find_first_not_of(' '));
    name.erase(name.find_last_not_of(' ') + 1);
    if (!name.empty()) names->push_back(name);
}

void AddMenuTexts(HMENU menu, std::vector<std::string>* names) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
        Add(names, text);
        if (HMENU sub = GetSubMenu(menu, i)) AddMenuTexts(sub, names);
    }
}

struct HelpRow {
    const char* name;
    bool guide, chm;    // what lies beside the program
    const char* opened; // what the shell is handed; null: the message box
};

// One first start: Help with each set of files beside the program, then the
// menu, the options pages (from its resources), the keys of the settings file
// it wrote and of the example skin, each in the guide.
TEST(Guide, HelpOpensItAndItNamesEverything) {
    Vantor v("");
    ASSERT_TRUE(v.window);
    const std::string opened = dir + "\\opened.txt";
    std::string got, guide;
    {
        RecordingHandler handler;
        for (const HelpRow& row : {HelpRow{"neither", false, false, nullptr},
                                   HelpRow{"guide", true, false, "\\help\\index.html"},
                                   HelpRow{"chm-and-guide", true, true, "\\vantor.chm"},
                                   HelpRow{"chm-alone", false, true, "\\vantor.chm"}}) {
            SCOPED_TRACE(row.name);
            if (row.guide) CreateDirectoryA((dir + "\\help").c_str(), nullptr);
            for (auto [file, there] :
                 {std::pair{"\\help\\index.html", row.guide}, std::pair{"\\vantor.chm", row.chm}})
                there ? (void)testkit::WriteTextFile(dir + file, "x")
                      : (void)DeleteFileA((dir + file).c_str());
            DeleteFileA(opened.c_str());
            EXPECT_TRUE(testkit::Post(v.window, WM_COMMAND, IDM_HELP, 0));
            if (row.opened) {
                EXPECT_TRUE(testkit::WaitUntil(
                    [&] { return testkit::ReadFileText(opened, &got) && !got.empty(); }, 20000));
                EXPECT_EQ(got, dir + row.opened);
                continue;
            }
            HWND box = nullptr;
            char text[1024] = {};
            EXPECT_TRUE(testkit::WaitUntil(
                [&] { return (box = FindWindowA("#32770", "Vantor エラー")) != nullptr; }, 10000));
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            EXPECT_NE(std::string(text).find(dir + "\\help\\index.html"), std::string::npos)
                << text;
            testkit::Post(box, WM_COMMAND, IDOK, 0);
            EXPECT_TRUE(testkit::WaitUntil([&] { return !IsWindow(box); }, 5000));
            EXPECT_FALSE(testkit::ReadFileText(opened, &got)) << "opened " << got;
        }
    }
    EXPECT_TRUE(v.Exit());

    std::vector<std::string> names;
    HMODULE module =
        LoadLibraryExA((dir + "\\vantor.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HMENU bar = LoadMenuA(module, "POPMENU");
    AddMenuTexts(GetSubMenu(bar, 0), &names);
    DestroyMenu(bar);
    EXPECT_GE(names.size(), 17u);
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    HWND parent =
        CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 400, 400, nullptr, nullptr, nullptr, nullptr);
    for (const char* page : {"TPAGE0", "TPAGE1", "TPAGE2", "TPAGE3"}) {
        HWND dialog = CreateDialogParamA(
            module, page, parent, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return 0; }, 0);
        EXPECT_NE(dialog, nullptr) << page;
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            wchar_t text[256] = {};
            GetWindowTextW(c, text, 256);
            Add(&names, text);
        }
    }
    DestroyWindow(parent);
    FreeLibrary(module);
    EXPECT_GE(names.size(), 17u + 50);

    for (const std::string& ini : {dir + "\\vantor.ini", dir + "\\sample\\skin.ini"}) {
        char sections[4096] = {}, keys[4096] = {};
        EXPECT_TRUE(GetPrivateProfileSectionNamesA(sections, sizeof sections, ini.c_str())) << ini;
        for (const char* section = sections; *section; section += strlen(section) + 1) {
            names.push_back("[" + std::string(section) + "]");
            GetPrivateProfileStringA(section, nullptr, "", keys, sizeof keys, ini.c_str());
            for (const char* key = keys; *key; key += strlen(key) + 1)
                names.push_back("<code>" + std::string(key) + "</code>");
        }
    }
    ASSERT_TRUE(testkit::ReadFileText(dir + "\\guide.txt", &guide));
    std::string missing;
    for (const std::string& name : names)
        if (guide.find(name) == std::string::npos) missing += "\n  " + name;
    EXPECT_EQ(missing, "") << "not in the guide";
}

// The example skin beside the program, as the guide tells: once the graph is
// full of the steady load, the window is the guide's picture inside its shape.
TEST(Guide, SampleSkinWindowIsItsPicture) {
    std::string ppm;
    int ww = 0, wh = 0, at = 0, w = 0, h = 0;
    ASSERT_TRUE(testkit::ReadFileText(dir + "\\skin-sample.ppm", &ppm) &&
                sscanf(ppm.c_str(), "P6 %d %d 255%n", &ww, &wh, &at) == 2 &&
                ppm.size() == at + 1 + 3u * ww * wh);
    const auto* want = reinterpret_cast<const unsigned char*>(ppm.data()) + at + 1;
    Vantor v("[Window]\r\nposx=200\r\nposy=200\r\nwintop=1\r\n[Option]\r\nmulti=0\r\n"
             "[Config]\r\ntmrate=200\r\n[Config\\Ext]\r\nskinname=sample\r\n");
    ASSERT_TRUE(v.window);
    std::vector<COLORREF> got;
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    size_t differ = 0;
    bool same = testkit::WaitUntil(
        [&] {
            if (!testkit::ReadWindowPixels(v.window, &got, &w, &h) || w != ww || h != wh)
                return false;
            bool shaped = GetWindowRgn(v.window, shape) != ERROR;
            differ = 0;
            for (int i = 0; i < w * h; ++i)
                differ += (!shaped || PtInRegion(shape, i % w, i / w)) &&
                          got[i] != RGB(want[3 * i], want[3 * i + 1], want[3 * i + 2]);
            return differ == 0;
        },
        60000);
    DeleteObject(shape);
    EXPECT_TRUE(same) << "window " << w << " x " << h << ", picture " << ww << " x " << wh << ", "
                      << differ << " pixels differ; " << testkit::Screenshot("sample-skin");
    EXPECT_TRUE(v.Exit());
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--record") // as the shell runs a browser
        return testkit::WriteTextFile(argv[2], argv[3]).empty();
    testing::InitGoogleTest(&argc, argv);
    dir = argc > 1 ? argv[1] : "";
    return RUN_ALL_TESTS();
}
