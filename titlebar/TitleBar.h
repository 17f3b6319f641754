// The load text in the foreground window's caption, over the global record.
#pragma once
#include <windows.h>

#include <cstdint>

#include "titlebar/TitleFormat.h"

// How long a caption read or write may wait for the window's thread.
enum : UINT { CAPTION_TIMEOUT_MS = 200 };

// Compiles app.format_b/_0/_1/_d into the compiled texts of app.
void CompileTitleFormats();

// app.loadText from the given loads (loads[0] the total, then count
// processors). Returns app.loadText.
const char* FormatLoadText(const uint32_t* loads, int count);

// One sampling tick's caption update with the given loads.
void UpdateTitleBarWith(const uint32_t* loads, int count);

// One sampling tick's caption update with the newest figures of the rings.
void UpdateTitleBar();

// Gives titleTarget its own caption back (shutdown).
void RestoreTitleBar();
