// The compiled title formats (platform-free).
#pragma once
#include <cstdint>

enum : int {
    TITLE_HEAD_CAPACITY = 32,
    TITLE_TAIL_CAPACITY = 12,
    CPU_FORMAT_CAPACITY = 32,
    TITLE_SEPARATOR_CAPACITY = 8,
    CPU_ENTRY_CAPACITY = 40,
    LOAD_TEXT_CAPACITY = 80,
};

// Builds one processor's entry (at most CPU_ENTRY_CAPACITY bytes with the
// terminator) from the compiled per-processor format.
typedef int (*CpuFormatter)(const char* format, char* out, int processor, uint32_t load);

struct TitleFormats {
    char titleHead[TITLE_HEAD_CAPACITY] = {};
    char titleTail[TITLE_TAIL_CAPACITY] = {};
    char cpuFormat[CPU_FORMAT_CAPACITY] = {};
    int32_t cpuFormatterKind = 0;
    char titleSeparator[TITLE_SEPARATOR_CAPACITY] = {};
    CpuFormatter cpuFormatters[4] = {};
};
