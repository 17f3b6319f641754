// The text side of vantor.ini: section blocks as the profile functions take
// them, the `meter` pair, and the section names of both file layouts.
// Platform-free.
#pragma once
#include <cstddef>

#include "settings/Settings.h"

enum class IniSection { Window, Option, Config, Color, Log, Ext };

enum : int { SECTION_BLOCK_CAPACITY = 512, METER_TEXT_CAPACITY = 12 };

// The section's name in the current layout; every section of the old
// single-section layout is "config".
const char* SectionName(IniSection section, bool oldLayout);

// Whether a file is in the old single-section layout, from the names of its
// sections and of the keys in its [Window], each a list of zero-ended names
// closed by an empty one (as the profile functions list them). Only a file
// with [config] and none of the current layout's sections is: [Window]
// counts as such as soon as it holds more than the grid and the mouse-over
// choice, which the old layout kept there too. Names ignore case.
bool IsOldLayout(const char* sections, const char* windowKeys);

// Fills out with the section's key=value entries, each ended by a zero byte,
// the list closed by one more zero byte: what WritePrivateProfileSectionA
// takes. Returns the block's length in bytes including the closing zero, or 0
// when cap is too small to hold it whole (a cut block would lose keys).
size_t BuildSectionBlock(IniSection section, const Settings& s, char* out, size_t cap);

// "gradient,step": two decimal integers; one that cannot be read is 0.
void ParseMeterPair(const char* text, int32_t* gradient, int32_t* step);

// The text saved for `meter`.
void FormatMeterPair(int32_t gradient, int32_t step, char* out, size_t cap);

// `log` can be running only while `logout` enables it.
inline int32_t EffectiveLog(int32_t log, int32_t logout) {
    return log ? logout : 0;
}

// A value read into a buffer of cap bytes may end in half of a double-byte
// character when the profile function cut it; drops that half.
void TrimReadText(char* text, size_t cap);
