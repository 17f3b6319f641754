// footprint: the working set and private bytes of a running Vantor, read
// from outside through the process's own memory counters.
#include <windows.h>
#include <psapi.h>

#include <cstdio>

int main() {
    HWND window = FindWindowA("Vantor_PerfMon", "Vantor");
    if (!window) {
        fprintf(stderr, "no Vantor window\n");
        return 1;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) {
        fprintf(stderr, "cannot open process %lu\n", pid);
        return 1;
    }
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    BOOL ok = GetProcessMemoryInfo(process, &counters, sizeof counters);
    DWORD handles = 0;
    GetProcessHandleCount(process, &handles);
    CloseHandle(process);
    if (!ok) return 1;
    printf("working set %lu KiB (peak %lu KiB), private %lu KiB, handles %lu\n",
           static_cast<unsigned long>(counters.WorkingSetSize / 1024),
           static_cast<unsigned long>(counters.PeakWorkingSetSize / 1024),
           static_cast<unsigned long>(counters.PagefileUsage / 1024), handles);
    return 0;
}
