// The sampler's real source: the processor object of HKEY_PERFORMANCE_DATA
// and the system tick count.
#include <windows.h>

#include "measure/LoadSampler.h"

static_assert(PERF_MORE_DATA == ERROR_MORE_DATA, "the source's more-data answer");

namespace {

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

// Consumers of this key close it when done, so the providers can release
// what they hold.
void CloseRegistry(void*) {
    RegCloseKey(HKEY_PERFORMANCE_DATA);
}

} // namespace

PerfSource RegistryPerfSource() {
    PerfSource source;
    source.query = QueryRegistry;
    source.tickCount = TickCount;
    source.close = CloseRegistry;
    return source;
}

LoadSampler::LoadSampler() : LoadSampler(RegistryPerfSource()) {}
