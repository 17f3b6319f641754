// The load arithmetic of one sample, free of any platform call.
#pragma once
#include <cstdint>

#include "measure/ProcessorTimes.h"

// Whole-percent load of one processor from the idle time (ms) it gathered
// over `elapsedMs` of wall time. Both are unsigned 32-bit differences, so a
// tick-count wrap or a first sample long after boot gives a sane figure; the
// result is always 0 to 100 (idle time running ahead of the clock gives 0).
uint32_t LoadFromIdle(uint32_t idleMs, uint32_t elapsedMs);

// The same from 64-bit amounts in any one unit: the idle part of `time`.
// 0 to 100; no time at all gives 0.
uint32_t LoadFromTimes(uint64_t idle, uint64_t time);

// How far a kernel time counter moved; one that went back moved nothing.
uint64_t GainedTime(int64_t now, int64_t prev);

// The total when the data lists no total instance: the truncated mean of the
// processors' figures; 0 when there is no processor to average.
uint32_t MeanLoad(uint64_t sum, int32_t processors);

// Figures between two readings of the kernel's times of `count` processors:
// load[s] for the slots 1 to processorCount from record s - 1 (0 for a slot
// no record reaches), load[0] for the whole system from the times of every
// record summed, as the system's own total would give it. A processor's
// time is its kernel time plus its user time; a counter that went back
// counts as no time.
void LoadsFromTimes(const ProcessorTimes* prev, const ProcessorTimes* now, int32_t count,
                    int32_t processorCount, uint32_t* load);
