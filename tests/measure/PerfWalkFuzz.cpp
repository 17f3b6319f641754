// Arbitrary bytes as a performance-data block: the walker must refuse or
// stay inside them, and the sampler's figures must stay within 0..100.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "FakeSource.h"
#include "measure/LoadSampler.h"
#include "measure/PerfWalk.h"

namespace {

void WalkAll(const uint8_t* data, size_t size) {
    PerfObject obj;
    if (!OpenPerfObject(data, size, &obj)) return;
    uint32_t counter = 0;
    const PerfCounterFind found = FindPerfCounter(obj, 6, 8, &counter);
    uint32_t at = obj.definitionLength;
    for (int32_t i = 0; i < obj.numInstances; ++i) {
        PerfInstance inst;
        if (!ReadPerfInstance(obj, at, &inst)) return;
        char label[80];
        PerfInstanceLabel(obj, inst, label, sizeof label);
        (void)PerfInstanceFirstChar(obj, inst);
        uint64_t v = 0;
        if (found == PerfCounterFind::Found) (void)ReadPerfCounter64(obj, inst, counter, &v);
        if (inst.next <= at) std::abort(); // every step must move forward
        at = inst.next;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A heap copy of exactly the input's length, so any overread is caught.
    std::vector<uint8_t> exact(data, data + size);
    WalkAll(exact.data(), exact.size());

    FakeSource f;
    f.blocks = {exact, exact};
    f.ticks = {1000, 2000};
    LoadSampler s(f.source());
    for (int k = 0; k < 2; ++k) {
        s.sample();
        for (int slot = -1; slot <= s.processorCount() + 1; ++slot)
            if (s.loadOf(slot) > 100) std::abort();
    }
    return 0;
}
