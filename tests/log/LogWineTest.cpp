// The real vantor.exe under Wine writing its load log from scripted loads:
// the rows, the menu toggle, moving old logs aside, appending, and every
// failure with its message box.
#include "tests/testkit/testkit.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char* const kOpenFailed = "ログファイルを開けませんでした。\nログ保存をオフにします。";
const char* const kWriteFailed = "ログファイル書き込みに失敗しました。(";
const std::string kOld = "\"VantorモニタLOG: start at 2024/01/02 03:04:05.678\"\n"
                         "\"Elapsed-time[ms]\",\"Total[%]\"\n1000, 12\n";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

// The numbers of "a, b, c".
std::vector<long> Numbers(const std::string& row) {
    std::vector<long> n;
    char* end;
    for (const char* p = row.c_str(); *p; p = *end ? end + 1 : end) {
        n.push_back(std::strtol(p, &end, 10));
        if (end == p) return {};
    }
    return n;
}

std::string Read(const std::string& path) {
    std::string text;
    EXPECT_TRUE(testkit::ReadFileText(path, &text)) << path;
    return text;
}

// A copy of the program in a folder of its own, logging every 300 ms.
class LogRun : public ::testing::Test {
  protected:
    std::string dir = testkit::FreshTempDir("log"), ini = dir + "\\vantor.ini",
                log = dir + "\\cpu.csv",
                script = testkit::WriteTextFile(dir + "\\s.txt", "cpus 4\n10 30 50 70\n");
    testkit::Process process;
    HWND window = nullptr;

    void SetUp() override {
        std::string built = testkit::BuildDir() + "\\..\\..\\bin\\vantor.exe";
        ASSERT_TRUE(CopyFileA(built.c_str(), (dir + "\\vantor.exe").c_str(), FALSE));
        Set("Window", "wintop", "0");
        Set("Config\\Log", "tmrate2", "300");
        Set("Config\\Log", "logfile", log);
    }
    void Set(const char* section, const char* key, const std::string& value) {
        WritePrivateProfileStringA(section, key, value.c_str(), ini.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
    }
    // Starts with logging enabled and running, as saved by an earlier run.
    bool Start() {
        Set("Option", "log", "1");
        Set("Config\\Log", "logout", "1");
        testkit::RunOptions o{dir + "\\vantor.exe", "", dir, script, {}};
        window = testkit::Start(o, &process)
                     ? testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000)
                     : nullptr;
        return window != nullptr;
    }
    // As Start, on a disk that holds `bytes` bytes of any file (prlimit; with
    // SIGXFSZ ignored a write beyond fails as on a full disk). The program,
    // started by the Unix shell, is opened from its window.
    bool StartOnAFullDisk(long bytes) {
        Set("Option", "log", "1");
        Set("Config\\Log", "logout", "1");
        const std::string command =
            "-c \"trap '' XFSZ; exec prlimit --fsize=" + std::to_string(bytes) + " wine '" + dir +
            "\\vantor.exe'\"";
        testkit::RunOptions o{"Z:\\bin\\sh", command, dir, script, {}};
        testkit::Process shell;
        testkit::Kill(process);
        window = testkit::Start(o, &shell)
                     ? testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000)
                     : nullptr;
        GetWindowThreadProcessId(window, &process.pid); // 0 without a window
        process.process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, process.pid);
        return process.process != nullptr;
    }
    void Exit() {
        EXPECT_TRUE(testkit::Post(window, WM_COMMAND, 40001, 0) &&
                    testkit::WaitExit(process, 10000, nullptr));
    }
    void Toggle() {
        ASSERT_TRUE(testkit::SendWithTimeout(window, WM_COMMAND, 40024, 0, 5000, nullptr));
    }
    int SavedLog() {
        return static_cast<int>(GetPrivateProfileIntA("Option", "log", 9, ini.c_str()));
    }
    // The program's error box with the failure's message, closed with its
    // OK; then logging stays off until the options enable it again: the
    // item is greyed and unchecked, the toggle opens nothing and saves log
    // as 0 (on a full disk only the box: the menu probe and vantor.ini write
    // from within the program).
    void ExpectLoggingSwitchedOff(const char* message, bool diskFull = false) {
        HWND box = testkit::WaitForWindow("#32770", "Vantor エラー", 15000);
        ASSERT_NE(box, nullptr);
        char text[256] = {};
        SendMessageA(GetDlgItem(box, 0xFFFF), WM_GETTEXT, sizeof text,
                     reinterpret_cast<LPARAM>(text));
        testkit::Screenshot("log_error_box");
        testkit::Post(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        testkit::WaitUntil([&] { return !IsWindow(box); }, 5000);
        std::string shown = text;
        if (message == kOpenFailed)
            EXPECT_EQ(shown, kOpenFailed);
        else
            EXPECT_GT(shown.find(message) == 0 ? std::atoi(text + strlen(message)) : 0, 0) << shown;
        if (diskFull) return;
        EXPECT_EQ(testkit::MenuItemsOf(window)[40024], "unchecked,grayed mark");
        Toggle();
        EXPECT_EQ(testkit::WaitForWindow("#32770", "Vantor エラー", 500), nullptr);
        EXPECT_EQ(SavedLog(), 0);
    }
    // The window can be found before its creation has opened the log.
    size_t LinesNow() {
        std::string text;
        return testkit::ReadFileText(log, &text) ? Lines(text).size() : 0;
    }
};

TEST_F(LogRun, RowsCarryTheScriptedLoadsAndTheMenuTogglesTheFile) {
    Set("Config\\Log", "logtime", "1");
    // Without the display's samples between them every log sample covers a
    // second (the first one: since the program started). The sampler's tick
    // count moves in steps of up to 16 ms and is read some milliseconds after
    // the provider's clock on a busy machine: a few percent of a second.
    Set("Config", "tmrate", "60000");
    Set("Config\\Log", "tmrate2", "1000");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(testkit::WaitUntil([&] { return LinesNow() >= 5; }, 15000));
    std::string text = Read(log);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(text.back(), '\n') << "rows are written whole";
    std::vector<std::string> lines = Lines(text);
    const std::string banner = lines[0];
    EXPECT_EQ(banner.rfind("\"VantorモニタLOG: start at 20", 0), 0u) << banner;
    EXPECT_EQ(lines[1], "\"Date\",\"Time\",\"Elapsed-time[ms]\",\"Total[%]\",\"CPU 1[%]\","
                        "\"CPU 2[%]\",\"CPU 3[%]\",\"CPU 4[%]\"");
    // Every row from the first carries the script's loads.
    // "2026/12/08, 03:04:05.678, " comes before elapsed, total, processors.
    long previous = 0;
    for (size_t i = 2; i < lines.size(); ++i) {
        std::vector<long> n = Numbers(lines[i].substr(26));
        ASSERT_EQ(n.size(), 6u) << lines[i];
        EXPECT_EQ(lines[i].substr(4, 1) + lines[i].substr(10, 2), "/, ") << lines[i];
        EXPECT_GT(n[0], previous) << lines[i];
        previous = n[0];
        EXPECT_NEAR(n[1], 40, 4) << lines[i];
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(n[2 + c], 10 + 20 * c, 4) << lines[i];
    }

    // Off: the file is closed (it opens exclusively).
    Toggle();
    EXPECT_EQ(SavedLog(), 0);
    HANDLE h = CreateFileA(log.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    // On again: the closed log moves to the name of its start time.
    Toggle();
    EXPECT_EQ(SavedLog(), 1);
    std::string dated = log + "." + banner.substr(27, 4) + banner.substr(32, 2) +
                        banner.substr(35, 2) + "_" + banner.substr(38, 2) + banner.substr(41, 2) +
                        banner.substr(44, 2);
    EXPECT_EQ(Read(dated).substr(0, text.size()), text) << dated;
    ASSERT_TRUE(testkit::WaitUntil([&] { return LinesNow() >= 3; }, 5000));
    Exit();
}

TEST_F(LogRun, OldLogsMoveToTheirDatedNameThenToTheNextFreeSuffix) {
    // What a start whose first write failed left, nothing or a cut banner,
    // is no log to keep: it is written over, neither appended to nor moved.
    for (const std::string& left : {std::string(), kOld.substr(0, 30)}) {
        testkit::WriteTextFile(log, left);
        ASSERT_TRUE(Start());
        EXPECT_EQ(testkit::WaitForWindow("#32770", "Vantor エラー", 500), nullptr);
        ASSERT_TRUE(testkit::WaitUntil([&] { return LinesNow() >= 3; }, 10000));
        Exit();
        EXPECT_EQ(Read(log).rfind("\"VantorモニタLOG: start at "), 0u) << left;
        WIN32_FIND_DATAA found;
        HANDLE moved = FindFirstFileA((log + ".2*").c_str(), &found);
        EXPECT_EQ(moved, INVALID_HANDLE_VALUE) << found.cFileName;
        if (moved != INVALID_HANDLE_VALUE) FindClose(moved);
    }
    // Started again and again within the second of the last rotation: each
    // old log goes to the next free name, and no start is refused.
    for (const char* suffix : {"", "a", "b", "c"}) {
        testkit::WriteTextFile(log, kOld);
        ASSERT_TRUE(Start());
        EXPECT_EQ(testkit::WaitForWindow("#32770", "Vantor エラー", 500), nullptr);
        EXPECT_EQ(Read(log + ".20240102_030405" + suffix), kOld);
        EXPECT_EQ(Read(log).find("\"VantorモニタLOG: start at "), 0u);
        Exit();
    }
    // Another program's file is never renamed or overwritten.
    const std::string foreign = "Date,Load\n2024/01/02 03:04:05.678,12\n";
    testkit::WriteTextFile(log, foreign);
    ASSERT_TRUE(Start());
    ExpectLoggingSwitchedOff(kOpenFailed);
    EXPECT_EQ(Read(log), foreign);
    Exit();
    // Appending keeps the old content and adds a banner and a header.
    testkit::WriteTextFile(log, kOld);
    Set("Config\\Log", "logappend", "1");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(testkit::WaitUntil([&] { return LinesNow() >= 6; }, 10000));
    Exit();
    std::vector<std::string> lines = Lines(Read(log));
    EXPECT_EQ(Read(log).substr(0, kOld.size()), kOld);
    EXPECT_EQ(lines[3].rfind("\"VantorモニタLOG: start at ", 0), 0u);
    EXPECT_EQ(lines[4].find("\"Elapsed-time[ms]\",\"Total[%]\",\"CPU 1[%]\""), 0u);
    EXPECT_EQ(Numbers(lines[5]).size(), 6u) << lines[5];
}

// A disk that fills while the log is written, inside the banner or among
// the rows: the failed write is reported and what it left is taken away, so
// the file holds whole lines only (an empty one is written over, as above);
// with space again an appending start carries on after the last row.
TEST_F(LogRun, AFullDiskLeavesWholeLinesAndTheNextStartCarriesOn) {
    Set("Config\\Log", "tmrate2", "100");
    std::string left;
    for (long bytes : {30L, 400L}) {
        SCOPED_TRACE(bytes);
        DeleteFileA(log.c_str());
        ASSERT_TRUE(StartOnAFullDisk(bytes));
        ExpectLoggingSwitchedOff(kWriteFailed, true);
        Exit();
        left = Read(log);
        EXPECT_EQ(left.empty(), bytes < 100) << "banner and header go together";
        EXPECT_TRUE(left.empty() || left.back() == '\n') << left;
    }
    // The last row torn by an older program: the next session starts on a
    // line of its own all the same.
    testkit::WriteTextFile(log, left.substr(0, left.size() - 1));
    Set("Config\\Log", "logappend", "1");
    ASSERT_TRUE(Start());
    EXPECT_EQ(testkit::WaitForWindow("#32770", "Vantor エラー", 500), nullptr);
    const size_t kept = Lines(left).size();
    ASSERT_TRUE(testkit::WaitUntil([&] { return LinesNow() >= kept + 3; }, 10000));
    Exit();
    const std::string text = Read(log);
    EXPECT_EQ(text.substr(0, left.size()), left);
    std::vector<std::string> lines = Lines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        const size_t inSession = i < kept ? i : i - kept;
        if (inSession == 0)
            EXPECT_EQ(lines[i].rfind("\"VantorモニタLOG: start at ", 0), 0u) << lines[i];
        else if (inSession == 1)
            EXPECT_EQ(lines[i].rfind("\"Elapsed-time[ms]\"", 0), 0u) << lines[i];
        else
            EXPECT_EQ(Numbers(lines[i]).size(), 6u) << lines[i];
    }
}

TEST_F(LogRun, FilesThatCannotBeOpenedOrWrittenSwitchTheLogOff) {
    for (const std::string& path : {std::string(), dir + "\\missing\\cpu.csv"}) {
        Set("Config\\Log", "logfile", path);
        ASSERT_TRUE(Start());
        ExpectLoggingSwitchedOff(kOpenFailed);
        Exit();
    }
    // A device that takes no byte: the banner cannot be written.
    Set("Config\\Log", "logfile", "Z:\\dev\\full");
    Set("Config\\Log", "logappend", "1");
    ASSERT_TRUE(Start());
    ExpectLoggingSwitchedOff(kWriteFailed);
    Exit();

    // A pipe whose reader goes away makes the next row's WriteFile fail.
    std::string pipe = "\\\\.\\pipe\\vantor-log-" + std::to_string(GetCurrentProcessId());
    HANDLE reader =
        CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_INBOUND, PIPE_NOWAIT, 1, 0, 65536, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    Set("Config\\Log", "logfile", pipe);
    ASSERT_TRUE(Start());
    std::string got;
    ASSERT_TRUE(testkit::WaitUntil(
        [&] {
            char buf[4096];
            DWORD n = 0;
            if (ReadFile(reader, buf, sizeof buf, &n, nullptr)) got.append(buf, n);
            return Lines(got).size() >= 4;
        },
        10000))
        << got;
    EXPECT_EQ(Lines(got)[1], "\"Elapsed-time[ms]\",\"Total[%]\",\"CPU 1[%]\",\"CPU 2[%]\","
                             "\"CPU 3[%]\",\"CPU 4[%]\"");
    CloseHandle(reader);
    ExpectLoggingSwitchedOff(kWriteFailed);
    Exit();
}

} // namespace
