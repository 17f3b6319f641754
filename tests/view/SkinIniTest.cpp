// Number lists of skin.ini: colours with their limits, paddings that keep
// what a short value leaves out.
#include <gtest/gtest.h>

#include "view/SkinIni.h"

namespace {

TEST(SkinNumbers, ReadsSignedNumbersUntilTheFirstNonNumber) {
    int32_t n[4] = {7, 7, 7, 7};
    EXPECT_EQ(ParseSkinNumbers("  12\t-3 +4 9", n, 4), 4);
    EXPECT_EQ(n[0], 12);
    EXPECT_EQ(n[1], -3);
    EXPECT_EQ(n[2], 4);
    EXPECT_EQ(n[3], 9);
    int32_t m[4] = {7, 7, 7, 7};
    EXPECT_EQ(ParseSkinNumbers("5 6x 8", m, 4), 2); // "x" stops the list
    EXPECT_EQ(m[2], 7);
    EXPECT_EQ(ParseSkinNumbers("1 2 3 4 5", m, 3), 3); // trailing text ignored
    EXPECT_EQ(ParseSkinNumbers("", m, 3), 0);
    EXPECT_EQ(ParseSkinNumbers("- 5", m, 3), 0);
    EXPECT_EQ(ParseSkinNumbers("99999999999999999999 -99999999999", m, 2), 2);
    EXPECT_EQ(m[0], INT32_MAX);
    EXPECT_EQ(m[1], INT32_MIN);
}

TEST(SkinColour, LimitsEachChannel) {
    EXPECT_EQ(ParseSkinColour("220 220 220"), 0xdcdcdcu);
    EXPECT_EQ(ParseSkinColour("300 -5 128"), 0x80ffffu); // R 255, G 255, B 128
    EXPECT_EQ(ParseSkinColour("1 2 3 garbage"), 0x030201u);
    EXPECT_EQ(ParseSkinColour("10 20"), 0x00140au); // unread blue is 0
    EXPECT_EQ(ParseSkinColour("junk"), 0u);
}

TEST(SkinPadding, ShortValuesKeepTheOtherMargins) {
    int32_t l = 1, t = 1, r = 9, b = 9;
    ParseSkinPadding("2 2", l, t, r, b);
    EXPECT_EQ(l, 2);
    EXPECT_EQ(t, 2);
    EXPECT_EQ(r, 9);
    EXPECT_EQ(b, 9);
    ParseSkinPadding("4 8 4 8 100", l, t, r, b);
    EXPECT_EQ(r, 4);
    EXPECT_EQ(b, 8);
    ParseSkinPadding("-3 0 -1 2", l, t, r, b); // no limits
    EXPECT_EQ(l, -3);
    EXPECT_EQ(r, -1);
}

} // namespace
