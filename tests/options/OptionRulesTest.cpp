// Rules of the options that need no window.
#include "options/OptionRules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Dropped(const char* path) {
    char buf[64];
    std::strcpy(buf, path);
    DropTrailingBackslash(buf);
    return buf;
}

TEST(OptionRules, TrailingBackslashGoesButNeverHalfACharacter) {
    EXPECT_EQ(Dropped("C:\\icons\\"), "C:\\icons");
    EXPECT_EQ(Dropped("C:\\"), "C:");
    EXPECT_EQ(Dropped("C:\\icons\\\\"), "C:\\icons\\");
    EXPECT_EQ(Dropped(""), "");
    // "ソ" is 0x83 0x5C: its second byte looks like a backslash.
    EXPECT_EQ(Dropped("C:\\\x83\x5c"), "C:\\\x83\x5c");
    EXPECT_EQ(Dropped("C:\\\x83\x5c\\"), "C:\\\x83\x5c");
}

TEST(OptionRules, SkinFoldersOfferedOnlyWhenTheNameFitsWhole) {
    const std::string longest(SKINNAME_CAPACITY - 1, 'x');
    EXPECT_TRUE(OfferSkinFolder(longest.c_str()));
    EXPECT_FALSE(OfferSkinFolder((longest + "y").c_str()));
    EXPECT_FALSE(OfferSkinFolder("."));
    EXPECT_FALSE(OfferSkinFolder(".."));
}

TEST(OptionRules, OnlyTheLowerLogThresholdKeepsTheOpenLog) {
    const Settings live;
    Settings p = live;
    p.loglimitval = 40;
    EXPECT_FALSE(CompareOptions(live, p).logFile);
    void (*edits[])(Settings&) = {
        [](Settings& s) { s.logout = 1; },     [](Settings& s) { std::strcpy(s.logfile, "a"); },
        [](Settings& s) { s.tmrate2 = 2000; }, [](Settings& s) { s.logtime = 1; },
        [](Settings& s) { s.logappend = 1; },  [](Settings& s) { s.loglimit = 1; },
        [](Settings& s) { s.logchange = 1; },  [](Settings& s) { s.logchangeval = 5; }};
    for (auto edit : edits) {
        p = live;
        edit(p);
        EXPECT_TRUE(CompareOptions(live, p).logFile);
    }
}

} // namespace
