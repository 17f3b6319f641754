// The released vantor.exe as a user runs it from the unpacked zip, in the
// folder VANTOR_RELEASE_DIR names. release_test.sh starts the program (in the
// locale each case needs) and runs one case beside it; the program's exit code
// is the script's to check.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/testkit/testkit.h"

namespace {

std::string Folder() {
    char dir[MAX_PATH] = {};
    GetEnvironmentVariableA("VANTOR_RELEASE_DIR", dir, sizeof dir);
    return dir;
}

HWND Vantor() {
    return testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 20000);
}

bool Gone(HWND window) {
    return testkit::WaitUntil([&] { return !IsWindow(window); }, 15000);
}

std::string TextOf(HWND control) {
    char text[256] = {};
    testkit::SendWithTimeout(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), 5000,
                             nullptr);
    return text;
}

std::string VersionText(std::vector<char>& block, const char* name) {
    char* value = nullptr;
    UINT size = 0;
    std::string path = std::string("\\StringFileInfo\\041104b0\\") + name;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &size))
        return "(none)";
    return std::string(value, size && !value[size - 1] ? size - 1 : size);
}

std::string Manifest(const std::string& exe) {
    HMODULE m = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC r = m ? FindResourceA(m, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)) : nullptr;
    std::string text;
    if (r)
        text.assign(static_cast<const char*>(LockResource(LoadResource(m, r))),
                    SizeofResource(m, r));
    if (m) FreeLibrary(m);
    return text;
}

// The first start in a folder holding only the zip's files: the window, a
// fresh vantor.ini beside the exe, one version in the About box, the version
// resource and the manifest; then the program's own Exit command.
TEST(Release, FirstStartVersionAndExit) {
    const std::string dir = Folder(), exe = dir + "\\vantor.exe";
    HWND window = Vantor();
    ASSERT_NE(window, nullptr) << "no window from " << exe;
    std::string ini;
    EXPECT_TRUE(testkit::WaitUntil(
        [&] {
            return testkit::ReadFileText(dir + "\\vantor.ini", &ini) && ini.find("[Window]") == 0;
        },
        10000))
        << "vantor.ini: " << ini;

    ASSERT_TRUE(testkit::Post(window, WM_COMMAND, IDM_ABOUT, 0));
    HWND box = testkit::WaitForWindow("#32770", "About Vantor", 10000);
    ASSERT_NE(box, nullptr);
    // The box is found before its set-up has written the version line.
    std::string version;
    EXPECT_TRUE(testkit::WaitUntil(
        [&] {
            return (version = TextOf(GetDlgItem(box, IDC_ABOUT_VERSION))).find("モニタ v1.52") !=
                   std::string::npos;
        },
        5000))
        << version;
    testkit::Post(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(Gone(box));

    DWORD ignored = 0, size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    std::vector<char> block(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    ASSERT_TRUE(size && GetFileVersionInfoA(exe.c_str(), 0, size, block.data()) &&
                VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(52, 1));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(52, 1));
    EXPECT_EQ(fixed->dwFileVersionLS | fixed->dwProductVersionLS, 0u);
    const char* const strings[][2] = {
        {"FileVersion", "1.52.0.0"},
        {"ProductVersion", "1.52.0.0"},
        {"ProductName", "Vantor"},
        {"OriginalFilename", "vantor.exe"},
        {"FileDescription", "Vantor CPUモニタ"},
    };
    for (const auto& s : strings)
        EXPECT_EQ(VersionText(block, s[0]), s[1]) << s[0];
    EXPECT_EQ(VersionText(block, "LegalCopyright").find("Copyright (C) 20"), 0u);

    std::string manifest = Manifest(exe);
    EXPECT_NE(manifest.find("name=\"Vantor.PerfMon\" version=\"1.52.0.0\""), std::string::npos)
        << manifest;
    EXPECT_NE(manifest.find(">ja-JP</activeCodePage>"), std::string::npos) << manifest;

    ASSERT_TRUE(testkit::Post(window, WM_COMMAND, IDM_EXIT, 0));
    EXPECT_TRUE(Gone(window));
}

// A window of ours whose caption the program writes to, on a thread that
// answers the program's caption messages.
struct CaptionWindow {
    HWND hwnd = nullptr;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr), thread = nullptr;
    static DWORD WINAPI Run(void* self) {
        static_cast<CaptionWindow*>(self)->hwnd =
            CreateWindowExW(0, L"Static", L"Release check", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300,
                            300, 400, 120, nullptr, nullptr, nullptr, nullptr);
        SetEvent(static_cast<CaptionWindow*>(self)->ready);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0)
            DispatchMessageW(&msg);
        return 0;
    }
    CaptionWindow() : thread(CreateThread(nullptr, 0, Run, this, 0, nullptr)) {
        WaitForSingleObject(ready, 5000);
    }
    ~CaptionWindow() {
        PostThreadMessageW(GetThreadId(thread), WM_QUIT, 0, 0);
        WaitForSingleObject(thread, 5000);
        CloseHandle(thread), CloseHandle(ready);
    }
    std::wstring Caption() const {
        wchar_t text[256] = {};
        GetWindowTextW(hwnd, text, 256);
        return text;
    }
    std::string Shown() const { // in code page 932, for the failure messages
        char text[512] = {};
        WideCharToMultiByte(932, 0, Caption().c_str(), -1, text, sizeof text, nullptr, nullptr);
        return text;
    }
};

// The program runs in an English locale (ANSI code page 1252 for programs
// that do not ask for another); its caption text, written in code page 932,
// must still arrive as the Japanese brackets. The scripted load is 37 %.
TEST(Release, CaptionTextReadsRightInAnEnglishLocale) {
    HWND window = Vantor();
    ASSERT_NE(window, nullptr);
    CaptionWindow target;
    ASSERT_NE(target.hwnd, nullptr);
    ASSERT_TRUE(testkit::Post(window, WM_COMMAND, IDM_TITLE, 0));
    // The program's window, shown as it starts, may take the foreground from
    // ours at any time until then: ours is asked for again while waiting.
    const std::wstring text = L"【CPU: 37%】";
    auto carries = [&] {
        if (GetForegroundWindow() != target.hwnd) SetForegroundWindow(target.hwnd);
        std::wstring c = target.Caption();
        return c.find(L"Release check") == 0 && c.size() >= 13 + text.size() &&
               c.compare(c.size() - text.size(), text.size(), text) == 0;
    };
    EXPECT_TRUE(testkit::WaitUntil(carries, 15000)) << "caption: " << target.Shown();
    ASSERT_TRUE(testkit::Post(window, WM_COMMAND, IDM_EXIT, 0));
    EXPECT_TRUE(Gone(window));
    EXPECT_TRUE(target.Caption() == L"Release check") << "given back at exit: " << target.Shown();
}

} // namespace
