// Builds performance-data blocks the way the system lays them out, so the
// walker and the sampler can be fed known idle times, and then broken on
// purpose.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "measure/PerfLayout.h"

struct BlockInstance {
    std::string name;
    uint64_t idle100ns = 0;
};

struct BuiltBlock {
    std::vector<uint8_t> bytes;
    // Offsets of the parts, for tests that corrupt them.
    uint32_t object = 0;
    uint32_t firstCounter = 0;
    std::vector<uint32_t> instances;
};

inline BuiltBlock BuildBlock(const std::vector<BlockInstance>& instances, uint32_t counterIndex = 6,
                             uint32_t counterSize = 8, int extraCounters = 0) {
    BuiltBlock out;
    std::vector<uint8_t>& b = out.bytes;
    auto put = [&b](const void* p, size_t n) {
        const uint8_t* s = static_cast<const uint8_t*>(p);
        b.insert(b.end(), s, s + n);
    };
    PerfDataBlock block = {};
    std::memcpy(block.Signature, u"PERF", 8);
    block.LittleEndian = 1;
    block.Version = 1;
    block.HeaderLength = sizeof block;
    block.NumObjectTypes = 1;
    put(&block, sizeof block);

    out.object = static_cast<uint32_t>(b.size());
    PerfObjectType obj = {};
    obj.HeaderLength = sizeof obj;
    obj.ObjectNameTitleIndex = PERF_PROCESSOR_OBJECT;
    obj.NumCounters = 1 + extraCounters;
    obj.NumInstances = static_cast<int32_t>(instances.size());
    obj.DefinitionLength = sizeof obj + obj.NumCounters * sizeof(PerfCounterDefinition);
    put(&obj, sizeof obj);

    // Decoy counters first: the walker must pick the right one, not the first.
    for (int i = 0; i < extraCounters; ++i) {
        PerfCounterDefinition d = {};
        d.ByteLength = sizeof d;
        d.CounterNameTitleIndex = 142 + i;
        d.CounterSize = 8;
        d.CounterOffset = 16;
        put(&d, sizeof d);
    }
    PerfCounterDefinition def = {};
    def.ByteLength = sizeof def;
    def.CounterNameTitleIndex = counterIndex;
    def.CounterType = 0x25450500; // PERF_100NSEC_TIMER_INV
    def.CounterSize = counterSize;
    def.CounterOffset = 8;
    put(&def, sizeof def);
    out.firstCounter = static_cast<uint32_t>(b.size() - sizeof def) - out.object;

    for (const BlockInstance& in : instances) {
        out.instances.push_back(static_cast<uint32_t>(b.size()) - out.object);
        std::u16string wide;
        for (unsigned char c : in.name)
            wide.push_back(c);
        uint32_t nameBytes = static_cast<uint32_t>((wide.size() + 1) * 2);
        uint32_t padded = (nameBytes + 7) & ~7u;
        PerfInstanceDefinition inst = {};
        inst.ByteLength = sizeof inst + padded;
        inst.UniqueID = -1;
        inst.NameOffset = sizeof inst;
        inst.NameLength = nameBytes;
        put(&inst, sizeof inst);
        std::vector<uint8_t> name(padded, 0);
        std::memcpy(name.data(), wide.data(), wide.size() * 2);
        put(name.data(), name.size());
        PerfCounterBlock cb = {16};
        put(&cb, sizeof cb);
        uint32_t pad = 0;
        put(&pad, 4);
        put(&in.idle100ns, 8);
    }
    uint32_t objectLength = static_cast<uint32_t>(b.size()) - out.object;
    std::memcpy(b.data() + out.object, &objectLength, 4);
    uint32_t total = static_cast<uint32_t>(b.size());
    std::memcpy(b.data() + offsetof(PerfDataBlock, TotalByteLength), &total, 4);
    return out;
}

// Overwrites a 32-bit field at a byte offset of the block.
inline void Poke32(BuiltBlock& blk, size_t offset, uint32_t value) {
    std::memcpy(blk.bytes.data() + offset, &value, 4);
}
