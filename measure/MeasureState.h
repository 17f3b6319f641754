// Fields of AppState owned by the measurement subsystem.
#pragma once
#include <cstdint>

class LoadSampler;
class LoadHistory;

enum : int { HISTORY_LENGTH = 51 };

struct MeasureState {
    LoadSampler* sampler = nullptr;
    // The sampler's processorCount when above 1, else 0; every per-processor
    // array has cpuCount + 1 entries, entry 0 being the total.
    int32_t cpuCount = 0;
    LoadHistory* loadHistory = nullptr; // cpuCount + 1 rings
};
