// Arbitrary file names of an icon folder: each one's threshold is what
// strtol reads from it (or none), and the set built from them picks, keeps
// and lets go of its icons as it should.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tray/IconSet.h"

namespace {

void Check(bool ok) {
    if (!ok) abort();
}

enum { MAX_FILES = 120 };
int destroyed[MAX_FILES + 1];
bool given[MAX_FILES + 1];

// The threshold the way the C library reads "%d" from the name.
int Reference(const char* name) {
    const char* s = name;
    while (*s == ' ' || (*s >= '\t' && *s <= '\r'))
        ++s;
    const char* digits = s + (*s == '-' || *s == '+');
    if (*digits < '0' || *digits > '9') return -1;
    errno = 0;
    const long n = strtol(s, nullptr, 10);
    return errno == 0 && n >= 0 && n <= MAX_ICON_THRESHOLD ? static_cast<int>(n) : -1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    memset(destroyed, 0, sizeof destroyed);
    memset(given, 0, sizeof given);
    IconSet set([](IconSet::Icon icon) { ++destroyed[reinterpret_cast<intptr_t>(icon)]; });
    int owner[MAX_ICON_THRESHOLD + 1];
    for (int& o : owner)
        o = -1;
    // Names are separated by zero bytes, each cut to a file name's 259 bytes,
    // in one buffer that ends with the last name's zero; the 120th name ends
    // the listing.
    std::vector<char> listing(data, data + size);
    listing.push_back('\0');
    int files = 0;
    for (size_t at = 0; at < size && files < MAX_FILES; ++files) {
        char* name = listing.data() + at;
        size_t n = strnlen(name, 259);
        name[n] = '\0';
        at += n + 1;

        const int threshold = IconFileThreshold(name);
        Check(threshold == Reference(name));
        const int place = set.placeFor(name);
        Check(place == (threshold >= 0 && owner[threshold] < 0 ? threshold : -1));
        // Every seventh file does not load: an empty entry.
        const intptr_t icon = files % 7 == 6 ? 0 : files + 1;
        given[files + 1] = threshold >= 0;
        if (place >= 0) {
            Check(set.insert(place, reinterpret_cast<IconSet::Icon>(icon)));
            owner[place] = static_cast<int>(icon);
        } else if (threshold >= 0) {
            // A taken threshold keeps its icon; the newcomer is let go.
            Check(!set.insert(threshold, reinterpret_cast<IconSet::Icon>(icon)));
            Check(icon == 0 || destroyed[icon] == 1);
        }
    }
    // Each load shows the icon of the largest threshold not above it.
    intptr_t want = 0;
    for (uint32_t load = 0; load <= MAX_ICON_THRESHOLD + 1; ++load) {
        if (load <= MAX_ICON_THRESHOLD && owner[load] >= 0) want = owner[load];
        Check(reinterpret_cast<intptr_t>(set.pick(load)) == want);
    }
    set.clear();
    for (int i = 1; i <= files; ++i)
        Check(destroyed[i] == (given[i] && i % 7 != 0 ? 1 : 0));
    return 0;
}
