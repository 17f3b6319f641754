#include "log/LoadLog.h"

#include <cstring>
#include <new>

#include "app/AppState.h"
#include "base/SafeText.h"
#include "base/WindowIds.h"
#include "log/LogFormat.h"
#include "measure/LoadSampler.h"
#include "settings/SettingLimits.h"
#include "settings/SettingsFile.h"

namespace {

const char* const ERROR_TITLE = "Vantor エラー";
const char* const OPEN_FAILED = "ログファイルを開けませんでした。\nログ保存をオフにします。";
const char* const WRITE_FAILED =
    "ログファイル書き込みに失敗しました。(%d)\nログ保存をオフにします。";

// The banner is this long at most; more of a foreign file is never needed.
enum : DWORD { HEAD_BYTES = 128 };

LogTime Now() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    LogTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    t.millisecond = st.wMilliseconds;
    return t;
}

void ReleaseLineBuffers() {
    delete[] app.logLine;
    delete[] app.logLoads;
    app.logLine = nullptr;
    app.logLoads = nullptr;
    app.logLineCapacity = 0;
    app.logProcessors = 0;
}

bool MakeLineBuffers(int32_t processors) {
    ReleaseLineBuffers();
    const size_t capacity = LogLineCapacity(processors);
    const size_t slots = processors > 1 ? static_cast<size_t>(processors) + 1 : 1;
    app.logLine = new (std::nothrow) char[capacity];
    app.logLoads = new (std::nothrow) uint32_t[slots]();
    if (!app.logLine || !app.logLoads) {
        ReleaseLineBuffers();
        return false;
    }
    app.logLineCapacity = capacity;
    app.logProcessors = processors;
    return true;
}

// Writes all of data; a short write is carried on, so a line ends up either
// whole in the file or reported with the error that stopped it.
bool WriteWhole(HANDLE file, const char* data, size_t length, DWORD* error) {
    while (length > 0) {
        DWORD wrote = 0;
        if (!WriteFile(file, data, static_cast<DWORD>(length), &wrote, nullptr)) {
            *error = GetLastError();
            return false;
        }
        if (wrote == 0) {
            *error = ERROR_WRITE_FAULT;
            return false;
        }
        data += wrote;
        length -= wrote;
    }
    return true;
}

// The state is settled before the message box: its message loop goes on
// dispatching timers and commands while it is shown.
bool FailOpen(HWND owner) {
    app.logHandle = nullptr;
    app.logout = 0;
    ReleaseLineBuffers();
    MessageBoxA(owner, OPEN_FAILED, ERROR_TITLE, MB_OK | MB_ICONWARNING);
    return false;
}

void ReportWriteFailure(HWND owner, DWORD error) {
    char text[160];
    FormatText(text, sizeof text, WRITE_FAILED, static_cast<int>(error));
    MessageBoxA(owner, text, ERROR_TITLE, MB_OK | MB_ICONWARNING);
}

bool WriteLineOrFail(HANDLE file, size_t length, DWORD* error) {
    if (length == 0) { // cannot happen with buffers made for the count
        *error = ERROR_INSUFFICIENT_BUFFER;
        return false;
    }
    return WriteWhole(file, app.logLine, length, error);
}

} // namespace

bool RotateLog() {
    HANDLE file = CreateFileA(app.logfile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char head[HEAD_BYTES];
    DWORD got = 0;
    const BOOL read = ReadFile(file, head, sizeof head, &got, nullptr);
    CloseHandle(file);
    if (!read) return false;

    char name[MAX_PATH];
    if (!RotatedLogName(head, got, app.logfile, name, sizeof name)) return false;
    if (GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES) {
        const size_t length = strlen(name);
        if (length + 2 > sizeof name) return false; // no room for the "a"
        AppendText(name, sizeof name, "a");
    }
    // MoveFileA never replaces an existing file: a taken "a" name fails here.
    return MoveFileA(app.logfile, name) != 0;
}

bool OpenLog(HWND owner, int32_t processorCount) {
    if (app.logHandle) CloseLog(owner);
    // Unreadable processor data counts as one processor: no columns.
    const int32_t processors = processorCount > 1 ? processorCount : 1;

    if (!app.logappend && GetFileAttributesA(app.logfile) != INVALID_FILE_ATTRIBUTES &&
        !RotateLog())
        return FailOpen(owner);
    if (!MakeLineBuffers(processors)) return FailOpen(owner);
    HANDLE file = CreateFileA(
        app.logfile, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FailOpen(owner);
    if (app.logappend) SetFilePointer(file, 0, nullptr, FILE_END);

    DWORD error = 0;
    const LogTime start = Now();
    if (!WriteLineOrFail(file, FormatLogBanner(app.logLine, app.logLineCapacity, start), &error) ||
        !WriteLineOrFail(
            file, FormatLogHeader(app.logLine, app.logLineCapacity, app.logtime != 0, processors),
            &error)) {
        CloseHandle(file);
        app.logHandle = nullptr;
        app.logout = 0;
        ReleaseLineBuffers();
        ReportWriteFailure(owner, error);
        return false;
    }

    app.logHandle = file;
    SetTimer(owner, TIMER_LOG, UsableTimerPeriod(app.tmrate2, Settings().tmrate2, MAX_LOG_PERIOD),
             nullptr);
    app.logStartTick = GetTickCount64();
    return true;
}

bool OnLogTick(HWND owner) {
    if (!app.log || !app.logHandle || !app.sampler) return true;
    if (!app.sampler->sample()) return true; // a failed sample writes and reports nothing
    const int32_t total = static_cast<int32_t>(app.sampler->loadOf(0));
    if (!LogRowPasses(app, total, &app.lastLoggedTotal, &app.aboveLimit)) return true;

    const int32_t processors = app.logProcessors;
    app.logLoads[0] = static_cast<uint32_t>(total);
    for (int32_t i = 1; i <= processors && processors > 1; ++i)
        app.logLoads[i] = app.sampler->loadOf(i);
    // 64-bit milliseconds: a 32-bit difference would start again at 0 after
    // 49.7 days of logging.
    const uint64_t elapsed = GetTickCount64() - app.logStartTick;
    LogTime time;
    if (app.logtime) time = Now();
    const size_t length =
        FormatLogRow(app.logLine, app.logLineCapacity, app.logtime ? &time : nullptr, elapsed,
                     app.logLoads, processors);
    DWORD error = 0;
    if (WriteLineOrFail(app.logHandle, length, &error)) return true;

    KillTimer(owner, TIMER_LOG);
    CloseHandle(app.logHandle);
    app.logHandle = nullptr;
    app.logout = 0;
    app.log = 0;
    ReleaseLineBuffers();
    ReportWriteFailure(owner, error);
    return false;
}

void CloseLog(HWND owner) {
    KillTimer(owner, TIMER_LOG);
    if (app.logHandle) CloseHandle(app.logHandle);
    app.logHandle = nullptr;
    ReleaseLineBuffers();
}

void ResetLogFilter() {
    app.lastLoggedTotal = InitialLastLoggedTotal(app.logchangeval);
    app.aboveLimit = true;
}

bool StartLogAtSetUp(HWND window) {
    if (!app.logout || !app.log) return true;
    if (OpenLog(window, app.sampler ? app.sampler->processorCount() : 1)) return true;
    app.log = 0;
    return false;
}

bool LogIsOpen() { return app.logHandle != nullptr; }
