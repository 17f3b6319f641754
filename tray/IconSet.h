// The tray icon set without the platform: which file of an icon folder stands
// for which load, which built-in icons complete the set, and which icon a
// load shows. Icons are opaque handles; the set owns them and gives each one
// to its destroy function exactly once.
#pragma once
#include <cstddef>
#include <cstdint>

enum : int {
    MAX_ICON_THRESHOLD = 100,
    BUILTIN_ICON_COUNT = 15, // TICON00 .. TICON14
};

// Threshold of the built-in icon TICONkk, k = 0 .. 14: 0, then (100k - 7) div 14.
int BuiltInIconThreshold(int k);

// The load from which an icon file is shown: its name's leading decimal
// number, read the way "%d.ico" reads it (leading blanks and a sign allowed,
// anything may follow the digits). -1 when the name does not start with a
// number or the number lies outside 0 .. 100.
int IconFileThreshold(const char* fileName);

class IconSet {
  public:
    typedef void* Icon;
    typedef void (*DestroyFn)(Icon);

    explicit IconSet(DestroyFn destroy) : destroy_(destroy) {}
    ~IconSet() { clear(); }
    IconSet(const IconSet&) = delete;
    IconSet& operator=(const IconSet&) = delete;

    // Puts the icon (null for one that did not load) at the threshold. A
    // threshold already taken, or outside 0 .. 100, keeps what it has: the
    // new icon is destroyed at once, so that no handle is ever lost. Returns
    // whether it was inserted.
    bool insert(int threshold, Icon icon);
    bool has(int threshold) const;
    Icon at(int threshold) const; // null when absent or empty
    int size() const { return count_; }

    // Where an icon file of this name goes: its threshold, or -1 when the
    // name gives none or the threshold is taken (the file met first keeps
    // it, so the later one need not even be loaded).
    int placeFor(const char* fileName) const;

    // The icon of the largest threshold not above the load; null when that
    // entry is empty or the set is empty.
    Icon pick(uint32_t load) const;

    // Destroys every icon and empties the set.
    void clear();

    // Steps that complete a set built from a folder: TICON00 at 0 when the
    // folder gave no 0, and when the set then holds that one entry alone,
    // TICON01 .. TICON14 at their thresholds. loadBuiltIn(k) gives TICONkk.
    void completeWithBuiltIns(Icon (*loadBuiltIn)(int k, void* context), void* context);

  private:
    Icon icons_[MAX_ICON_THRESHOLD + 1] = {};
    bool present_[MAX_ICON_THRESHOLD + 1] = {};
    int count_ = 0;
    DestroyFn destroy_;
};
