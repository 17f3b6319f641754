// The auto-exit watch of the /E: option, run on each sampling tick once armed.
#pragma once
#include <cstdint>

// One step of the watch for the newest total load. belowSince is the tick
// count at which the total was first seen at or below the threshold (0: not
// waiting). Returns true when the program must close now. Tick counts are
// compared as unsigned differences, so the wrap after 49.7 days is harmless.
bool AutoExitStep(uint32_t total, int32_t threshold, int32_t durationMs, uint32_t* belowSince,
                  uint32_t now);
