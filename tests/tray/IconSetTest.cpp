// The icon set from an icon folder's names and the icon a load shows, with
// stand-in handles: file i of the listing is 1000 + i, TICONkk is 1 + k, and
// a name after "!" is a file that does not load (an empty entry, 0).
#include "tray/IconSet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

int builtInLoads;
IconSet::Icon BuiltIn(int k, void*) {
    ++builtInLoads;
    return reinterpret_cast<IconSet::Icon>(static_cast<intptr_t>(1 + k));
}

struct Case {
    std::vector<std::string> names;
    int entries, builtIns;
    std::vector<std::pair<uint32_t, intptr_t>> picks; // load, icon
};

TEST(IconSet, FoldersAndTheIconOfEachLoad) {
    const std::vector<Case> cases = {
        {{}, 15, 15, {{5, 1}, {6, 2}, {12, 2}, {13, 3}, {27, 4}, {28, 5}, {55, 8}, {56, 9},
                      {98, 14}, {99, 15}, {100, 15}, {250, 15}}},
        {{"0.ico", "50.ico", "90.ico"}, 3, 0,
         {{0, 1000}, {49, 1000}, {50, 1001}, {89, 1001}, {90, 1002}, {100, 1002}}},
        {{"60.ico", "30.ico"}, 3, 1, {{29, 1}, {30, 1001}, {59, 1001}, {60, 1000}}},
        {{"0.ico"}, 15, 14, {{5, 1000}, {6, 2}, {100, 15}}},
        {{"40.ico"}, 2, 1, {{39, 1}, {40, 1000}, {100, 1000}}},
        {{"101.ico", "-5.ico", "readme.ico", "7-high.ico", ".ico", "99999999999.ico"}, 2, 1,
         {{6, 1}, {7, 1003}}},
        {{" 12.ico", "+20.ico", "-0.ico", "030.ico"}, 4, 0,
         {{0, 1002}, {12, 1000}, {20, 1001}, {30, 1003}}},
        {{"05.ico", "5.ico"}, 2, 1, {{5, 1000}}},
        {{"0.ico", "!50.ico"}, 2, 0, {{49, 1000}, {50, 0}, {100, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.names.empty() ? "no folder" : c.names[0]);
        builtInLoads = 0;
        IconSet set([](IconSet::Icon) {});
        for (size_t i = 0; i < c.names.size(); ++i) {
            bool fails = c.names[i][0] == '!';
            int threshold = set.placeFor(c.names[i].c_str() + fails);
            if (threshold >= 0)
                set.insert(threshold, fails ? nullptr : reinterpret_cast<IconSet::Icon>(1000 + i));
        }
        set.completeWithBuiltIns(BuiltIn, nullptr);
        EXPECT_EQ(set.size(), c.entries);
        EXPECT_EQ(builtInLoads, c.builtIns);
        for (const auto& p : c.picks)
            EXPECT_EQ(reinterpret_cast<intptr_t>(set.pick(p.first)), p.second) << p.first;
    }
}

} // namespace
