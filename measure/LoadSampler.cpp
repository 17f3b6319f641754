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

template <typename T> void Swap3(T*& prev, T*& now, T*& next) {
    T* spare = prev;
    prev = now;
    now = next;
    next = spare;
}

} // namespace

LoadSampler::LoadSampler(const PerfSource& source) : source_(source) {
    perfBuffer_ = new (std::nothrow) uint8_t[INITIAL_BUFFER];
    if (perfBuffer_) perfBufferCapacity_ = perfBufferSize_ = INITIAL_BUFFER;
    const bool perfRead = countInstances();
    const int32_t records = sizeKernelRecords();
    // Without processors in the performance data, the kernel knows them.
    if (processorCount_ <= 0 && records > 0) processorCount_ = records;
    slots_ = (processorCount_ > 0 ? processorCount_ : 0) + 1;
    load_ = new (std::nothrow) uint32_t[slots_]();
    idleNow_ = new (std::nothrow) uint32_t[slots_]();
    idlePrev_ = new (std::nothrow) uint32_t[slots_]();
    idleNext_ = new (std::nothrow) uint32_t[slots_]();
    if (!load_ || !idleNow_ || !idlePrev_ || !idleNext_) {
        processorCount_ = -1;
        return;
    }
    // The first figures then measure from here, never from the system's
    // start. The data of the count serves, so no query is repeated.
    int32_t entries = 0, lastSlot = 0;
    LoadSource got = LoadSource::None;
    if (readPerfData(perfRead, &entries, &lastSlot)) {
        got = LoadSource::PerfData;
    } else if (records > 0) {
        got = LoadSource::KernelTimes;
        entries = records;
    }
    if (got == LoadSource::None) return;
    adopt(got, entries);
    tickNow_ = tick();
    if (perfFailed_) perfFailedAt_ = tickNow_;
}

LoadSampler::~LoadSampler() {
    delete[] perfBuffer_;
    delete[] load_;
    delete[] idleNow_;
    delete[] idlePrev_;
    delete[] idleNext_;
    delete[] kernelNow_;
    delete[] kernelPrev_;
    delete[] kernelNext_;
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

// True when the data holds a processor object, whose instances then give
// processorCount and averageTotal; -1 stays for data that cannot be read.
bool LoadSampler::countInstances() {
    processorCount_ = -1;
    PerfObject obj;
    if (!queryPerfData() || !OpenPerfObject(perfBuffer_, perfBufferSize_, &obj)) return false;
    uint32_t at = obj.definitionLength;
    int32_t processors = 0;
    bool average = true;
    for (int32_t i = 0; i < obj.numInstances; ++i) {
        PerfInstance inst;
        if (!ReadPerfInstance(obj, at, &inst)) return false;
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
    return true;
}

// Makes room for every record the kernel gives and leaves its first reading
// in kernelNext_; answers the records read, or -1. Only construction
// allocates them, so sampling never does.
int32_t LoadSampler::sizeKernelRecords() {
    if (!source_.processorTimes) return -1;
    for (int32_t room = KERNEL_RECORDS;; room *= 2) {
        delete[] kernelNow_;
        delete[] kernelPrev_;
        delete[] kernelNext_;
        kernelNow_ = new (std::nothrow) ProcessorTimes[room]();
        kernelPrev_ = new (std::nothrow) ProcessorTimes[room]();
        kernelNext_ = new (std::nothrow) ProcessorTimes[room]();
        kernelCapacity_ = kernelNow_ && kernelPrev_ && kernelNext_ ? room : 0;
        if (kernelCapacity_ == 0) return -1;
        const int32_t n = source_.processorTimes(source_.context, kernelNext_, room);
        if (n < room || room >= KERNEL_RECORD_LIMIT) return n < 0 ? -1 : n;
    }
}

// Fills idle[] (already holding the previous figures) from the data just
// queried, *instances with the number of instances the data lists and
// *lastSlot with the highest processor slot it filled; false when the data
// has no instance, no processor-time counter or cannot be walked. Every
// instance is walked, so the total is found wherever processors added since
// construction put it.
bool LoadSampler::readIdleTimes(uint32_t* idle, int32_t* instances, int32_t* lastSlot) const {
    *lastSlot = 0;
    PerfObject obj;
    if (!OpenPerfObject(perfBuffer_, perfBufferSize_, &obj) || obj.numInstances <= 0) return false;
    *instances = obj.numInstances;
    uint32_t counterOffset = 0;
    if (FindPerfCounter(obj, PERF_PROCESSOR_TIME_COUNTER, sizeof(uint64_t), &counterOffset) !=
        PerfCounterFind::Found)
        return false;
    uint32_t at = obj.definitionLength;
    for (int32_t p = 0; p < obj.numInstances; ++p) {
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

// One reading of the performance data into idleNext_, from a fresh query or
// from the one just made. Data that gives nothing usable is let go, so that
// the next query loads its providers again (what a counter repair needs).
bool LoadSampler::readPerfData(bool queried, int32_t* instances, int32_t* lastSlot) {
    if (queried) {
        std::memcpy(idleNext_, idleNow_, slots_ * sizeof(uint32_t));
        if (readIdleTimes(idleNext_, instances, lastSlot)) return true;
    }
    if (source_.close) source_.close(source_.context);
    perfFailed_ = true;
    return false;
}

// The performance data first; the kernel's times when it has nothing, and
// then until a minute has passed since it last had nothing.
LoadSource LoadSampler::takeReading(int32_t* entries, int32_t* lastSlot) {
    perfFailed_ = false;
    const bool perfDue =
        latest_ != LoadSource::KernelTimes || tickNow_ - perfFailedAt_ >= PERF_RETRY_MS;
    if (perfDue && readPerfData(queryPerfData(), entries, lastSlot)) return LoadSource::PerfData;
    const int32_t n =
        source_.processorTimes && kernelCapacity_ > 0
            ? source_.processorTimes(source_.context, kernelNext_, kernelCapacity_)
            : -1;
    if (n <= 0) return LoadSource::None;
    *entries = n;
    return LoadSource::KernelTimes;
}

// The reading just taken becomes the latest, the latest the previous.
void LoadSampler::adopt(LoadSource got, int32_t entries) {
    if (got == LoadSource::PerfData)
        Swap3(idlePrev_, idleNow_, idleNext_);
    else
        Swap3(kernelPrev_, kernelNow_, kernelNext_);
    latest_ = got;
    entries_ = entries;
}

bool LoadSampler::sample() {
    // Without a count from construction the slots mean nothing.
    if (processorCount_ < 0) return false;
    int32_t entries = 0, lastSlot = 0;
    const LoadSource got = takeReading(&entries, &lastSlot);
    if (got == LoadSource::None) return false; // nothing read, nothing changed
    // Another source, or processors that came or went: the reading does not
    // line up with the previous one, so it is only the baseline of the next.
    const bool baselineOnly = got != latest_ || entries != entries_;
    adopt(got, entries);
    tickPrev_ = tickNow_;
    const uint32_t t = tick();
    tickNow_ = t;
    if (perfFailed_) perfFailedAt_ = t;
    if (t == tickPrev_ || baselineOnly) return false;

    if (got == LoadSource::KernelTimes) {
        LoadsFromTimes(kernelPrev_, kernelNow_, entries, processorCount_, load_);
        return true;
    }
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
