// A performance-data source for the sampler that plays prepared blocks and
// tick counts, answering "more data" the way Wine does (count left at 0).
#pragma once
#include <cstring>
#include <vector>

#include "measure/LoadSampler.h"

struct FakeSource {
    std::vector<std::vector<uint8_t>> blocks; // one per query; the last repeats
    std::vector<uint32_t> ticks;              // one per tick read; the last repeats
    int moreData = 0;                         // answer "more data" this many times first
    uint32_t moreDataCount = 0;               // byte count left on "more data"
    bool fail = false;
    size_t queries = 0, tickReads = 0, closes = 0;
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
        ++f->queries;
        if (!b.empty()) std::memcpy(buffer, b.data(), b.size());
        *bytes = static_cast<uint32_t>(b.size());
        return 0;
    }
    static uint32_t Tick(void* ctx) {
        FakeSource* f = static_cast<FakeSource*>(ctx);
        if (f->ticks.empty()) return 0;
        uint32_t t = f->ticks[f->tickReads < f->ticks.size() ? f->tickReads : f->ticks.size() - 1];
        ++f->tickReads;
        return t;
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
