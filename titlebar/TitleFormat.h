// Compiling the user's four title strings and building the load text from
// them. Platform-free: the caption writer and the tray tip use it.
#pragma once
#include <cstddef>
#include <cstdint>

#include "titlebar/TitleFormats.h"

// Fills the four per-processor formatters (kinds 0 to 3).
void InitCpuFormatters(TitleFormats& f);

// Compiles format_b, format_0, format_1 and format_d into f. Every compiled
// text fits its buffer; a cut falls between characters and never inside a
// conversion or a doubled percent sign.
void CompileTitleFormats(TitleFormats& f, const char* formatB, const char* format0,
                         const char* format1, const char* formatD);

// Builds the load text into out (cap bytes) from loads[0] (the total) and
// loads[1..count]. Processors whose entries no longer fit are left out
// whole, and the closing text is always kept. Returns the length written.
size_t FormatLoadText(const TitleFormats& f, const uint32_t* loads, int count, char* out,
                      size_t cap);

// The part of titleHead before its first conversion, as it shows in a caption.
size_t TitleMarker(const TitleFormats& f, char* out, size_t cap);

// The conversions a print format holds, in order, as letters: 'u' for %lu,
// 'd' for %d. Returns false when the format holds any other directive or a
// lone percent sign at its end.
bool ListConversions(const char* format, char* letters, size_t cap);
