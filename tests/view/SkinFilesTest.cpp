// What counts as a skin folder beside the program.
#include <gtest/gtest.h>

#include <string>

#include "view/SkinFiles.h"

namespace {

TEST(SkinFolder, OnlyOneFolderNameBesideTheProgram) {
    char out[260];
    ASSERT_TRUE(SkinFolderPath("C:\\app\\", "night", out, sizeof out));
    EXPECT_STREQ(out, "C:\\app\\night\\");
    ASSERT_TRUE(SkinFolderPath("C:\\app\\", "", out, sizeof out));
    EXPECT_STREQ(out, "C:\\app\\");
    // 表示 carries a 0x5C trail byte and is still one name.
    EXPECT_TRUE(SkinFolderPath("C:\\app\\", "\x95\x5c\x8e\xa6", out, sizeof out));
    for (const char* bad : {"..\\evil", "..", "a/b", "sub\\dir", "C:evil", "\\\\host\\share"})
        EXPECT_FALSE(SkinFolderPath("C:\\app\\", bad, out, sizeof out)) << bad;
    // The folder must leave room for its longest file name ("backLT.bmp").
    const std::string deep = "C:\\" + std::string(181, 'd') + "\\";
    EXPECT_TRUE(SkinFolderPath(deep.c_str(), std::string(63, 's').c_str(), out, 260));
    EXPECT_FALSE(SkinFolderPath(deep.c_str(), std::string(64, 's').c_str(), out, 260));
    EXPECT_STREQ(out, "");
}

} // namespace
