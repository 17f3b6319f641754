#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

void ExpectOption(const char* line, int delay, int threshold, int durationMs) {
    ExitOption o = ParseExitOption(line);
    EXPECT_EQ(o.delay, delay) << line;
    EXPECT_EQ(o.threshold, threshold) << line;
    EXPECT_EQ(o.duration, durationMs) << line;
}

TEST(ExitOption, FormsOfTheOption) {
    ExpectOption("", -1, -1, 0);
    ExpectOption("/E:2", 2, -1, 0);
    ExpectOption("/E:1,100", 1, 100, 0);
    ExpectOption("-e:1,100", 1, 100, 0);
    ExpectOption("/e:10,5,30", 10, 5, 30000);
    ExpectOption("-E:10,5,30", 10, 5, 30000);
    ExpectOption("/E:0,10,30", 0, 10, 30000);
    ExpectOption("/E:1,50,2", 1, 50, 2000);
    ExpectOption("\"C:\\Program Files\\vantor.exe\" /E:60,20,10", 60, 20, 10000);
}

TEST(ExitOption, MalformedOptionsKeepTheirDefaults) {
    ExpectOption("/E:", -1, -1, 0);
    ExpectOption("/E", -1, -1, 0);
    ExpectOption("/E:x", -1, -1, 0);
    ExpectOption("/E:5,", 5, -1, 0);
    ExpectOption("/E:5,x,3", 5, -1, 0);
    ExpectOption("/E:5;10", 5, -1, 0);
    ExpectOption("/X:5", -1, -1, 0);
}

TEST(ExitOption, OutOfRangeNumbersAreClamped) {
    ExpectOption("/E:99999999999,1,1", INT_MAX, 1, 1000);
    // Every "-" reads as "/", so a minus sign makes a number unreadable.
    ExpectOption("/E:1,-5,1", 1, -1, 0);
    // 3 000 000 s would overflow the milliseconds.
    ExpectOption("/E:1,1,3000000", 1, 1, INT_MAX);
    ExpectOption("/E:1,1,-5", 1, 1, 0);
}

TEST(ExitOption, DoubleByteTrailBytesAreNotTakenForLetters) {
    // 0x83 0x65 is a katakana character whose trail byte is 'e'; together
    // with a preceding "-" it must not read as "-e".
    ExpectOption("-\x83\x65:5", -1, -1, 0);
    ExpectOption("\x83\x65 /E:3", 3, -1, 0);
}

} // namespace
