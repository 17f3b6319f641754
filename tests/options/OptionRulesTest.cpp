// The options' rules that need no window: interval floors, the icon folder's
// trailing backslash, the title formats' spaces, which skin folders can be
// offered, and which renewals a changed working copy asks for.
#include "options/OptionRules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(TimerPeriod, EmptyZeroOrNegativeIntervalsWaitTheFloorOthersAsTyped) {
    EXPECT_EQ(TimerPeriod(0), MIN_TIMER_PERIOD_MS);
    EXPECT_EQ(TimerPeriod(-5), MIN_TIMER_PERIOD_MS);
    EXPECT_EQ(TimerPeriod(1), MIN_TIMER_PERIOD_MS);
    EXPECT_EQ(TimerPeriod(static_cast<int32_t>(MIN_TIMER_PERIOD_MS)), MIN_TIMER_PERIOD_MS);
    EXPECT_EQ(TimerPeriod(250), 250u);   // below the slider, still honoured
    EXPECT_EQ(TimerPeriod(60000), 60000u);
}

std::string Dropped(const char* path) {
    char buf[64];
    std::strcpy(buf, path);
    DropTrailingBackslash(buf);
    return buf;
}

TEST(DropTrailingBackslash, RemovesOneSeparatorButNeverHalfACharacter) {
    EXPECT_EQ(Dropped("C:\\icons\\"), "C:\\icons");
    EXPECT_EQ(Dropped("C:\\"), "C:");
    EXPECT_EQ(Dropped("C:\\icons\\\\"), "C:\\icons\\"); // one character only
    EXPECT_EQ(Dropped("C:\\icons"), "C:\\icons");
    EXPECT_EQ(Dropped(""), "");
    EXPECT_EQ(Dropped("\\"), "");
    // "ソ" is 0x83 0x5C: its second byte looks like a backslash.
    EXPECT_EQ(Dropped("C:\\\x83\x5c"), "C:\\\x83\x5c");
    EXPECT_EQ(Dropped("C:\\\x83\x5c\\"), "C:\\\x83\x5c");
    // A half character left at the end by a broken text is one character.
    EXPECT_EQ(Dropped("a\x83"), "a\x83");
}

TEST(SpacesToUnderscores, EverySpaceAndNothingElse) {
    char text[32] = "CPU: #0% ";
    SpacesToUnderscores(text);
    EXPECT_STREQ(text, "CPU:_#0%_");
    char japanese[] = "\x81\x79 \x83\x5c \x81\x7a"; // 【 ソ 】
    SpacesToUnderscores(japanese);
    EXPECT_STREQ(japanese, "\x81\x79_\x83\x5c_\x81\x7a");
}

TEST(OfferSkinFolder, OnlyRealNamesThatFitSkinname) {
    EXPECT_TRUE(OfferSkinFolder("blue"));
    EXPECT_FALSE(OfferSkinFolder("."));
    EXPECT_FALSE(OfferSkinFolder(".."));
    EXPECT_FALSE(OfferSkinFolder(""));
    const std::string longest(SKINNAME_CAPACITY - 1, 'x');
    EXPECT_TRUE(OfferSkinFolder(longest.c_str()));
    EXPECT_FALSE(OfferSkinFolder((longest + "y").c_str()));
}

TEST(CompareOptions, EachRenewalFollowsOnlyItsOwnSettings) {
    const Settings live;
    Settings same = live;
    const OptionChanges none = CompareOptions(live, same);
    EXPECT_FALSE(none.samplePeriod || none.font || none.graphBack || none.logFile ||
                 none.desktopText || none.memoryItem || none.meterBrush[0] ||
                 none.meterBrush[1] || none.meterBrush[2]);

    Settings p = live;
    std::strcpy(p.font, "Arial");
    EXPECT_TRUE(CompareOptions(live, p).font);
    p = live;
    p.fontsize = live.fontsize + 1;
    EXPECT_TRUE(CompareOptions(live, p).font);

    p = live;
    p.color1 = 0x123456;
    OptionChanges c = CompareOptions(live, p);
    EXPECT_FALSE(c.meterBrush[0]);
    EXPECT_TRUE(c.meterBrush[1]);
    EXPECT_FALSE(c.graphBack);

    p = live;
    p.tmrate3 = 500;
    EXPECT_TRUE(CompareOptions(live, p).desktopText);
    EXPECT_FALSE(CompareOptions(live, p).samplePeriod);
    p = live;
    p.kakusi = 1;
    EXPECT_TRUE(CompareOptions(live, p).memoryItem);
}

TEST(CompareOptions, OnlyTheLowerThresholdKeepsTheOpenLog) {
    const Settings live;
    Settings p = live;
    p.loglimitval = 40;
    EXPECT_FALSE(CompareOptions(live, p).logFile);

    // Every other log setting changes the file's name, header or rows.
    auto changedBy = [&](void (*edit)(Settings&)) {
        Settings q = live;
        edit(q);
        return CompareOptions(live, q).logFile;
    };
    EXPECT_TRUE(changedBy([](Settings& s) { s.logout = 1; }));
    EXPECT_TRUE(changedBy([](Settings& s) { std::strcpy(s.logfile, "a.log"); }));
    EXPECT_TRUE(changedBy([](Settings& s) { s.tmrate2 = 2000; }));
    EXPECT_TRUE(changedBy([](Settings& s) { s.logtime = 1; }));
    EXPECT_TRUE(changedBy([](Settings& s) { s.logappend = 1; }));
    EXPECT_TRUE(changedBy([](Settings& s) { s.loglimit = 1; }));
    EXPECT_TRUE(changedBy([](Settings& s) { s.logchange = 1; }));
    EXPECT_TRUE(changedBy([](Settings& s) { s.logchangeval = 5; }));
}

} // namespace
