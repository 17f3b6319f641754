// The documented layouts of the performance-data block, as this program reads
// them. Kept free of <windows.h> so the walker builds and is tested on any
// host; PerfLayoutCheck.cpp holds them against <winperf.h> in the Windows
// build. Fields are read with memcpy from the raw bytes, so the structs never
// have to be aligned in the buffer.
#pragma once
#include <cstdint>

#pragma pack(push, 1)

struct PerfDataBlock {
    uint16_t Signature[4];
    uint32_t LittleEndian;
    uint32_t Version;
    uint32_t Revision;
    uint32_t TotalByteLength;
    uint32_t HeaderLength;
    uint32_t NumObjectTypes;
    int32_t DefaultObject;
    uint16_t SystemTime[8];
    uint32_t padding; // the 64-bit times below are 8-byte aligned
    int64_t PerfTime;
    int64_t PerfFreq;
    int64_t PerfTime100nSec;
    uint32_t SystemNameLength;
    uint32_t SystemNameOffset;
};

// The x86-64 form: the title pointers of the 32-bit form are 32-bit fields.
struct PerfObjectType {
    uint32_t TotalByteLength;
    uint32_t DefinitionLength;
    uint32_t HeaderLength;
    uint32_t ObjectNameTitleIndex;
    uint32_t ObjectNameTitle;
    uint32_t ObjectHelpTitleIndex;
    uint32_t ObjectHelpTitle;
    uint32_t DetailLevel;
    uint32_t NumCounters;
    int32_t DefaultCounter;
    int32_t NumInstances;
    uint32_t CodePage;
    int64_t PerfTime;
    int64_t PerfFreq;
};

struct PerfCounterDefinition {
    uint32_t ByteLength;
    uint32_t CounterNameTitleIndex;
    uint32_t CounterNameTitle;
    uint32_t CounterHelpTitleIndex;
    uint32_t CounterHelpTitle;
    int32_t DefaultScale;
    uint32_t DetailLevel;
    uint32_t CounterType;
    uint32_t CounterSize;
    uint32_t CounterOffset;
};

struct PerfInstanceDefinition {
    uint32_t ByteLength;
    uint32_t ParentObjectTitleIndex;
    uint32_t ParentObjectInstance;
    int32_t UniqueID;
    uint32_t NameOffset;
    uint32_t NameLength;
};

struct PerfCounterBlock {
    uint32_t ByteLength;
};

#pragma pack(pop)

static_assert(sizeof(PerfDataBlock) == 88, "PERF_DATA_BLOCK layout");
static_assert(sizeof(PerfObjectType) == 64, "PERF_OBJECT_TYPE layout (x86-64)");
static_assert(sizeof(PerfCounterDefinition) == 40, "PERF_COUNTER_DEFINITION layout (x86-64)");
static_assert(sizeof(PerfInstanceDefinition) == 24, "PERF_INSTANCE_DEFINITION layout");
static_assert(sizeof(PerfCounterBlock) == 4, "PERF_COUNTER_BLOCK layout");

// Title index of the processor object, and of its processor-time counter
// (PERF_100NSEC_TIMER_INV: the raw value is idle time in 100 ns units).
enum : uint32_t { PERF_PROCESSOR_OBJECT = 238, PERF_PROCESSOR_TIME_COUNTER = 6 };
