// The load arithmetic of one sample, free of any platform call.
#pragma once
#include <cstdint>

// Whole-percent load of one processor from the idle time (ms) it gathered
// over `elapsedMs` of wall time. Both are unsigned 32-bit differences, so a
// tick-count wrap or a first sample long after boot gives a sane figure; the
// result is always 0 to 100 (idle time running ahead of the clock gives 0).
uint32_t LoadFromIdle(uint32_t idleMs, uint32_t elapsedMs);

// The total when the data lists no total instance: the truncated mean of the
// processors' figures; 0 when there is no processor to average.
uint32_t MeanLoad(uint64_t sum, int32_t processors);
