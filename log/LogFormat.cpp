#include "log/LogFormat.h"

#include <cstring>

#include "settings/Settings.h"

namespace {

// "VantorモニタLOG: start at " in CP932 (the host compiler has no CP932
// execution character set).
const char kBannerHead[] = "\"Vantor\x83\x82\x83\x6a\x83\x5eLOG: start at ";

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

void DateAndTime(Line& line, const LogTime& t, const char* between) {
    line.signedNumber(t.year, 4);
    line.text("/");
    line.signedNumber(t.month, 2);
    line.text("/");
    line.signedNumber(t.day, 2);
    line.text(between);
    line.signedNumber(t.hour, 2);
    line.text(":");
    line.signedNumber(t.minute, 2);
    line.text(":");
    line.signedNumber(t.second, 2);
    line.text(".");
    line.signedNumber(t.millisecond, 3);
}

// Reads a run of decimal digits (at most nine) at *pos.
bool ReadNumber(const char* s, size_t len, size_t* pos, int* value) {
    size_t start = *pos;
    int v = 0;
    while (*pos < len && s[*pos] >= '0' && s[*pos] <= '9' && *pos - start < 9) {
        v = v * 10 + (s[*pos] - '0');
        ++*pos;
    }
    if (*pos == start) return false;
    *value = v;
    return true;
}

bool Expect(const char* s, size_t len, size_t* pos, char c) {
    if (*pos >= len || s[*pos] != c) return false;
    ++*pos;
    return true;
}

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
    DateAndTime(line, start, " ");
    line.text("\"");
    return line.finish();
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
        DateAndTime(line, *time, ", ");
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

bool RotatedLogName(const char* head, size_t len, const char* logfile, char* out, size_t cap) {
    const size_t prefix = sizeof kBannerHead - 1;
    if (len < prefix || memcmp(head, kBannerHead, prefix) != 0) return false;
    size_t pos = prefix;
    int year, month, day, hour, minute, second, millisecond;
    const bool banner = ReadNumber(head, len, &pos, &year) && Expect(head, len, &pos, '/') &&
                        ReadNumber(head, len, &pos, &month) && Expect(head, len, &pos, '/') &&
                        ReadNumber(head, len, &pos, &day) && Expect(head, len, &pos, ' ') &&
                        ReadNumber(head, len, &pos, &hour) && Expect(head, len, &pos, ':') &&
                        ReadNumber(head, len, &pos, &minute) && Expect(head, len, &pos, ':') &&
                        ReadNumber(head, len, &pos, &second) && Expect(head, len, &pos, '.') &&
                        ReadNumber(head, len, &pos, &millisecond) && Expect(head, len, &pos, '"');
    if (!banner) return false;

    Line line(out, cap);
    line.text(logfile);
    line.text(".");
    line.number(static_cast<uint64_t>(year), 4);
    line.number(static_cast<uint64_t>(month), 2);
    line.number(static_cast<uint64_t>(day), 2);
    line.text("_");
    line.number(static_cast<uint64_t>(hour), 2);
    line.number(static_cast<uint64_t>(minute), 2);
    line.number(static_cast<uint64_t>(second), 2);
    return line.finish(false) != 0;
}

bool IsUnfinishedLogBanner(const char* text, size_t len) {
    // The banner after its fixed head: '9' stands for any digit.
    static const char kTimeAndEnd[] = "9999/99/99 99:99:99.999\"\n";
    const size_t head = sizeof kBannerHead - 1;
    if (len > head + sizeof kTimeAndEnd - 1) return false;
    for (size_t i = 0; i < len; ++i) {
        const char want = i < head ? kBannerHead[i] : kTimeAndEnd[i - head];
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (want == '9' ? !digit : text[i] != want) return false;
    }
    return true;
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
