// Fields of AppState owned by the load log.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

struct LogState {
    HANDLE logHandle = nullptr;  // the open log file, or none
    uint64_t logStartTick = 0;   // GetTickCount64 once banner and header are written
    int32_t lastLoggedTotal = 0; // total of the last row written
    bool aboveLimit = true;      // that row was at or above loglimitval

    // Made when the log opens, for the processor count of its header, so a
    // tick neither allocates nor cuts a row.
    int32_t logProcessors = 0;
    char* logLine = nullptr;
    size_t logLineCapacity = 0;
    uint32_t* logLoads = nullptr; // total, then each processor
};
