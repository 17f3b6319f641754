// The display scale as the system reports it, and the window's drawing made
// again at a new one.
#pragma once
#include <windows.h>

#include <cstdint>

// Looks up the per-monitor calls of this system (Windows 10: GetDpiForWindow,
// GetSystemMetricsForDpi; 8.1: GetDpiForMonitor in shcore); older systems
// have one DPI for every monitor. ReleaseDpiCalls frees what was loaded.
void LookUpDpiCalls();
void ReleaseDpiCalls();

// The DPI of the monitor the window is on, by the newest call the system has.
int32_t WindowDpi(HWND window);
// The DPI of the monitor of the notification area (of the primary one when
// no shell is found).
int32_t TaskbarDpi();
// A system metric at a DPI; without the call, the metric at the system's.
int32_t MetricForDpi(int index, int32_t dpi);

// Takes the window's drawing to dpi: its fonts, the memory line's measure,
// the skin's bitmaps and the curve pens. Nothing is made again when the
// window is at that scale already (a burst of messages during a drag), and
// false comes back; the caller lays out and places the window.
bool RescaleView(HWND window, int32_t dpi);
