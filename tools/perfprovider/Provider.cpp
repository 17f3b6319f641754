// Serves the Processor object (title 238) the way Windows documents it: one
// PERF_100NSEC_TIMER_INV counter (idle time) per processor instance plus
// "_Total". Figures are live (NtQuerySystemInformation) or scripted.
#include <windows.h>
#include <winperf.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ProviderScript.h"

using perfprovider::Script;
using perfprovider::TotalPlace;

namespace {

const DWORD kProcessorObject = 238;
const DWORD kIdleCounter = 6;

struct ProcessorTimes { // SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION
    LARGE_INTEGER idle, kernel, user, reserved1[2];
    ULONG reserved2;
};
typedef LONG(WINAPI* QuerySystemInformation)(int, void*, ULONG, ULONG*);

// State kept between queries: the DLL pins itself, because Wine loads and
// frees it around every query.
struct State {
    bool haveScriptName = false;
    std::string scriptName; // the VANTOR_PROVIDER_SCRIPT seen last; empty = live
    Script script;
    size_t line = 0;     // next load line to consume
    int collects = 0;    // Collect calls since the script was loaded
    std::vector<double> idle; // scripted idle counters, 100 ns units
    LARGE_INTEGER last = {};
    perfprovider::SteppedIdle stepped; // the same in whole clock steps ("steps")
} g;

// The performance counter in 100 ns units.
long long Now100ns(const LARGE_INTEGER& counter) {
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    return (long long)((double)counter.QuadPart * 1e7 / (double)freq.QuadPart);
}

std::string ScriptVariable() {
    char buf[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA("VANTOR_PROVIDER_SCRIPT", buf, sizeof buf);
    if (n == 0 || n >= sizeof buf) return std::string();
    return std::string(buf, n);
}

bool ReadWholeFile(const std::string& path, std::string* text) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    char buf[4096];
    DWORD got = 0;
    text->clear();
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) text->append(buf, got);
    CloseHandle(f);
    return true;
}

// Re-reads the script when the variable names another file than last time,
// so a test can switch scripts inside one process.
void RefreshMode() {
    std::string name = ScriptVariable();
    if (g.haveScriptName && name == g.scriptName) return;
    g.haveScriptName = true;
    g.scriptName = name;
    g.script = Script();
    g.line = 0;
    g.collects = 0;
    if (!name.empty()) {
        std::string text;
        if (!ReadWholeFile(name, &text)) text = "fail\n";
        g.script = perfprovider::ParseScript(text);
    }
    g.idle.assign(name.empty() ? 0 : g.script.cpus, 0.0);
    QueryPerformanceCounter(&g.last);
    g.stepped.reset(name.empty() ? 0 : g.script.cpus, Now100ns(g.last));
}

// Advances every scripted idle counter by (100 - load) % of the time since
// the previous Collect, or by the whole clock steps passed since, and
// consumes one load line.
void AdvanceScripted() {
    LARGE_INTEGER now, freq;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&freq);
    double elapsed100ns = (double)(now.QuadPart - g.last.QuadPart) * 1e7 / (double)freq.QuadPart;
    g.last = now;
    g.stepped.advance(g.script, g.line, Now100ns(now));
    for (int cpu = 0; cpu < g.script.cpus; ++cpu) {
        double load = perfprovider::LoadOf(g.script, g.line, cpu);
        g.idle[cpu] = g.script.steps ? (double)g.stepped.idle(cpu)
                                     : g.idle[cpu] + elapsed100ns * (100.0 - load) / 100.0;
    }
    if (g.line + 1 < g.script.loads.size()) ++g.line;
}

bool LiveIdle(std::vector<ULONGLONG>* idle) {
    static QuerySystemInformation query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return false;
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    std::vector<ProcessorTimes> times(si.dwNumberOfProcessors > 0 ? si.dwNumberOfProcessors : 1);
    ULONG got = 0;
    if (query(8, times.data(), (ULONG)(times.size() * sizeof(ProcessorTimes)), &got) != 0) return false;
    size_t n = got / sizeof(ProcessorTimes);
    if (n == 0) return false;
    idle->clear();
    for (size_t i = 0; i < n; ++i) idle->push_back((ULONGLONG)times[i].idle.QuadPart);
    return true;
}

bool AsksForProcessor(const wchar_t* query) {
    if (!query || !*query) return true;
    if (_wcsicmp(query, L"Global") == 0) return true;
    const wchar_t* p = query;
    while (*p) {
        while (*p == L' ') ++p;
        DWORD n = 0;
        bool digits = false;
        while (*p >= L'0' && *p <= L'9') n = n * 10 + (DWORD)(*p++ - L'0'), digits = true;
        if (digits && n == kProcessorObject) return true;
        while (*p && *p != L' ') ++p;
    }
    return false;
}

DWORD Align8(DWORD n) { return (n + 7) & ~7u; }

// Wine 8 hands Collect a pointer sizeof(PERF_DATA_BLOCK) past the place its
// block header announces; Windows hands the right one. Either way the block
// ends (TotalByteLength) exactly where the object belongs.
BYTE* PlaceForObject(BYTE* given) {
    for (DWORD back = sizeof(PERF_DATA_BLOCK); back <= 65536; ++back) {
        const PERF_DATA_BLOCK* block = reinterpret_cast<const PERF_DATA_BLOCK*>(given - back);
        if (std::memcmp(block->Signature, L"PERF", 8) != 0) continue;
        if (block->TotalByteLength == back) return given;
        if (block->TotalByteLength + sizeof(PERF_DATA_BLOCK) == back) return given - sizeof(PERF_DATA_BLOCK);
    }
    return given;
}

void InstanceName(int index, int cpus, TotalPlace total, wchar_t* name) {
    int cpu = index;
    if (total == TotalPlace::First) cpu = index - 1;
    if (cpu < 0 || cpu >= cpus) {
        wcscpy(name, L"_Total");
        return;
    }
    wsprintfW(name, L"%d", cpu);
}

} // namespace

extern "C" DWORD APIENTRY OpenPerfData(LPWSTR) {
    HMODULE self;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCSTR>(&OpenPerfData), &self);
    return ERROR_SUCCESS;
}

extern "C" DWORD APIENTRY ClosePerfData() { return ERROR_SUCCESS; }

extern "C" DWORD APIENTRY CollectPerfData(LPWSTR query, LPVOID* data, LPDWORD bytes, LPDWORD objects) {
    DWORD room = *bytes;
    *bytes = 0;
    *objects = 0;
    if (!AsksForProcessor(query)) return ERROR_SUCCESS;
    RefreshMode();
    bool live = g.scriptName.empty();
    ++g.collects;
    if (!live && g.script.fail) return ERROR_GEN_FAILURE;
    if (!live && g.collects <= g.script.moreData) return ERROR_MORE_DATA;

    std::vector<ULONGLONG> idle;
    TotalPlace total = TotalPlace::Last;
    DWORD pad = 0;
    // The object's time is the one its counters were taken at: a reader that
    // divides by it sees a scripted load exactly, however late it reads.
    LARGE_INTEGER taken;
    if (live) {
        if (!LiveIdle(&idle)) return ERROR_SUCCESS;
        QueryPerformanceCounter(&taken);
    } else {
        AdvanceScripted();
        taken = g.last;
        for (double v : g.idle) idle.push_back((ULONGLONG)v);
        total = g.script.total;
        pad = (DWORD)g.script.pad;
    }
    int cpus = (int)idle.size();
    ULONGLONG sum = 0;
    for (ULONGLONG v : idle) sum += v;
    ULONGLONG mean = cpus > 0 ? sum / (ULONGLONG)cpus : 0;
    int instances = cpus + (total == TotalPlace::None ? 0 : 1);

    const DWORD nameRoom = Align8(sizeof(L"_Total"));
    const DWORD instanceLength = sizeof(PERF_INSTANCE_DEFINITION) + nameRoom;
    const DWORD counterBlockLength = Align8(sizeof(PERF_COUNTER_BLOCK) + 4 + 8 + pad);
    const DWORD definition = sizeof(PERF_OBJECT_TYPE) + sizeof(PERF_COUNTER_DEFINITION);
    const DWORD need = definition + (DWORD)instances * (instanceLength + counterBlockLength);
    if (need > room) return ERROR_MORE_DATA;

    BYTE* out = PlaceForObject(static_cast<BYTE*>(*data));
    std::memset(out, 0, need);
    PERF_OBJECT_TYPE* obj = reinterpret_cast<PERF_OBJECT_TYPE*>(out);
    obj->TotalByteLength = need;
    obj->DefinitionLength = definition;
    obj->HeaderLength = sizeof(PERF_OBJECT_TYPE);
    obj->ObjectNameTitleIndex = kProcessorObject;
    obj->ObjectHelpTitleIndex = kProcessorObject + 1;
    obj->DetailLevel = PERF_DETAIL_NOVICE;
    obj->NumCounters = 1;
    obj->DefaultCounter = 0;
    obj->NumInstances = instances;
    obj->CodePage = 0;
    obj->PerfTime = taken;
    QueryPerformanceFrequency(&obj->PerfFreq);

    PERF_COUNTER_DEFINITION* def = reinterpret_cast<PERF_COUNTER_DEFINITION*>(obj + 1);
    def->ByteLength = sizeof(PERF_COUNTER_DEFINITION);
    def->CounterNameTitleIndex = kIdleCounter;
    def->CounterHelpTitleIndex = kIdleCounter + 1;
    def->DefaultScale = 0;
    def->DetailLevel = PERF_DETAIL_NOVICE;
    def->CounterType = PERF_100NSEC_TIMER_INV;
    def->CounterSize = 8;
    def->CounterOffset = 8; // after the counter block's length, aligned

    BYTE* p = out + definition;
    for (int i = 0; i < instances; ++i) {
        PERF_INSTANCE_DEFINITION* inst = reinterpret_cast<PERF_INSTANCE_DEFINITION*>(p);
        inst->ByteLength = instanceLength;
        inst->UniqueID = PERF_NO_UNIQUE_ID;
        inst->NameOffset = sizeof(PERF_INSTANCE_DEFINITION);
        wchar_t* name = reinterpret_cast<wchar_t*>(p + sizeof(PERF_INSTANCE_DEFINITION));
        InstanceName(i, cpus, total, name);
        inst->NameLength = (DWORD)((wcslen(name) + 1) * sizeof(wchar_t));
        p += instanceLength;
        PERF_COUNTER_BLOCK* block = reinterpret_cast<PERF_COUNTER_BLOCK*>(p);
        block->ByteLength = counterBlockLength;
        int cpu = total == TotalPlace::First ? i - 1 : i;
        ULONGLONG value = (cpu >= 0 && cpu < cpus) ? idle[cpu] : mean;
        std::memcpy(p + 8, &value, 8);
        p += counterBlockLength;
    }

    *data = static_cast<BYTE*>(*data) + need;
    *bytes = need;
    *objects = 1;
    return ERROR_SUCCESS;
}
