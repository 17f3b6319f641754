// What the sampler adds to the query it makes: median cost of one sample()
// and of the bare query, interleaved in one run, their ratio, and the
// allocations of the steady state. First with the performance data of the
// scripted provider (RegQueryValueExA), then with the kernel's processor
// times that stand in where the performance data has no processor object
// (NtQuerySystemInformation).
// With --log, one log tick that writes a row (OnLogTick, which takes a
// sample of its own) against a bare sample.
//   samplerbench [--log] [--rounds N]   (default 150 per processor count)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "log/LoadLog.h"
#include "log/LogFormat.h"
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

// The rounds read microseconds apart, closer than a meter resolves: each
// timed sample measures from one older reading instead, set back outside the
// timing, so that it computes every figure. That reading is taken once the
// provider is loaded, and a tenth of a second before the rounds.
struct OldBaseline {
    LoadReading reading;
    bool take(const LoadSampler& sampler) {
        const LoadReading& latest = sampler.latest();
        if (!reading.allocate(latest.slots, latest.capacity)) return false;
        reading.copyFrom(latest);
        return true;
    }
};

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
    OldBaseline old;
    std::unique_ptr<LoadMeter> meter = sampler.newMeter();
    sampler.read(); // settles the buffer
    if (!meter || !old.take(sampler)) return false;
    Sleep(100);
    int failed = 0;
    const long before = allocations;
    for (int i = 0; i < rounds; ++i) {
        DWORD bytes = static_cast<DWORD>(buffer.size());
        double t0 = Now();
        LONG status =
            RegQueryValueExA(HKEY_PERFORMANCE_DATA, "238", nullptr, nullptr, buffer.data(), &bytes);
        meter->prime(old.reading);
        double t1 = Now();
        bool ok = sampler.sample(*meter);
        double t2 = Now();
        if (status != ERROR_SUCCESS || !ok) ++failed;
        query.push_back(t1 - t0);
        sample.push_back(t2 - t1);
    }
    const long allocated = allocations - before;
    const double q = Median(query), s = Median(sample);
    std::printf("performance data, cpus %3d: sample %8.1f us  query %8.1f us  ratio %.3f  "
                "allocations %ld  failed %d of %d\n",
                cpus, s, q, q > 0 ? s / q : 0.0, allocated, failed, rounds);
    return failed == 0;
}

int32_t NoProcessorObject(void*, uint8_t*, uint32_t*) {
    return ERROR_FILE_NOT_FOUND;
}

// The sampler on the kernel's times, its performance data answering nothing
// (asked again only once a minute), against the bare system call.
bool RunKernel(int rounds) {
    typedef LONG(WINAPI * QuerySystemInformation)(ULONG, void*, ULONG, ULONG*);
    const ULONG processorTimesClass = 8; // SystemProcessorPerformanceInformation
    const QuerySystemInformation query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"),
                                               "NtQuerySystemInformation")));
    PerfSource source = RegistryPerfSource();
    source.query = NoProcessorObject;
    LoadSampler sampler(source);
    if (!query || sampler.source() != LoadSource::KernelTimes) return false;
    OldBaseline old;
    std::unique_ptr<LoadMeter> meter = sampler.newMeter();
    if (!meter || !old.take(sampler)) return false;
    Sleep(100);
    std::vector<ProcessorTimes> times(LoadSampler::KERNEL_RECORDS);
    std::vector<double> bare, sample;
    bare.reserve(rounds);
    sample.reserve(rounds);
    int failed = 0;
    const long before = allocations;
    for (int i = 0; i < rounds; ++i) {
        // The kernel's times move in clock steps of up to 16 ms; its query is
        // far quicker than that.
        for (const DWORD last = GetTickCount(); GetTickCount() == last;)
            Sleep(1);
        meter->prime(old.reading);
        // The first call after the sleep pays for a cold cache: each goes
        // first every other round.
        ULONG got = 0;
        LONG status = 0;
        bool ok = false;
        const ULONG room = static_cast<ULONG>(times.size() * sizeof times[0]);
        double t0 = Now(), t1, t2;
        if (i % 2) {
            status = query(processorTimesClass, times.data(), room, &got);
            t1 = Now();
            ok = sampler.sample(*meter);
            t2 = Now();
            bare.push_back(t1 - t0);
            sample.push_back(t2 - t1);
        } else {
            ok = sampler.sample(*meter);
            t1 = Now();
            status = query(processorTimesClass, times.data(), room, &got);
            t2 = Now();
            sample.push_back(t1 - t0);
            bare.push_back(t2 - t1);
        }
        if (status != 0 || !ok) ++failed;
    }
    const long allocated = allocations - before;
    const double q = Median(bare), s = Median(sample);
    std::printf("kernel times,     cpus %3d: sample %8.1f us  query %8.1f us  ratio %.3f  "
                "allocations %ld  failed %d of %d\n",
                sampler.processorCount(), s, q, q > 0 ? s / q : 0.0, allocated, failed, rounds);
    return failed == 0;
}

// Rows counted in the log file: every tick must have written one.
int RowsIn(const char* path) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return -1;
    int lines = 0;
    for (int c; (c = std::fgetc(f)) != EOF;) lines += c == '\n';
    std::fclose(f);
    return lines - 2; // banner and header
}

// The tick's own part that costs most: writing one row of this many
// processors, with date and time, to a write-through file.
double RowWriteCost(const char* path, int cpus, int rounds) {
    std::vector<char> row(LogLineCapacity(cpus));
    std::vector<uint32_t> loads(cpus + 1, 50);
    const LogTime time = {2026, 12, 8, 3, 4, 5, 678};
    const DWORD length = static_cast<DWORD>(
        FormatLogRow(row.data(), row.size(), &time, 123456, loads.data(), cpus));
    HANDLE f = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                           FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (f == INVALID_HANDLE_VALUE) return -1;
    std::vector<double> cost;
    for (int i = 0; i < rounds; ++i) {
        DWORD wrote = 0;
        double t0 = Now();
        WriteFile(f, row.data(), length, &wrote, nullptr);
        cost.push_back(Now() - t0);
    }
    CloseHandle(f);
    DeleteFileA(path);
    return Median(cost);
}

bool RunLogTick(int cpus, int rounds) {
    if (!UseScript(cpus)) return false;
    LoadSampler sampler;
    if (sampler.processorCount() != cpus) return false;
    char dir[MAX_PATH];
    DWORD n = GetTempPathA(sizeof dir, dir);
    if (n == 0 || n >= sizeof dir) return false;
    std::snprintf(app.logfile, sizeof app.logfile, "%svantor-logbench-%lu-%d.csv", dir,
                  GetCurrentProcessId(), cpus);
    DeleteFileA(app.logfile);
    OldBaseline old;
    std::unique_ptr<LoadMeter> own = sampler.newMeter(), logged = sampler.newMeter();
    sampler.read();
    if (!own || !logged || !old.take(sampler)) return false;
    Sleep(100);
    app.sampler = &sampler;
    app.logMeter = logged.get();
    app.logout = app.log = app.logtime = 1;
    app.tmrate2 = 1000000; // the bench calls the tick itself
    ResetLogFilter();
    if (!OpenLog(nullptr, cpus)) return false;
    std::vector<double> sample, tick;
    sample.reserve(rounds);
    tick.reserve(rounds);
    sampler.read();
    const long before = allocations;
    for (int i = 0; i < rounds; ++i) {
        own->prime(old.reading);
        logged->prime(old.reading);
        double t0 = Now();
        sampler.sample(*own);
        double t1 = Now();
        OnLogTick(nullptr);
        double t2 = Now();
        sample.push_back(t1 - t0);
        tick.push_back(t2 - t1);
    }
    const long allocated = allocations - before;
    CloseLog(nullptr);
    const int rows = RowsIn(app.logfile);
    DeleteFileA(app.logfile);
    app.sampler = nullptr;
    app.logMeter = nullptr;
    // The tick's own work hides in the noise of its query; the mean of the
    // paired differences estimates it without the medians' bias.
    double ownCost = 0;
    for (int i = 0; i < rounds; ++i) ownCost += (tick[i] - sample[i]) / rounds;
    const double s = Median(sample), t = Median(tick);
    const double write = RowWriteCost(app.logfile, cpus, rounds);
    std::printf("cpus %3d: log tick %8.1f us  bare sample %8.1f us  ratio %.3f  mean difference "
                "%6.1f us  one row's write %5.1f us  allocations %ld  rows %d of %d\n",
                cpus, t, s, s > 0 ? t / s : 0.0, ownCost, write, allocated, rows, rounds);
    return rows == rounds;
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
    bool log = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--log") == 0) log = true;
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) rounds = std::atoi(argv[++i]);
    }
    std::printf("median of %d interleaved rounds, scripted provider\n", rounds);
    bool (*run)(int, int) = log ? RunLogTick : Run;
    bool ok = run(4, rounds);
    ok = run(64, rounds) && ok;
    if (!log) ok = RunKernel(rounds) && ok;
    SetEnvironmentVariableA("VANTOR_PROVIDER_SCRIPT", nullptr);
    return ok ? 0 : 1;
}
