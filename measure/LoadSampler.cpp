#include "measure/LoadSampler.h"

#include <cstring>
#include <new>
#include <utility>

#include "measure/PerfLayout.h"
#include "measure/PerfWalk.h"

namespace {

enum : size_t { LABEL_CAPACITY = 80 };

bool IsDigit(uint16_t c) {
    return c >= '0' && c <= '9';
}

} // namespace

LoadSampler::LoadSampler(const PerfSource& source) : source_(source) {
    perfBuffer_.reset(new (std::nothrow) uint8_t[INITIAL_BUFFER]);
    if (perfBuffer_) perfBufferCapacity_ = perfBufferSize_ = INITIAL_BUFFER;
    const bool perfRead = countInstances();
    std::unique_ptr<ProcessorTimes[]> firstTimes;
    const int32_t records = sizeKernelRecords(&firstTimes);
    // Without processors in the performance data, the kernel knows them.
    if (processorCount_ <= 0 && records > 0) processorCount_ = records;
    const int32_t slots = (processorCount_ > 0 ? processorCount_ : 0) + 1;
    meter_.reset(new (std::nothrow) LoadMeter(processorCount_, kernelCapacity_));
    if (!latest_.allocate(slots, kernelCapacity_) || !next_.allocate(slots, kernelCapacity_) ||
        !meter_ || !meter_->usable()) {
        processorCount_ = -1;
        return;
    }
    // The first figures then measure from here, never from the system's
    // start. The data of the count serves, so no query is repeated.
    if (!readPerfData(perfRead)) {
        if (records <= 0) return;
        std::memcpy(next_.times.get(), firstTimes.get(), records * sizeof(ProcessorTimes));
        next_.source = LoadSource::KernelTimes;
        next_.entries = records;
    }
    std::swap(latest_, next_);
    meter_->prime(latest_);
    tickNow_ = tick();
    if (latest_.source != LoadSource::PerfData) perfFailedAt_ = tickNow_;
}

LoadSampler::~LoadSampler() {
    if (source_.close) source_.close(source_.context);
}

bool LoadSampler::queryPerfData() {
    if (!perfBuffer_ || !source_.query) return false;
    for (;;) {
        uint32_t bytes = perfBufferSize_;
        const int32_t status = source_.query(source_.context, perfBuffer_.get(), &bytes);
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
        perfBuffer_.reset(fresh);
        perfBufferCapacity_ = perfBufferSize_ = grown;
    }
}

// True when the data holds a processor object, whose instances then give
// processorCount and averageTotal; -1 stays for data that cannot be read.
bool LoadSampler::countInstances() {
    processorCount_ = -1;
    PerfObject obj;
    if (!queryPerfData() || !OpenPerfObject(perfBuffer_.get(), perfBufferSize_, &obj))
        return false;
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

// Finds the room every record the kernel gives takes, sets kernelCapacity_
// and leaves the first reading in *first; answers the records read, or -1.
// Only construction sizes them, so sampling never allocates.
int32_t LoadSampler::sizeKernelRecords(std::unique_ptr<ProcessorTimes[]>* first) {
    kernelCapacity_ = 0;
    if (!source_.processorTimes) return -1;
    for (int32_t room = KERNEL_RECORDS;; room *= 2) {
        first->reset(new (std::nothrow) ProcessorTimes[room]());
        if (!*first) return -1;
        const int32_t n = source_.processorTimes(source_.context, first->get(), room);
        if (n < room || room >= KERNEL_RECORD_LIMIT) {
            kernelCapacity_ = n > 0 ? room : 0;
            return n < 0 ? -1 : n;
        }
    }
}

// Fills the reading from the data just queried; false when the data has no
// instance, no processor-time counter or cannot be walked. Every instance is
// walked, so the total is found wherever processors added since construction
// put it.
bool LoadSampler::readIdleTimes(LoadReading* into) const {
    into->lastSlot = 0;
    into->hasTotal = false;
    PerfObject obj;
    if (!OpenPerfObject(perfBuffer_.get(), perfBufferSize_, &obj) || obj.numInstances <= 0)
        return false;
    uint32_t counterOffset = 0;
    if (FindPerfCounter(obj, PERF_PROCESSOR_TIME_COUNTER, sizeof(uint64_t), &counterOffset) !=
        PerfCounterFind::Found)
        return false;
    std::memset(into->idle.get(), 0, into->slots * sizeof(uint64_t));
    uint32_t at = obj.definitionLength;
    for (int32_t p = 0; p < obj.numInstances; ++p) {
        PerfInstance inst;
        if (!ReadPerfInstance(obj, at, &inst)) return false;
        const int32_t slot = IsDigit(PerfInstanceFirstChar(obj, inst)) ? p + 1 : 0;
        if (slot <= processorCount_ && slot < into->slots) {
            uint64_t raw = 0;
            if (!ReadPerfCounter64(obj, inst, counterOffset, &raw)) return false;
            into->idle[slot] = raw;
            if (slot > into->lastSlot) into->lastSlot = slot;
            if (slot == 0) into->hasTotal = true;
        }
        at = inst.next;
    }
    into->source = LoadSource::PerfData;
    into->entries = obj.numInstances;
    into->stamp = obj.time100ns;
    into->counter = obj.perfTime;
    into->frequency = obj.perfFreq;
    return true;
}

// One reading of the performance data into next_, from a fresh query or
// from the one just made. Data that gives nothing usable is let go, so that
// the next query loads its providers again (what a counter repair needs).
bool LoadSampler::readPerfData(bool queried) {
    if (queried && readIdleTimes(&next_)) return true;
    if (source_.close) source_.close(source_.context);
    return false;
}

// The performance data first; the kernel's times when it has nothing, and
// then until a minute has passed since it last had nothing.
LoadSource LoadSampler::takeReading(bool* perfFailed) {
    *perfFailed = false;
    const bool perfDue =
        latest_.source != LoadSource::KernelTimes || tickNow_ - perfFailedAt_ >= PERF_RETRY_MS;
    if (perfDue) {
        if (readPerfData(queryPerfData())) return LoadSource::PerfData;
        *perfFailed = true;
    }
    const int32_t n = source_.processorTimes && kernelCapacity_ > 0
                          ? source_.processorTimes(source_.context, next_.times.get(),
                                                   kernelCapacity_)
                          : -1;
    if (n <= 0) return LoadSource::None;
    next_.source = LoadSource::KernelTimes;
    next_.entries = n < kernelCapacity_ ? n : kernelCapacity_;
    next_.hasTotal = false;
    return LoadSource::KernelTimes;
}

bool LoadSampler::read() {
    // Without a count from construction the slots mean nothing.
    if (processorCount_ < 0) return false;
    bool perfFailed = false;
    if (takeReading(&perfFailed) == LoadSource::None) return false; // nothing read, nothing changed
    std::swap(latest_, next_);
    tickNow_ = tick();
    if (perfFailed) perfFailedAt_ = tickNow_;
    return true;
}

std::unique_ptr<LoadMeter> LoadSampler::newMeter() const {
    std::unique_ptr<LoadMeter> meter(new (std::nothrow) LoadMeter(processorCount_, kernelCapacity_));
    if (!meter || !meter->usable()) return nullptr;
    meter->prime(latest_);
    return meter;
}

bool LoadSampler::sample(LoadMeter& meter) {
    return read() && meter.step(latest_) == MeterStep::Figures;
}

bool LoadSampler::sample() {
    return meter_ && sample(*meter_);
}

uint32_t LoadSampler::loadOf(int slot) const {
    return meter_ ? meter_->loadOf(slot) : 0;
}
