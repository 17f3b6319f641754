// Holds the walker's own layouts to the system's <winperf.h>, and the
// kernel's processor record to <winternl.h>: a mismatch breaks the Windows
// build instead of misreading the data.
#include <windows.h>
#include <winperf.h>
#include <winternl.h>

#include <cstddef>

#include "measure/PerfLayout.h"
#include "measure/ProcessorTimes.h"

#define SAME_FIELD(ours, theirs, field)                                                            \
    static_assert(offsetof(ours, field) == offsetof(theirs, field), #theirs "." #field)

static_assert(sizeof(PerfDataBlock) == sizeof(PERF_DATA_BLOCK), "PERF_DATA_BLOCK size");
SAME_FIELD(PerfDataBlock, PERF_DATA_BLOCK, TotalByteLength);
SAME_FIELD(PerfDataBlock, PERF_DATA_BLOCK, HeaderLength);
SAME_FIELD(PerfDataBlock, PERF_DATA_BLOCK, NumObjectTypes);
SAME_FIELD(PerfDataBlock, PERF_DATA_BLOCK, PerfTime);
SAME_FIELD(PerfDataBlock, PERF_DATA_BLOCK, PerfTime100nSec);
SAME_FIELD(PerfDataBlock, PERF_DATA_BLOCK, SystemNameOffset);

static_assert(sizeof(PerfObjectType) == sizeof(PERF_OBJECT_TYPE), "PERF_OBJECT_TYPE size");
SAME_FIELD(PerfObjectType, PERF_OBJECT_TYPE, TotalByteLength);
SAME_FIELD(PerfObjectType, PERF_OBJECT_TYPE, DefinitionLength);
SAME_FIELD(PerfObjectType, PERF_OBJECT_TYPE, HeaderLength);
SAME_FIELD(PerfObjectType, PERF_OBJECT_TYPE, NumCounters);
SAME_FIELD(PerfObjectType, PERF_OBJECT_TYPE, NumInstances);
SAME_FIELD(PerfObjectType, PERF_OBJECT_TYPE, PerfTime);

static_assert(sizeof(PerfCounterDefinition) == sizeof(PERF_COUNTER_DEFINITION),
              "PERF_COUNTER_DEFINITION size");
SAME_FIELD(PerfCounterDefinition, PERF_COUNTER_DEFINITION, ByteLength);
SAME_FIELD(PerfCounterDefinition, PERF_COUNTER_DEFINITION, CounterNameTitleIndex);
SAME_FIELD(PerfCounterDefinition, PERF_COUNTER_DEFINITION, CounterType);
SAME_FIELD(PerfCounterDefinition, PERF_COUNTER_DEFINITION, CounterSize);
SAME_FIELD(PerfCounterDefinition, PERF_COUNTER_DEFINITION, CounterOffset);

static_assert(sizeof(PerfInstanceDefinition) == sizeof(PERF_INSTANCE_DEFINITION),
              "PERF_INSTANCE_DEFINITION size");
SAME_FIELD(PerfInstanceDefinition, PERF_INSTANCE_DEFINITION, ByteLength);
SAME_FIELD(PerfInstanceDefinition, PERF_INSTANCE_DEFINITION, NameOffset);
SAME_FIELD(PerfInstanceDefinition, PERF_INSTANCE_DEFINITION, NameLength);

static_assert(sizeof(PerfCounterBlock) == sizeof(PERF_COUNTER_BLOCK), "PERF_COUNTER_BLOCK size");

static_assert(sizeof(ProcessorTimes) == sizeof(SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION),
              "SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION size");
static_assert(offsetof(ProcessorTimes, idle) ==
                  offsetof(SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION, IdleTime) &&
              offsetof(ProcessorTimes, kernel) ==
                  offsetof(SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION, KernelTime) &&
              offsetof(ProcessorTimes, user) ==
                  offsetof(SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION, UserTime),
              "SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION times");
