// Arbitrary bytes, alone or after a whole or cut banner, as the start of an old
// log: a start time is read only from a file that begins like a banner, and a
// rotation name fits its buffer; only what could still become a banner, the
// whole line at most, is unfinished; every banner written reads back as its own.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "log/LogFormat.h"

static void Check(bool ok) {
    if (!ok) abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto next = [&]() -> int { return size ? (--size, *data++) : 0; };
    const size_t cap = 1 + next(); // up to 256, around MAX_PATH
    std::string logfile;           // up to 63 bytes, ended early by a zero byte
    for (int n = next() % 64; n > 0 && size; --n) {
        const char c = static_cast<char>(next());
        if (c == 0) break;
        logfile += c;
    }
    LogTime t;
    t.year = (next() << 8 | next()) % 10000;
    for (int* field : {&t.month, &t.day, &t.hour, &t.minute, &t.second})
        *field = next() % 100;
    t.millisecond = (next() << 8 | next()) % 1000;
    const uint32_t taken = static_cast<uint32_t>(next() << 8 | next());
    char banner[128];
    const size_t bannerLength = FormatLogBanner(banner, sizeof banner, t);
    Check(bannerLength > 0 && banner[bannerLength - 1] == '\n');

    // The file's first bytes, in a buffer of exactly their length: the rest
    // of the input, after as much of the banner as the next byte says.
    const int kept = next();
    std::vector<char> head;
    if (kept & 1) head.assign(banner, banner + (kept >> 1) % (bannerLength + 1));
    head.insert(head.end(), data, data + size);
    const char* h = head.empty() ? nullptr : head.data();
    const bool afterWholeBanner =
        head.size() >= bannerLength && h && memcmp(h, banner, bannerLength) == 0;

    LogTime start;
    if (ReadLogBannerStart(h, head.size(), &start)) {
        const size_t fixed = strstr(banner, "at ") + 3 - banner;
        Check(head.size() > fixed && memcmp(h, banner, fixed) == 0);
    }
    if (IsUnfinishedLogBanner(h, head.size()))
        Check(head.size() <= bannerLength &&
              (head.empty() || IsUnfinishedLogBanner(h, head.size() - 1)));
    // A whole banner is read, and is unfinished only when nothing at all follows it.
    if (afterWholeBanner)
        Check(ReadLogBannerStart(h, head.size(), &start) &&
              IsUnfinishedLogBanner(h, head.size()) == (head.size() == bannerLength));

    std::vector<char> out(cap, 'x');
    if (RotatedLogName(t, logfile.c_str(), taken, out.data(), cap)) {
        const size_t length = strnlen(out.data(), cap);
        Check(length < cap && length > logfile.size() && out[logfile.size()] == '.' &&
              memcmp(out.data(), logfile.data(), logfile.size()) == 0);
    }

    const size_t cut =
        head.empty() ? bannerLength : static_cast<uint8_t>(h[0]) % (bannerLength + 1);
    Check(IsUnfinishedLogBanner(banner, cut));
    char expected[320], name[320];
    snprintf(expected, sizeof expected, "%s.%04d%02d%02d_%02d%02d%02d", logfile.c_str(), t.year,
             t.month, t.day, t.hour, t.minute, t.second);
    Check(ReadLogBannerStart(banner, bannerLength, &start) &&
          RotatedLogName(start, logfile.c_str(), 0, name, sizeof name) &&
          strcmp(name, expected) == 0);
    return 0;
}
