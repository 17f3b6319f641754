// What counts as a skin folder and as an acceptable skin bitmap.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

std::vector<uint8_t> Header(uint32_t infoSize, int32_t w, int32_t h) {
    std::vector<uint8_t> b(54, 0);
    b[0] = 'B', b[1] = 'M';
    auto put = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put(14, infoSize);
    if (infoSize == 12) {
        b[18] = w & 0xff, b[19] = (w >> 8) & 0xff, b[20] = h & 0xff, b[21] = (h >> 8) & 0xff;
    } else {
        put(18, static_cast<uint32_t>(w));
        put(22, static_cast<uint32_t>(h));
    }
    return b;
}

TEST(SkinBitmap, PiecesBeyondTheLimitAreRefused) {
    auto ok = [](const std::vector<uint8_t>& b) {
        return SkinBitmapSizeAccepted(b.data(), b.size());
    };
    EXPECT_TRUE(ok(Header(40, 100, 100)));
    EXPECT_TRUE(ok(Header(40, 1024, -1024))); // top-down
    EXPECT_TRUE(ok(Header(12, 16, 16)));      // old core header
    EXPECT_FALSE(ok(Header(40, 8000, 8000)));
    EXPECT_FALSE(ok(Header(40, 16, INT32_MIN)));
    EXPECT_FALSE(ok(Header(40, 0, 16)));
    EXPECT_FALSE(ok(Header(12, 2000, 16)));
    EXPECT_FALSE(ok(Header(124, 1025, 1)));
    std::vector<uint8_t> text = Header(40, 16, 16);
    text[0] = 'M';
    EXPECT_FALSE(ok(text));
    EXPECT_FALSE(SkinBitmapSizeAccepted(text.data(), 20)); // too short to tell
}

} // namespace
