// Arbitrary file names of an icon folder: each one's threshold is what
// strtol reads from it (or none), a taken one takes no other icon, and every
// icon given to the set is destroyed exactly once.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tray/IconSet.h"

enum { MAX_FILES = 120 };
static int destroyed[MAX_FILES + 1];

static void Check(bool ok) {
    if (!ok) abort();
}

// The threshold the way the C library reads "%d" from the name.
static int Reference(const char* name) {
    const char* s = name + strspn(name, " \t\n\v\f\r");
    const char first = s[*s == '-' || *s == '+'];
    if (first < '0' || first > '9') return -1;
    errno = 0;
    const long n = strtol(s, nullptr, 10);
    return errno == 0 && n >= 0 && n <= MAX_ICON_THRESHOLD ? static_cast<int>(n) : -1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    memset(destroyed, 0, sizeof destroyed);
    IconSet set([](IconSet::Icon icon) { ++destroyed[reinterpret_cast<intptr_t>(icon)]; });
    // Names are separated by zero bytes, each cut to a file name's 259 bytes;
    // the 120th name ends the listing.
    std::vector<char> listing(data, data + size);
    listing.push_back('\0');
    int files = 0;
    for (size_t at = 0; at < size && files < MAX_FILES; ++files) {
        char* name = listing.data() + at;
        const size_t n = strnlen(name, 259);
        name[n] = '\0';
        at += n + 1;

        const int threshold = IconFileThreshold(name);
        Check(threshold == Reference(name));
        const bool vacant = threshold >= 0 && !set.has(threshold);
        Check(set.placeFor(name) == (vacant ? threshold : -1));
        // Every seventh file does not load: an empty entry, nothing to destroy.
        const intptr_t icon = files % 7 == 6 ? 0 : files + 1;
        Check(set.insert(threshold, reinterpret_cast<IconSet::Icon>(icon)) == vacant);
        Check(vacant || destroyed[icon] == (icon != 0)); // a newcomer refused is let go at once
    }
    set.clear();
    for (int i = 0; i <= files; ++i)
        Check(destroyed[i] == (i > 0 && i % 7 != 0));
    return 0;
}
