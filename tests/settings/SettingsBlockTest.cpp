// Section blocks as WritePrivateProfileSectionA takes them, the meter pair,
// and the cut of texts read at capacity.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "settings/SettingsBlock.h"

namespace {

// The block's entries joined by '\n', to compare against the file's lines.
std::string Lines(IniSection section, const Settings& s) {
    char block[SECTION_BLOCK_CAPACITY];
    size_t n = BuildSectionBlock(section, s, block, sizeof block);
    EXPECT_GT(n, 0u);
    EXPECT_EQ(block[n - 1], '\0');
    EXPECT_EQ(block[n], '\0') << "block must end with an empty entry";
    std::string out;
    for (const char* p = block; *p; p += strlen(p) + 1)
        out += std::string(p) + "\n";
    return out;
}

TEST(SettingsBlock, DefaultsGiveTheFirstStartFile) {
    Settings s;
    EXPECT_EQ(Lines(IniSection::Window, s),
              "posx=0\nposy=0\ncolum=1\nrow=1\nwintop=0\nwinhide=0\nacthide=0\n");
    EXPECT_EQ(Lines(IniSection::Option, s),
              "title=0\niconanim=0\nmulti=0\ntrans=0\nlog=0\nsnap=0\nsnapoffset=10\nmemory=0\n");
    EXPECT_EQ(Lines(IniSection::Config, s), "graph=0\ngline=1\nlayout=0\ntmrate=1000\ntrans=255\n"
                                            "trans2=0\nfont=Courier New\nfontsize=15\n");
    EXPECT_EQ(Lines(IniSection::Color, s),
              "color0=0x00ff00\ncolor1=0x00f0ff\ncolor2=0x0000ff\ngcolorbk=0xf0f0f0\n"
              "format_b=\x81\x79,\x81\x7a\nformat_0=CPU:_#0%\nformat_1=#i-#c%\nformat_d=/\n");
    EXPECT_EQ(Lines(IniSection::Log, s),
              "logout=0\ntmrate2=1000\nlogfile=\nlogappend=0\nlogtime=0\nloglimit=0\n"
              "loglimitval=0\nlogchange=0\nlogchangeval=0\n");
    EXPECT_EQ(Lines(IniSection::Ext, s),
              "bgtrans=0\ntextcolor=0xffffff\ntmrate3=3000\nusericon=0\niconpath=\n"
              "skinname=default\nkakusi=0\nmemback=6586496\nmemtext=15728640\nmemtype=0\n");
}

TEST(SettingsBlock, ExtremeValuesAndFullFieldsFit) {
    Settings s;
    s.posx = s.posy = INT32_MIN;
    s.colum = s.row = s.tmrate = s.logchangeval = INT32_MIN;
    s.color0 = s.textcolor = 0xffffffffu;
    s.memback = s.memtext = 0xffffffffu;
    memset(s.font, 'f', sizeof s.font - 1);
    memset(s.format_b, 'b', sizeof s.format_b - 1);
    memset(s.format_0, '0', sizeof s.format_0 - 1);
    memset(s.format_1, '1', sizeof s.format_1 - 1);
    memset(s.format_d, 'd', sizeof s.format_d - 1);
    memset(s.logfile, 'l', sizeof s.logfile - 1);
    memset(s.iconpath, 'i', sizeof s.iconpath - 1);
    memset(s.skinname, 's', sizeof s.skinname - 1);
    for (IniSection section : {IniSection::Window, IniSection::Option, IniSection::Config,
                               IniSection::Color, IniSection::Log, IniSection::Ext}) {
        char block[SECTION_BLOCK_CAPACITY];
        EXPECT_GT(BuildSectionBlock(section, s, block, sizeof block), 0u);
    }
    EXPECT_NE(Lines(IniSection::Ext, s).find("memback=-1\n"), std::string::npos);
    EXPECT_NE(Lines(IniSection::Ext, s).find("textcolor=0xffffffff\n"), std::string::npos);
    EXPECT_NE(Lines(IniSection::Window, s).find("posx=-2147483648\n"), std::string::npos);

    // A buffer that cannot take the whole block gets none of it.
    char small[40];
    EXPECT_EQ(BuildSectionBlock(IniSection::Window, s, small, sizeof small), 0u);
    EXPECT_STREQ(small, "");
}

TEST(SettingsBlock, SectionNamesOfBothLayouts) {
    EXPECT_STREQ(SectionName(IniSection::Color, false), "Config\\Color");
    EXPECT_STREQ(SectionName(IniSection::Ext, false), "Config\\Ext");
    EXPECT_STREQ(SectionName(IniSection::Window, true), "config");
    EXPECT_STREQ(SectionName(IniSection::Log, true), "config");
}

// Lists are written with '|' for each zero byte that ends a name.
std::string List(std::string names) {
    std::replace(names.begin(), names.end(), '|', '\0');
    return names + '\0';
}

TEST(SettingsBlock, OnlyAFileOfConfigAloneHasTheOldLayout) {
    struct Case {
        const char* sections;
        const char* windowKeys;
        bool old;
    } cases[] = {
        {"config|", "", true},
        {"Window|CONFIG|Other|", "colum|ROW|acthide|", true},
        // A hand-edited or cut [Window], whatever it lacks, is the current layout's.
        {"Window|Option|Config|Config\\Color|Config\\Log|Config\\Ext|", "posx|posy|", false},
        {"Window|Config|", "posx|wintop|", false},
        {"Window|config|", "colum|winhide|", false},
        {"Config|Config\\Ext|", "", false},
        {"config|option|", "", false},
        {"Config|config\\log|", "", false},
        // Without [config] nothing could be taken from it: no file, an empty one.
        {"", "", false},
        {"Window|Other|", "colum|", false},
        {"configs|", "", false}};
    for (const Case& c : cases)
        EXPECT_EQ(IsOldLayout(List(c.sections).data(), List(c.windowKeys).data()), c.old)
            << c.sections << " / " << c.windowKeys;
}

TEST(SettingsBlock, MeterPair) {
    struct Case {
        const char* text;
        int gradient, step;
    } cases[] = {{"0,0", 0, 0}, {"1,2", 1, 2}, {"1", 1, 0},       {"x,2", 0, 0},
                 {"1,x", 1, 0}, {"", 0, 0},    {"-3,-4", -3, -4}, {" 7,8", 7, 8}};
    for (const Case& c : cases) {
        int32_t g = 99, st = 99;
        ParseMeterPair(c.text, &g, &st);
        EXPECT_EQ(g, c.gradient) << c.text;
        EXPECT_EQ(st, c.step) << c.text;
    }
    char out[METER_TEXT_CAPACITY];
    FormatMeterPair(INT32_MIN, INT32_MIN, out, sizeof out);
    EXPECT_STREQ(out, "-2147483648"); // cut, never past the buffer
    FormatMeterPair(1, 2, out, sizeof out);
    EXPECT_STREQ(out, "1,2");
}

TEST(SettingsBlock, TextCutInsideADoubleByteCharacterLosesTheHalf) {
    // 31 bytes as the profile function leaves them: 15 characters "あ" and
    // the lead byte of a 16th.
    char font[32];
    std::string text;
    for (int i = 0; i < 15; ++i)
        text += "\x82\xa0";
    text += "\x82";
    memcpy(font, text.c_str(), text.size() + 1);
    TrimReadText(font, sizeof font);
    EXPECT_EQ(strlen(font), 30u);

    char whole[32] = "a\x82\xa0";
    TrimReadText(whole, sizeof whole);
    EXPECT_STREQ(whole, "a\x82\xa0");

    // A trail byte that looks like a lead byte is still a trail byte.
    char tricky[8] = "\x82\x82\x82";
    TrimReadText(tricky, sizeof tricky);
    EXPECT_STREQ(tricky, "\x82\x82");
    EXPECT_EQ(EffectiveLog(1, 0), 0);
    EXPECT_EQ(EffectiveLog(1, 1), 1);
    EXPECT_EQ(EffectiveLog(0, 1), 0);
}

} // namespace
