#include "settings/SettingLimits.h"

uint32_t UsableTimerPeriod(int32_t ms, int32_t fallback, int32_t most) {
    const int32_t least = MIN_TIMER_PERIOD;
    if (ms <= 0 || ms > most) ms = fallback;
    return static_cast<uint32_t>(ms < least ? least : ms);
}

int32_t UsableFontHeight(int32_t fontsize) {
    const int64_t magnitude = fontsize < 0 ? -static_cast<int64_t>(fontsize) : fontsize;
    if (magnitude == 0) return 15;
    const int64_t most = MAX_FONT_HEIGHT;
    return static_cast<int32_t>(magnitude > most ? most : magnitude);
}

uint8_t UsableOpacity(int32_t alpha) {
    return static_cast<uint8_t>(alpha < 1 ? 1 : alpha > 255 ? 255 : alpha);
}
