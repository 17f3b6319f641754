// The load log: a comma-separated file with a banner, a header and one row
// per TIMER_LOG tick, written beside the display at its own interval.
#pragma once
#include <windows.h>

#include <cstdint>

// Opens logfile (moving an old log aside unless appending), writes banner
// and header, starts TIMER_LOG. On failure shows why, switches logout off
// and returns false; the caller clears log and greys the menu item.
bool OpenLog(HWND owner, int32_t processorCount);

// TIMER_LOG: one sample, the filters, one row. False when a failed write
// has closed the log and switched it off (the caller greys its menu item).
bool OnLogTick(HWND owner);

// Stops TIMER_LOG and closes the file (menu, options, shutdown).
void CloseLog(HWND owner);

// The change and limit filters start afresh (window creation, options).
void ResetLogFilter();

// Window creation: opens the log when logout and log are both on. False when
// it could not be opened (log is then off).
bool StartLogAtSetUp(HWND window);

// Whether a log file is open and being written.
bool LogIsOpen();
