// Console probe of the load sampler: the processor count, then one line of
// figures per second and where they came from ("perf total 12 | 0:10 1:14").
//   loadprobe [--seconds N]   (default 10)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "measure/LoadSampler.h"

int main(int argc, char** argv) {
    int seconds = 10;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
            seconds = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr, "usage: loadprobe [--seconds N]\n");
            return 2;
        }
    }
    LoadSampler* sampler = new (std::nothrow) LoadSampler();
    if (!sampler) return 1;
    const int count = sampler->processorCount();
    std::printf("processorCount %d%s\n", count,
                count < 0                 ? " (no processor data)"
                : sampler->averageTotal() ? " (total averaged)"
                                          : "");
    std::fflush(stdout);
    for (int t = 0; t < seconds; ++t) {
        Sleep(1000);
        if (!sampler->sample()) {
            std::printf("no sample\n");
        } else {
            std::printf("%s total %u |",
                        sampler->source() == LoadSource::PerfData ? "perf" : "kernel",
                        sampler->loadOf(0));
            for (int s = 1; s <= count; ++s)
                std::printf(" %d:%u", s - 1, sampler->loadOf(s));
            std::printf("\n");
        }
        std::fflush(stdout);
    }
    delete sampler;
    return count < 0 ? 1 : 0;
}
