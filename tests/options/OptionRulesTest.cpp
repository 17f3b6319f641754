// The icon folder's trailing backslash under CP932, where the second byte of
// a character can be 0x5C.
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
    EXPECT_EQ(Dropped("C:\\"), "C:");
    EXPECT_EQ(Dropped("C:\\icons\\\\"), "C:\\icons\\");
    EXPECT_EQ(Dropped(""), "");
    EXPECT_EQ(Dropped("C:\\\x83\x5c"), "C:\\\x83\x5c"); // "ソ" ends in 0x5C
    EXPECT_EQ(Dropped("C:\\\x83\x5c\\"), "C:\\\x83\x5c");
}

} // namespace
