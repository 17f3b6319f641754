#include "measure/LoadMath.h"

uint64_t GainedTime(int64_t now, int64_t prev) {
    return now > prev ? static_cast<uint64_t>(now) - static_cast<uint64_t>(prev) : 0;
}

uint32_t LoadFromIdle(uint32_t idleMs, uint32_t elapsedMs) {
    return LoadFromTimes(idleMs, elapsedMs);
}

uint32_t LoadFromTimes(uint64_t idle, uint64_t time) {
    if (time == 0) return 0;
    const double idlePercent = static_cast<double>(idle) * 100.0 / static_cast<double>(time) + 0.5;
    // Compared before any conversion: a huge ratio does not fit an integer.
    if (idlePercent >= 100.0) return 0;
    return 100u - static_cast<uint32_t>(idlePercent);
}

uint32_t MeanLoad(uint64_t sum, int32_t processors) {
    if (processors <= 0) return 0;
    const uint64_t mean = sum / static_cast<uint64_t>(processors);
    return mean > 100 ? 100u : static_cast<uint32_t>(mean);
}

void LoadsFromTimes(const ProcessorTimes* prev, const ProcessorTimes* now, int32_t count,
                    int32_t processorCount, uint32_t* load) {
    uint64_t idleSum = 0, timeSum = 0;
    for (int32_t p = 0; p < count; ++p) {
        const uint64_t idle = GainedTime(now[p].idle, prev[p].idle);
        const uint64_t time =
            GainedTime(now[p].kernel, prev[p].kernel) + GainedTime(now[p].user, prev[p].user);
        if (p < processorCount) load[p + 1] = LoadFromTimes(idle, time);
        idleSum += idle;
        timeSum += time;
    }
    for (int32_t s = count + 1; s <= processorCount; ++s)
        load[s] = 0;
    load[0] = LoadFromTimes(idleSum, timeSum);
}
