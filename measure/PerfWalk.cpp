#include "measure/PerfWalk.h"

#include <cstring>

#include "measure/PerfLayout.h"

namespace {

// begin + length <= limit, without the sum overflowing.
bool Fits(uint64_t begin, uint64_t length, uint64_t limit) {
    return begin <= limit && length <= limit - begin;
}

template <typename T> T ReadAt(const uint8_t* base, uint32_t offset) {
    T value;
    std::memcpy(&value, base + offset, sizeof value);
    return value;
}

} // namespace

bool OpenPerfObject(const uint8_t* data, size_t size, PerfObject* out) {
    if (!data || size < sizeof(PerfDataBlock)) return false;
    const PerfDataBlock block = ReadAt<PerfDataBlock>(data, 0);
    if (block.NumObjectTypes == 0) return false; // Wine's own answer: a bare header
    if (!Fits(block.HeaderLength, sizeof(PerfObjectType), size)) return false;
    const PerfObjectType obj = ReadAt<PerfObjectType>(data, block.HeaderLength);
    // The header, then the counter definitions, then the instances.
    if (obj.HeaderLength < sizeof(PerfObjectType) || obj.DefinitionLength < obj.HeaderLength ||
        obj.TotalByteLength < obj.DefinitionLength ||
        !Fits(block.HeaderLength, obj.TotalByteLength, size))
        return false;
    out->data = data + block.HeaderLength;
    out->length = obj.TotalByteLength;
    out->definitionLength = obj.DefinitionLength;
    out->headerLength = obj.HeaderLength;
    out->numCounters = obj.NumCounters;
    out->numInstances = obj.NumInstances;
    out->time100ns = block.PerfTime100nSec;
    out->perfTime = block.PerfTime;
    out->perfFreq = block.PerfFreq;
    return true;
}

PerfCounterFind FindPerfCounter(const PerfObject& obj, uint32_t titleIndex, uint32_t size,
                                uint32_t* counterOffset) {
    uint32_t at = obj.headerLength;
    for (uint32_t i = 0; i < obj.numCounters; ++i) {
        if (!Fits(at, sizeof(PerfCounterDefinition), obj.definitionLength))
            return PerfCounterFind::Broken;
        const PerfCounterDefinition def = ReadAt<PerfCounterDefinition>(obj.data, at);
        if (def.ByteLength < sizeof(PerfCounterDefinition) ||
            !Fits(at, def.ByteLength, obj.definitionLength))
            return PerfCounterFind::Broken;
        if (def.CounterNameTitleIndex == titleIndex && def.CounterSize == size) {
            *counterOffset = def.CounterOffset;
            return PerfCounterFind::Found;
        }
        at += def.ByteLength;
    }
    return PerfCounterFind::Absent;
}

bool ReadPerfInstance(const PerfObject& obj, uint32_t at, PerfInstance* out) {
    if (!Fits(at, sizeof(PerfInstanceDefinition), obj.length)) return false;
    const PerfInstanceDefinition inst = ReadAt<PerfInstanceDefinition>(obj.data, at);
    if (inst.ByteLength < sizeof(PerfInstanceDefinition) || !Fits(at, inst.ByteLength, obj.length))
        return false;
    const uint32_t counters = at + inst.ByteLength;
    if (!Fits(counters, sizeof(PerfCounterBlock), obj.length)) return false;
    const PerfCounterBlock block = ReadAt<PerfCounterBlock>(obj.data, counters);
    if (block.ByteLength < sizeof(PerfCounterBlock) ||
        !Fits(counters, block.ByteLength, obj.length))
        return false;
    out->start = at;
    out->byteLength = inst.ByteLength;
    // A name that starts outside its instance is read as an empty one.
    out->nameOffset = inst.NameOffset < inst.ByteLength ? inst.NameOffset : inst.ByteLength;
    out->counters = counters;
    out->countersLength = block.ByteLength;
    out->next = counters + block.ByteLength;
    return true;
}

uint16_t PerfInstanceFirstChar(const PerfObject& obj, const PerfInstance& inst) {
    if (!Fits(inst.nameOffset, 2, inst.byteLength)) return 0;
    return ReadAt<uint16_t>(obj.data, inst.start + inst.nameOffset);
}

void PerfInstanceLabel(const PerfObject& obj, const PerfInstance& inst, char* dst, size_t cap) {
    if (cap == 0) return;
    static const char prefix[] = "name: ";
    size_t n = 0;
    for (const char* p = prefix; *p && n + 1 < cap; ++p)
        dst[n++] = *p;
    for (uint32_t at = inst.nameOffset; Fits(at, 2, inst.byteLength) && n + 1 < cap; at += 2) {
        const uint16_t unit = ReadAt<uint16_t>(obj.data, inst.start + at);
        if (unit == 0) break;
        dst[n++] = unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    dst[n] = '\0';
}

bool ReadPerfCounter64(const PerfObject& obj, const PerfInstance& inst, uint32_t counterOffset,
                       uint64_t* value) {
    if (!Fits(counterOffset, sizeof(uint64_t), inst.countersLength)) return false;
    *value = ReadAt<uint64_t>(obj.data, inst.counters + counterOffset);
    return true;
}
