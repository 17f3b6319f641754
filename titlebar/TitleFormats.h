// The compiled title formats (platform-free).
#pragma once
#include <cstdint>

typedef int (*CpuFormatter)(char* out, int processor, uint32_t load);

struct TitleFormats {
    char titleHead[32] = {};
    char titleTail[12] = {};
    char cpuFormat[32] = {};
    int32_t cpuFormatterKind = 0;
    char titleSeparator[8] = {};
    CpuFormatter cpuFormatters[4] = {};
};
