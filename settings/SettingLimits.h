// Bounds applied where a setting is used, so that a hand-edited file cannot
// freeze or hide the window. The values themselves stay as the user wrote
// them: the file is never rewritten with a bounded value.
#pragma once
#include <cstdint>

enum : int32_t {
    MIN_TIMER_PERIOD = 100,   // ms; faster sampling costs a core and reads noise
    MAX_TIMER_PERIOD = 60000, // ms; a minute or more between samples is taken as a typo
    MAX_LOG_PERIOD = 86400000, // ms; a log row a day is the slowest that makes sense
    MAX_FONT_HEIGHT = 200,    // pixels
};

// A timer period for SetTimer: non-positive or beyond most gives fallback
// (the setting's default), below MIN_TIMER_PERIOD gives that minimum.
uint32_t UsableTimerPeriod(int32_t ms, int32_t fallback, int32_t most = MAX_TIMER_PERIOD);

// A font height in pixels from fontsize: its magnitude (-15 is the usual
// Windows way of writing 15), 15 for 0, at most MAX_FONT_HEIGHT.
int32_t UsableFontHeight(int32_t fontsize);

// An opacity for the layered window: 1 to 255. Passed on as one byte, 256
// would wrap to 0 and a negative one to anything; 0 hides the window.
uint8_t UsableOpacity(int32_t alpha);
