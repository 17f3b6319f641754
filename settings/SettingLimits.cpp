#include "settings/SettingLimits.h"

uint32_t UsableTimerPeriod(int32_t ms, int32_t fallback) {
    if (ms <= 0 || ms > MAX_TIMER_PERIOD) ms = fallback;
    return static_cast<uint32_t>(ms < MIN_TIMER_PERIOD ? MIN_TIMER_PERIOD : ms);
}

int32_t UsableFontHeight(int32_t fontsize) {
    const int64_t magnitude = fontsize < 0 ? -static_cast<int64_t>(fontsize) : fontsize;
    if (magnitude == 0) return 15;
    return magnitude > MAX_FONT_HEIGHT ? MAX_FONT_HEIGHT : static_cast<int32_t>(magnitude);
}
