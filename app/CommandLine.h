// The one command-line option, /E:delay,threshold,seconds (auto-exit).
#pragma once
#include <cstdint>

struct ExitOption {
    int32_t delay = -1;     // seconds until the watch starts; <= 0: no auto-exit
    int32_t threshold = -1; // percent; < 0: exit as soon as the delay has run out
    int32_t duration = 0;   // milliseconds at or below the threshold before exiting
};

// Reads the option from a command line. "-" may stand for "/" and case does
// not matter. Numbers that are missing or unreadable keep their defaults;
// scanning stops at the first mismatch. Numbers beyond 32 bits are clamped.
ExitOption ParseExitOption(const char* commandLine);
