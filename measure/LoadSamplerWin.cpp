// The sampler's real sources: the processor object of HKEY_PERFORMANCE_DATA,
// the kernel's per-processor times and the system tick count.
#include <windows.h>

#include "measure/LoadSampler.h"

static_assert(PERF_MORE_DATA == ERROR_MORE_DATA, "the source's more-data answer");

namespace {

// SystemProcessorPerformanceInformation of NtQuerySystemInformation.
enum : ULONG { PROCESSOR_PERFORMANCE_CLASS = 8 };
typedef LONG(WINAPI* QuerySystemInformation)(ULONG, void*, ULONG, ULONG*);

// ntdll's export, looked up once; null where the system lacks it.
QuerySystemInformation querySystemInformation = nullptr;

int32_t QueryRegistry(void*, uint8_t* buffer, uint32_t* bytes) {
    DWORD count = *bytes;
    // Only the processor object: the whole performance data is far larger.
    const LONG status =
        RegQueryValueExA(HKEY_PERFORMANCE_DATA, "238", nullptr, nullptr, buffer, &count);
    *bytes = count;
    return status;
}

uint32_t TickCount(void*) {
    return GetTickCount();
}

// Closing the key unloads the counters' providers: done after data that gave
// nothing, so the next query loads them afresh, and once when the sampler
// goes; never between good samples, which would load them every tick.
void CloseRegistry(void*) {
    RegCloseKey(HKEY_PERFORMANCE_DATA);
}

// The kernel fills as many whole records as the room takes.
int32_t KernelTimes(void*, ProcessorTimes* times, int32_t capacity) {
    if (!querySystemInformation || capacity <= 0) return -1;
    ULONG got = 0;
    const ULONG room = static_cast<ULONG>(capacity) * sizeof(ProcessorTimes);
    if (querySystemInformation(PROCESSOR_PERFORMANCE_CLASS, times, room, &got) != 0) return -1;
    return static_cast<int32_t>(got / sizeof(ProcessorTimes));
}

} // namespace

PerfSource RegistryPerfSource() {
    if (!querySystemInformation) {
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        if (ntdll)
            querySystemInformation = reinterpret_cast<QuerySystemInformation>(
                reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")));
    }
    PerfSource source;
    source.query = QueryRegistry;
    source.tickCount = TickCount;
    source.close = CloseRegistry;
    source.processorTimes = KernelTimes;
    return source;
}

LoadSampler::LoadSampler() : LoadSampler(RegistryPerfSource()) {}
