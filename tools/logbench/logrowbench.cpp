// Building one log row, with and without date and time, as the processor
// count grows.
#include <benchmark/benchmark.h>

#include <vector>

#include "log/LogFormat.h"

namespace {

void Row(benchmark::State& state) {
    const int32_t cpus = static_cast<int32_t>(state.range(0));
    const bool withTime = state.range(1) != 0;
    std::vector<char> line(LogLineCapacity(cpus));
    std::vector<uint32_t> loads(static_cast<size_t>(cpus) + 1);
    for (size_t i = 0; i < loads.size(); ++i)
        loads[i] = static_cast<uint32_t>(i * 37 % 101);
    const LogTime time = {2026, 12, 8, 3, 4, 5, 678};
    uint64_t elapsed = 123456789;
    for (auto _ : state) {
        size_t n = FormatLogRow(line.data(), line.size(), withTime ? &time : nullptr, ++elapsed,
                                loads.data(), cpus);
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(line.data());
    }
}
BENCHMARK(Row)->ArgsProduct({{1, 4, 64, 256}, {0, 1}});

} // namespace

BENCHMARK_MAIN();
