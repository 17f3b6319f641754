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

// Where the file's write position is; false for what has none (a pipe).
bool Position(HANDLE file, LARGE_INTEGER* at) {
    LARGE_INTEGER zero = {};
    return SetFilePointerEx(file, zero, at, FILE_CURRENT) != 0;
}

// Takes away what a failed write left after `at`: the file ends again with
// the last line written whole (a full disk must not tear a row, nor glue
// the next session onto it).
void CutBack(HANDLE file, LARGE_INTEGER at) {
    if (SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) SetEndOfFile(file);
}

// What an existing logfile holds at its start and end.
struct ExistingLog {
    char head[HEAD_BYTES];
    DWORD got = 0;
    bool whole = false;       // head is all of the file
    bool endsWithLine = true; // empty, or its last byte is a line feed
};

bool ReadExistingLog(ExistingLog* log) {
    HANDLE file = CreateFileA(app.logfile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size = {};
    // Only a file on a disk: a device or pipe of that name may never end.
    bool read = GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) &&
                ReadFile(file, log->head, sizeof log->head, &log->got, nullptr);
    log->whole = read && static_cast<LONGLONG>(log->got) == size.QuadPart;
    if (read && size.QuadPart > 0) {
        char last = log->got ? log->head[log->got - 1] : 0;
        if (!log->whole) {
            LARGE_INTEGER end;
            end.QuadPart = size.QuadPart - 1;
            DWORD one = 0;
            read = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) &&
                   ReadFile(file, &last, 1, &one, nullptr) && one == 1;
        }
        log->endsWithLine = last == '\n';
    }
    CloseHandle(file);
    return read;
}

// Moves the existing logfile, read into old, to the name its banner's start
// time gives, with the first suffix no file has yet: a log started again
// within the second of its last rotation is moved as well. False for a file
// that is not this program's log or cannot be moved.
bool RotateLog(const ExistingLog& old) {
    LogTime start;
    if (!ReadLogBannerStart(old.head, old.got, &start)) return false;
    char name[MAX_PATH];
    for (uint32_t taken = 0; RotatedLogName(start, app.logfile, taken, name, sizeof name);
         ++taken) {
        if (GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES) continue;
        // MoveFileA never replaces a file: one made since the look is passed by.
        if (MoveFileA(app.logfile, name)) return true;
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

} // namespace

bool OpenLog(HWND owner, int32_t processorCount) {
    if (app.logHandle) CloseLog(owner);
    // Unreadable processor data counts as one processor: no columns.
    const int32_t processors = processorCount > 1 ? processorCount : 1;

    // A file that is only the start of a banner (a log whose first write
    // failed) holds no row: it is written over rather than moved aside or
    // appended to, or it would refuse every later start.
    bool replace = false, newLine = false;
    if (GetFileAttributesA(app.logfile) != INVALID_FILE_ATTRIBUTES) {
        ExistingLog old;
        const bool known = ReadExistingLog(&old);
        replace = known && old.whole && IsUnfinishedLogBanner(old.head, old.got);
        if (!replace && !app.logappend && !(known && RotateLog(old))) return FailOpen(owner);
        // A torn last line keeps what it has; the new session starts below it.
        newLine = known && !replace && app.logappend && !old.endsWithLine;
    }
    if (!MakeLineBuffers(processors)) return FailOpen(owner);
    HANDLE file = CreateFileA(
        app.logfile, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FailOpen(owner);
    if (replace)
        SetEndOfFile(file);
    else if (app.logappend)
        SetFilePointer(file, 0, nullptr, FILE_END);

    // Banner and header start the session together: when either fails,
    // the file is cut back to where the session began.
    LARGE_INTEGER before;
    const bool seekable = Position(file, &before);
    DWORD error = 0;
    const LogTime start = Now();
    const bool written =
        (!newLine || WriteWhole(file, "\n", 1, &error)) &&
        WriteLineOrFail(file, FormatLogBanner(app.logLine, app.logLineCapacity, start), &error) &&
        WriteLineOrFail(
            file, FormatLogHeader(app.logLine, app.logLineCapacity, app.logtime != 0, processors),
            &error);
    if (!written) {
        if (seekable) CutBack(file, before);
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
    // The first row measures from the opening, not from an older row.
    if (app.logMeter && app.sampler) app.logMeter->prime(app.sampler->latest());
    return true;
}

bool OnLogTick(HWND owner) {
    if (!app.log || !app.logHandle || !app.sampler || !app.logMeter) return true;
    // Its own meter, so the rows measure the log's interval whenever the
    // sampling tick read. A failed or too early reading writes nothing.
    if (!app.sampler->sample(*app.logMeter)) return true;
    const int32_t total = static_cast<int32_t>(app.logMeter->loadOf(0));
    if (!LogRowPasses(app, total, &app.lastLoggedTotal, &app.aboveLimit)) return true;

    const int32_t processors = app.logProcessors;
    app.logLoads[0] = static_cast<uint32_t>(total);
    for (int32_t i = 1; i <= processors && processors > 1; ++i)
        app.logLoads[i] = app.logMeter->loadOf(i);
    // 64-bit milliseconds: a 32-bit difference would start again at 0 after
    // 49.7 days of logging.
    const uint64_t elapsed = GetTickCount64() - app.logStartTick;
    LogTime time;
    if (app.logtime) time = Now();
    const size_t length =
        FormatLogRow(app.logLine, app.logLineCapacity, app.logtime ? &time : nullptr, elapsed,
                     app.logLoads, processors);
    LARGE_INTEGER before;
    const bool seekable = Position(app.logHandle, &before);
    DWORD error = 0;
    if (WriteLineOrFail(app.logHandle, length, &error)) return true;

    if (seekable) CutBack(app.logHandle, before);
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
