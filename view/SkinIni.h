// Number lists of skin.ini ("220 220 220", "4 8 4 8"), read the way the
// skin's authors expect from a scanf-style reader.
#pragma once
#include <cstdint>

// Reads up to max signed decimal numbers separated by white space into out;
// stops at the first text that is not a number. Returns how many were read.
// A number beyond the 32-bit range saturates instead of wrapping.
int32_t ParseSkinNumbers(const char* text, int32_t* out, int32_t max);

// Colour reference of a "red green blue" value. A channel above 255 or
// negative (compared unsigned) becomes 255; a channel that cannot be read
// is 0.
uint32_t ParseSkinColour(const char* text);

// Sets as many of left, top, right, bottom as the value holds; the others
// keep what the previous skin gave them.
void ParseSkinPadding(const char* text, int32_t& left, int32_t& top, int32_t& right,
                      int32_t& bottom);
