// vantor.exe at the default rates over a provider whose clock and idle times
// move in whole 15.625 ms steps, as Windows keeps them. Whether the log tick
// comes a few ms after the sampling tick (both start with the window) or a few
// before (the log switched on just ahead of one), every log row, tray tip and
// caption of the window in front holds the steady load.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "tests/testkit/testkit.h"
#include "tools/fakeshell/FakeShell.h"

namespace {

// The figures of a text: the numbers just before a '%'.
std::vector<int> Percents(const std::string& text) {
    std::vector<int> out;
    for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 1)) {
        size_t begin = at;
        while (begin > 0 && text[begin - 1] >= '0' && text[begin - 1] <= '9')
            --begin;
        if (begin < at) out.push_back(std::atoi(text.c_str() + begin));
    }
    return out;
}

class Phases : public ::testing::Test {
  protected:
    fakeshell::FakeTray tray;
    testkit::Process process;
    HWND window = nullptr;
    std::string log;

    // Hidden, so that every sampling tick writes the tip.
    bool Start(int load, bool logOn) {
        const std::string dir = testkit::FreshTempDir("phases");
        log = dir + "\\cpu.csv";
        testkit::RunOptions o{dir + "\\vantor.exe", "/E:3,20,0", dir, dir + "\\s.txt", {}};
        testkit::WriteTextFile(o.providerScript, "cpus 2\nsteps\n" + std::to_string(load) + "\n");
        testkit::WriteTextFile(dir + "\\vantor.ini",
                               std::string("[Window]\r\nwinhide=1\r\n[Option]\r\ntitle=1\r\nlog=") +
                                   (logOn ? "1" : "0") +
                                   "\r\n[Config\\Log]\r\nlogout=1\r\nlogfile=" + log + "\r\n");
        const std::string built = testkit::BuildDir() + "\\..\\..\\bin\\vantor.exe";
        window = CopyFileA(built.c_str(), o.exe.c_str(), FALSE) && testkit::Start(o, &process)
                     ? testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000)
                     : nullptr;
        return window != nullptr;
    }
    std::vector<std::string> Rows() const {
        std::string text;
        std::vector<std::string> out;
        testkit::ReadFileText(log, &text);
        for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
            if (text[at] != '"') out.push_back(text.substr(at, end - at));
        return out;
    }
};

// Whole clock steps over a second move a figure by under two points; a busy
// machine delays the ticks, which then measure a longer interval, no worse.
const int kTolerance = 4;

TEST_F(Phases, EveryRowTipAndCaptionHoldsTheLoadWhicheverTimerFiresFirst) {
    // Another program's window in front, whose caption carries the load.
    testkit::Process other;
    testkit::RunOptions o;
    o.exe = testkit::BuildDir() + "\\..\\..\\tools\\testwindow\\testwindow.exe";
    ASSERT_TRUE(testkit::Start(o, &other));
    const HWND front = testkit::WaitForWindow("VantorTestWindow", nullptr, 15000);
    ASSERT_TRUE(front);
    const struct {
        int load;
        bool logFirst; // the log switched on a few ms before a sampling tick
    } table[] = {{70, false}, {80, true}};
    for (const auto& row : table) {
        const std::string what =
            std::to_string(row.load) + (row.logFirst ? "%, log first" : "%, log after");
        testkit::SendWithTimeout(front, WM_SETTEXT, 0, LPARAM("front"), 3000, nullptr);
        const size_t firstCall = tray.CallCount();
        auto tips = [&] {
            std::vector<fakeshell::TrayCall> out, calls = tray.Calls();
            for (size_t i = firstCall; i < calls.size(); ++i)
                if ((calls[i].flags & NIF_TIP) && !Percents(calls[i].tip).empty())
                    out.push_back(calls[i]);
            return out;
        };
        ASSERT_TRUE(Start(row.load, !row.logFirst)) << what;
        if (row.logFirst) {
            // The first tip comes a few ms after the first sampling tick (a
            // tip is sent only when its text changes) and the tick keeps its
            // pace. The log goes on after the watch's first look, two ticks
            // later, which then looks with the log off.
            ASSERT_TRUE(testkit::WaitUntil([&] { return !tips().empty(); }, 15000)) << what;
            DWORD target = tips().front().tick + 3000 - 12;
            while (static_cast<LONG>(target - GetTickCount()) < 300)
                target += 1000;
            while (static_cast<LONG>(GetTickCount() - target) < 0)
                Sleep(1);
            ASSERT_TRUE(testkit::SendWithTimeout(window, WM_COMMAND, 40024, 0, 5000, nullptr))
                << what;
        }
        std::set<std::string> shown; // captions, then tips
        ASSERT_TRUE(testkit::WaitUntil(
            [&] {
                if (GetForegroundWindow() != front) SetForegroundWindow(front);
                char text[256] = {};
                testkit::SendWithTimeout(front, WM_GETTEXT, sizeof text, LPARAM(text), 3000,
                                         nullptr);
                if (!Percents(text).empty()) shown.insert(text);
                return Rows().size() >= 8;
            },
            20000))
            << what << ": eight rows, and no end under /E:3,20,0";
        for (const std::string& line : Rows()) {
            int n[3] = {-1, -1, -1};
            EXPECT_EQ(std::sscanf(line.c_str(), "%*d,%d,%d,%d", &n[0], &n[1], &n[2]), 3) << line;
            for (int figure : n)
                EXPECT_NEAR(figure, row.load, kTolerance) << what << ": row " << line;
        }
        EXPECT_FALSE(shown.empty()) << what << ": the caption carries the load";
        for (const fakeshell::TrayCall& tip : tips())
            shown.insert(tip.tip);
        for (const std::string& text : shown)
            for (int figure : Percents(text))
                EXPECT_NEAR(figure, row.load, kTolerance) << what << ": " << text;
        DWORD code = 99;
        EXPECT_TRUE(testkit::Post(window, WM_COMMAND, 40001, 0) &&
                    testkit::WaitExit(process, 15000, &code) && code == 0)
            << what;
    }
}

// Under a low load the watch ends the program once its delay has passed,
// with the log on or off.
TEST_F(Phases, AutoExitEndsUnderALowLoadAfterTheWait) {
    for (bool logOn : {false, true}) {
        ASSERT_TRUE(Start(5, logOn));
        const DWORD start = GetTickCount();
        DWORD code = 99;
        EXPECT_TRUE(testkit::WaitExit(process, 7000, &code) && code == 0) << "log " << logOn;
        EXPECT_GE(GetTickCount() - start, 2000u) << "log " << logOn;
    }
}

} // namespace
