// What the sampler adds to the registry query it makes, under the scripted
// provider: median cost of one sample() and of the bare RegQueryValueExA,
// interleaved in one run, their ratio, and the allocations of the steady state.
//   samplerbench [--rounds N]   (default 150 per processor count)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "measure/LoadSampler.h"

namespace {

long allocations = 0;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart * 1e6 / freq.QuadPart;
}

bool UseScript(int cpus) {
    char dir[MAX_PATH];
    DWORD n = GetTempPathA(sizeof dir, dir);
    if (n == 0 || n >= sizeof dir) return false;
    char path[MAX_PATH];
    std::snprintf(path, sizeof path, "%svantor-bench-%lu-%d.txt", dir, GetCurrentProcessId(), cpus);
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    std::fprintf(f, "cpus %d\n50 20 80 35\n", cpus);
    std::fclose(f);
    return SetEnvironmentVariableA("VANTOR_PROVIDER_SCRIPT", path) != 0;
}

bool Run(int cpus, int rounds) {
    if (!UseScript(cpus)) return false;
    LoadSampler sampler;
    if (sampler.processorCount() != cpus) {
        std::printf("cpus %d: the sampler counted %d\n", cpus, sampler.processorCount());
        return false;
    }
    std::vector<uint8_t> buffer(1 << 20);
    std::vector<double> query, sample;
    query.reserve(rounds); // so that only the sampler's own allocations are counted
    sample.reserve(rounds);
    sampler.sample(); // settles the buffer
    int failed = 0;
    const long before = allocations;
    for (int i = 0; i < rounds; ++i) {
        DWORD bytes = static_cast<DWORD>(buffer.size());
        double t0 = Now();
        LONG status =
            RegQueryValueExA(HKEY_PERFORMANCE_DATA, "238", nullptr, nullptr, buffer.data(), &bytes);
        double t1 = Now();
        bool ok = sampler.sample();
        double t2 = Now();
        if (status != ERROR_SUCCESS || !ok) ++failed;
        query.push_back(t1 - t0);
        sample.push_back(t2 - t1);
    }
    const long allocated = allocations - before;
    const double q = Median(query), s = Median(sample);
    std::printf("cpus %3d: sample %8.1f us  query %8.1f us  ratio %.3f  allocations %ld  "
                "failed %d of %d\n",
                cpus, s, q, q > 0 ? s / q : 0.0, allocated, failed, rounds);
    return failed == 0;
}

} // namespace

// Every allocation of the program passes here, so the steady state can be
// shown to allocate nothing.
void* operator new(size_t n) {
    ++allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t n) {
    return operator new(n);
}
void* operator new(size_t n, const std::nothrow_t&) noexcept {
    ++allocations;
    return std::malloc(n ? n : 1);
}
void* operator new[](size_t n, const std::nothrow_t& t) noexcept {
    return operator new(n, t);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
    std::free(p);
}

int main(int argc, char** argv) {
    int rounds = 150;
    if (argc == 3 && std::strcmp(argv[1], "--rounds") == 0) rounds = std::atoi(argv[2]);
    std::printf("median of %d interleaved rounds, scripted provider\n", rounds);
    bool ok = Run(4, rounds);
    ok = Run(64, rounds) && ok;
    SetEnvironmentVariableA("VANTOR_PROVIDER_SCRIPT", nullptr);
    return ok ? 0 : 1;
}
