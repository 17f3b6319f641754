#include "measure/LoadSampler.h"

#include <cstring>
#include <new>

#include "measure/LoadMath.h"
#include "measure/PerfLayout.h"
#include "measure/PerfWalk.h"

namespace {

enum : size_t { LABEL_CAPACITY = 80 };

bool IsDigit(uint16_t c) {
    return c >= '0' && c <= '9';
}

} // namespace

LoadSampler::LoadSampler(const PerfSource& source) : source_(source) {
    perfBuffer_ = new (std::nothrow) uint8_t[INITIAL_BUFFER];
    if (perfBuffer_) perfBufferCapacity_ = perfBufferSize_ = INITIAL_BUFFER;
    countInstances();
    slots_ = (processorCount_ > 0 ? processorCount_ : 0) + 1;
    load_ = new (std::nothrow) uint32_t[slots_]();
    idleNow_ = new (std::nothrow) uint32_t[slots_]();
    idlePrev_ = new (std::nothrow) uint32_t[slots_]();
    idleNext_ = new (std::nothrow) uint32_t[slots_]();
    if (!load_ || !idleNow_ || !idlePrev_ || !idleNext_) processorCount_ = -1;
}

LoadSampler::~LoadSampler() {
    delete[] perfBuffer_;
    delete[] load_;
    delete[] idleNow_;
    delete[] idlePrev_;
    delete[] idleNext_;
    if (source_.close) source_.close(source_.context);
}

bool LoadSampler::queryPerfData() {
    if (!perfBuffer_ || !source_.query) return false;
    for (;;) {
        uint32_t bytes = perfBufferSize_;
        const int32_t status = source_.query(source_.context, perfBuffer_, &bytes);
        if (status == 0) {
            // The length returned is what the next query offers; a source
            // that claims more than it was given is not believed.
            perfBufferSize_ = bytes <= perfBufferCapacity_ ? bytes : perfBufferCapacity_;
            return true;
        }
        if (status != PERF_MORE_DATA) return false;
        // The count left on "more data" is undefined for this data (Wine
        // leaves 0), so growth starts from what is already there.
        const uint32_t base = bytes > perfBufferCapacity_ ? bytes : perfBufferCapacity_;
        if (base > BUFFER_LIMIT - GROWTH_STEP) return false;
        const uint32_t grown = base + GROWTH_STEP;
        uint8_t* fresh = new (std::nothrow) uint8_t[grown];
        if (!fresh) return false;
        delete[] perfBuffer_;
        perfBuffer_ = fresh;
        perfBufferCapacity_ = perfBufferSize_ = grown;
    }
}

void LoadSampler::countInstances() {
    PerfObject obj;
    if (!queryPerfData() || !OpenPerfObject(perfBuffer_, perfBufferSize_, &obj)) {
        processorCount_ = -1;
        return;
    }
    uint32_t at = obj.definitionLength;
    int32_t processors = 0;
    bool average = true;
    for (int32_t i = 0; i < obj.numInstances; ++i) {
        PerfInstance inst;
        if (!ReadPerfInstance(obj, at, &inst)) {
            processorCount_ = -1;
            return;
        }
        char label[LABEL_CAPACITY];
        PerfInstanceLabel(obj, inst, label, sizeof label);
        if (std::strstr(label, "Total"))
            average = false;
        else
            ++processors;
        at = inst.next;
    }
    processorCount_ = processors;
    averageTotal_ = average;
    instances_ = obj.numInstances;
}

// Fills idle[] (already holding the previous figures) from the data just
// queried, *instances with the number of instances the data lists and
// *lastSlot with the highest processor slot it filled; false when the block
// cannot be walked. Every instance is walked, so the total is found
// wherever processors added since construction put it.
bool LoadSampler::readIdleTimes(uint32_t* idle, int32_t* instances, int32_t* lastSlot) const {
    *lastSlot = 0;
    PerfObject obj;
    if (!OpenPerfObject(perfBuffer_, perfBufferSize_, &obj)) return false;
    *instances = obj.numInstances;
    if (obj.numInstances <= 0) return true;
    const int32_t n = obj.numInstances;
    uint32_t counterOffset = 0;
    const PerfCounterFind found =
        FindPerfCounter(obj, PERF_PROCESSOR_TIME_COUNTER, sizeof(uint64_t), &counterOffset);
    if (found == PerfCounterFind::Broken) return false;
    if (found == PerfCounterFind::Absent) {
        *lastSlot = processorCount_; // nothing to read, and nothing known gone
        return true;
    }
    uint32_t at = obj.definitionLength;
    for (int32_t p = 0; p < n; ++p) {
        PerfInstance inst;
        if (!ReadPerfInstance(obj, at, &inst)) return false;
        const int32_t slot = IsDigit(PerfInstanceFirstChar(obj, inst)) ? p + 1 : 0;
        if (slot <= processorCount_) {
            uint64_t raw = 0;
            if (!ReadPerfCounter64(obj, inst, counterOffset, &raw)) return false;
            idle[slot] = static_cast<uint32_t>(raw / 10000u);
            if (slot > *lastSlot) *lastSlot = slot;
        }
        at = inst.next;
    }
    return true;
}

bool LoadSampler::sample() {
    // Without a count from construction the slots mean nothing.
    if (processorCount_ < 0) return false;
    if (!queryPerfData()) return false;
    std::memcpy(idleNext_, idleNow_, slots_ * sizeof(uint32_t));
    int32_t instances = 0, lastSlot = 0;
    if (!readIdleTimes(idleNext_, &instances, &lastSlot))
        return false; // a block that does not walk is a failed query
    // Processors came or went: the idle times no longer line up with the
    // previous ones, so this sample is only the baseline of the next.
    const bool baselineOnly = instances != instances_;
    instances_ = instances;

    // The walked figures become the latest, the latest the previous.
    uint32_t* spare = idlePrev_;
    idlePrev_ = idleNow_;
    idleNow_ = idleNext_;
    idleNext_ = spare;
    tickPrev_ = tickNow_;
    const uint32_t t = source_.tickCount ? source_.tickCount(source_.context) : 0;
    tickNow_ = t;
    if (t == tickPrev_ || baselineOnly) return false;

    const uint32_t elapsed = tickNow_ - tickPrev_;
    uint64_t sum = 0;
    // Processors gone since construction are no longer in the data: they
    // show 0 and leave the mean.
    const int32_t present = lastSlot < processorCount_ ? lastSlot : processorCount_;
    for (int32_t s = averageTotal_ ? 1 : 0; s <= processorCount_; ++s) {
        const uint32_t v =
            s <= present || s == 0 ? LoadFromIdle(idleNow_[s] - idlePrev_[s], elapsed) : 0;
        load_[s] = v;
        sum += v;
    }
    if (averageTotal_) load_[0] = MeanLoad(sum, present);
    return true;
}

uint32_t LoadSampler::loadOf(int slot) const {
    if (slot < 0 || slot > processorCount_ || !load_) return 0;
    return load_[slot];
}
