// The processor load sampler: whole-percent figures for the total (slot 0)
// and for each processor (slots 1 .. processorCount), taken from the
// performance data's processor object, or from the kernel's per-processor
// times while the performance data has none to give.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "measure/LoadMeter.h"
#include "measure/ProcessorTimes.h"

// Where the sampler gets its data. The program's own source asks the
// registry and the kernel; tests and benchmarks hand in their own. The tick
// count only says when the performance data is asked again after a failure:
// figures are measured on the data's own clock.
struct PerfSource {
    // Fills buffer with up to *bytes bytes of performance data and sets *bytes
    // to the length returned. Answers 0 on success, PERF_MORE_DATA when the
    // buffer is too small, anything else on failure.
    int32_t (*query)(void* context, uint8_t* buffer, uint32_t* bytes) = nullptr;
    uint32_t (*tickCount)(void* context) = nullptr;
    // Lets the performance data go: after a query that gave nothing usable,
    // so that the next one starts its providers afresh, and at destruction.
    // May be null.
    void (*close)(void* context) = nullptr;
    // The kernel's times of each processor into `times`, which has room for
    // `capacity` records; answers how many it filled, or -1 when they cannot
    // be read. May be null.
    int32_t (*processorTimes)(void* context, ProcessorTimes* times, int32_t capacity) = nullptr;
    void* context = nullptr;
};

enum : int32_t { PERF_MORE_DATA = 234 };

// HKEY_PERFORMANCE_DATA "238", the kernel's processor times and GetTickCount
// (Windows build only).
PerfSource RegistryPerfSource();

class LoadSampler {
  public:
    LoadSampler(); // the registry, the kernel and GetTickCount (Windows only)
    explicit LoadSampler(const PerfSource& source);
    ~LoadSampler();
    LoadSampler(const LoadSampler&) = delete;
    LoadSampler& operator=(const LoadSampler&) = delete;

    // Takes one reading (one query); true when latest() holds a new one.
    bool read();
    // The latest reading; the one of construction until read() succeeds.
    const LoadReading& latest() const { return latest_; }
    // A meter of its own for another consumer, its baseline the latest
    // reading; null when it cannot be had.
    std::unique_ptr<LoadMeter> newMeter() const;
    // One reading measured by `meter`; true when it has new figures.
    bool sample(LoadMeter& meter);

    // One reading measured by the sampler's own meter (the sampling tick's);
    // true when the figures are new. The first one measures from construction.
    bool sample();
    // The figure of a slot from the own meter's latest figures; 0 outside
    // 0..processorCount.
    uint32_t loadOf(int slot) const;
    // Processors found at construction (the total not counted); -1 when
    // neither source could be read then.
    int32_t processorCount() const { return processorCount_; }
    // The performance data of construction had no total instance.
    bool averageTotal() const { return averageTotal_; }
    // The source of the latest reading.
    LoadSource source() const { return latest_.source; }

    // The buffer's allocated size and the byte count the next query offers.
    uint32_t bufferCapacity() const { return perfBufferCapacity_; }
    uint32_t bufferSize() const { return perfBufferSize_; }

    static constexpr uint32_t INITIAL_BUFFER = 8192;
    static constexpr uint32_t GROWTH_STEP = 1024;
    // Past this the data is taken as unreadable rather than grown for ever:
    // the processor object of 2048 processors takes under half of it,
    // and a source that always wants more costs a thousand steps, not 16000.
    static constexpr uint32_t BUFFER_LIMIT = 1u << 20;
    // While the kernel's times stand in, the performance data is asked again
    // this long after it last failed.
    static constexpr uint32_t PERF_RETRY_MS = 60000;
    // Room for the kernel's records: first this many, doubled at construction
    // while the kernel fills them all, up to the limit.
    static constexpr int32_t KERNEL_RECORDS = 64;
    static constexpr int32_t KERNEL_RECORD_LIMIT = 4096;

  private:
    bool queryPerfData();
    bool countInstances();
    int32_t sizeKernelRecords(std::unique_ptr<ProcessorTimes[]>* first);
    bool readIdleTimes(LoadReading* into) const;
    bool readPerfData(bool queried);
    LoadSource takeReading(bool* perfFailed);
    uint32_t tick() { return source_.tickCount ? source_.tickCount(source_.context) : 0; }

    PerfSource source_;
    std::unique_ptr<uint8_t[]> perfBuffer_;
    uint32_t perfBufferCapacity_ = 0;
    uint32_t perfBufferSize_ = 0;
    int32_t processorCount_ = 0;
    bool averageTotal_ = true;
    int32_t kernelCapacity_ = 0;
    LoadReading latest_;
    LoadReading next_; // filled by a reading before it becomes the latest
    std::unique_ptr<LoadMeter> meter_;
    uint32_t tickNow_ = 0;      // tick of the latest reading
    uint32_t perfFailedAt_ = 0; // tick of the reading that last found no data
};
