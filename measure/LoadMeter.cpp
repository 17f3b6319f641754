#include "measure/LoadMeter.h"

#include <cmath>
#include <cstring>
#include <new>

#include "measure/LoadMath.h"

bool LoadReading::allocate(int32_t slotCount, int32_t records) {
    slots = capacity = 0;
    idle.reset(new (std::nothrow) uint64_t[slotCount > 0 ? slotCount : 1]());
    times.reset(records > 0 ? new (std::nothrow) ProcessorTimes[records]() : nullptr);
    if (!idle || (records > 0 && !times)) return false;
    slots = slotCount;
    capacity = records > 0 ? records : 0;
    return true;
}

void LoadReading::copyFrom(const LoadReading& other) {
    source = other.source;
    entries = other.entries;
    lastSlot = other.lastSlot;
    hasTotal = other.hasTotal;
    stamp = other.stamp;
    counter = other.counter;
    frequency = other.frequency;
    const int32_t n = slots < other.slots ? slots : other.slots;
    if (n > 0) std::memcpy(idle.get(), other.idle.get(), n * sizeof(uint64_t));
    const int32_t r = capacity < other.capacity ? capacity : other.capacity;
    if (r > 0) std::memcpy(times.get(), other.times.get(), r * sizeof(ProcessorTimes));
    if (source == LoadSource::KernelTimes && entries > capacity) entries = capacity;
}

LoadMeter::LoadMeter(int32_t processorCount, int32_t records)
    : processorCount_(processorCount > 0 ? processorCount : 0) {
    load_.reset(new (std::nothrow) uint32_t[processorCount_ + 1]());
    if (!baseline_.allocate(processorCount_ + 1, records)) load_.reset();
}

void LoadMeter::prime(const LoadReading& now) {
    if (usable()) baseline_.copyFrom(now);
}

uint32_t LoadMeter::loadOf(int slot) const {
    if (slot < 0 || slot > processorCount_ || !load_) return 0;
    return load_[slot];
}

bool LoadMeter::linesUp(const LoadReading& now) const {
    return now.source == baseline_.source && now.entries == baseline_.entries &&
           now.hasTotal == baseline_.hasTotal;
}

// The time between the baseline and `now` on the data's own clock. For the
// kernel's times that is each processor's kernel plus user time (its idle
// time included), taken as their mean; for the performance data the block's
// time stamp, trusted only while the performance counter agrees with it.
int64_t LoadMeter::interval(const LoadReading& now) const {
    if (now.source == LoadSource::KernelTimes) {
        if (now.entries <= 0) return -1;
        uint64_t sum = 0;
        for (int32_t p = 0; p < now.entries && p < baseline_.capacity; ++p) {
            const ProcessorTimes& a = baseline_.times[p];
            const ProcessorTimes& b = now.times[p];
            sum += GainedTime(b.kernel, a.kernel) + GainedTime(b.user, a.user);
        }
        return static_cast<int64_t>(sum / static_cast<uint64_t>(now.entries));
    }
    const int64_t elapsed = now.stamp - baseline_.stamp;
    if (elapsed < 0) return -1; // set back
    for (int32_t s = 0; s < baseline_.slots && s < now.slots; ++s)
        if (now.idle[s] < baseline_.idle[s]) return -1; // counters started again
    if (now.frequency > 0 && now.frequency == baseline_.frequency) {
        const int64_t ticks = now.counter - baseline_.counter;
        if (ticks < 0) return -1;
        const double counted = static_cast<double>(ticks) * 1e7 / static_cast<double>(now.frequency);
        if (std::fabs(static_cast<double>(elapsed) - counted) > CLOCK_SLACK + counted / 4)
            return -1; // set forward or back
    }
    return elapsed;
}

MeterStep LoadMeter::step(const LoadReading& now) {
    if (!usable() || now.source == LoadSource::None) return MeterStep::Kept;
    int64_t elapsed = -1;
    if (!linesUp(now) || (elapsed = interval(now)) < 0) {
        prime(now);
        return MeterStep::Baseline;
    }
    if (elapsed < MIN_INTERVAL) return MeterStep::Kept;
    if (now.source == LoadSource::KernelTimes)
        LoadsFromTimes(baseline_.times.get(), now.times.get(), now.entries, processorCount_,
                       load_.get());
    else
        perfFigures(now, elapsed);
    prime(now);
    return MeterStep::Figures;
}

void LoadMeter::perfFigures(const LoadReading& now, int64_t elapsed) {
    // Processors gone since the count are no longer in the data: they show
    // 0 and leave the mean.
    const int32_t present = now.lastSlot < processorCount_ ? now.lastSlot : processorCount_;
    uint64_t sum = 0;
    for (int32_t s = 1; s <= processorCount_; ++s) {
        const uint32_t v =
            s <= present && s < now.slots
                ? LoadFromTimes(now.idle[s] - baseline_.idle[s], static_cast<uint64_t>(elapsed))
                : 0;
        load_[s] = v;
        sum += v;
    }
    load_[0] = now.hasTotal ? LoadFromTimes(now.idle[0] - baseline_.idle[0],
                                            static_cast<uint64_t>(elapsed))
                            : MeanLoad(sum, present);
}
