#include "measure/LoadMath.h"

uint32_t LoadFromIdle(uint32_t idleMs, uint32_t elapsedMs) {
    if (elapsedMs == 0) return 0;
    const double idlePercent = idleMs * 100.0 / elapsedMs + 0.5;
    // Compared before any conversion: a huge ratio does not fit an integer.
    if (idlePercent >= 100.0) return 0;
    return 100u - static_cast<uint32_t>(idlePercent);
}

uint32_t MeanLoad(uint64_t sum, int32_t processors) {
    if (processors <= 0) return 0;
    const uint64_t mean = sum / static_cast<uint64_t>(processors);
    return mean > 100 ? 100u : static_cast<uint32_t>(mean);
}
