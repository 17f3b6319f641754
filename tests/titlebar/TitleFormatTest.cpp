// The compiled title formats and the load texts built from them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "titlebar/TitleFormat.h"

namespace {

TitleFormats Compile(const char* b, const char* f0, const char* f1, const char* d) {
    TitleFormats f;
    InitCpuFormatters(f);
    CompileTitleFormats(f, b, f0, f1, d);
    return f;
}

std::string Text(const TitleFormats& f, std::initializer_list<uint32_t> loads) {
    uint32_t l[65] = {};
    int n = 0;
    for (uint32_t v : loads)
        l[n++] = v;
    char out[LOAD_TEXT_CAPACITY];
    size_t len = FormatLoadText(f, l, n - 1, out, sizeof out);
    EXPECT_EQ(len, strlen(out));
    return out;
}

// True when no byte of s is a lead byte left without its trail byte.
bool WholeCharacters(const char* s) {
    for (size_t i = 0; s[i]; ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if ((c >= 0x81 && c <= 0x9f) || (c >= 0xe0 && c <= 0xfc)) {
            if (!s[i + 1]) return false;
            ++i;
        }
    }
    return true;
}

const char* OPEN = "\x81\x79";
const char* CLOSE = "\x81\x7a";

TEST(TitleFormat, DefaultsCompileAndFormat) {
    TitleFormats f = Compile("\x81\x79,\x81\x7a", "CPU:_#0%", "#i-#c%", "/");
    EXPECT_EQ(std::string(f.titleHead), std::string(OPEN) + "CPU: %lu%%");
    EXPECT_STREQ(f.titleTail, CLOSE);
    EXPECT_STREQ(f.cpuFormat, "%d-%lu%%");
    EXPECT_EQ(f.cpuFormatterKind, 2);
    EXPECT_STREQ(f.titleSeparator, "/");
    EXPECT_EQ(Text(f, {12, 10, 14}), std::string(OPEN) + "CPU: 12%/1-10%/2-14%" + CLOSE);
    EXPECT_EQ(Text(f, {12}), std::string(OPEN) + "CPU: 12%" + CLOSE);
}

TEST(TitleFormat, EnclosureWithoutAndWithSeveralCommas) {
    TitleFormats f = Compile("[", "#0", "#c", "");
    EXPECT_STREQ(f.titleTail, "");
    EXPECT_EQ(Text(f, {5}), "[5");
    f = Compile("(,),!", "#0", "#c", "");
    EXPECT_STREQ(f.titleTail, "),!");
    EXPECT_EQ(Text(f, {5}), "(5),!");
    // A percent sign in the enclosure prints once, wherever it stands.
    f = Compile("%d%s,%n", "#0", "#c", "");
    EXPECT_EQ(Text(f, {5}), "%d%s5%n");
}

TEST(TitleFormat, TotalPlaceholderTwiceAndAbsent) {
    EXPECT_EQ(Text(Compile("", "#0_#0", "#c", ""), {42}), "42 #0");
    TitleFormats f = Compile("", "CPU%", "#c", "");
    EXPECT_STREQ(f.titleHead, "CPU%%");
    EXPECT_EQ(Text(f, {42}), "CPU%");
}

TEST(TitleFormat, FourKindsOfProcessorText) {
    TitleFormats f = Compile("", "#0", "#c%_(#i)", ",");
    EXPECT_EQ(f.cpuFormatterKind, 1);
    EXPECT_EQ(Text(f, {9, 10, 20}), "9,10% (1),20% (2)");
    f = Compile("", "#0", "Core#i", ",");
    EXPECT_EQ(f.cpuFormatterKind, 0);
    EXPECT_EQ(Text(f, {9, 10, 20}), "9,Core#i,Core#i");
    f = Compile("", "#0", "CPU%", ",");
    EXPECT_EQ(f.cpuFormatterKind, 0);
    EXPECT_EQ(Text(f, {9, 10}), "9,CPU%");
    f = Compile("", "#0", "#c", ",");
    EXPECT_EQ(f.cpuFormatterKind, 3);
    EXPECT_EQ(Text(f, {9, 10, 100}), "9,10,100");
    // Only the first of each placeholder is filled in.
    f = Compile("", "#0", "#i#c#i#c", "");
    EXPECT_EQ(Text(f, {0, 7}), "017#i#c");
}

TEST(TitleFormat, UnderscoresBecomeSpacesButNotTrailBytes) {
    TitleFormats f = Compile("_[_,_]_", "_#0_", "_#c_", "_|_");
    EXPECT_EQ(Text(f, {1, 2}), " [  1  |  2  ] ");
    // 0x5f is the trail byte of some double-byte characters.
    f = Compile("\x83\x5f", "#0", "#c", "");
    EXPECT_STREQ(f.titleHead, "\x83\x5f%lu");
}

TEST(TitleFormat, LeadByteBeforePercentDoesNotHideIt) {
    // A lead byte followed by a byte that cannot trail it is a broken
    // character of its own; the percent sign after it is still doubled.
    TitleFormats f = Compile("\x81%n,", "\x81%s#0", "\x81%x#c", "");
    char letters[8];
    EXPECT_TRUE(ListConversions(f.titleHead, letters, sizeof letters));
    EXPECT_STREQ(letters, "u");
    EXPECT_TRUE(ListConversions(f.cpuFormat, letters, sizeof letters));
    EXPECT_STREQ(letters, "u");
    EXPECT_EQ(Text(f, {3, 4}), "\x81%n\x81%s3\x81%x4");
}

TEST(TitleFormat, LongestAndAllPercentStringsStayInBounds) {
    std::string b(19, '%'), f0(23, '%'), f1(23, '%'), d(7, '%');
    TitleFormats f = Compile(b.c_str(), f0.c_str(), f1.c_str(), d.c_str());
    char letters[8];
    EXPECT_TRUE(ListConversions(f.titleHead, letters, sizeof letters));
    EXPECT_STREQ(letters, "");
    EXPECT_EQ(strlen(f.titleHead) % 2, 0u); // only whole "%%" pairs
    EXPECT_EQ(f.cpuFormatterKind, 0);
    std::string t = Text(f, {100, 100});
    EXPECT_LT(t.size(), size_t(LOAD_TEXT_CAPACITY));

    // Percent signs around the placeholders: the conversions survive or are
    // left out whole, never cut.
    f1 = std::string(10, '%') + "#c" + std::string(9, '%') + "#i";
    f = Compile(b.c_str(), ("#0" + std::string(21, '%')).c_str(), f1.c_str(), d.c_str());
    EXPECT_TRUE(ListConversions(f.titleHead, letters, sizeof letters));
    EXPECT_STREQ(letters, ""); // the enclosure filled the head first
    EXPECT_TRUE(ListConversions(f.cpuFormat, letters, sizeof letters));
    EXPECT_STREQ(letters, "u"); // "%d" no longer fitted after the doubled signs
    t = Text(f, {100, 100, 100});
    EXPECT_LT(t.size(), size_t(LOAD_TEXT_CAPACITY));
    EXPECT_NE(t.find("100"), std::string::npos);
}

TEST(TitleFormat, DoubleByteCharactersAreNeverCut) {
    // Shift a run of double-byte characters by every offset so that each
    // capacity limit falls once inside a character.
    for (int shift = 0; shift < 4; ++shift) {
        std::string pad(shift, 'a');
        std::string kanji;
        for (int i = 0; i < 20; ++i)
            kanji += "\x8a\xbf";
        std::string b = (pad + kanji).substr(0, 19), f0 = (pad + kanji).substr(0, 23);
        std::string f1 = (pad + kanji).substr(0, 21) + "#c", d = (pad + kanji).substr(0, 7);
        // Strings cut from a run may end in a lone lead byte; keep them whole.
        for (std::string* s : {&b, &f0, &d})
            if (!WholeCharacters(s->c_str())) s->pop_back();
        TitleFormats f = Compile((b + "," + pad + kanji.substr(0, 10)).c_str(), f0.c_str(),
                                 f1.c_str(), d.c_str());
        EXPECT_TRUE(WholeCharacters(f.titleHead)) << shift;
        EXPECT_TRUE(WholeCharacters(f.titleTail)) << shift;
        EXPECT_TRUE(WholeCharacters(f.cpuFormat)) << shift;
        EXPECT_TRUE(WholeCharacters(f.titleSeparator)) << shift;
        std::string t = Text(f, {50, 50, 50, 50});
        EXPECT_TRUE(WholeCharacters(t.c_str())) << shift;
        EXPECT_EQ(t.substr(t.size() - strlen(f.titleTail)), f.titleTail) << shift;
    }
}

TEST(TitleFormat, SixtyFourProcessorsKeepTheClosingText) {
    TitleFormats f = Compile("\x81\x79,\x81\x7a", "CPU:_#0%", "#i-#c%", "/");
    uint32_t loads[65];
    for (int i = 0; i <= 64; ++i)
        loads[i] = 100;
    char out[LOAD_TEXT_CAPACITY];
    size_t len = FormatLoadText(f, loads, 64, out, sizeof out);
    ASSERT_LT(len, sizeof out);
    std::string t(out);
    EXPECT_EQ(t.substr(t.size() - 2), CLOSE);
    // Entries that did not fit are left out whole: what is shown is the
    // head and entries 1, 2, 3 ... each complete, then the closing text.
    std::string all = std::string(OPEN) + "CPU: 100%";
    for (int i = 1; i <= 64; ++i)
        all += "/" + std::to_string(i) + "-100%";
    std::string body = t.substr(0, t.size() - 2);
    EXPECT_EQ(all.compare(0, body.size(), body), 0);
    EXPECT_EQ(all[body.size()], '/');
    EXPECT_GT(body.size(), 60u);
}

} // namespace
