// vantor.exe in a Wine prefix without any processor-data provider (Wine as a
// user has it) while a thread of this test keeps one processor busy: the log
// rows from the first, the window's meter and the tray tip of the hidden
// window show the load /proc/stat gives over their samples, whatever else
// keeps the machine busy meanwhile. The timers wait a minute; this test sends
// the ticks itself, each bracketed by readings of /proc/stat.
#include "base/WindowIds.h"
#include "tests/testkit/testkit.h"
#include "tools/fakeshell/FakeShell.h"
#include "view/MeterCells.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <thread>

namespace {

// /proc/stat at a tick count: idle and all clock ticks (user to steal) of
// each "cpu" line, [0] all processors together.
struct Reading {
    int64_t tick = static_cast<int64_t>(GetTickCount64());
    std::vector<std::pair<uint64_t, uint64_t>> cpu;
    Reading() {
        std::string text;
        testkit::ReadFileText("Z:\\proc\\stat", &text);
        for (size_t at = 0; text.compare(at, 3, "cpu") == 0; at = text.find('\n', at) + 1) {
            std::istringstream line(text.substr(text.find(' ', at)));
            uint64_t v = 0, idle = 0, all = 0;
            for (int field = 0; field < 8 && line >> v; ++field)
                all += v, idle = field == 3 ? v : idle;
            cpu.push_back({idle, all});
        }
    }
};
using Readings = std::vector<Reading>;

int64_t WidestGap(const Readings& r) {
    int64_t gap = 0;
    for (size_t i = 1; i < r.size(); ++i)
        gap = std::max(gap, r[i].tick - r[i - 1].tick);
    return gap;
}

// The figures a sample of line `cpu` that began between two of the readings
// `starts` and ended between two of `ends` can show: the loads from any start
// to any end, give or take what the gaps between them and a clock tick
// (10 ms) at each end of the program's reading and of ours can add to the
// shortest, and the rounding.
std::pair<double, double> Truth(const Readings& starts, const Readings& ends, size_t cpu) {
    double lo = 1e9, hi = -1e9;
    for (const Reading& a : starts)
        for (const Reading& b : ends) {
            if (cpu >= std::min(a.cpu.size(), b.cpu.size())) return {1, 0};
            const double all = double(b.cpu[cpu].second - a.cpu[cpu].second);
            const double load = 100 * (all - double(b.cpu[cpu].first - a.cpu[cpu].first)) / all;
            lo = std::min(lo, load), hi = std::max(hi, load);
        }
    const int64_t shortest = std::max<int64_t>(ends.front().tick - starts.back().tick, 1);
    const double within = 1 + 100.0 * (WidestGap(starts) + WidestGap(ends) + 40) / shortest;
    return {lo - within, hi + within};
}

// Keeps the first processor busy while it lives.
struct Busy {
    std::atomic<bool> stop{false};
    std::thread spin{[this] {
        SetThreadAffinityMask(GetCurrentThread(), 1);
        while (!stop) {
        }
    }};
    ~Busy() { stop = true, spin.join(); }
};

struct Vantor {
    testkit::Process process;
    HWND window = nullptr;
    ~Vantor() {
        DWORD code = 99;
        EXPECT_TRUE(testkit::Post(window, WM_COMMAND, 40001, 0) &&
                    testkit::WaitExit(process, 15000, &code) && code == 0);
    }
};

TEST(PlainWine, LogRowsMeterAndTipShowTheLoadOfProcStat) {
    Busy busy;
    fakeshell::FakeTray tray; // found by the program's shell calls
    const std::string dir = testkit::FreshTempDir("plain"), log = dir + "\\cpu.csv";
    testkit::RunOptions o{dir + "\\vantor.exe", "", dir, "", {}};
    ASSERT_TRUE(CopyFileA((testkit::BuildDir() + "\\..\\..\\bin\\vantor.exe").c_str(),
                          o.exe.c_str(), FALSE));
    ASSERT_FALSE(testkit::WriteTextFile(dir + "\\vantor.ini",
                                        "[Window]\r\nposx=100\r\nposy=100\r\nwintop=0\r\n"
                                        "[Option]\r\nlog=1\r\n[Config]\r\ntmrate=60000\r\n"
                                        "[Config\\Log]\r\nlogout=1\r\ntmrate2=60000\r\n"
                                        "logfile=" + log + "\r\n").empty());
    // The sampler is made after the launch (Wine's CreateProcess returns before
    // the program's own code runs) and before its window.
    Vantor run;
    ASSERT_TRUE(testkit::Start(o, &run.process));
    Readings made(1);
    for (; !run.window && made.back().tick - made.front().tick < 15000; Sleep(10)) {
        run.window = FindWindowA("Vantor_PerfMon", "Vantor");
        made.emplace_back();
    }
    ASSERT_NE(run.window, nullptr);
    std::vector<Readings> ticks = {made};
    auto tick = [&](UINT_PTR timer) {
        Sleep(1000);
        Readings r(1);
        EXPECT_TRUE(testkit::SendWithTimeout(run.window, WM_TIMER, timer, 0, 10000, nullptr));
        r.emplace_back();
        ticks.push_back(r);
    };
    // A figure of the sample between ticks k - 1 and k.
    auto expectTrue = [&](long figure, size_t k, size_t cpu, const std::string& what) {
        const auto truth = Truth(ticks[k - 1], ticks[k], cpu);
        EXPECT_TRUE(truth.first <= figure && figure <= truth.second)
            << what << ", line " << cpu << ": /proc/stat " << truth.first << " to " << truth.second;
    };
    for (int row = 0; row < 3; ++row)
        tick(TIMER_LOG);
    std::string text;
    testkit::ReadFileText(log, &text);
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 5u) << text;
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    const size_t columns = si.dwNumberOfProcessors > 1 ? si.dwNumberOfProcessors + 1 : 1;
    std::string header = "\"Elapsed-time[ms]\",\"Total[%]\"";
    for (size_t i = 1; i < columns; ++i)
        header += ",\"CPU " + std::to_string(i) + "[%]\"";
    EXPECT_EQ(lines[1], header) << "every processor, counted from the kernel's times";
    for (size_t i = 2; i < lines.size(); ++i) {
        std::istringstream row(lines[i]);
        long elapsed = 0, figure = 0;
        char comma = 0;
        size_t c = 0;
        for (row >> elapsed; row >> comma >> figure; ++c)
            expectTrue(figure, i - 1, c, lines[i]);
        EXPECT_EQ(c, columns) << lines[i];
    }

    // The total's meter below its text (padding 4, 8; 15-pixel text), lit in
    // the colours of its bands: the figures that light as many cells.
    SetWindowPos(run.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    tick(TIMER_SAMPLE);
    UpdateWindow(run.window);
    std::vector<COLORREF> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(testkit::ReadWindowPixels(run.window, &pixels, &w, &h));
    const uint32_t colours[3] = {RGB(0, 255, 0), RGB(255, 240, 0), RGB(255, 0, 0)};
    int shown = 0, expected[2] = {};
    for (int end = 0; end < 2; ++end) {
        const auto truth = Truth(ticks[3], ticks[4], 0);
        MeterLayout meter;
        LayoutMeter(uint32_t(std::clamp(end ? floor(truth.second) : ceil(truth.first), 0.0, 100.0)),
                    0, 0, colours, 5, 23, 33, meter);
        for (int c = 0; c < meter.count; ++c) {
            const PixelRect& at = meter.cells[c].rect;
            const size_t x = (at.left + at.right - 1) / 2, y = (at.top + at.bottom - 1) / 2;
            shown += !end && x < size_t(w) && y < size_t(h) &&
                     std::count(colours, colours + 3, pixels[y * w + x]) > 0;
            expected[end] += meter.cells[c].lit;
        }
    }
    EXPECT_TRUE(expected[0] <= shown && shown <= expected[1])
        << "meter of " << shown << " cells, " << expected[0] << " to " << expected[1] << " expected";

    // Hidden, it hands its figure to the tip at each tick instead.
    ASSERT_TRUE(testkit::SendWithTimeout(run.window, WM_COMMAND, 40022, 0, 10000, nullptr));
    tick(TIMER_SAMPLE);
    const std::string prefix = "\x81\x79" "CPU: ";
    std::string tip;
    for (const fakeshell::TrayCall& c : tray.Calls())
        if ((c.flags & NIF_TIP) && c.tip.compare(0, prefix.size(), prefix) == 0) tip = c.tip;
    ASSERT_FALSE(tip.empty());
    expectTrue(std::atol(tip.c_str() + prefix.size()), 5, 0, tip);
}

} // namespace
