// Building the tray icon set from an icon folder's file names and choosing
// the icon of a load, with stand-in handles: files are 1000 + their place in
// the listing, built-in TICONkk is 1 + k, and 0 is a file that did not load.
#include "tray/IconSet.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<intptr_t> destroyed;
int builtInLoads;

void Destroy(IconSet::Icon icon) {
    destroyed.push_back(reinterpret_cast<intptr_t>(icon));
}

IconSet::Icon BuiltIn(int k, void*) {
    ++builtInLoads;
    return reinterpret_cast<IconSet::Icon>(static_cast<intptr_t>(1 + k));
}

const intptr_t FAILED = -1; // a listed file whose load fails
intptr_t File(int place) { return 1000 + place; }
intptr_t Ticon(int k) { return 1 + k; }

// The folder's files in listing order, then the set completed as the
// program completes it.
// A name after "!" stands for a file that does not load.
void Build(IconSet& set, const std::vector<std::string>& names) {
    for (size_t i = 0; i < names.size(); ++i) {
        bool fails = names[i][0] == '!';
        int threshold = set.placeFor(names[i].c_str() + (fails ? 1 : 0));
        if (threshold < 0) continue;
        set.insert(threshold, fails ? nullptr
                                    : reinterpret_cast<IconSet::Icon>(File(static_cast<int>(i))));
    }
    set.completeWithBuiltIns(BuiltIn, nullptr);
}

struct Pick {
    uint32_t load;
    intptr_t icon; // FAILED: the pick is empty and the shown icon stays
};

struct FolderCase {
    const char* what;
    std::vector<std::string> names;
    int entries;
    int builtIns; // built-in icons loaded
    std::vector<Pick> picks;
};

TEST(IconSet, FoldersAndLoads) {
    const std::vector<FolderCase> cases = {
        {"no folder: the built-in set",
         {},
         15,
         15,
         {{0, Ticon(0)}, {5, Ticon(0)}, {6, Ticon(1)}, {12, Ticon(1)}, {13, Ticon(2)},
          {27, Ticon(3)}, {28, Ticon(4)}, {55, Ticon(7)}, {56, Ticon(8)}, {98, Ticon(13)},
          {99, Ticon(14)}, {100, Ticon(14)}, {250, Ticon(14)}}},
        {"0, 50 and 90: the folder alone",
         {"0.ico", "50.ico", "90.ico"},
         3,
         0,
         {{0, File(0)}, {49, File(0)}, {50, File(1)}, {89, File(1)}, {90, File(2)},
          {100, File(2)}}},
        {"30 and 60: TICON00 below the first",
         {"60.ico", "30.ico"},
         3,
         1,
         {{0, Ticon(0)}, {29, Ticon(0)}, {30, File(1)}, {59, File(1)}, {60, File(0)},
          {100, File(0)}}},
        {"only 0: the built-ins above it",
         {"0.ico"},
         15,
         14,
         {{0, File(0)}, {5, File(0)}, {6, Ticon(1)}, {100, Ticon(14)}}},
        {"only 40: two entries", {"40.ico"}, 2, 1, {{39, Ticon(0)}, {40, File(0)}, {100, File(0)}}},
        {"names that give no load, and one that does",
         {"101.ico", "-5.ico", "readme.ico", "7-high.ico", ".ico", "99999999999.ico"},
         2,
         1,
         {{6, Ticon(0)}, {7, File(3)}, {100, File(3)}}},
        {"blanks, a sign and leading zeros",
         {" 12.ico", "+20.ico", "-0.ico", "030.ico"},
         4,
         0,
         {{0, File(2)}, {12, File(0)}, {20, File(1)}, {30, File(3)}}},
        {"5 and 05: the first met keeps 5", {"05.ico", "5.ico"}, 2, 1, {{5, File(0)}}},
        {"a file that does not load leaves its place empty",
         {"0.ico", "!50.ico"},
         2,
         0,
         {{49, File(0)}, {50, FAILED}, {100, FAILED}}},
    };
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.what);
        builtInLoads = 0;
        IconSet set(Destroy);
        Build(set, c.names);
        EXPECT_EQ(set.size(), c.entries);
        EXPECT_EQ(builtInLoads, c.builtIns);
        EXPECT_TRUE(set.has(0));
        for (const Pick& p : c.picks) {
            intptr_t got = reinterpret_cast<intptr_t>(set.pick(p.load));
            EXPECT_EQ(got, p.icon == FAILED ? 0 : p.icon) << "load " << p.load;
        }
    }
}

TEST(IconSet, BuiltInThresholdsMatchTheirBands) {
    const int expected[BUILTIN_ICON_COUNT] = {0,  6,  13, 20, 28, 35, 42, 49,
                                              56, 63, 70, 78, 85, 92, 99};
    for (int k = 0; k < BUILTIN_ICON_COUNT; ++k)
        EXPECT_EQ(BuiltInIconThreshold(k), expected[k]) << "TICON" << k;
}

// Every handle given to the set is destroyed exactly once: the newcomer at a
// taken place at once, the rest when the set is cleared or goes away.
TEST(IconSet, OwnsEveryIconItIsGiven) {
    destroyed.clear();
    {
        IconSet set(Destroy);
        EXPECT_TRUE(set.insert(5, reinterpret_cast<IconSet::Icon>(File(0))));
        EXPECT_FALSE(set.insert(5, reinterpret_cast<IconSet::Icon>(File(1))));
        EXPECT_FALSE(set.insert(101, reinterpret_cast<IconSet::Icon>(File(2))));
        EXPECT_FALSE(set.insert(-1, reinterpret_cast<IconSet::Icon>(File(3))));
        EXPECT_TRUE(set.insert(7, nullptr));
        EXPECT_EQ(destroyed, (std::vector<intptr_t>{File(1), File(2), File(3)}));
        EXPECT_EQ(set.size(), 2);
    }
    EXPECT_EQ(destroyed, (std::vector<intptr_t>{File(1), File(2), File(3), File(0)}));

    destroyed.clear();
    builtInLoads = 0;
    IconSet set(Destroy);
    for (int round = 0; round < 1000; ++round) {
        set.clear();
        Build(set, {"0.ico", "40.ico", "40-again.ico", "x.ico"});
    }
    // Each round loads 0.ico and 40.ico (the duplicate is never handed over).
    EXPECT_EQ(builtInLoads, 0);
    EXPECT_EQ(destroyed.size(), 999u * 2);
    set.clear();
    EXPECT_EQ(destroyed.size(), 1000u * 2);
    EXPECT_EQ(set.size(), 0);
    EXPECT_EQ(set.pick(50), nullptr);
}

} // namespace
