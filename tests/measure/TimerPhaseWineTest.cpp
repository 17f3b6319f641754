// vantor.exe at the default rates (sampling and log every second) over a
// provider whose clock and idle times move in whole 15.625 ms steps, as
// Windows keeps them. The log tick comes a few milliseconds after the
// sampling tick when both start at the window's set-up, and a few before
// when the log is switched on from the menu just ahead of a sampling tick
// (found from the tray tip's updates): either way every log row, every tray
// tip and every caption of the window in front holds the steady load. The auto-exit watch, whose first look
// comes at a sampling tick too, ends the program under a low load only.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/testkit/testkit.h"
#include "tools/fakeshell/FakeShell.h"

namespace {

// Every figure of a text: the numbers just before a '%'.
std::vector<int> Percents(const std::string& text) {
    std::vector<int> out;
    for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 1)) {
        size_t begin = at;
        while (begin > 0 && text[begin - 1] >= '0' && text[begin - 1] <= '9') --begin;
        if (begin < at) out.push_back(std::atoi(text.c_str() + begin));
    }
    return out;
}

// The numbers of a row "elapsed, total, cpu 1, cpu 2".
std::vector<long> Row(const std::string& line) {
    std::vector<long> n;
    char* end = nullptr;
    for (const char* p = line.c_str(); *p; p = *end ? end + 1 : end) {
        n.push_back(std::strtol(p, &end, 10));
        if (end == p) return {};
    }
    return n;
}

class Phases : public ::testing::Test {
  protected:
    fakeshell::FakeTray tray;
    std::string dir, log;
    testkit::Process process, other;
    HWND window = nullptr, front = nullptr;
    std::vector<std::string> captions; // each text the window in front carried

    void TearDown() override { testkit::Kill(other); }
    // A window of another program in front, whose caption carries the load.
    bool StartFront() {
        testkit::RunOptions o;
        o.exe = testkit::BuildDir() + "\\..\\..\\tools\\testwindow\\testwindow.exe";
        front = testkit::Start(o, &other) ? testkit::WaitForWindow("VantorTestWindow", nullptr, 5000)
                                          : nullptr;
        return front != nullptr;
    }
    void ReadCaption() {
        if (GetForegroundWindow() != front) SetForegroundWindow(front);
        char text[256] = {};
        testkit::SendWithTimeout(front, WM_GETTEXT, sizeof text, LPARAM(text), 3000, nullptr);
        if (captions.empty() || captions.back() != text) captions.push_back(text);
    }

    // Hidden, so that every sampling tick writes the tip.
    bool Start(const char* name, int load, bool logOn, const std::string& args = "") {
        dir = testkit::FreshTempDir(name);
        log = dir + "\\cpu.csv";
        const std::string built = testkit::BuildDir() + "\\..\\..\\bin\\vantor.exe";
        const std::string script = testkit::WriteTextFile(
            dir + "\\s.txt", "cpus 2\nsteps\n" + std::to_string(load) + "\n");
        const std::string ini = std::string("[Window]\r\nposx=200\r\nposy=200\r\nwintop=0\r\n") +
                                "winhide=1\r\n[Option]\r\ntitle=1\r\nlog=" + (logOn ? "1" : "0") +
                                "\r\n[Config]\r\ntmrate=1000\r\n[Config\\Log]\r\nlogout=1\r\n"
                                "tmrate2=1000\r\nlogfile=" + log + "\r\n";
        testkit::RunOptions o{dir + "\\vantor.exe", args, dir, script, {}};
        if (!CopyFileA(built.c_str(), o.exe.c_str(), FALSE) ||
            testkit::WriteTextFile(dir + "\\vantor.ini", ini).empty() ||
            !testkit::Start(o, &process))
            return false;
        window = testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000);
        return window != nullptr;
    }
    void Exit() {
        DWORD code = 99;
        EXPECT_TRUE(testkit::Post(window, WM_COMMAND, 40001, 0) &&
                    testkit::WaitExit(process, 15000, &code) && code == 0);
    }
    // The tips with figures of this run, with the tick count of their arrival.
    size_t firstCall = 0;
    std::vector<fakeshell::TrayCall> Tips() const {
        std::vector<fakeshell::TrayCall> out;
        const std::vector<fakeshell::TrayCall> calls = tray.Calls();
        for (size_t i = firstCall; i < calls.size(); ++i)
            if (calls[i].message == NIM_MODIFY && (calls[i].flags & NIF_TIP) &&
                !Percents(calls[i].tip).empty())
                out.push_back(calls[i]);
        return out;
    }
    // Milliseconds from the window's appearance to the end, or -1 when the
    // program still runs after `limitMs`.
    long RunUntilExit(int load, bool logOn, DWORD limitMs) {
        if (!Start("phases_exit", load, logOn, "/E:3,20,0")) return -2;
        const DWORD start = GetTickCount();
        DWORD code = 99;
        if (!testkit::WaitExit(process, limitMs, &code)) {
            Exit();
            return -1;
        }
        EXPECT_EQ(code, 0u);
        return static_cast<long>(GetTickCount() - start);
    }
    std::vector<std::string> Rows() const {
        std::string text;
        std::vector<std::string> rows;
        if (!testkit::ReadFileText(log, &text)) return rows;
        for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
            if (text[at] != '"') rows.push_back(text.substr(at, end - at));
        return rows;
    }
};

// Whole clock steps over a second move a figure by under two points; a busy
// machine delays the ticks, which then measure a longer interval, no worse.
const int kTolerance = 4;

TEST_F(Phases, EveryRowAndTipHoldsTheLoadWhicheverTimerFiresFirst) {
    const struct {
        int load;
        bool logFirst; // the log tick a few ms before the sampling tick
    } table[] = {{70, false}, {80, true}, {70, true}, {80, false}};
    for (const auto& row : table) {
        const std::string what = std::to_string(row.load) + (row.logFirst ? "%, log first" : "%, log after");
        captions.clear();
        firstCall = tray.CallCount();
        testkit::Kill(other); // a caption of its own for each run
        ASSERT_TRUE(StartFront());
        ASSERT_TRUE(Start("phases", row.load, !row.logFirst)) << what;
        DWORD logStart = GetTickCount();
        if (row.logFirst) {
            // The first tip marks the first sampling tick (a tip is sent only
            // when its text changes); the tick keeps its pace, so the log goes
            // on just ahead of a later one. The tip arrives a few milliseconds
            // after its tick.
            ASSERT_TRUE(testkit::WaitUntil([&] { return !Tips().empty(); }, 15000)) << what;
            DWORD target = Tips().front().tick + 1000 - 12;
            while (static_cast<LONG>(target - GetTickCount()) < 300) target += 1000;
            while (static_cast<LONG>(GetTickCount() - target) < 0) Sleep(1);
            logStart = GetTickCount();
            ASSERT_TRUE(testkit::SendWithTimeout(window, WM_COMMAND, 40024, 0, 5000, nullptr));
        }
        ASSERT_TRUE(testkit::WaitUntil(
            [&] {
                ReadCaption();
                return Rows().size() >= 8;
            },
            20000))
            << what;
        const std::vector<fakeshell::TrayCall> tips = Tips();
        ASSERT_FALSE(tips.empty()) << what;
        std::string phases;
        for (const std::string& line : Rows()) {
            const std::vector<long> n = Row(line);
            ASSERT_EQ(n.size(), 4u) << line;
            // How far the row's tick lay from the nearest sampling tick, as
            // the first tip and the tick's pace place them.
            const long d = static_cast<long>(logStart + n[0] - tips.front().tick);
            const long nearest = ((d % 1000) + 1500) % 1000 - 500;
            phases += " " + std::to_string(nearest);
            for (size_t i = 1; i < 4; ++i)
                EXPECT_NEAR(n[i], row.load, kTolerance)
                    << what << ": row " << line << ", " << nearest << " ms from a sampling tick";
        }
        std::printf("%s: rows at%s ms from a sampling tick\n", what.c_str(), phases.c_str());
        for (const fakeshell::TrayCall& tip : tips)
            for (int figure : Percents(tip.tip))
                EXPECT_NEAR(figure, row.load, kTolerance) << what << ": tip " << tip.tip;
        size_t carried = 0;
        for (const std::string& caption : captions) {
            for (int figure : Percents(caption))
                EXPECT_NEAR(figure, row.load, kTolerance) << what << ": caption " << caption;
            carried += !Percents(caption).empty();
        }
        EXPECT_GE(carried, 1u) << what << ": the caption carries the load";
        Exit();
    }
}

// The watch's first look measures the whole delay, never the moment since
// the sampling tick that came with it.
TEST_F(Phases, AutoExitEndsUnderALowLoadOnlyWithTheLogOnOrOff) {
    for (bool logOn : {false, true}) {
        EXPECT_EQ(RunUntilExit(80, logOn, 7000), -1) << "80 %, log " << logOn;
        const long ms = RunUntilExit(5, logOn, 15000);
        EXPECT_GE(ms, 2000) << "5 %, log " << logOn;
        EXPECT_LE(ms, 7000) << "5 %, log " << logOn;
    }
}

} // namespace
