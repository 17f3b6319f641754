// The real vantor.exe under Wine with settings files a user may leave it: one
// lacking a key, kept as it is, and one that cannot be written, told once.
#include "tests/testkit/testkit.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

const UINT kSnap = 40036; // "画面端にスナップ": one short save
const UINT kExit = 40001;

// A copy of the program in a folder of its own, so that its vantor.ini is
// the test's.
class SettingsRun : public ::testing::Test {
  protected:
    std::string dir, ini;
    testkit::Process process;
    HWND window = nullptr;

    void Fresh(const char* name) {
        dir = testkit::FreshTempDir(name);
        ini = dir + "\\vantor.ini";
        std::string built = testkit::BuildDir() + "\\..\\..\\bin\\vantor.exe";
        ASSERT_TRUE(CopyFileA(built.c_str(), (dir + "\\vantor.exe").c_str(), FALSE));
    }
    bool Start() {
        testkit::RunOptions o{dir + "\\vantor.exe",
                              "",
                              dir,
                              testkit::WriteTextFile(dir + "\\s.txt", "cpus 1\n20\n"),
                              {}};
        window = testkit::Start(o, &process)
                     ? testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000)
                     : nullptr;
        return window != nullptr;
    }
    void Exit() {
        EXPECT_TRUE(testkit::Post(window, WM_COMMAND, kExit, 0) &&
                    testkit::WaitExit(process, 10000, nullptr));
    }
    std::string Text(const char* section, const char* key) {
        char value[64] = {};
        GetPrivateProfileStringA(section, key, "(none)", value, sizeof value, ini.c_str());
        return value;
    }
    // The text of the program's error box that comes within waitMs, closed
    // with its OK; "" when none comes.
    std::string ErrorBox(DWORD waitMs) {
        HWND box = testkit::WaitForWindow("#32770", "Vantor エラー", waitMs);
        if (!box) return "";
        char text[512] = {};
        SendMessageA(GetDlgItem(box, 0xFFFF), WM_GETTEXT, sizeof text,
                     reinterpret_cast<LPARAM>(text));
        testkit::Screenshot("settings_error_box");
        testkit::Post(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        testkit::WaitUntil([&] { return !IsWindow(box); }, 5000);
        return text;
    }
};

// Hand-edited, a [Window] whose wintop is missing or empty: every setting
// is read where it stands and the file is never thrown away.
TEST_F(SettingsRun, AFileLackingWintopKeepsEverySetting) {
    for (const char* wintop : {"", "wintop=\r\n"}) {
        SCOPED_TRACE(wintop);
        Fresh("settings_keep");
        testkit::WriteTextFile(ini, std::string("[Window]\r\nposx=300\r\nposy=200\r\n") + wintop +
                                        "[Config\\Ext]\r\nskinname=night\r\n"
                                        "[Other]\r\nkeep=1\r\n");
        ASSERT_TRUE(Start());
        RECT r = {};
        EXPECT_TRUE(testkit::WaitUntil(
            [&] { return GetWindowRect(window, &r) && r.left == 300 && r.top == 200; }, 5000))
            << r.left << "," << r.top;
        ASSERT_TRUE(testkit::SendWithTimeout(window, WM_COMMAND, kSnap, 0, 5000, nullptr));
        Exit();
        EXPECT_EQ(Text("Window", "posx"), "300");
        EXPECT_EQ(Text("Window", "wintop"), "0");
        EXPECT_EQ(Text("Option", "snap"), "1");
        EXPECT_EQ(Text("Config\\Ext", "skinname"), "night");
        EXPECT_EQ(Text("Other", "keep"), "1");
    }
}

// A vantor.ini the program cannot write: the first failed save says so,
// naming the file; later ones say nothing, and the program goes on.
TEST_F(SettingsRun, SettingsThatCannotBeSavedAreToldOnceWithThePath) {
    const std::string kept = "[Window]\r\nposx=100\r\nposy=100\r\nwintop=0\r\n";
    struct Row {
        const char* name;
        bool directory;
    } rows[] = {{"a directory", true}, {"locked by another program", false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Fresh("settings_unsaved");
        HANDLE lock = INVALID_HANDLE_VALUE;
        if (row.directory) {
            ASSERT_TRUE(CreateDirectoryA(ini.c_str(), nullptr));
        } else {
            testkit::WriteTextFile(ini, kept);
            lock = CreateFileA(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        }
        ASSERT_TRUE(Start());
        EXPECT_EQ(ErrorBox(500), "") << "nothing is saved at start";
        // The box's message loop holds the command: it is posted.
        ASSERT_TRUE(testkit::Post(window, WM_COMMAND, kSnap, 0));
        const std::string told = ErrorBox(15000);
        EXPECT_NE(told.find(ini), std::string::npos) << told;
        EXPECT_EQ(told.rfind("設定ファイルに書き込めませんでした。\n", 0), 0u) << told;
        ASSERT_TRUE(testkit::Post(window, WM_COMMAND, kSnap, 0));
        EXPECT_EQ(ErrorBox(1500), "") << "told once per run";
        ASSERT_TRUE(testkit::SendWithTimeout(window, WM_NULL, 0, 0, 5000, nullptr));
        Exit();
        if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
        if (row.directory) {
            RemoveDirectoryA(ini.c_str());
        } else {
            std::string after;
            EXPECT_TRUE(testkit::ReadFileText(ini, &after));
            EXPECT_EQ(after, kept);
        }
    }
}

} // namespace
