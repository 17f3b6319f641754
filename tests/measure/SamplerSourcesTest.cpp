// The sampler between its two sources: a world whose processors run known
// loads, seen at once through the performance data and the kernel's times,
// either of which can stop answering. Each row is one sample.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PerfBlockBuilder.h"
#include "measure/LoadSampler.h"

namespace {

const int64_t MS = 10000; // 100 ns units per millisecond

// What the performance data answers.
enum Perf { GOOD, FAILS, NO_OBJECT, NO_INSTANCES, NO_COUNTER };

struct World {
    Perf perf = GOOD;
    bool kernel = true;
    bool total = true; // the performance data lists _Total
    uint32_t tick = 5000;
    std::vector<ProcessorTimes> times;
    size_t queries = 0, closes = 0, kernelReads = 0;

    explicit World(int cpus) : times(cpus, ProcessorTimes{}) {}
    // Every processor at its load for ms: idle and kernel time grow by the
    // idle part, user time by the rest.
    void run(uint32_t ms, const std::vector<int>& loads) {
        tick += ms;
        for (size_t p = 0; p < times.size(); ++p) {
            const int64_t idle = ms * MS * (100 - loads[p]) / 100;
            times[p].idle += idle;
            times[p].kernel += idle;
            times[p].user += ms * MS - idle;
        }
    }
    std::vector<uint8_t> block() const {
        std::vector<BlockInstance> list;
        int64_t sum = 0;
        for (size_t p = 0; p < times.size() && perf != NO_INSTANCES; ++p) {
            list.push_back({std::to_string(p), static_cast<uint64_t>(times[p].idle)});
            sum += times[p].idle;
        }
        if (perf != NO_INSTANCES && total)
            list.push_back({"_Total", static_cast<uint64_t>(sum / int64_t(times.size()))});
        BuiltBlock b = BuildBlock(list, perf == NO_COUNTER ? 7 : 6);
        if (perf == NO_OBJECT) Poke32(b, offsetof(PerfDataBlock, NumObjectTypes), 0);
        return b.bytes;
    }

    static int32_t Query(void* ctx, uint8_t* buffer, uint32_t* bytes) {
        World* w = static_cast<World*>(ctx);
        ++w->queries;
        if (w->perf == FAILS) return 2;
        const std::vector<uint8_t> b = w->block();
        if (b.size() > *bytes) return PERF_MORE_DATA;
        std::copy(b.begin(), b.end(), buffer);
        *bytes = static_cast<uint32_t>(b.size());
        return 0;
    }
    static uint32_t Tick(void* ctx) { return static_cast<World*>(ctx)->tick; }
    static void Close(void* ctx) { ++static_cast<World*>(ctx)->closes; }
    static int32_t Kernel(void* ctx, ProcessorTimes* out, int32_t capacity) {
        World* w = static_cast<World*>(ctx);
        ++w->kernelReads;
        if (!w->kernel) return -1;
        const int32_t n = static_cast<int32_t>(w->times.size());
        for (int32_t p = 0; p < n && p < capacity; ++p)
            out[p] = w->times[p];
        return n < capacity ? n : capacity;
    }
    PerfSource source() {
        PerfSource s;
        s.query = Query;
        s.tickCount = Tick;
        s.close = Close;
        s.processorTimes = Kernel;
        s.context = this;
        return s;
    }
};

std::vector<uint32_t> Figures(const LoadSampler& s) {
    std::vector<uint32_t> out;
    for (int i = 0; i <= s.processorCount(); ++i)
        out.push_back(s.loadOf(i));
    return out;
}

// The figures a sample of these loads gives: the total first (the system's
// mean, rounded as the idle share is), then each processor.
std::vector<uint32_t> Expected(const std::vector<int>& loads) {
    const uint32_t n = static_cast<uint32_t>(loads.size());
    uint32_t sum = 0;
    for (int l : loads)
        sum += static_cast<uint32_t>(l);
    std::vector<uint32_t> out{100u - (100u * n - sum + n / 2) / n};
    for (int l : loads)
        out.push_back(static_cast<uint32_t>(l));
    return out;
}

struct Start {
    const char* what;
    Perf perf;
    bool kernel;
    int32_t count;
    LoadSource source;
    size_t closes; // before any sample
};

// Construction counts the processors where it can and takes the reading the
// first sample measures from.
TEST(SamplerSources, ConstructionCountsAndPrimesFromWhatAnswers) {
    const Start table[] = {
        {"performance data", GOOD, true, 2, LoadSource::PerfData, 0},
        {"no processor object (plain Wine)", NO_OBJECT, true, 2, LoadSource::KernelTimes, 1},
        {"query fails", FAILS, true, 2, LoadSource::KernelTimes, 1},
        {"object without instances", NO_INSTANCES, true, 2, LoadSource::KernelTimes, 1},
        {"no processor-time counter", NO_COUNTER, true, 2, LoadSource::KernelTimes, 1},
        {"counter missing, no kernel times", NO_COUNTER, false, 2, LoadSource::None, 1},
        {"nothing at all", FAILS, false, -1, LoadSource::None, 1},
    };
    for (const Start& row : table) {
        World w(2);
        w.perf = row.perf;
        w.kernel = row.kernel;
        w.run(3600000, {80, 80}); // an hour since boot, busy
        LoadSampler s(w.source());
        EXPECT_EQ(s.processorCount(), row.count) << row.what;
        EXPECT_EQ(s.source(), row.source) << row.what;
        EXPECT_EQ(w.closes, row.closes) << row.what;
        EXPECT_EQ(w.kernelReads, 1u) << row.what;
        w.run(1000, {30, 50});
        if (row.source == LoadSource::None) {
            EXPECT_FALSE(s.sample()) << row.what;
            continue;
        }
        ASSERT_TRUE(s.sample()) << row.what;
        EXPECT_EQ(Figures(s), Expected({30, 50})) << row.what << ": since construction, not boot";
    }
}

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
// in, the performance data is asked again once a minute has passed since it
// last failed, every switch only sets a baseline (the figures stay), and the
// data is let go after each answer that gave nothing and once at the end,
// never after a good one.
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
    // Without _Total both sources list four entries: only the change of
    // source can tell that the readings do not line up.
    World w(4);
    w.total = false;
    size_t failures = 0;
    {
        LoadSampler s(w.source());
        ASSERT_EQ(s.processorCount(), 4);
        std::vector<uint32_t> shown = Figures(s);
        int step = 0;
        for (const Step& row : table) {
            const std::vector<int> loads = {row.load, 40, 100 - row.load, 0};
            w.perf = row.perf;
            w.kernel = row.kernel;
            w.run(row.ms, loads);
            const size_t queries = w.queries;
            EXPECT_EQ(s.sample(), row.figures) << step << " " << row.what;
            EXPECT_EQ(s.source(), row.source) << step << " " << row.what;
            EXPECT_EQ(w.queries > queries, row.perfAsked) << step << " " << row.what;
            if (row.figures) shown = Expected(loads);
            EXPECT_EQ(Figures(s), shown) << step << " " << row.what;
            failures += row.perfAsked && row.perf != GOOD;
            EXPECT_EQ(w.closes, failures) << step << " " << row.what;
            ++step;
        }
        ASSERT_EQ(step, 20);
        EXPECT_EQ(failures, 4u);
    }
    EXPECT_EQ(w.closes, failures + 1) << "once more when the sampler goes";
}

// The kernel listing another number of processors sets a baseline, like the
// performance data's instances do; processors it no longer lists show 0.
TEST(SamplerSources, KernelProcessorCountChangeSetsABaseline) {
    World w(4);
    w.perf = NO_OBJECT;
    LoadSampler s(w.source());
    ASSERT_EQ(s.processorCount(), 4);
    w.run(1000, {10, 20, 30, 40});
    ASSERT_TRUE(s.sample());
    EXPECT_EQ(Figures(s), Expected({10, 20, 30, 40}));
    w.times.resize(2);
    w.run(1000, {60, 80});
    EXPECT_FALSE(s.sample());
    w.run(1000, {60, 80});
    ASSERT_TRUE(s.sample());
    EXPECT_EQ(Figures(s), (std::vector<uint32_t>{70, 60, 80, 0, 0}));
}

} // namespace
