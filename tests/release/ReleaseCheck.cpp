// The released vantor.exe as a user runs it from the zip unpacked in
// VANTOR_RELEASE_DIR: release_test.sh starts it in the locale each case needs
// and runs the case beside it; the program's exit code is the script's to check.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/testkit/testkit.h"

namespace {

// The first start in a folder holding only the zip's files: the window, a
// fresh vantor.ini beside the exe, the version resource; then the program's
// own Exit command.
TEST(Release, FirstStartVersionAndExit) {
    const std::string dir = getenv("VANTOR_RELEASE_DIR"), exe = dir + "\\vantor.exe";
    HWND window = testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 20000);
    ASSERT_NE(window, nullptr) << "no window from " << exe;
    std::string ini;
    auto fresh = [&] {
        return testkit::ReadFileText(dir + "\\vantor.ini", &ini) && ini.find("[Window]") == 0;
    };
    EXPECT_TRUE(testkit::WaitUntil(fresh, 10000)) << "vantor.ini: " << ini;

    DWORD ignored = 0, size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    std::vector<char> block(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(size && GetFileVersionInfoA(exe.c_str(), 0, size, block.data()) &&
                VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(52, 1));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(52, 1));
    EXPECT_EQ(fixed->dwFileVersionLS | fixed->dwProductVersionLS, 0u);
    std::string strings;
    for (std::string name : {"FileVersion", "ProductVersion", "ProductName", "OriginalFilename",
                             "FileDescription", "LegalCopyright"}) {
        char* value = nullptr;
        VerQueryValueA(block.data(), ("\\StringFileInfo\\041104b0\\" + name).c_str(),
                       reinterpret_cast<void**>(&value), &length);
        strings += name + "=" + (value && length ? value : "(none)") + ";";
    }
    // The copyright's year, last, is left open.
    const std::string want = "FileVersion=1.52.0.0;ProductVersion=1.52.0.0;ProductName=Vantor;"
                             "OriginalFilename=vantor.exe;FileDescription=Vantor CPUモニタ;"
                             "LegalCopyright=Copyright (C) 20";
    EXPECT_EQ(strings.substr(0, want.size()), want);

    ASSERT_TRUE(testkit::Post(window, WM_COMMAND, IDM_EXIT, 0));
    EXPECT_TRUE(testkit::WaitUntil([&] { return !IsWindow(window); }, 15000));
}

// The program runs in an English locale (ANSI code page 1252 for programs
// that do not ask for another); its caption text, written in code page 932,
// must still arrive as the Japanese brackets. The scripted load is 37 %.
TEST(Release, CaptionTextReadsRightInAnEnglishLocale) {
    HWND window = testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 20000);
    ASSERT_NE(window, nullptr);
    HWND target = CreateWindowExW(0, L"Static", L"Release check", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  300, 300, 400, 120, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(target, nullptr);
    // The program's caption messages to our window are answered as we wait.
    auto caption = [&] {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        wchar_t text[256] = {};
        GetWindowTextW(target, text, 256);
        return std::wstring(text);
    };
    ASSERT_TRUE(testkit::Post(window, WM_COMMAND, IDM_TITLE, 0));
    // The program's window, shown as it starts, may take the foreground from
    // ours at any time until then: ours is asked for again while waiting.
    const std::wstring ours = L"Release check", text = L"【CPU: 37%】";
    std::wstring c;
    auto carries = [&] {
        if (GetForegroundWindow() != target) SetForegroundWindow(target);
        return (c = caption()).find(ours) == 0 && c.size() >= ours.size() + text.size() &&
               c.compare(c.size() - text.size(), text.size(), text) == 0;
    };
    EXPECT_TRUE(testkit::WaitUntil(carries, 15000)) << "caption: " << c;
    ASSERT_TRUE(testkit::Post(window, WM_COMMAND, IDM_EXIT, 0));
    EXPECT_TRUE(
        testkit::WaitUntil([&] { return (c = caption()) == ours && !IsWindow(window); }, 15000))
        << "given back at exit: " << c;
}

} // namespace
