// Fields of AppState owned by the measurement subsystem.
#pragma once
#include <cstdint>

class LoadSampler;
class LoadMeter;
class LoadHistory;

enum : int { HISTORY_LENGTH = 51 };

struct MeasureState {
    LoadSampler* sampler = nullptr; // its own meter is the sampling tick's
    // The other consumers' meters, each with its own baseline: the log tick's,
    // and the auto-exit watch's for its first look, which measures the whole
    // delay rather than the moment since the last tick.
    LoadMeter* logMeter = nullptr;
    LoadMeter* watchMeter = nullptr;
    // The sampler's processorCount when above 1, else 0; every per-processor
    // array has cpuCount + 1 entries, entry 0 being the total.
    int32_t cpuCount = 0;
    LoadHistory* loadHistory = nullptr; // cpuCount + 1 rings
};
