// The text of the load log and the rules that decide which ticks it keeps.
// Platform-free: the Win32 side only opens, writes, renames and reads the
// clock. Lines are CP932 bytes ending in a single line feed.
#pragma once
#include <cstddef>
#include <cstdint>

struct Settings;

// Local date and time as the clock gives it.
struct LogTime {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Bytes that hold the longest line (banner, header or row) of a log of
// `processors` processors, line feed and terminating zero included. A
// count below 2 has no processor columns.
size_t LogLineCapacity(int32_t processors);

// Each builder writes one whole line, line feed included, and returns its
// length; when the line does not fit in cap it writes nothing and returns 0
// (a cut line would corrupt the log).
size_t FormatLogBanner(char* out, size_t cap, const LogTime& start);
size_t FormatLogHeader(char* out, size_t cap, bool withTime, int32_t processors);
// loads[0] is the total, loads[1..processors] each processor's load; the
// processor columns appear only when processors is above 1. time is null
// when the row has no date and time columns.
size_t FormatLogRow(char* out, size_t cap, const LogTime* time, uint64_t elapsedMs,
                    const uint32_t* loads, int32_t processors);

// The start time recorded in the banner that head, the first `len` bytes
// of a file, begins with. False when it does not begin with this program's
// banner: the file is someone else's and must be left alone.
bool ReadLogBannerStart(const char* head, size_t len, LogTime* start);

// The name an old log that started at `start` is moved to: logfile followed
// by ".YYYYMMDD_hhmmss" and, when the `taken` names before it are in use, a
// suffix: none, "a" ... "z", "aa" ... "zz", "aaa" ... False when the name
// does not fit in cap.
bool RotatedLogName(const LogTime& start, const char* logfile, uint32_t taken, char* out,
                    size_t cap);

// Whether the len bytes, a whole file, are nothing but the start of a banner
// line this program writes, the whole line at most (an empty file included):
// what a log whose first write failed leaves. Such a file holds no row and
// may be replaced.
bool IsUnfinishedLogBanner(const char* text, size_t len);

// The change filter's starting point: every first total counts as changed.
int32_t InitialLastLoggedTotal(int32_t logchangeval);

// Whether the tick with this total writes a row, by the settings' loglimit,
// loglimitval, logchange and logchangeval. Updates aboveLimit as the limit
// filter says, and lastLoggedTotal to the total of a row that is written.
bool LogRowPasses(const Settings& s, int32_t total, int32_t* lastLoggedTotal, bool* aboveLimit);
