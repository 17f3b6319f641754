// Arbitrary bytes as the start of an existing log file: the rotation name is
// either refused or logfile, a dot and the banner's digits, fitting its
// buffer; a file is taken for an unfinished banner only when it is a prefix
// of one; and every banner this program writes reads back as its own time.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "log/LogFormat.h"

namespace {

void Check(bool ok) {
    if (!ok) abort();
}

uint8_t Next(const uint8_t*& data, size_t& size) {
    if (!size) return 0;
    --size;
    return *data++;
}

size_t DigitsAt(const char* s) {
    size_t n = 0;
    while (s[n] >= '0' && s[n] <= '9')
        ++n;
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t cap = 1 + Next(data, size); // up to 256, around MAX_PATH
    // The log file's name: up to 63 bytes, ended early by a zero byte.
    std::string logfile;
    for (size_t n = Next(data, size) % 64; n > 0 && size; --n) {
        const char c = static_cast<char>(Next(data, size));
        if (c == 0) break;
        logfile += c;
    }
    // A time for the banner that the program itself writes.
    LogTime t;
    t.year = (Next(data, size) << 8 | Next(data, size)) % 10000;
    t.month = Next(data, size) % 100;
    t.day = Next(data, size) % 100;
    t.hour = Next(data, size) % 100;
    t.minute = Next(data, size) % 100;
    t.second = Next(data, size) % 100;
    t.millisecond = (Next(data, size) << 8 | Next(data, size)) % 1000;

    // The rest is the file's first bytes, in a buffer of exactly their length.
    const std::vector<char> head(data, data + size);
    const char* h = head.empty() ? nullptr : head.data();
    std::vector<char> out(cap, 'x');
    const bool renamed = RotatedLogName(h, head.size(), logfile.c_str(), out.data(), cap);
    const bool unfinished = IsUnfinishedLogBanner(h, head.size());

    char banner[128];
    const size_t bannerLength = FormatLogBanner(banner, sizeof banner, t);
    Check(bannerLength > 0 && banner[bannerLength - 1] == '\n');
    if (renamed) {
        const size_t length = strnlen(out.data(), cap);
        Check(length < cap);
        Check(memcmp(out.data(), logfile.data(), logfile.size()) == 0 &&
              out[logfile.size()] == '.');
        const char* date = out.data() + logfile.size() + 1;
        const size_t d = DigitsAt(date);
        Check(d >= 8 && date[d] == '_');
        const size_t c = DigitsAt(date + d + 1);
        Check(c >= 6 && date[d + 1 + c] == '\0');
        // Only a file that begins like a banner is renamed.
        const size_t fixed = strstr(banner, "at ") + 3 - banner;
        Check(head.size() > fixed && memcmp(h, banner, fixed) == 0);
    }
    if (unfinished) {
        Check(head.size() <= bannerLength);
        Check(head.empty() || IsUnfinishedLogBanner(h, head.size() - 1));
        // Renamed as well only when the banner is there up to its quote.
        Check(!renamed || head.size() >= bannerLength - 1);
    }

    // The program's own banner: every prefix is unfinished, and the whole
    // line gives the name of its start time.
    const size_t cut =
        head.empty() ? bannerLength : static_cast<uint8_t>(head[0]) % (bannerLength + 1);
    Check(IsUnfinishedLogBanner(banner, cut));
    char expected[320], name[320];
    snprintf(expected, sizeof expected, "%s.%04d%02d%02d_%02d%02d%02d", logfile.c_str(), t.year,
             t.month, t.day, t.hour, t.minute, t.second);
    Check(RotatedLogName(banner, bannerLength, logfile.c_str(), name, sizeof name));
    Check(strcmp(name, expected) == 0);
    return 0;
}
