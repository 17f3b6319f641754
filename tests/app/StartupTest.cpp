// The real vantor.exe under Wine: start-up, single instance, auto-exit, session
// end, hidden start, settings files kept or unwritable, the counter check at start.
#include "tests/testkit/testkit.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

const char* const kClass = "Vantor_PerfMon";
const char* const kTitle = "Vantor";
const DWORD kStartTimeout = 15000;

// A fresh folder holding a copy of the program, so that its vantor.ini is
// the test's own.
std::string ProgramCopy(const char* name) {
    std::string dir = testkit::FreshTempDir(name);
    std::string exe = dir + "\\vantor.exe";
    std::string built = testkit::BuildDir() + "\\..\\..\\bin\\vantor.exe";
    EXPECT_TRUE(CopyFileA(built.c_str(), exe.c_str(), FALSE)) << built;
    return exe;
}

std::string Folder(const std::string& exe) {
    return exe.substr(0, exe.rfind('\\'));
}

testkit::RunOptions Options(const std::string& exe, const std::string& args = "",
                            const std::string& script = "") {
    testkit::RunOptions o;
    o.exe = exe;
    o.args = args;
    o.workDir = Folder(exe);
    o.providerScript = script;
    return o;
}

// A script of one processor at a steady load, so runs never depend on the
// machine's own load.
std::string SteadyScript(const std::string& dir, int load) {
    return testkit::WriteTextFile(dir + "\\steady.txt", "cpus 1\n" + std::to_string(load) + "\n");
}

HWND StartAndWait(testkit::Process* p, const testkit::RunOptions& o) {
    if (!testkit::Start(o, p)) return nullptr;
    return testkit::WaitForWindow(kClass, kTitle, kStartTimeout);
}

void EndWith(testkit::Process& p, HWND window, UINT message, WPARAM wParam) {
    ASSERT_TRUE(testkit::Post(window, message, wParam, 0));
    DWORD code = 99;
    ASSERT_TRUE(testkit::WaitExit(p, 10000, &code));
    EXPECT_EQ(code, 0u);
}

std::string Section(const std::string& ini, const char* name) {
    std::string head = std::string("[") + name + "]";
    size_t at = ini.find(head);
    if (at == std::string::npos) return "";
    size_t end = ini.find("\n[", at + head.size());
    return ini.substr(at, end == std::string::npos ? std::string::npos : end + 1 - at);
}

TEST(Startup, FirstStartWritesTheSettingsAndMakesTheToolWindow) {
    std::string exe = ProgramCopy("startup_first");
    std::string ini = Folder(exe) + "\\vantor.ini";
    testkit::Process p;
    HWND window = StartAndWait(&p, Options(exe, "", SteadyScript(Folder(exe), 20)));
    ASSERT_NE(window, nullptr);

    // Settings are loaded (and a missing file written) before the window exists.
    std::string text;
    ASSERT_TRUE(testkit::ReadFileText(ini, &text));
    EXPECT_NE(text.find("[Window]\r\nposx=0\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("wintop=0\r\n"), std::string::npos);
    EXPECT_NE(text.find("[Config\\Ext]"), std::string::npos);

    char cls[64] = {};
    GetClassNameA(window, cls, sizeof cls);
    EXPECT_STREQ(cls, kClass);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & WS_CAPTION);
    // The window is found while it is still being created; it shows after.
    EXPECT_TRUE(testkit::WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, 5000));
    EndWith(p, window, WM_COMMAND, 40001);
}

TEST(Startup, SecondCopyRaisesTheFirstAndLeaves) {
    std::string exe = ProgramCopy("startup_second");
    std::string script = SteadyScript(Folder(exe), 20);
    testkit::Process first;
    HWND window = StartAndWait(&first, Options(exe, "", script));
    ASSERT_NE(window, nullptr);

    testkit::Process second;
    ASSERT_TRUE(testkit::Start(Options(exe, "", script), &second));
    DWORD code = 99;
    ASSERT_TRUE(testkit::WaitExit(second, 10000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(FindWindowExA(nullptr, window, kClass, kTitle), nullptr) << "a second window";

    // Minimised, the first is left alone.
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(testkit::WaitUntil([&] { return IsIconic(window) != FALSE; }, 5000));
    testkit::Process third;
    ASSERT_TRUE(testkit::Start(Options(exe, "", script), &third));
    ASSERT_TRUE(testkit::WaitExit(third, 10000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(IsIconic(window));

    // Once the first has ended, the mutex is free again.
    EndWith(first, window, WM_CLOSE, 0);
    testkit::Process again;
    HWND next = StartAndWait(&again, Options(exe, "", script));
    ASSERT_NE(next, nullptr);
    EndWith(again, next, WM_COMMAND, 40001);
}

// Milliseconds from the window's appearance to the end of the process, or
// -1 when it is still running after `limitMs`.
long RunUntilExit(const std::string& exe, const std::string& args, const std::string& script,
                  DWORD limitMs) {
    testkit::Process p;
    if (!StartAndWait(&p, Options(exe, args, script))) return -2;
    DWORD start = GetTickCount();
    DWORD code = 99;
    if (!testkit::WaitExit(p, limitMs, &code)) {
        testkit::Kill(p);
        return -1;
    }
    EXPECT_EQ(code, 0u) << args;
    return static_cast<long>(GetTickCount() - start);
}

// The program's own end comes a little after its decision to end: the
// window and the tray icon are withdrawn first (the bench's Wine manages no
// window, so neither waits for a window manager), on a machine that may be
// busy with other tests.
const long kWithdrawLag = 1000;

TEST(Startup, AutoExitOption) {
    std::string exe = ProgramCopy("startup_autoexit");
    std::string steady = SteadyScript(Folder(exe), 20);

    long ms = RunUntilExit(exe, "/E:2", steady, 10000);
    EXPECT_GE(ms, 1000);
    EXPECT_LE(ms, 3000 + kWithdrawLag);
    ms = RunUntilExit(exe, "/E:1,100", steady, 10000);
    EXPECT_GE(ms, 500);
    EXPECT_LE(ms, 2500 + kWithdrawLag);
    ms = RunUntilExit(exe, "-e:1,100", steady, 10000);
    EXPECT_GE(ms, 500);
    EXPECT_LE(ms, 2500 + kWithdrawLag);
    EXPECT_EQ(RunUntilExit(exe, "/E:0,10,30", steady, 5000), -1);

    // Busy for about six samples, then quiet: the program ends about 2 s
    // after the load drops, not before.
    std::string script = testkit::WriteTextFile(Folder(exe) + "\\drop.txt",
                                                "cpus 1\n80\n80\n80\n80\n80\n80\n80\n10\n");
    ms = RunUntilExit(exe, "/E:1,50,2", script, 20000);
    EXPECT_GE(ms, 6000);
    EXPECT_LE(ms, 11000 + kWithdrawLag);
}

TEST(Startup, SessionEndRewritesWindowAndOptionOnly) {
    std::string exe = ProgramCopy("startup_session");
    std::string ini = Folder(exe) + "\\vantor.ini";
    testkit::Process p;
    HWND window = StartAndWait(&p, Options(exe, "", SteadyScript(Folder(exe), 20)));
    ASSERT_NE(window, nullptr);

    ASSERT_TRUE(WritePrivateProfileStringA("Window", "byhand", "1", ini.c_str()));
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
    std::string before;
    ASSERT_TRUE(testkit::ReadFileText(ini, &before));
    ASSERT_NE(Section(before, "Window").find("byhand=1"), std::string::npos);

    LRESULT answer = 0;
    ASSERT_TRUE(testkit::SendWithTimeout(window, WM_QUERYENDSESSION, 0, 0, 5000, &answer));
    EXPECT_EQ(answer, 1);
    std::string after;
    ASSERT_TRUE(testkit::ReadFileText(ini, &after));
    EXPECT_EQ(Section(after, "Window").find("byhand"), std::string::npos) << after;
    EXPECT_NE(Section(after, "Window").find("posx=0"), std::string::npos);
    for (const char* name : {"Config", "Config\\Color", "Config\\Log", "Config\\Ext"})
        EXPECT_EQ(Section(after, name), Section(before, name)) << name;

    // The shell's restart message leaves the program running and answering.
    UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    ASSERT_TRUE(testkit::SendWithTimeout(window, taskbarCreated, 0, 0, 5000, &answer));
    ASSERT_TRUE(testkit::SendWithTimeout(window, WM_NULL, 0, 0, 5000, &answer));
    EXPECT_TRUE(IsWindow(window));
    EndWith(p, window, WM_COMMAND, 40001);
}

TEST(Startup, SavedHiddenWindowStartsHidden) {
    std::string exe = ProgramCopy("startup_hidden");
    std::string ini = Folder(exe) + "\\vantor.ini";
    std::string script = SteadyScript(Folder(exe), 20);
    testkit::Process p;
    HWND window = StartAndWait(&p, Options(exe, "", script));
    ASSERT_NE(window, nullptr);
    EndWith(p, window, WM_COMMAND, 40001);

    ASSERT_TRUE(WritePrivateProfileStringA("Window", "winhide", "1", ini.c_str()));
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
    testkit::Process hidden;
    window = StartAndWait(&hidden, Options(exe, "", script));
    ASSERT_NE(window, nullptr);
    // Once a message comes back, start-up has passed its ShowWindow.
    ASSERT_TRUE(testkit::SendWithTimeout(window, WM_NULL, 0, 0, 5000, nullptr));
    EXPECT_FALSE(IsWindowVisible(window));
    EndWith(hidden, window, WM_COMMAND, 40001);
}

// The text of the program's error box that comes within waitMs, closed with
// its OK; "" when none comes.
std::string ErrorBox(DWORD waitMs) {
    HWND box = testkit::WaitForWindow("#32770", "Vantor エラー", waitMs);
    if (!box) return "";
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    testkit::Post(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    testkit::WaitUntil([&] { return !IsWindow(box); }, 5000);
    return text;
}

// Hand-edited without a usable wintop, the file is read where each setting
// stands (the short save writes back the place read) and kept. A folder in
// its place, or a file locked by another program: the first save that fails
// says so, naming the file, later ones do not, and the session's end not at all.
TEST(Startup, SettingsFilesAreKeptAndAFailedSaveIsToldOnce) {
    const std::string rest = "[Config\\Ext]\r\nskinname=night\r\n[Other]\r\nkeep=1\r\n";
    enum Kind { Edited, AFolder, Locked };
    const std::pair<Kind, const char*> cases[] = {
        {Edited, ""}, {Edited, "wintop=\r\n"}, {AFolder, ""}, {Locked, "wintop=0\r\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + c.second);
        std::string exe = ProgramCopy("startup_settings");
        const std::string ini = Folder(exe) + "\\vantor.ini",
                          before = "[Window]\r\nposx=300\r\nposy=200\r\n" + (c.second + rest);
        ASSERT_TRUE(c.first == AFolder ? CreateDirectoryA(ini.c_str(), nullptr) != FALSE
                                       : !testkit::WriteTextFile(ini, before).empty());
        HANDLE lock = INVALID_HANDLE_VALUE;
        if (c.first == Locked) {
            lock = CreateFileA(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        }
        testkit::Process p;
        HWND window = StartAndWait(&p, Options(exe, "", SteadyScript(Folder(exe), 20)));
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(ErrorBox(500), "") << "nothing is saved at start";
        // The end of the session is answered at once, with no box to hold it.
        LRESULT answer = 0;
        EXPECT_TRUE(testkit::SendWithTimeout(window, WM_QUERYENDSESSION, 0, 0, 5000, &answer));
        EXPECT_EQ(answer, 1);
        EXPECT_EQ(ErrorBox(500), "");
        // "画面端にスナップ", a short save; posted: the box's message loop holds it.
        for (int save = 0; save < (c.first == Edited ? 1 : 2); ++save) {
            ASSERT_TRUE(testkit::Post(window, WM_COMMAND, 40036, 0));
            const bool silent = c.first == Edited || save; // told once per run
            const std::string told = ErrorBox(silent ? 1500 : 15000),
                              want = silent ? ""
                                            : "設定ファイルに書き込めませんでした。\n" + ini + "\n";
            EXPECT_EQ(told.substr(0, silent ? std::string::npos : want.size()), want) << told;
        }
        EndWith(p, window, WM_COMMAND, 40001);
        if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
        std::string after = "(a folder)";
        testkit::ReadFileText(ini, &after);
        if (c.first == Edited) {
            EXPECT_NE(Section(after, "Window").find("posx=300\r\nposy=200\r\n"), std::string::npos)
                << after;
            EXPECT_NE(Section(after, "Option").find("snap=1\r\n"), std::string::npos);
            EXPECT_NE(after.find(rest), std::string::npos);
        } else {
            EXPECT_EQ(after, c.first == AFolder ? "(a folder)" : before);
        }
        RemoveDirectoryA(ini.c_str());
    }
}

// The counter check runs before any window; its question is answered by
// pressing the real button of the real message box.
class CounterCheckAtStart : public ::testing::Test {
  protected:
    const char* key = "SYSTEM\\CurrentControlSet\\Services\\PerfOS\\Performance";
    const char* value = "Disable Performance Counters";

    void SetDisabled(DWORD v) {
        HKEY k;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_WRITE, nullptr, &k,
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(k, value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
        RegCloseKey(k);
    }
    bool ValuePresent() {
        HKEY k;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
        LONG r = RegQueryValueExA(k, value, nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(k);
        return r == ERROR_SUCCESS;
    }
    void TearDown() override {
        HKEY k;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_WRITE, &k) == ERROR_SUCCESS) {
            RegDeleteValueA(k, value);
            RegCloseKey(k);
        }
    }
    static bool Answer(int button) {
        HWND box = testkit::WaitForWindow("#32770", "Vantor Warrning!", kStartTimeout);
        if (!box) return false;
        HWND b = GetDlgItem(box, button);
        return b && testkit::Post(b, BM_CLICK, 0, 0);
    }
};

TEST_F(CounterCheckAtStart, NoEndsWithoutWindowYesRepairsAndRuns) {
    std::string exe = ProgramCopy("startup_counters");
    std::string script = SteadyScript(Folder(exe), 20);

    SetDisabled(1);
    testkit::Process declined;
    ASSERT_TRUE(testkit::Start(Options(exe, "", script), &declined));
    ASSERT_TRUE(Answer(IDNO));
    DWORD code = 99;
    ASSERT_TRUE(testkit::WaitExit(declined, 10000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(FindWindowA(kClass, kTitle), nullptr);
    EXPECT_TRUE(ValuePresent());

    testkit::Process accepted;
    ASSERT_TRUE(testkit::Start(Options(exe, "", script), &accepted));
    ASSERT_TRUE(Answer(IDYES));
    HWND window = testkit::WaitForWindow(kClass, kTitle, kStartTimeout);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(ValuePresent()) << "the value is deleted, not set to 0";
    EndWith(accepted, window, WM_COMMAND, 40001);
}

} // namespace
