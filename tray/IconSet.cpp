#include "tray/IconSet.h"

int BuiltInIconThreshold(int k) {
    return k <= 0 ? 0 : (100 * k - 7) / 14;
}

int IconFileThreshold(const char* name) {
    const char* s = name;
    while (*s == ' ' || (*s >= '\t' && *s <= '\r'))
        ++s;
    bool negative = *s == '-';
    if (*s == '-' || *s == '+') ++s;
    if (*s < '0' || *s > '9') return -1;
    // Digits beyond the range only matter as "too large": stop counting there
    // so that a long run of digits cannot overflow.
    int n = 0;
    for (; *s >= '0' && *s <= '9'; ++s)
        if (n <= MAX_ICON_THRESHOLD) n = n * 10 + (*s - '0');
    if (negative && n != 0) return -1;
    return n <= MAX_ICON_THRESHOLD ? n : -1;
}

bool IconSet::insert(int threshold, Icon icon) {
    if (threshold < 0 || threshold > MAX_ICON_THRESHOLD || present_[threshold]) {
        if (icon) destroy_(icon);
        return false;
    }
    present_[threshold] = true;
    icons_[threshold] = icon;
    ++count_;
    return true;
}

bool IconSet::has(int threshold) const {
    return threshold >= 0 && threshold <= MAX_ICON_THRESHOLD && present_[threshold];
}

int IconSet::placeFor(const char* fileName) const {
    int threshold = IconFileThreshold(fileName);
    return threshold < 0 || present_[threshold] ? -1 : threshold;
}

IconSet::Icon IconSet::at(int threshold) const {
    return has(threshold) ? icons_[threshold] : nullptr;
}

IconSet::Icon IconSet::pick(uint32_t load) const {
    int t = load > static_cast<uint32_t>(MAX_ICON_THRESHOLD) ? MAX_ICON_THRESHOLD
                                                              : static_cast<int>(load);
    for (; t >= 0; --t)
        if (present_[t]) return icons_[t];
    return nullptr;
}

void IconSet::clear() {
    for (int t = 0; t <= MAX_ICON_THRESHOLD; ++t) {
        if (present_[t] && icons_[t]) destroy_(icons_[t]);
        icons_[t] = nullptr;
        present_[t] = false;
    }
    count_ = 0;
}

void IconSet::completeWithBuiltIns(Icon (*loadBuiltIn)(int k, void* context), void* context) {
    if (!has(0)) insert(0, loadBuiltIn(0, context));
    // A folder that gave any threshold above 0 is the whole set.
    if (count_ != 1) return;
    for (int k = 1; k < BUILTIN_ICON_COUNT; ++k)
        insert(BuiltInIconThreshold(k), loadBuiltIn(k, context));
}
