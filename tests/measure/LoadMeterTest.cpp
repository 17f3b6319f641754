// A meter between readings: what it makes of each new one, on the data's own
// clock. Each case primes a meter with its first reading and steps it with
// the rest.
#include <gtest/gtest.h>

#include <vector>

#include "measure/LoadMeter.h"

namespace {

const int64_t MS = 10000; // 100 ns units per millisecond
const MeterStep FIG = MeterStep::Figures, KEPT = MeterStep::Kept, BASE = MeterStep::Baseline;

struct Read {
    int64_t stampMs;  // the block's system time
    int64_t counterMs; // its performance counter (at 10 MHz)
    std::vector<int64_t> idleMs; // slot 0 (the total instance) first; empty: the kernel's times
    MeterStep want;
    std::vector<uint32_t> figures; // after the step: total, then slots 1 and 2
    bool total = true;             // the data has a total instance
};

// Two processors. For the kernel's times, idleMs lists their idle times and
// stampMs the kernel plus user time each gathered.
LoadReading Make(const Read& r, LoadSource source) {
    LoadReading out;
    EXPECT_TRUE(out.allocate(3, 2));
    out.source = source;
    if (source == LoadSource::KernelTimes) {
        out.entries = 2;
        for (int p = 0; p < 2; ++p) {
            out.times[p].idle = r.idleMs[p] * MS;
            out.times[p].kernel = r.idleMs[p] * MS;
            out.times[p].user = (r.stampMs - r.idleMs[p]) * MS;
        }
        return out;
    }
    out.entries = r.total ? 3 : 2;
    out.lastSlot = 2;
    out.hasTotal = r.total;
    out.stamp = r.stampMs * MS;
    out.counter = r.counterMs * 1000; // a 1 MHz counter
    out.frequency = 1000000;
    for (size_t s = 0; s < r.idleMs.size() && s < 3; ++s)
        out.idle[s] = uint64_t(r.idleMs[s] * MS);
    return out;
}

struct Case {
    const char* what;
    LoadSource source;
    std::vector<Read> reads;
};

TEST(LoadMeter, EachReadingAgainstTheBaseline) {
    const LoadSource PERF = LoadSource::PerfData, KERNEL = LoadSource::KernelTimes;
    const Case table[] = {
        {"a second", PERF, {{0, 0, {0, 0, 0}, BASE, {}}, {1000, 1000, {375, 250, 500}, FIG, {62, 75, 50}}}},
        {"no total instance: the truncated mean", PERF,
         {{0, 0, {0, 0, 0}, BASE, {}, false}, {1000, 1000, {0, 670, 660}, FIG, {33, 33, 34}, false}}},
        {"too soon keeps figures and baseline", PERF,
         {{0, 0, {0, 0, 0}, BASE, {}},
          {1000, 1000, {500, 500, 500}, FIG, {50, 50, 50}},
          {1000, 1000, {500, 500, 500}, KEPT, {50, 50, 50}},
          {1047, 1047, {547, 547, 547}, KEPT, {50, 50, 50}},
          {2000, 2000, {1500, 750, 1000}, FIG, {0, 75, 50}}}},
        {"four clock steps are enough", PERF,
         {{0, 0, {0, 0, 0}, BASE, {}}, {62, 62, {0, 0, 31}, KEPT, {0, 0, 0}},
          {63, 63, {0, 0, 31}, FIG, {100, 100, 51}}}},
        {"clock set back: a new baseline only", PERF,
         {{0, 0, {0, 0, 0}, BASE, {}},
          {1000, 1000, {800, 800, 800}, FIG, {20, 20, 20}},
          {-3600000, 2000, {1000, 1000, 1000}, BASE, {20, 20, 20}},
          {-3599000, 3000, {1500, 1500, 1250}, FIG, {50, 50, 75}}}},
        {"clock set forward an hour: a new baseline only", PERF,
         {{0, 0, {0, 0, 0}, BASE, {}},
          {1000, 1000, {900, 900, 900}, FIG, {10, 10, 10}},
          {3602000, 2000, {1900, 1900, 1900}, BASE, {10, 10, 10}},
          {3603000, 3000, {2400, 2400, 2400}, FIG, {50, 50, 50}}}},
        {"the clock a step off the counter still measures", PERF,
         {{0, 0, {0, 0, 0}, BASE, {}}, {1016, 1000, {508, 508, 508}, FIG, {50, 50, 50}}}},
        {"a provider's first loading between the clocks still measures", PERF,
         {{110, 0, {0, 0, 0}, BASE, {}}, {1110, 1100, {500, 500, 500}, FIG, {50, 50, 50}}}},
        {"a clock set forward by a third of the interval is a set", PERF,
         {{0, 0, {0, 0, 0}, BASE, {}}, {1330, 1000, {500, 500, 500}, BASE, {0, 0, 0}}}},
        {"idle counters that went back start again", PERF,
         {{0, 0, {5000, 5000, 5000}, BASE, {}}, {1000, 1000, {250, 250, 250}, BASE, {0, 0, 0}},
          {2000, 2000, {1000, 1000, 1000}, FIG, {25, 25, 25}}}},
        {"a total instance that appears", PERF,
         {{0, 0, {0, 0, 0}, BASE, {}, false},
          {1000, 1000, {0, 500, 500}, FIG, {50, 50, 50}, false},
          {2000, 2000, {900, 1400, 1000}, BASE, {50, 50, 50}},
          {3000, 3000, {1575, 1800, 1800}, FIG, {32, 60, 20}}}},
        {"kernel: each processor's own time", KERNEL,
         {{0, 0, {0, 0}, BASE, {}}, {1000, 0, {250, 750}, FIG, {50, 75, 25}},
          {1040, 0, {260, 790}, KEPT, {50, 75, 25}}, {2000, 0, {1250, 1750}, FIG, {0, 0, 0}}}},
    };
    for (const Case& c : table) {
        LoadMeter meter(2, 2);
        ASSERT_TRUE(meter.usable());
        for (size_t i = 0; i < c.reads.size(); ++i) {
            const Read& r = c.reads[i];
            const LoadReading reading = Make(r, c.source);
            if (i == 0) {
                meter.prime(reading);
                continue;
            }
            EXPECT_EQ(meter.step(reading), r.want) << c.what << ", reading " << i;
            const std::vector<uint32_t> got = {meter.loadOf(0), meter.loadOf(1), meter.loadOf(2)};
            EXPECT_EQ(got, r.figures) << c.what << ", reading " << i;
        }
    }
}

// A reading of the other source, or of other processors, is only a baseline.
TEST(LoadMeter, ReadingsThatDoNotLineUp) {
    LoadMeter meter(2, 2);
    meter.prime(Make({0, 0, {0, 0, 0}, BASE, {}}, LoadSource::PerfData));
    EXPECT_EQ(meter.step(Make({1000, 0, {250, 750}, BASE, {}}, LoadSource::KernelTimes)), BASE);
    EXPECT_EQ(meter.step(Make({2000, 0, {750, 1250}, BASE, {}}, LoadSource::KernelTimes)), FIG);
    EXPECT_EQ(meter.loadOf(1), 50u);
    LoadReading fewer = Make({3000, 0, {1000, 1500}, BASE, {}}, LoadSource::KernelTimes);
    fewer.entries = 1;
    EXPECT_EQ(meter.step(fewer), BASE);
    EXPECT_EQ(meter.loadOf(1), 50u);
    EXPECT_EQ(meter.loadOf(3), 0u);
    EXPECT_EQ(meter.loadOf(-1), 0u);
}

} // namespace
