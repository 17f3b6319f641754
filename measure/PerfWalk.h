// Walks the processor object of a performance-data block without trusting any
// offset or length in it: everything is checked against the bytes the query
// actually returned, so a short, empty or lying block is refused rather than
// read beyond its end.
#pragma once
#include <cstddef>
#include <cstdint>

// The first object of a block, with its bounds already checked.
struct PerfObject {
    const uint8_t* data = nullptr; // start of the object
    uint32_t length = 0;           // its TotalByteLength, known to fit the data
    uint32_t definitionLength = 0;
    uint32_t headerLength = 0;
    uint32_t numCounters = 0;
    int32_t numInstances = 0;
    // The block's clock: PerfTime100nSec (the system time) and the
    // performance counter with its frequency.
    int64_t time100ns = 0;
    int64_t perfTime = 0;
    int64_t perfFreq = 0;
};

// One instance: offsets from the object's start.
struct PerfInstance {
    uint32_t start = 0;
    uint32_t byteLength = 0; // of the instance definition with its name
    uint32_t nameOffset = 0; // from start; the name ends at start + byteLength at the latest
    uint32_t counters = 0;   // start of its counter block
    uint32_t countersLength = 0;
    uint32_t next = 0; // where the next instance begins
};

// False when the block holds no object or its first object does not fit.
bool OpenPerfObject(const uint8_t* data, size_t size, PerfObject* out);

enum class PerfCounterFind { Found, Absent, Broken };

// The first counter definition with this title index and size. Broken when a
// definition met on the way runs outside the definitions' area.
PerfCounterFind FindPerfCounter(const PerfObject& obj, uint32_t titleIndex, uint32_t size,
                                uint32_t* counterOffset);

// The instance that begins at offset `at` (the first is at definitionLength).
bool ReadPerfInstance(const PerfObject& obj, uint32_t at, PerfInstance* out);

// First UTF-16 unit of the instance's name (0 when it is empty).
uint16_t PerfInstanceFirstChar(const PerfObject& obj, const PerfInstance& inst);

// The instance's name as "name: <name>" in a zero-terminated byte text of
// capacity `cap`. Units outside ASCII become '?': names are only ever tested
// for "Total" and for a leading digit. Never reads past the instance.
void PerfInstanceLabel(const PerfObject& obj, const PerfInstance& inst, char* dst, size_t cap);

// The 64-bit counter at counterOffset in the instance's counter block; false
// when it does not lie inside that block.
bool ReadPerfCounter64(const PerfObject& obj, const PerfInstance& inst, uint32_t counterOffset,
                       uint64_t* value);
