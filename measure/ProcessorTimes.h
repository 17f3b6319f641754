// The kernel's record of one processor's accumulated times, as this program
// reads it. Kept free of <windows.h> so the sampler and its arithmetic build
// and are tested on any host; PerfLayoutCheck.cpp holds it against
// <winternl.h> in the Windows build. The sampler hands its own array of these
// to the system call, so nothing is copied or converted on the way.
#pragma once
#include <cstdint>

// 100 ns units since the system started; the kernel time includes the idle
// time. The reserved fields are the kernel's and are never read.
struct ProcessorTimes {
    int64_t idle;
    int64_t kernel;
    int64_t user;
    int64_t reserved1[2];
    uint32_t reserved2;
};

static_assert(sizeof(ProcessorTimes) == 48, "the kernel's per-processor record (x86-64)");
