// The test kit against a real child program: window found, pixels read,
// screenshot written, and a hung child killed within a bounded time.
#include <gtest/gtest.h>

#include "testkit.h"

namespace {

std::string TestWindowExe() { return testkit::BuildDir() + "\\..\\..\\tools\\testwindow\\testwindow.exe"; }

TEST(Harness, FindsWindowReadsItsColourAndEndsIt) {
    testkit::Process child;
    ASSERT_TRUE(testkit::Start({TestWindowExe(), "paint", "", "", {}}, &child));
    HWND hwnd = testkit::WaitForWindow("VantorTestWindow", "Test Window", 15000);
    ASSERT_NE(hwnd, nullptr);
    // The fill shows once the child has painted; a message round trip proves it pumps.
    LRESULT r = 0;
    EXPECT_TRUE(testkit::SendWithTimeout(hwnd, WM_NULL, 0, 0, 5000, &r));
    std::vector<COLORREF> pixels;
    int w = 0, h = 0;
    bool filled = testkit::WaitUntil(
        [&] {
            if (!testkit::ReadWindowPixels(hwnd, &pixels, &w, &h)) return false;
            for (COLORREF c : pixels)
                if (c != RGB(0x20, 0xC0, 0x60)) return false;
            return true;
        },
        5000);
    EXPECT_EQ(w, 200);
    EXPECT_EQ(h, 150);
    ASSERT_TRUE(filled) << "first pixel " << std::hex << (pixels.empty() ? 0 : pixels[0]);

    std::string shot = testkit::Screenshot("harness_testwindow");
    ASSERT_FALSE(shot.empty());
    std::string png;
    ASSERT_TRUE(testkit::ReadFileText(shot, &png));
    int sw = GetSystemMetrics(SM_CXVIRTUALSCREEN), sh = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    ASSERT_GT(png.size(), (size_t)sw * sh * 3); // stored, not compressed
    EXPECT_EQ(png.substr(1, 3), "PNG");

    ASSERT_TRUE(testkit::Post(hwnd, WM_CLOSE, 0, 0));
    DWORD code = 0;
    ASSERT_TRUE(testkit::WaitExit(child, 10000, &code));
    EXPECT_EQ(code, 7u);
}

TEST(Harness, ExitCodeReachesTheTest) {
    testkit::Process child;
    ASSERT_TRUE(testkit::Start({TestWindowExe(), "exit 42", "", "", {}}, &child));
    DWORD code = 0;
    ASSERT_TRUE(testkit::WaitExit(child, 10000, &code));
    EXPECT_EQ(code, 42u);
}

TEST(Harness, HungChildIsKilledAtTheTimeout) {
    testkit::Process child;
    ASSERT_TRUE(testkit::Start({TestWindowExe(), "hang", "", "", {}}, &child));
    HWND hwnd = testkit::WaitForWindow("VantorTestWindow", "Test Window", 15000);
    ASSERT_NE(hwnd, nullptr);
    DWORD start = GetTickCount();
    LRESULT r = 0;
    EXPECT_FALSE(testkit::SendWithTimeout(hwnd, WM_NULL, 0, 0, 1000, &r));
    EXPECT_FALSE(testkit::WaitExit(child, 1000, nullptr));
    EXPECT_TRUE(testkit::IsRunning(child));
    testkit::Kill(child);
    DWORD elapsed = GetTickCount() - start;
    EXPECT_FALSE(testkit::IsRunning(child));
    EXPECT_LT(elapsed, 8000u);
    EXPECT_TRUE(testkit::WaitUntil([] { return FindWindowA("VantorTestWindow", nullptr) == nullptr; }, 5000));
}

TEST(Harness, DestructorEndsARunningChild) {
    HANDLE dup = nullptr;
    {
        testkit::Process child;
        ASSERT_TRUE(testkit::Start({TestWindowExe(), "hang", "", "", {}}, &child));
        ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), child.process, GetCurrentProcess(), &dup,
                                    SYNCHRONIZE, FALSE, 0));
    }
    EXPECT_EQ(WaitForSingleObject(dup, 0), WAIT_OBJECT_0);
    CloseHandle(dup);
}

// Folders of passed tests go: the next test sees none of the last one's.
std::string lastTestsFolder;

TEST(Harness, FilesAndFolders) {
    std::string a = testkit::FreshTempDir("kit"), b = testkit::FreshTempDir("kit");
    ASSERT_FALSE(a.empty());
    lastTestsFolder = a;
    ASSERT_TRUE(CreateDirectoryA((a + "\\sub").c_str(), nullptr));
    ASSERT_FALSE(testkit::WriteTextFile(a + "\\sub\\vantor.exe", "MZ").empty());
    EXPECT_NE(a, b);
    std::string path = testkit::WriteTextFile(a + "\\t.txt", "line 1\r\nline 2");
    std::string text;
    ASSERT_TRUE(testkit::ReadFileText(path, &text));
    EXPECT_EQ(text, "line 1\r\nline 2");
    EXPECT_FALSE(testkit::ReadFileText(a + "\\missing.txt", &text));
}

TEST(Harness, FoldersOfPassedTestsAreGone) {
    ASSERT_FALSE(lastTestsFolder.empty()) << "runs after FilesAndFolders";
    EXPECT_EQ(GetFileAttributesA(lastTestsFolder.c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
