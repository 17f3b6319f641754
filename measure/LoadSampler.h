// The processor load sampler: whole-percent figures for the total (slot 0)
// and for each processor (slots 1 .. processorCount), taken from the
// performance data's processor object.
#pragma once
#include <cstddef>
#include <cstdint>

// Where the sampler gets its data and its clock. The program's own source
// asks the registry and GetTickCount; tests and benchmarks hand in their own.
struct PerfSource {
    // Fills buffer with up to *bytes bytes of performance data and sets *bytes
    // to the length returned. Answers 0 on success, PERF_MORE_DATA when the
    // buffer is too small, anything else on failure.
    int32_t (*query)(void* context, uint8_t* buffer, uint32_t* bytes) = nullptr;
    uint32_t (*tickCount)(void* context) = nullptr;
    void (*close)(void* context) = nullptr; // at destruction; may be null
    void* context = nullptr;
};

enum : int32_t { PERF_MORE_DATA = 234 };

// HKEY_PERFORMANCE_DATA "238" and GetTickCount (Windows build only).
PerfSource RegistryPerfSource();

class LoadSampler {
  public:
    LoadSampler(); // the registry's HKEY_PERFORMANCE_DATA and GetTickCount (Windows only)
    explicit LoadSampler(const PerfSource& source);
    ~LoadSampler();
    LoadSampler(const LoadSampler&) = delete;
    LoadSampler& operator=(const LoadSampler&) = delete;

    // Takes one sample; true when the figures are new.
    bool sample();
    // The figure of a slot from the latest successful sample; 0 outside 0..processorCount.
    uint32_t loadOf(int slot) const;
    // Processor instances found at construction (the total not counted); -1
    // when the data could not be read then.
    int32_t processorCount() const { return processorCount_; }
    bool averageTotal() const { return averageTotal_; }

    // The buffer's allocated size and the byte count the next query offers.
    uint32_t bufferCapacity() const { return perfBufferCapacity_; }
    uint32_t bufferSize() const { return perfBufferSize_; }

    static constexpr uint32_t INITIAL_BUFFER = 8192;
    static constexpr uint32_t GROWTH_STEP = 1024;
    // Past this the data is taken as unreadable rather than grown for ever.
    static constexpr uint32_t BUFFER_LIMIT = 16u << 20;

  private:
    bool queryPerfData();
    void countInstances();
    bool readIdleTimes(uint32_t* idle, int32_t* instances, int32_t* lastSlot) const;

    PerfSource source_;
    uint8_t* perfBuffer_ = nullptr;
    uint32_t perfBufferCapacity_ = 0;
    uint32_t perfBufferSize_ = 0;
    int32_t processorCount_ = 0;
    bool averageTotal_ = true;
    int32_t instances_ = 0; // instances the latest walked data listed
    int32_t slots_ = 1;     // entries in each array below: at least the total's
    uint32_t* load_ = nullptr;
    uint32_t* idleNow_ = nullptr;
    uint32_t* idlePrev_ = nullptr;
    uint32_t* idleNext_ = nullptr; // filled by a walk before it is taken over
    uint32_t tickNow_ = 0;
    uint32_t tickPrev_ = 0;
};
