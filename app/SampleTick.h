// The sampling tick (TIMER_SAMPLE): one sample pushed into the histories,
// then everything that shows it (auto-exit watch, caption, window).
#pragma once
#include <windows.h>

void OnSampleTick(HWND hwnd);
