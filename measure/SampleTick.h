// The sampling tick (TIMER_SAMPLE): one sample, pushed into the history.
#pragma once
#include <windows.h>

void OnSampleTick(HWND hwnd);
