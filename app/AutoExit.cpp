#include "app/AutoExit.h"

bool AutoExitStep(uint32_t total, int32_t threshold, int32_t durationMs, uint32_t* belowSince,
                  uint32_t now) {
    if (threshold < 0) return true;
    if (total > static_cast<uint32_t>(threshold)) {
        *belowSince = 0;
        return false;
    }
    if (*belowSince == 0 && durationMs > 0) {
        // 0 means "not waiting"; a start exactly at tick 0 is taken as tick 1.
        *belowSince = now != 0 ? now : 1;
        return false;
    }
    return now - *belowSince >= static_cast<uint32_t>(durationMs);
}
