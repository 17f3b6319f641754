// A performance-data source for the sampler that plays prepared blocks and
// tick counts, answering "more data" the way Wine does (count left at 0).
// Each block played carries its tick count as its time, on the system clock
// (PerfTime100nSec) and on the performance counter alike.
#pragma once
#include <cstddef>
#include <cstring>
#include <vector>

#include "measure/LoadSampler.h"
#include "measure/PerfLayout.h"

struct FakeSource {
    std::vector<std::vector<uint8_t>> blocks; // one per query; the last repeats
    std::vector<uint32_t> ticks;              // one per block played; the last repeats
    // Where given, a block's times in 100 ns units instead: the system
    // clock's, and the performance counter's (at 10 MHz).
    std::vector<int64_t> stamps, counters;
    int moreData = 0;                         // answer "more data" this many times first
    uint32_t moreDataCount = 0;               // byte count left on "more data"
    bool fail = false;
    size_t queries = 0, closes = 0;
    std::vector<uint32_t> offered; // byte counts offered, one per call

    static int32_t Query(void* ctx, uint8_t* buffer, uint32_t* bytes) {
        FakeSource* f = static_cast<FakeSource*>(ctx);
        f->offered.push_back(*bytes);
        if (f->fail) return 2;
        if (f->moreData > 0) {
            --f->moreData;
            *bytes = f->moreDataCount;
            return PERF_MORE_DATA;
        }
        if (f->blocks.empty()) return 2;
        const std::vector<uint8_t>& b =
            f->blocks[f->queries < f->blocks.size() ? f->queries : f->blocks.size() - 1];
        if (b.size() > *bytes) {
            *bytes = 0; // the same block waits for a larger buffer
            return PERF_MORE_DATA;
        }
        if (!b.empty()) std::memcpy(buffer, b.data(), b.size());
        if (b.size() >= sizeof(PerfDataBlock)) {
            const int64_t stamp =
                At(f->stamps, f->queries, int64_t(At(f->ticks, f->queries, 0u)) * 10000);
            const int64_t times[3] = {At(f->counters, f->queries, stamp), 10000000, stamp};
            std::memcpy(buffer + offsetof(PerfDataBlock, PerfTime), times, sizeof times);
        }
        ++f->queries;
        *bytes = static_cast<uint32_t>(b.size());
        return 0;
    }
    template <class T> static T At(const std::vector<T>& v, size_t i, T otherwise) {
        return v.empty() ? otherwise : v[i < v.size() ? i : v.size() - 1];
    }
    // The tick count is that of the latest block played.
    static uint32_t Tick(void* ctx) {
        FakeSource* f = static_cast<FakeSource*>(ctx);
        return At(f->ticks, f->queries > 0 ? f->queries - 1 : 0, 0u);
    }
    static void Close(void* ctx) { ++static_cast<FakeSource*>(ctx)->closes; }

    PerfSource source() {
        PerfSource s;
        s.query = Query;
        s.tickCount = Tick;
        s.close = Close;
        s.context = this;
        return s;
    }
};
