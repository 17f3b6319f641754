// The sampler between its two sources: processors that run known loads, seen
// at once through the performance data and the kernel's times, either of
// which stops answering now and then. Each row of the table is one sample.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "FakeSource.h"
#include "PerfBlockBuilder.h"
#include "measure/LoadSampler.h"
#include "tools/perfprovider/ProviderScript.h"

namespace {

// What the performance data answers.
enum Perf { GOOD, FAILS, NO_OBJECT, NO_COUNTER };

// Without _Total both sources list four entries: only the change of source
// can tell that two readings do not line up.
struct World : FakeSource {
    Perf perf = GOOD;
    bool kernel = true;
    bool total = false; // the data lists a total instance, its idle time the mean
    int32_t records = 4; // processors the kernel lists
    std::vector<ProcessorTimes> times = std::vector<ProcessorTimes>(4, ProcessorTimes{});

    // Idle and kernel time grow by the idle part of the loads, user time by the rest.
    void run(uint32_t ms, const std::vector<int>& loads) {
        ticks = {(ticks.empty() ? 5000 : ticks[0]) + ms};
        std::vector<BlockInstance> list;
        for (size_t p = 0; p < times.size(); ++p) {
            const int64_t idle = int64_t(ms) * 10000 * (100 - loads[p]) / 100;
            times[p].idle += idle, times[p].kernel += idle, times[p].user += ms * 10000 - idle;
            list.push_back({std::to_string(p), uint64_t(times[p].idle)});
        }
        if (total) {
            uint64_t sum = 0;
            for (const BlockInstance& in : list) sum += in.idle100ns;
            list.push_back({"_Total", sum / list.size()});
        }
        BuiltBlock b = BuildBlock(list, perf == NO_COUNTER ? 7 : 6);
        if (perf == NO_OBJECT) Poke32(b, offsetof(PerfDataBlock, NumObjectTypes), 0);
        blocks = {b.bytes};
        fail = perf == FAILS;
    }
    PerfSource source() {
        PerfSource s = FakeSource::source();
        s.processorTimes = [](void* ctx, ProcessorTimes* out, int32_t capacity) {
            World* w = static_cast<World*>(static_cast<FakeSource*>(ctx));
            const int32_t n = std::min(capacity, w->records);
            std::copy(w->times.begin(), w->times.begin() + n, out);
            return w->kernel ? n : -1;
        };
        return s;
    }
};

struct Step {
    const char* what;
    Perf perf;
    bool kernel;
    uint32_t ms;       // time that passes before the sample
    int load;          // of the first processor meanwhile; the others run 40, 100 - load, 0
    bool figures;      // what sample() answers
    LoadSource source; // of the latest reading after it
    bool perfAsked;    // whether the performance data was queried
};

// Twenty samples through failures of either source: the kernel's times stand
// in, the performance data is asked again once the latest reading came a
// minute after it last failed, every switch only sets a baseline (the figures
// stay), and the data is let go after each answer that gave nothing and once
// at the end, never after a good one. The total is 35 throughout.
TEST(SamplerSources, TwentySamplesSwitchSourcesAndCloseOnlyAfterFailures) {
    const LoadSource PERF = LoadSource::PerfData, KERNEL = LoadSource::KernelTimes;
    const Step table[] = {
        {"good", GOOD, true, 1000, 10, true, PERF, true},
        {"query fails: kernel baseline", FAILS, true, 1000, 20, false, KERNEL, true},
        {"kernel", FAILS, true, 1000, 30, true, KERNEL, false},
        {"data back, not asked yet", GOOD, true, 58000, 40, true, KERNEL, false},
        {"a minute after the failure", GOOD, true, 1000, 50, true, KERNEL, false},
        {"the last reading was: asked, baseline", GOOD, true, 1000, 60, false, PERF, true},
        {"performance data", GOOD, true, 1000, 70, true, PERF, true},
        {"object gone", NO_OBJECT, true, 1000, 80, false, KERNEL, true},
        {"kernel", NO_OBJECT, true, 1000, 90, true, KERNEL, false},
        {"kernel unreadable too", NO_OBJECT, false, 1000, 95, false, KERNEL, false},
        {"kernel back: two seconds", NO_OBJECT, true, 1000, 95, true, KERNEL, false},
        {"a minute on", NO_OBJECT, true, 59000, 5, true, KERNEL, false},
        {"asked, still nothing", NO_OBJECT, true, 1000, 15, true, KERNEL, true},
        {"not asked again", GOOD, true, 30000, 25, true, KERNEL, false},
        {"within the minute", GOOD, true, 30000, 35, true, KERNEL, false},
        {"asked: counter missing", NO_COUNTER, true, 1000, 45, true, KERNEL, true},
        {"back, not asked yet", GOOD, true, 61000, 55, true, KERNEL, false},
        {"asked: baseline", GOOD, true, 1000, 65, false, PERF, true},
        {"performance data", GOOD, true, 1000, 75, true, PERF, true},
        {"performance data", GOOD, true, 1000, 85, true, PERF, true},
    };
    World w;
    w.run(0, {0, 0, 0, 0});
    size_t failures = 0;
    {
        LoadSampler s(w.source());
        ASSERT_EQ(s.processorCount(), 4);
        std::vector<uint32_t> shown(5, 0);
        for (const Step& row : table) {
            w.perf = row.perf;
            w.kernel = row.kernel;
            w.run(row.ms, {row.load, 40, 100 - row.load, 0});
            const size_t queries = w.offered.size();
            EXPECT_EQ(s.sample(), row.figures) << row.what;
            EXPECT_EQ(s.source(), row.source) << row.what;
            EXPECT_EQ(w.offered.size() > queries, row.perfAsked) << row.what;
            if (row.figures) shown = {35, uint32_t(row.load), 40, uint32_t(100 - row.load), 0};
            for (int slot = 0; slot <= 4; ++slot)
                EXPECT_EQ(s.loadOf(slot), shown[slot]) << row.what << ", slot " << slot;
            failures += row.perfAsked && row.perf != GOOD;
            EXPECT_EQ(w.closes, failures) << row.what;
        }
        EXPECT_EQ(failures, 4u);
    }
    EXPECT_EQ(w.closes, failures + 1) << "once more when the sampler goes";
}

// Without performance data at the start the kernel's records give the
// processor count and the first reading. A provider that comes later, listing
// more processors than the kernel counted, gives the total from its own total
// instance, not the mean of the processors shown (50).
TEST(SamplerSources, KernelAtTheStartThenAProviderWithATotal) {
    World w;
    w.perf = FAILS, w.records = 2, w.total = true;
    w.run(0, {0, 0, 0, 0});
    LoadSampler s(w.source());
    EXPECT_EQ(s.processorCount(), 2);
    EXPECT_TRUE(s.averageTotal());
    const struct {
        Perf perf;
        uint32_t ms;
        bool figures;
        uint32_t total;
    } table[] = {{FAILS, 60000, true, 50}, {GOOD, 1000, false, 50}, {GOOD, 1000, true, 32}};
    for (const auto& row : table) {
        w.perf = row.perf;
        w.run(row.ms, {60, 40, 20, 10});
        EXPECT_EQ(s.sample(), row.figures) << row.ms;
        EXPECT_EQ((std::vector<uint32_t>{s.loadOf(0), s.loadOf(1), s.loadOf(2)}),
                  (std::vector<uint32_t>{row.total, 60, 40}));
    }
}

// The sampling tick and the log tick at the default rates, the log a few ms
// before or after, over idle times and a clock that move in whole 15.625 ms
// steps: each timer's meter measures its own second.
TEST(SamplerSources, TwoTimersOnASteppedClockEachMeasureTheirOwnInterval) {
    const struct {
        int load;
        int64_t logOffsetMs;
    } table[] = {{70, -3}, {70, 3}, {80, -5}, {80, 5}, {5, 2}, {50, 0}, {70, 500}};
    const int64_t MS100 = 10000, start = 987654321;
    for (const auto& row : table) {
        const perfprovider::Script script =
            perfprovider::ParseScript("cpus 2\n" + std::to_string(row.load) + "\n");
        perfprovider::SteppedIdle idle;
        idle.reset(2, start);
        std::vector<std::pair<int64_t, bool>> ticks = {{start, false}}; // (time, the log's)
        for (int64_t k = 1; k <= 20; ++k)
            ticks.insert(ticks.end(), {{start + k * 1000 * MS100 + 7, false},
                                       {start + (k * 1000 + row.logOffsetMs) * MS100 + 3, true}});
        std::sort(ticks.begin(), ticks.end());
        FakeSource f;
        for (const auto& t : ticks) {
            idle.advance(script, 0, t.first);
            const uint64_t a = uint64_t(idle.idle(0)), b = uint64_t(idle.idle(1));
            f.blocks.push_back(BuildBlock({{"0", a}, {"1", b}, {"_Total", (a + b) / 2}}).bytes);
            f.stamps.push_back(idle.stamp());
            f.counters.push_back(t.first);
        }
        LoadSampler s(f.source());
        std::unique_ptr<LoadMeter> log = s.newMeter();
        ASSERT_TRUE(log);
        for (size_t i = 1; i < ticks.size(); ++i) {
            const bool isLog = ticks[i].second;
            ASSERT_TRUE(isLog ? s.sample(*log) : s.sample()) << row.load << " at " << i;
            for (int slot = 0; slot <= 2; ++slot)
                EXPECT_NEAR(int(isLog ? log->loadOf(slot) : s.loadOf(slot)), row.load, 3)
                    << row.load << "%, log " << row.logOffsetMs << " ms, tick " << i;
        }
    }
}

} // namespace
