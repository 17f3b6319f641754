#include "log/LogFormat.h"

#include <cstring>

#include "settings/Settings.h"

namespace {

// The banner, described once for the writer, the reader of the rotation
// name and the test for an unfinished banner: a fixed head ("VantorモニタLOG:
// start at " in CP932: the host compiler has no CP932 execution character
// set), the start time's fields, each zero-padded to its width and followed
// by its separator, and the line feed. A row's date and time are the same
// fields, with ", " after the day and nothing after the milliseconds.
const char kBannerHead[] = "\"Vantor\x83\x82\x83\x6a\x83\x5eLOG: start at ";
const char kBannerEnd[] = "\n";

struct TimeField {
    int LogTime::*value;
    int width;
    const char* after;
};

const TimeField kTimeFields[] = {{&LogTime::year, 4, "/"},        {&LogTime::month, 2, "/"},
                                 {&LogTime::day, 2, " "},         {&LogTime::hour, 2, ":"},
                                 {&LogTime::minute, 2, ":"},      {&LogTime::second, 2, "."},
                                 {&LogTime::millisecond, 3, "\""}};
const size_t kDayField = 2, kLastField = sizeof kTimeFields / sizeof kTimeFields[0] - 1;

// One line written into a fixed buffer; the first piece that does not fit
// spoils the whole line, so a line is either whole or not written at all.
class Line {
  public:
    Line(char* out, size_t cap) : out_(out), cap_(cap), ok_(out != nullptr && cap > 0) {}

    void text(const char* s) { bytes(s, strlen(s)); }

    // Decimal, zero-padded to at least `width` digits.
    void number(uint64_t value, int width = 1) {
        char digits[24];
        int n = 0;
        do {
            digits[n++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        while (n < width && n < static_cast<int>(sizeof digits))
            digits[n++] = '0';
        char ordered[24];
        for (int i = 0; i < n; ++i)
            ordered[i] = digits[n - 1 - i];
        bytes(ordered, static_cast<size_t>(n));
    }

    void signedNumber(int value, int width) {
        if (value < 0) {
            text("-");
            number(0 - static_cast<uint64_t>(static_cast<int64_t>(value)),
                   width > 1 ? width - 1 : 1);
        } else {
            number(static_cast<uint64_t>(value), width);
        }
    }

    // Ends the line (or, without the line feed, a plain text); returns its
    // length, or 0 (nothing written) when it did not fit.
    size_t finish(bool lineFeed = true) {
        if (lineFeed) text("\n");
        if (!ok_) {
            if (out_ && cap_ > 0) out_[0] = '\0';
            return 0;
        }
        out_[len_] = '\0';
        return len_;
    }

  private:
    void bytes(const char* s, size_t n) {
        if (!ok_ || n >= cap_ - len_) { // room for the terminating zero too
            ok_ = false;
            return;
        }
        memcpy(out_ + len_, s, n);
        len_ += n;
    }

    char* out_;
    size_t cap_;
    size_t len_ = 0;
    bool ok_;
};

void DateAndTime(Line& line, const LogTime& t) {
    for (size_t i = 0; i <= kLastField; ++i) {
        const TimeField& f = kTimeFields[i];
        line.signedNumber(t.*f.value, f.width);
        if (i == kDayField)
            line.text(", ");
        else if (i != kLastField)
            line.text(f.after);
    }
}

// Walks text along the banner. It stops at the first byte that differs, or
// at the end of text, which then holds no more than the start of a banner.
class BannerReader {
  public:
    BannerReader(const char* text, size_t len) : text_(text), len_(len) {}

    // Takes the start time up to its closing quote.
    bool time(LogTime* start) {
        if (!fixed(kBannerHead)) return false;
        for (const TimeField& f : kTimeFields)
            if (!number(f.width, &(start->*f.value)) || !fixed(f.after)) return false;
        return true;
    }
    bool end() { return fixed(kBannerEnd); }

    bool cut() const { return cut_; }
    size_t taken() const { return pos_; }

  private:
    bool fixed(const char* s) {
        for (; *s; ++s, ++pos_)
            if (!more() || text_[pos_] != *s) return false;
        return true;
    }
    // Exactly `width` digits, as the banner writes a field of this program's
    // clock.
    bool number(int width, int* value) {
        int v = 0;
        for (int i = 0; i < width; ++i, ++pos_) {
            if (!more() || text_[pos_] < '0' || text_[pos_] > '9') return false;
            v = v * 10 + (text_[pos_] - '0');
        }
        *value = v;
        return true;
    }
    bool more() {
        cut_ = pos_ >= len_;
        return !cut_;
    }

    const char* text_;
    size_t len_;
    size_t pos_ = 0;
    bool cut_ = false;
};

} // namespace

size_t LogLineCapacity(int32_t processors) {
    // Header and row without processor columns, with date and time: well
    // under 128 bytes. Each processor adds at most 19 bytes to the header
    // (,"CPU 4294967295[%]") and 12 to a row (", 4294967295").
    const size_t columns = processors > 1 ? static_cast<size_t>(processors) : 0;
    return 128 + 19 * columns;
}

size_t FormatLogBanner(char* out, size_t cap, const LogTime& start) {
    Line line(out, cap);
    line.text(kBannerHead);
    for (const TimeField& f : kTimeFields) {
        line.signedNumber(start.*f.value, f.width);
        line.text(f.after);
    }
    line.text(kBannerEnd);
    return line.finish(false);
}

size_t FormatLogHeader(char* out, size_t cap, bool withTime, int32_t processors) {
    Line line(out, cap);
    if (withTime) line.text("\"Date\",\"Time\",");
    line.text("\"Elapsed-time[ms]\",\"Total[%]\"");
    if (processors > 1) {
        for (int32_t i = 1; i <= processors; ++i) {
            line.text(",\"CPU ");
            line.number(static_cast<uint64_t>(i));
            line.text("[%]\"");
        }
    }
    return line.finish();
}

size_t FormatLogRow(char* out, size_t cap, const LogTime* time, uint64_t elapsedMs,
                    const uint32_t* loads, int32_t processors) {
    Line line(out, cap);
    if (time) {
        DateAndTime(line, *time);
        line.text(", ");
    }
    line.number(elapsedMs);
    line.text(", ");
    line.number(loads[0]);
    if (processors > 1) {
        for (int32_t i = 1; i <= processors; ++i) {
            line.text(", ");
            line.number(loads[i]);
        }
    }
    return line.finish();
}

bool ReadLogBannerStart(const char* head, size_t len, LogTime* start) {
    LogTime t;
    if (!BannerReader(head, len).time(&t)) return false;
    *start = t;
    return true;
}

bool RotatedLogName(const LogTime& start, const char* logfile, uint32_t taken, char* out,
                    size_t cap) {
    Line line(out, cap);
    line.text(logfile);
    line.text(".");
    line.number(static_cast<uint64_t>(start.year), 4);
    line.number(static_cast<uint64_t>(start.month), 2);
    line.number(static_cast<uint64_t>(start.day), 2);
    line.text("_");
    line.number(static_cast<uint64_t>(start.hour), 2);
    line.number(static_cast<uint64_t>(start.minute), 2);
    line.number(static_cast<uint64_t>(start.second), 2);
    // Letters counted like spreadsheet columns: a ... z, aa ... zz, aaa ...
    char suffix[8];
    size_t n = 0;
    for (uint64_t rest = taken; rest > 0; rest = (rest - 1) / 26)
        suffix[n++] = static_cast<char>('a' + (rest - 1) % 26);
    for (char letter[2] = {0, 0}; n > 0;) {
        letter[0] = suffix[--n];
        line.text(letter);
    }
    return line.finish(false) != 0;
}

bool IsUnfinishedLogBanner(const char* text, size_t len) {
    BannerReader reader(text, len);
    LogTime ignored;
    if (reader.time(&ignored) && reader.end()) return reader.taken() == len;
    return reader.cut();
}

int32_t InitialLastLoggedTotal(int32_t logchangeval) {
    // The negation of the most negative value does not exist.
    return logchangeval == INT32_MIN ? INT32_MAX : -logchangeval;
}

bool LogRowPasses(const Settings& s, int32_t total, int32_t* lastLoggedTotal, bool* aboveLimit) {
    if (s.loglimit) {
        if (s.logchange) {
            int64_t moved = static_cast<int64_t>(total) - *lastLoggedTotal;
            if (moved < 0) moved = -moved;
            if (moved < s.logchangeval) return false;
            if (total >= s.loglimitval) {
                *aboveLimit = true;
            } else if (*aboveLimit) {
                *aboveLimit = false; // one row marks the fall below the limit
            } else {
                return false;
            }
        } else if (total < s.loglimitval) {
            return false;
        }
    }
    *lastLoggedTotal = total;
    return true;
}
