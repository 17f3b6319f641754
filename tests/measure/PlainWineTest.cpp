// vantor.exe in a Wine prefix without any processor-data provider (Wine as a
// user has it) while a thread of this test keeps one processor busy: the
// window's meter, the tray tip and every log row from the first show the load /proc/stat
// gives over the intervals their samples can have covered, whatever else
// keeps the machine busy meanwhile.
#include "tests/testkit/testkit.h"
#include "tools/fakeshell/FakeShell.h"
#include "view/MeterCells.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <sstream>
#include <thread>

namespace {

int64_t Ms(const SYSTEMTIME& t) {
    FILETIME f;
    SystemTimeToFileTime(&t, &f);
    return ((static_cast<int64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 10000;
}

// /proc/stat at a tick count and a local time: idle and all clock ticks
// (user to steal) of each "cpu" line, [0] all processors together.
struct Reading {
    int64_t tick = 0, wall = 0;
    std::vector<std::pair<uint64_t, uint64_t>> cpu;
};

// Reads every 10 ms, and spins on the first processor, while it lives.
class Machine {
  public:
    Machine() {
        recorder_ = std::thread([this] {
            for (std::string text; !stop_; Sleep(10)) {
                Reading r;
                SYSTEMTIME now;
                GetLocalTime(&now);
                r.wall = Ms(now), r.tick = static_cast<int64_t>(GetTickCount64());
                testkit::ReadFileText("Z:\\proc\\stat", &text);
                for (size_t at = 0; text.compare(at, 3, "cpu") == 0; at = text.find('\n', at) + 1) {
                    std::istringstream line(text.substr(text.find(' ', at)));
                    uint64_t v = 0, idle = 0, all = 0;
                    for (int field = 0; field < 8 && line >> v; ++field)
                        all += v, idle = field == 3 ? v : idle;
                    r.cpu.push_back({idle, all});
                }
                std::lock_guard<std::mutex> hold(lock_);
                readings_.push_back(r);
            }
        });
        busy_ = std::thread([this] {
            SetThreadAffinityMask(GetCurrentThread(), 1);
            while (!stop_) {
            }
        });
    }
    ~Machine() {
        stop_ = true;
        recorder_.join();
        busy_.join();
    }
    std::vector<Reading> Readings() {
        std::lock_guard<std::mutex> hold(lock_);
        return readings_;
    }
    // The tick count at a local time the program wrote.
    int64_t TickAt(int64_t wall) {
        const Reading r = Readings().back();
        return r.tick + wall - r.wall;
    }

  private:
    std::atomic<bool> stop_{false};
    std::mutex lock_;
    std::vector<Reading> readings_;
    std::thread recorder_, busy_;
};

// A sample that began within [a0, a1], ended within [b0, b1] and lasted d0
// to d1 ms (tick counts).
struct Span {
    int64_t a0, a1, b0, b1, d0, d1;
};

// A figure (or the figures low to high a meter cannot tell apart) for line
// `cpu` of /proc/stat: within the loads of every interval the sample can have
// covered, give or take a clock tick (10 ms) at each end of its own reading
// and of ours, and the rounding.
void ExpectTruth(const std::vector<Reading>& r, const Span& s, size_t cpu, long low, long high,
                 const std::string& what) {
    double lo = 1e9, hi = -1e9;
    for (size_t j = 1; j < r.size(); ++j)
        for (size_t i = 0; i < j; ++i) {
            const int64_t d = r[j].tick - r[i].tick;
            // Readings come every 10 ms, a little later on a busy machine.
            if (r[i].tick < s.a0 - 30 || r[i].tick > s.a1 + 30 || r[j].tick < s.b0 - 30 ||
                r[j].tick > s.b1 + 30 || d < s.d0 - 30 || d > s.d1 + 30 || cpu >= r[j].cpu.size())
                continue;
            const double all = double(r[j].cpu[cpu].second - r[i].cpu[cpu].second);
            const double idle = double(r[j].cpu[cpu].first - r[i].cpu[cpu].first);
            if (all <= 0) continue;
            lo = std::min(lo, 100 * (all - idle) / all);
            hi = std::max(hi, 100 * (all - idle) / all);
        }
    ASSERT_LE(lo, hi) << what << ": no readings around the sample";
    const double within = 1 + 4 * 10 * 100.0 / std::max<int64_t>(s.d0, 100);
    EXPECT_TRUE(high >= lo - within && low <= hi + within)
        << what << ": " << low << " to " << high << ", /proc/stat " << lo << " to " << hi;
    std::printf("%s: %ld..%ld, /proc/stat %.1f..%.1f, within %.1f\n", what.c_str(), low, high, lo,
                hi, within);
}

struct Vantor {
    testkit::Process process;
    HWND window = nullptr;
    int64_t launched = 0;
    // A copy of the program with its ini, reading this prefix's own data.
    bool Start(const std::string& dir, const std::string& ini, const std::string& args = "") {
        testkit::RunOptions o{dir + "\\vantor.exe", args, dir, "", {}};
        if (!CopyFileA((testkit::BuildDir() + "\\..\\..\\bin\\vantor.exe").c_str(), o.exe.c_str(),
                       FALSE) ||
            testkit::WriteTextFile(dir + "\\vantor.ini", "[Window]\r\nposx=100\r\nposy=100\r\n"
                                                         "wintop=0\r\n" + ini).empty())
            return false;
        launched = static_cast<int64_t>(GetTickCount64());
        window = testkit::Start(o, &process) ? testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000)
                                             : nullptr;
        return window && testkit::SendWithTimeout(window, WM_NULL, 0, 0, 10000, nullptr);
    }
    ~Vantor() {
        DWORD code = 99;
        EXPECT_TRUE(testkit::Post(window, WM_COMMAND, 40001, 0) &&
                    testkit::WaitExit(process, 15000, &code) && code == 0);
    }
};

TEST(PlainWine, TheWindowsMeterAndTheTipShowTheLoadOfProcStat) {
    Machine machine;
    fakeshell::FakeTray tray; // found by the program's shell calls
    Vantor run;
    // /E:3,20,0 too: the watch's first look comes with a sampling tick.
    ASSERT_TRUE(run.Start(testkit::FreshTempDir("plain_window"), "[Config]\r\ntmrate=1000\r\n",
                          "/E:3,20,0"));
    SetWindowPos(run.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Sleep(2500);
    std::vector<COLORREF> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(testkit::ReadWindowPixels(run.window, &pixels, &w, &h));
    const int64_t seen = static_cast<int64_t>(GetTickCount64());
    testkit::Screenshot("plain_window");
    // The total's meter below its text (padding 4, 8; 15-pixel text), lit in
    // the colours of its bands.
    const uint32_t colours[3] = {RGB(0, 255, 0), RGB(255, 240, 0), RGB(255, 0, 0)};
    auto lit = [&](long figure, bool onScreen) {
        MeterLayout meter;
        LayoutMeter(static_cast<uint32_t>(figure), 0, 0, colours, 5, 23, 33, meter);
        int n = 0;
        for (int c = 0; c < meter.count; ++c) {
            const PixelRect& at = meter.cells[c].rect;
            const size_t x = (at.left + at.right - 1) / 2, y = (at.top + at.bottom - 1) / 2;
            n += onScreen ? x < size_t(w) && y < size_t(h) &&
                                std::count(colours, colours + 3, pixels[y * w + x]) > 0
                          : meter.cells[c].lit;
        }
        return n;
    };
    const int shown = lit(100, true);
    long low = 0, high = 100;
    while (low < 100 && lit(low, false) < shown)
        ++low;
    while (high > 0 && lit(high, false) > shown)
        --high;
    // Painted after the latest sample or still showing the one before; a
    // busy machine delays the timer's messages by some hundreds of ms.
    const int64_t period = 1000, late = 400;
    ExpectTruth(machine.Readings(),
                {std::max(run.launched, seen - 3 * period - 2 * late), seen - period + late,
                 seen - 2 * period - late, seen, period - late, period + late},
                0, low, high, "meter of " + std::to_string(shown) + " cells");

    // Hidden, it hands its figure to the tip at each tick instead.
    testkit::Post(run.window, WM_COMMAND, 40022, 0);
    const std::string text = "\x81\x79" "CPU: ";
    fakeshell::TrayCall tip;
    ASSERT_TRUE(testkit::WaitUntil(
        [&] {
            for (const fakeshell::TrayCall& c : tray.Calls())
                if ((c.flags & NIF_TIP) && c.tip.compare(0, text.size(), text) == 0) {
                    tip = c;
                    return true;
                }
            return false;
        },
        10000));
    const int64_t set = tip.tick;
    const long figure = std::atol(tip.tip.c_str() + text.size());
    ExpectTruth(machine.Readings(),
                {set - period - 2 * late, set - period + late, set - late, set, period - late,
                 period + late},
                0, figure, figure, "tip " + tip.tip.substr(2, tip.tip.size() - 4));
    EXPECT_FALSE(testkit::WaitExit(run.process, 2000, nullptr)) << "ended by /E:3,20,0";
}

// "2026/12/08, 03:04:05.678" of a row, or of the banner without the comma.
int64_t WallOf(const std::string& text) {
    SYSTEMTIME t = {};
    std::sscanf(text.c_str(), "%hu/%hu/%hu%*[, ]%hu:%hu:%hu.%hu", &t.wYear, &t.wMonth, &t.wDay,
                &t.wHour, &t.wMinute, &t.wSecond, &t.wMilliseconds);
    return Ms(t);
}

TEST(PlainWine, EveryLogRowFromTheFirstShowsTheLoadOfProcStat) {
    Machine machine;
    const std::string dir = testkit::FreshTempDir("plain_log"), log = dir + "\\cpu.csv";
    auto rows = [&] {
        std::string text;
        std::vector<std::string> lines;
        testkit::ReadFileText(log, &text);
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    };
    int64_t launched = 0;
    {
        Vantor run;
        // Both timers at their default rates: each row's sample still follows
        // the row before it whatever the sampling tick read meanwhile, the
        // first one the sampler's making. The watch must not end it either.
        ASSERT_TRUE(run.Start(dir, "[Option]\r\nlog=1\r\n[Config\\Log]\r\nlogout=1\r\nlogtime=1\r\n"
                                   "logfile=" + log + "\r\n", "/E:3,20,0"));
        launched = run.launched;
        ASSERT_TRUE(testkit::WaitUntil([&] { return rows().size() >= 6; }, 15000));
    }
    const std::vector<std::string> lines = rows();
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    const size_t cpus = si.dwNumberOfProcessors, columns = cpus > 1 ? cpus + 1 : 1;
    std::string header = "\"Date\",\"Time\",\"Elapsed-time[ms]\",\"Total[%]\"";
    for (size_t i = 1; i < columns; ++i)
        header += ",\"CPU " + std::to_string(i) + "[%]\"";
    ASSERT_EQ(lines[1], header) << "every processor, counted from the kernel's times";
    // The first row's sample follows the one the sampler took when it was
    // made, after the launch and before the log's banner.
    int64_t a0 = launched, a1 = machine.TickAt(WallOf(lines[0].substr(lines[0].find("at ") + 3)));
    const std::vector<Reading> r = machine.Readings();
    for (size_t i = 2; i < lines.size(); ++i) {
        const int64_t at = machine.TickAt(WallOf(lines[i]));
        std::istringstream row(lines[i].substr(lines[i].find(", ", 12) + 2));
        long elapsed = 0, figure = 0;
        char comma = 0;
        row >> elapsed;
        // The row's time is read just after its sample.
        const Span span = {a0, a1, at - 200, at, at - 200 - a1, at - a0};
        size_t c = 0;
        for (; row >> comma >> figure; ++c)
            ExpectTruth(r, span, c, figure, figure, lines[i].substr(0, 24) + " column " +
                                                        std::to_string(c));
        EXPECT_EQ(c, columns) << lines[i];
        a0 = at - 200, a1 = at;
    }
}

} // namespace
