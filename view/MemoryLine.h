// Figures and text of the memory line, apart from the memory-status calls:
// the Win32 layer only asks the system and hands the raw byte counts over.
#pragma once
#include <cstddef>
#include <cstdint>

enum : uint64_t { MEGABYTE = 1048576, LARGE_MEMORY = 1000 * MEGABYTE };

// The template that sizes the memory bar: wide enough for the figures the
// line can show on this machine, without the closing parenthesis. Answers
// its length.
size_t MemoryTemplate(char* dst, size_t cap, uint64_t totalBytes);

// Whole-megabyte text of the line. extended selects the figures of the
// extended status record (integer percentage) or of the basic one (floating
// point percentage); the two round alike for every figure a machine shows,
// but the basic one is kept to the 32-bit counts it reports. shown is the
// used size, or the free size when memtype is non-zero.
size_t FormatMemoryText(char* dst, size_t cap, bool extended, uint64_t totalBytes,
                        uint64_t availBytes, int32_t memtype);

// Length in pixels of the used part of a bar barLength long. Exact for any
// memory size: the product is taken in 128 bits.
int32_t MemoryBarUsed(int32_t barLength, uint64_t usedBytes, uint64_t totalBytes);
