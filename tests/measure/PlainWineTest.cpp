// vantor.exe in a Wine prefix without any processor-data provider (Wine as a
// user has it: no processor object in the performance data), while a thread
// of this test keeps one processor busy. The window's meter, the tray tip
// and every log row from the first carry the load that /proc/stat shows over
// the same interval. The machine may be busy with anything else: each figure
// is held against the loads /proc/stat gives for every interval the sample
// can have covered, read every few milliseconds beside the program.
#include "tests/testkit/testkit.h"
#include "tools/fakeshell/FakeShell.h"
#include "view/MeterCells.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// One "cpu" line of /proc/stat in clock ticks: the idle time and the sum of
// every state (user, nice, system, idle, iowait, irq, softirq, steal).
struct CpuTicks {
    uint64_t idle = 0, all = 0;
};

struct Reading {
    int64_t tick = 0; // GetTickCount64
    int64_t wall = 0; // local time (what the log writes), ms since 1601
    std::vector<CpuTicks> lines; // [0] all processors, [i] processor i
};

int64_t WallMs(const SYSTEMTIME& t) {
    FILETIME ft;
    SystemTimeToFileTime(&t, &ft);
    return ((static_cast<int64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) / 10000;
}

bool ReadProcStat(std::vector<CpuTicks>* lines) {
    HANDLE f = CreateFileA("Z:\\proc\\stat", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    std::string text;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0)
        text.append(buf, got);
    CloseHandle(f);
    lines->clear();
    for (size_t at = 0; text.compare(at, 3, "cpu") == 0;) {
        const char* p = text.c_str() + text.find(' ', at);
        CpuTicks t;
        for (int field = 0; field < 8; ++field) {
            char* end;
            const uint64_t v = std::strtoull(p, &end, 10);
            p = end;
            t.all += v;
            if (field == 3) t.idle = v;
        }
        lines->push_back(t);
        at = text.find('\n', at) + 1;
    }
    return !lines->empty();
}

// /proc/stat every 10 ms on a thread of its own, and a thread that keeps the
// first processor busy, from construction to destruction.
class Machine {
  public:
    Machine() {
        recorder_ = std::thread([this] {
            while (!stop_) {
                Reading r;
                SYSTEMTIME now;
                GetLocalTime(&now);
                r.tick = static_cast<int64_t>(GetTickCount64());
                r.wall = WallMs(now);
                if (ReadProcStat(&r.lines)) {
                    std::lock_guard<std::mutex> hold(lock_);
                    readings_.push_back(r);
                }
                Sleep(10);
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
    std::vector<Reading> readings() const {
        std::lock_guard<std::mutex> hold(lock_);
        return readings_;
    }

  private:
    std::atomic<bool> stop_{false};
    mutable std::mutex lock_;
    std::vector<Reading> readings_;
    std::thread recorder_, busy_;
};

double LoadBetween(const Reading& a, const Reading& b, size_t line) {
    const uint64_t all = b.lines[line].all - a.lines[line].all;
    const uint64_t idle = b.lines[line].idle - a.lines[line].idle;
    return all ? 100.0 * static_cast<double>(all - idle) / static_cast<double>(all) : -1;
}

// The readings around [from, to]: the last one before it to the first after.
std::pair<size_t, size_t> Around(const std::vector<Reading>& r, int64_t from, int64_t to) {
    size_t first = 0, last = r.size() - 1;
    while (first + 1 < r.size() && r[first + 1].tick <= from)
        ++first;
    while (last > 0 && r[last - 1].tick >= to)
        --last;
    return {first, last};
}

// A sample that began within [a0, a1], ended within [b0, b1] and lasted
// from d0 to d1 ms (ticks of GetTickCount64).
struct Span {
    int64_t a0, a1, b0, b1, d0, d1;
};

// A figure (or the figures from low to high that a meter cannot tell apart)
// of a sample over that span, for /proc/stat's line: at least the lowest
// load of any interval the sample can have covered, at most the highest,
// give or take a clock tick at each end of the sample's own reading and of
// ours (10 ms of a processor's 100 per second) and the rounding.
void ExpectWithinTruth(const std::vector<Reading>& r, const Span& s, size_t line, long low,
                       long high, const std::string& what) {
    ASSERT_FALSE(r.empty());
    ASSERT_LT(line, r[0].lines.size()) << what;
    const std::pair<size_t, size_t> as = Around(r, s.a0, s.a1), bs = Around(r, s.b0, s.b1);
    const int64_t slack = 30; // readings come every 10 ms or a little later
    double lo = 1e9, hi = -1e9;
    for (size_t j = bs.first; j <= bs.second; ++j)
        for (size_t i = as.first; i <= as.second && i < j; ++i) {
            const int64_t d = r[j].tick - r[i].tick;
            const double load = LoadBetween(r[i], r[j], line);
            if (d < s.d0 - slack || d > s.d1 + slack || load < 0) continue;
            lo = std::min(lo, load);
            hi = std::max(hi, load);
        }
    ASSERT_LE(lo, hi) << what << ": no readings around the sample";
    const double tolerance = 1 + 4 * 10 * 100 / static_cast<double>(std::max<int64_t>(s.d0, 100));
    EXPECT_GE(high, lo - tolerance) << what << ": /proc/stat gave " << lo << " to " << hi;
    EXPECT_LE(low, hi + tolerance) << what << ": /proc/stat gave " << lo << " to " << hi;
    std::printf("%s: %ld..%ld, /proc/stat %.1f..%.1f (within %.1f)\n", what.c_str(), low, high,
                lo, hi, tolerance);
}

std::string Bin() {
    return testkit::BuildDir() + "\\..\\..\\bin";
}

// A copy of the program with its ini and the default skin, started with the
// live figures of this prefix.
bool Launch(const std::string& dir, const std::string& ini, testkit::Process* p, HWND* window,
            int64_t* launched) {
    std::string skin = Bin() + "\\default", mine = dir + "\\default";
    CreateDirectoryA(mine.c_str(), nullptr);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((skin + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            CopyFileA((skin + "\\" + found.cFileName).c_str(),
                      (mine + "\\" + found.cFileName).c_str(), FALSE);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    testkit::RunOptions o;
    o.exe = dir + "\\vantor.exe";
    o.workDir = dir;
    if (!CopyFileA((Bin() + "\\vantor.exe").c_str(), o.exe.c_str(), FALSE) ||
        testkit::WriteTextFile(dir + "\\vantor.ini", ini).empty())
        return false;
    *launched = static_cast<int64_t>(GetTickCount64());
    if (!testkit::Start(o, p)) return false;
    *window = testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000);
    return *window && testkit::SendWithTimeout(*window, WM_NULL, 0, 0, 10000, nullptr);
}

void Exit(testkit::Process& p, HWND window) {
    DWORD code = 99;
    EXPECT_TRUE(testkit::Post(window, WM_COMMAND, 40001, 0) && testkit::WaitExit(p, 15000, &code));
    EXPECT_EQ(code, 0u);
}

// Sampling every second: a sample covers about a second, but a busy machine
// delays timer messages by some hundreds of milliseconds.
const int64_t PERIOD = 1000, LATE = 400;

TEST(PlainWine, WindowAndTipShowTheLoadOfProcStat) {
    fakeshell::FakeTray tray;
    ASSERT_EQ(FindWindowA("Shell_TrayWnd", nullptr), tray.hwnd());
    Machine machine;
    const std::string dir = testkit::FreshTempDir("plain_window");
    testkit::Process p;
    HWND window = nullptr;
    int64_t launched = 0;
    ASSERT_TRUE(Launch(dir,
                       "[Window]\r\nposx=100\r\nposy=100\r\nwintop=0\r\n[Option]\r\nmulti=0\r\n"
                       "[Config]\r\nlayout=1\r\ntmrate=1000\r\n[Config\\Ext]\r\nskinname=default\r\n",
                       &p, &window, &launched));
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Sleep(2500);

    // The total's meter (default skin: padding 4, 8; 15-pixel text above).
    const uint32_t colours[3] = {RGB(0, 255, 0), RGB(255, 240, 0), RGB(255, 0, 0)};
    std::vector<COLORREF> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(testkit::ReadWindowPixels(window, &pixels, &w, &h) && w > 0);
    const int64_t seen = static_cast<int64_t>(GetTickCount64());
    testkit::Screenshot("plain_window");
    auto lit = [&](long figure) {
        MeterLayout meter;
        LayoutMeter(static_cast<uint32_t>(std::clamp(figure, 0L, 100L)), 0, 0, colours, 5, 23, 33,
                    meter);
        int n = 0;
        for (int c = 0; c < meter.count; ++c)
            n += meter.cells[c].lit;
        return n;
    };
    MeterLayout full;
    LayoutMeter(100, 0, 0, colours, 5, 23, 33, full);
    int shown = 0;
    for (int c = 0; c < full.count; ++c) {
        const MeterCell& cell = full.cells[c];
        const int x = (cell.rect.left + cell.rect.right - 1) / 2;
        const int y = (cell.rect.top + cell.rect.bottom - 1) / 2;
        ASSERT_TRUE(x < w && y < h);
        shown += std::count(colours, colours + 3, pixels[static_cast<size_t>(y) * w + x]) > 0;
    }
    // Painted after the latest sample or still showing the one before.
    const Span meterSpan = {std::max(launched, seen - 3 * PERIOD - 2 * LATE),
                            seen - PERIOD + LATE,
                            seen - 2 * PERIOD - LATE,
                            seen,
                            PERIOD - LATE,
                            PERIOD + LATE};
    // The meter's cells stand for ranges of figures: any figure that lights
    // as many cells as shown will do.
    long low = 0, high = 100;
    while (low < 100 && lit(low) < shown)
        ++low;
    while (high > 0 && lit(high) > shown)
        --high;
    ASSERT_LE(low, high) << shown << " cells lit";
    ExpectWithinTruth(machine.readings(), meterSpan, 0, low, high,
                      "window meter of " + std::to_string(shown) + " cells");

    // Hidden by a click on its icon: every sample's text goes into the tip.
    tray.Click();
    ASSERT_TRUE(testkit::WaitUntil([&] { return !IsWindowVisible(window); }, 5000));
    // A tip is sent only when its text changes: a steady load sends one.
    std::vector<fakeshell::TrayCall> tips;
    testkit::WaitUntil(
        [&] {
            tips.clear();
            for (const fakeshell::TrayCall& c : tray.Calls())
                if (c.message == NIM_MODIFY && (c.flags & NIF_TIP) &&
                    c.tip.find("CPU: ") != std::string::npos)
                    tips.push_back(c);
            return tips.size() >= 3;
        },
        4000);
    Exit(p, window);
    ASSERT_FALSE(tips.empty());
    const std::vector<Reading> r = machine.readings();
    const int64_t now = static_cast<int64_t>(GetTickCount64());
    for (const fakeshell::TrayCall& c : tips) {
        // The tray's clock is the same tick count, 32 bits of it.
        const int64_t at = now - static_cast<int64_t>(static_cast<DWORD>(now) - c.tick);
        const long figure = std::strtol(c.tip.c_str() + c.tip.find("CPU: ") + 5, nullptr, 10);
        // The tip is sent right after its sample.
        const Span span = {at - PERIOD - LATE - 200, at - PERIOD + LATE, at - 200, at,
                           PERIOD - LATE, PERIOD + LATE};
        ExpectWithinTruth(r, span, 0, figure, figure, "tip " + c.tip.substr(2, c.tip.size() - 4));
    }
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

// "2026/12/08, 03:04:05.678" (the banner's "2026/12/08 03:04:05.678" too).
int64_t WallOf(const std::string& text) {
    SYSTEMTIME t = {};
    int y, mo, d, h, mi, s, ms;
    if (std::sscanf(text.c_str(), "%d/%d/%d%*[, ]%d:%d:%d.%d", &y, &mo, &d, &h, &mi, &s, &ms) != 7)
        return 0;
    t.wYear = y, t.wMonth = mo, t.wDay = d, t.wHour = h, t.wMinute = mi, t.wSecond = s;
    t.wMilliseconds = ms;
    return WallMs(t);
}

// The tick count at a local time, from the reading taken nearest to it.
int64_t TickOf(const std::vector<Reading>& r, int64_t wall) {
    const Reading* closest = &r.front();
    for (const Reading& x : r)
        if (std::llabs(x.wall - wall) < std::llabs(closest->wall - wall)) closest = &x;
    return closest->tick + (wall - closest->wall);
}

TEST(PlainWine, EveryLogRowFromTheFirstShowsTheLoadOfProcStat) {
    Machine machine;
    const std::string dir = testkit::FreshTempDir("plain_log"), log = dir + "\\cpu.csv";
    testkit::Process p;
    HWND window = nullptr;
    int64_t launched = 0;
    // No sampling tick within the test: every row's sample follows the row
    // before it (the first follows the program's start).
    ASSERT_TRUE(Launch(dir,
                       "[Window]\r\nposx=100\r\nposy=100\r\nwintop=0\r\n[Option]\r\nlog=1\r\n"
                       "[Config]\r\ntmrate=60000\r\n[Config\\Ext]\r\nskinname=default\r\n"
                       "[Config\\Log]\r\nlogout=1\r\nlogtime=1\r\ntmrate2=1000\r\nlogfile=" +
                           log + "\r\n",
                       &p, &window, &launched));
    std::string text;
    ASSERT_TRUE(testkit::WaitUntil(
        [&] { return testkit::ReadFileText(log, &text) && Lines(text).size() >= 6; }, 15000))
        << text;
    Exit(p, window);
    ASSERT_TRUE(testkit::ReadFileText(log, &text));
    const std::vector<std::string> lines = Lines(text);

    SYSTEM_INFO si;
    GetSystemInfo(&si);
    const int cpus = static_cast<int>(si.dwNumberOfProcessors);
    std::string header = "\"Date\",\"Time\",\"Elapsed-time[ms]\",\"Total[%]\"";
    for (int i = 1; i <= cpus && cpus > 1; ++i)
        header += ",\"CPU " + std::to_string(i) + "[%]\"";
    ASSERT_EQ(lines[1], header) << "every processor, counted from the kernel's times";

    const std::vector<Reading> r = machine.readings();
    const size_t banner = lines[0].find("start at ");
    ASSERT_NE(banner, std::string::npos) << lines[0];
    // The sample before the first row is the one the sampler took when it was
    // made: after the launch, before the log was opened.
    int64_t a0 = launched, a1 = TickOf(r, WallOf(lines[0].substr(banner + 9)));
    for (size_t i = 2; i < lines.size(); ++i) {
        const int64_t at = TickOf(r, WallOf(lines[i]));
        std::vector<long> figures;
        for (size_t comma = lines[i].find(", ", 12); comma != std::string::npos;
             comma = lines[i].find(", ", comma + 2))
            figures.push_back(std::strtol(lines[i].c_str() + comma + 2, nullptr, 10));
        ASSERT_EQ(figures.size(), static_cast<size_t>(cpus > 1 ? cpus + 2 : 2)) << lines[i];
        // The row's time is read just after its sample.
        const Span span = {a0, a1, at - 200, at, at - 200 - a1, at - a0};
        for (size_t f = 1; f < figures.size(); ++f)
            ExpectWithinTruth(r, span, f - 1, figures[f], figures[f],
                              "row " + std::to_string(i - 1) +
                                  (f == 1 ? " total" : " CPU " + std::to_string(f - 1)));
        a0 = at - 200;
        a1 = at;
    }
}

} // namespace
