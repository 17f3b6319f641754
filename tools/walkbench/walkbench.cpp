// The walk over a processor object, per instance: the part of a sample that
// grows with the processor count.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "FakeSource.h"
#include "PerfBlockBuilder.h"
#include "measure/LoadSampler.h"
#include "measure/PerfWalk.h"

namespace {

BuiltBlock Processors(int cpus) {
    std::vector<BlockInstance> in;
    for (int i = 0; i < cpus; ++i)
        in.push_back({std::to_string(i), 1000000u * i});
    in.push_back({"_Total", 5});
    return BuildBlock(in, 6, 8, 2);
}

// The walk as a sample makes it: object, counter, then every instance.
void Walk(benchmark::State& state) {
    const BuiltBlock b = Processors(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        PerfObject obj;
        uint32_t counter = 0;
        uint64_t sum = 0;
        if (OpenPerfObject(b.bytes.data(), b.bytes.size(), &obj) &&
            FindPerfCounter(obj, 6, 8, &counter) == PerfCounterFind::Found) {
            uint32_t at = obj.definitionLength;
            for (int32_t i = 0; i < obj.numInstances; ++i) {
                PerfInstance inst;
                if (!ReadPerfInstance(obj, at, &inst)) break;
                uint64_t v = 0;
                ReadPerfCounter64(obj, inst, counter, &v);
                sum += v + PerfInstanceFirstChar(obj, inst);
                at = inst.next;
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * (state.range(0) + 1));
}
BENCHMARK(Walk)->Arg(4)->Arg(64)->Arg(256);

// A whole sample from a source that copies the block in, as the registry does.
void Sample(benchmark::State& state) {
    FakeSource f;
    f.blocks = {Processors(static_cast<int>(state.range(0))).bytes};
    uint32_t tick = 0;
    f.ticks = {0};
    PerfSource src = f.source();
    static uint32_t* clock;
    clock = &tick;
    src.tickCount = [](void*) { return ++*clock; };
    LoadSampler s(src);
    for (auto _ : state)
        benchmark::DoNotOptimize(s.sample());
    state.SetItemsProcessed(state.iterations() * (state.range(0) + 1));
}
BENCHMARK(Sample)->Arg(4)->Arg(64)->Arg(256);

} // namespace

BENCHMARK_MAIN();
