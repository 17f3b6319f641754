// The sampling tick (TIMER_SAMPLE): one sample pushed into the histories,
// then everything that shows it (auto-exit watch, caption, window).
#pragma once
#include <windows.h>

class LoadMeter;

// The figures are those of the sampler's own meter unless another is given.
void OnSampleTick(HWND hwnd, LoadMeter* meter = nullptr);
