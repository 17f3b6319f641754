// One reading of the processors' times, and the meter that turns two readings
// into figures. Every consumer of figures (the sampling tick, the log, the
// auto-exit watch's first look) owns a meter, so each measures the time since
// its own last figures whatever the other timers do.
#pragma once
#include <cstdint>
#include <memory>

#include "measure/ProcessorTimes.h"

// Where a reading came from.
enum class LoadSource { None, PerfData, KernelTimes };

// Times in 100 ns units, as the data gives them.
struct LoadReading {
    LoadSource source = LoadSource::None;
    int32_t entries = 0;   // instances or records the data listed
    int32_t lastSlot = 0;  // highest processor slot the performance data filled
    bool hasTotal = false; // the performance data has a total instance (slot 0)
    // The performance data's own clock: the block's PerfTime100nSec, which
    // follows the system clock, and its performance counter, which does not.
    int64_t stamp = 0;
    int64_t counter = 0;
    int64_t frequency = 0;
    int32_t slots = 0;                       // entries of idle
    int32_t capacity = 0;                    // entries of times
    std::unique_ptr<uint64_t[]> idle;        // per slot (performance data)
    std::unique_ptr<ProcessorTimes[]> times; // per record (the kernel)

    // Room for both kinds; false when it cannot be had.
    bool allocate(int32_t slotCount, int32_t records);
    // Takes over another reading of the same room, without allocating.
    void copyFrom(const LoadReading& other);
};

// What a meter made of a new reading.
enum class MeterStep {
    Figures,  // new figures; the reading is the new baseline
    Kept,     // too close to the baseline to resolve: figures and baseline stay
    Baseline, // does not line up with the baseline (another source, processors
              // that came or went, a clock set): only the new baseline
};

class LoadMeter {
  public:
    // Idle time moves in clock steps, so one step more or less moves a figure
    // by 100 / (steps in the interval) points: 50 over two steps, 25 over
    // four (62.5 ms). Four still lie below the shortest timer period (100 ms),
    // so a timer at any rate gets figures when it keeps its pace.
    static constexpr int64_t CLOCK_STEP = 156250; // the clock interval, 100 ns
    static constexpr int64_t MIN_INTERVAL = 4 * CLOCK_STEP;
    // How far the system clock may stray from the performance counter over
    // one interval before it is taken as set: this plus a quarter of the
    // interval. The system stamps its clock after the providers have run and
    // the counter before, so the two differ by the providers' time, which
    // varies (a tenth of a second when one is first loaded).
    static constexpr int64_t CLOCK_SLACK = 2 * CLOCK_STEP;

    // Figures for processorCount processors (slot 0 the total) from readings
    // with room for `records` kernel records.
    LoadMeter(int32_t processorCount, int32_t records);
    bool usable() const { return load_ && baseline_.slots > 0; }

    // The reading becomes the baseline; the figures stay.
    void prime(const LoadReading& now);
    MeterStep step(const LoadReading& now);
    // The figure of a slot from the latest figures; 0 outside 0..processorCount.
    uint32_t loadOf(int slot) const;

  private:
    bool linesUp(const LoadReading& now) const;
    int64_t interval(const LoadReading& now) const; // < 0: the clock was set
    void perfFigures(const LoadReading& now, int64_t elapsed);

    int32_t processorCount_;
    std::unique_ptr<uint32_t[]> load_;
    LoadReading baseline_;
};
