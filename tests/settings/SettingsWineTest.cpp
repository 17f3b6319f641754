// The real vantor.exe under Wine with settings files a user may leave it: one
// lacking a key is kept as it is.
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

} // namespace
