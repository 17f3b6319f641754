// A meter between readings: what it makes of each new one, on the data's own
// clock. Each case primes a meter with its first reading and steps it with
// the rest.
#include <gtest/gtest.h>

#include <vector>

#include "measure/LoadMeter.h"

namespace {

const int64_t MS = 10000; // 100 ns units per millisecond
const MeterStep FIG = MeterStep::Figures, KEPT = MeterStep::Kept, BASE = MeterStep::Baseline;

// Performance data of two processors with slot 0 the total instance, or with
// fewer than three idle times the kernel's records, each processor having
// gathered stampMs of kernel plus user time.
struct Read {
    int64_t stampMs, counterMs; // the block's system time, its performance counter
    std::vector<int64_t> idleMs;
    MeterStep want;
    std::vector<uint32_t> figures; // after the step: total, then slots 1 and 2
    bool total = true;             // the data has a total instance
};

LoadReading Make(const Read& r) {
    LoadReading out;
    EXPECT_TRUE(out.allocate(3, 2));
    out.entries = int32_t(r.idleMs.size());
    if (r.idleMs.size() < 3) {
        out.source = LoadSource::KernelTimes;
        for (size_t p = 0; p < r.idleMs.size(); ++p)
            out.times[p] = {
                r.idleMs[p] * MS, r.idleMs[p] * MS, (r.stampMs - r.idleMs[p]) * MS, {}, 0};
        return out;
    }
    out.source = LoadSource::PerfData;
    out.entries -= !r.total;
    out.lastSlot = 2;
    out.hasTotal = r.total;
    out.stamp = r.stampMs * MS;
    out.counter = r.counterMs * 1000; // a 1 MHz counter
    out.frequency = 1000000;
    for (size_t s = 0; s < 3; ++s)
        out.idle[s] = uint64_t(r.idleMs[s] * MS);
    return out;
}

TEST(LoadMeter, EachReadingAgainstTheBaseline) {
    const struct {
        const char* what;
        std::vector<Read> reads;
    } table[] = {
        {"no total instance: the truncated mean, until one appears",
         {{0, 0, {0, 0, 0}, BASE, {}, false},
          {1000, 1000, {0, 670, 660}, FIG, {33, 33, 34}, false},
          {2000, 2000, {900, 1400, 1000}, BASE, {33, 33, 34}},
          {3000, 3000, {1575, 1800, 1800}, FIG, {32, 60, 20}}}},
        {"too soon keeps figures and baseline",
         {{0, 0, {0, 0, 0}, BASE, {}},
          {1000, 1000, {500, 500, 500}, FIG, {50, 50, 50}},
          {1000, 1000, {500, 500, 500}, KEPT, {50, 50, 50}},
          {1047, 1047, {547, 547, 547}, KEPT, {50, 50, 50}},
          {2000, 2000, {1500, 750, 1000}, FIG, {0, 75, 50}}}},
        {"four clock steps are enough",
         {{0, 0, {0, 0, 0}, BASE, {}},
          {62, 62, {0, 0, 31}, KEPT, {0, 0, 0}},
          {63, 63, {0, 0, 31}, FIG, {100, 100, 51}}}},
        // The system clock is stamped after the providers ran, the counter before.
        {"the clock a step off the counter, or a provider's first loading between them",
         {{110, 0, {0, 0, 0}, BASE, {}},
          {1110, 1100, {500, 500, 500}, FIG, {50, 50, 50}},
          {2126, 2100, {1008, 1008, 1008}, FIG, {50, 50, 50}}}},
        {"clock set back, an hour forward, a third of the interval forward; idle gone back",
         {{0, 0, {0, 0, 0}, BASE, {}},
          {1000, 1000, {800, 800, 800}, FIG, {20, 20, 20}},
          {-3600000, 2000, {1000, 1000, 1000}, BASE, {20, 20, 20}},
          {-3599000, 3000, {1500, 1500, 1250}, FIG, {50, 50, 75}},
          {7000, 4000, {2000, 2000, 2000}, BASE, {50, 50, 75}},
          {8000, 5000, {2900, 2900, 2900}, FIG, {10, 10, 10}},
          {9330, 6000, {3400, 3400, 3400}, BASE, {10, 10, 10}},
          {10330, 7000, {250, 250, 250}, BASE, {10, 10, 10}},
          {11330, 8000, {1000, 1000, 1000}, FIG, {25, 25, 25}}}},
        {"kernel after the other source, each processor on its own time, until one goes",
         {{0, 0, {0, 0, 0}, BASE, {}},
          {1000, 0, {250, 750}, BASE, {0, 0, 0}},
          {2000, 0, {500, 1500}, FIG, {50, 75, 25}},
          {2040, 0, {510, 1540}, KEPT, {50, 75, 25}},
          {3000, 0, {1500, 2000}, FIG, {25, 0, 50}},
          {4000, 0, {2000}, BASE, {25, 0, 50}}}},
    };
    for (const auto& c : table) {
        LoadMeter meter(2, 2);
        ASSERT_TRUE(meter.usable());
        meter.prime(Make(c.reads[0]));
        for (size_t i = 1; i < c.reads.size(); ++i) {
            EXPECT_EQ(meter.step(Make(c.reads[i])), c.reads[i].want) << c.what << ", reading " << i;
            const std::vector<uint32_t> got = {meter.loadOf(0), meter.loadOf(1), meter.loadOf(2)};
            EXPECT_EQ(got, c.reads[i].figures) << c.what << ", reading " << i;
        }
        EXPECT_EQ(meter.loadOf(3) + meter.loadOf(-1), 0u) << c.what;
    }
}

} // namespace
