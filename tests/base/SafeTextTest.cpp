#include "base/SafeText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// "あ" is 0x82 0xA0 in CP932; its trail byte is also a valid single byte
// range in other contexts, which is what makes a split dangerous.
const char kA[] = "\x82\xa0";

bool EndsOnBoundary(const char* s) {
    size_t n = strlen(s), pos = 0;
    while (pos < n)
        pos += IsLeadByte932(static_cast<unsigned char>(s[pos])) ? 2 : 1;
    return pos == n;
}

TEST(SafeText, CopyCutsAtCharacterBoundaryForEveryCapacity) {
    std::string src = std::string("ab") + kA + "c" + kA + kA;
    for (size_t cap = 1; cap <= src.size() + 2; ++cap) {
        char buf[32];
        memset(buf, 'x', sizeof buf);
        size_t n = CopyText(buf, cap, src.c_str());
        ASSERT_LT(n, cap) << "cap " << cap;
        ASSERT_EQ(n, strlen(buf));
        EXPECT_TRUE(EndsOnBoundary(buf)) << "cap " << cap;
        EXPECT_EQ(src.compare(0, n, buf), 0);
        EXPECT_EQ(buf[cap], 'x') << "wrote past the capacity";
        if (cap > src.size()) EXPECT_EQ(n, src.size());
    }
}

TEST(SafeText, AppendKeepsTerminatorAndBoundary) {
    char buf[8] = "abc";
    AppendText(buf, sizeof buf, kA);
    EXPECT_STREQ(buf, (std::string("abc") + kA).c_str());
    size_t n = AppendText(buf, sizeof buf, kA); // 5 + 2 > 7: does not fit
    EXPECT_EQ(n, 7u);
    EXPECT_TRUE(EndsOnBoundary(buf));
    EXPECT_EQ(AppendText(buf, sizeof buf, "zzzz"), 7u);
}

TEST(SafeText, FormatNeverSplitsADoubleByteCharacter) {
    for (size_t cap = 1; cap <= 12; ++cap) {
        char buf[16];
        memset(buf, 'x', sizeof buf);
        size_t n = FormatText(buf, cap, "%d%s%s", 7, kA, kA);
        ASSERT_LT(n, cap);
        EXPECT_EQ(n, strlen(buf));
        EXPECT_TRUE(EndsOnBoundary(buf)) << "cap " << cap;
        EXPECT_EQ(buf[cap], 'x');
    }
    char buf[16];
    EXPECT_EQ(FormatText(buf, sizeof buf, "%s %d%%", "CPU", 42), 7u);
    EXPECT_STREQ(buf, "CPU 42%");
}

TEST(SafeText, BrokenTextWithTrailingLeadByteIsNotOverread) {
    const char broken[] = "ab\x82"; // lead byte without its trail
    char buf[8];
    EXPECT_EQ(CopyText(buf, sizeof buf, broken), 3u);
    EXPECT_EQ(CopyText(buf, 3, broken), 2u);
    EXPECT_EQ(CutLength932(broken, 3, 3), 3u);
}

} // namespace

namespace {

TEST(SafeText, FolderEndsAtTheLastRealBackslash) {
    // 表 is 0x95 0x5C: its trail byte is not a separator.
    EXPECT_EQ(FolderLength932("C:\\\x95\x5c\x8e\xa6\\\x95\x5c\x8e\xa6.exe"), 8u);
    EXPECT_EQ(FolderLength932("C:\\tools\\vantor.exe"), 9u);
    EXPECT_EQ(FolderLength932("vantor.exe"), 0u);
    EXPECT_EQ(FolderLength932("C:\\dir\\\x95"), 7u); // a lead byte at the end stands alone
}

} // namespace
