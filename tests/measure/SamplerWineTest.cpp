// The sampler through the real RegQueryValueExA(HKEY_PERFORMANCE_DATA, "238"),
// fed by the scripted processor-data provider of the bench.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "measure/LoadSampler.h"
#include "measure/PerfLayout.h"
#include "testkit.h"

namespace {

// Each script gets a file name of its own: the provider reloads on a new name.
void UseScript(const std::string& text) {
    std::string dir = testkit::FreshTempDir("sampler");
    std::string path = testkit::WriteTextFile(dir + "\\s.txt", text);
    ASSERT_FALSE(path.empty());
    SetEnvironmentVariableA("VANTOR_PROVIDER_SCRIPT", path.c_str());
}

class Sampler : public ::testing::Test {
  protected:
    void TearDown() override { SetEnvironmentVariableA("VANTOR_PROVIDER_SCRIPT", nullptr); }
};

// The real sources, with what the sampler was given written down: the byte
// counts offered and the answers, the provider's time of each block read
// (its object's PerfTime), the block's own time stamp (PerfTime100nSec),
// each tick count and each close.
struct Recorder {
    PerfSource real = RegistryPerfSource();
    std::vector<uint32_t> offered;
    std::vector<int32_t> answers;
    std::vector<double> blockMs, stampMs;
    std::vector<uint32_t> ticks;
    size_t closes = 0;
    static int32_t Query(void* ctx, uint8_t* buffer, uint32_t* bytes) {
        Recorder* r = static_cast<Recorder*>(ctx);
        r->offered.push_back(*bytes);
        int32_t status = r->real.query(nullptr, buffer, bytes);
        r->answers.push_back(status);
        PerfDataBlock block = {};
        PerfObjectType obj = {};
        if (status == ERROR_SUCCESS && *bytes >= sizeof block) memcpy(&block, buffer, sizeof block);
        if (block.NumObjectTypes > 0 &&
            block.HeaderLength + sizeof obj <= *bytes) {
            memcpy(&obj, buffer + block.HeaderLength, sizeof obj);
            r->blockMs.push_back(obj.PerfTime * 1000.0 / obj.PerfFreq);
            r->stampMs.push_back(block.PerfTime100nSec / 10000.0);
        }
        return status;
    }
    PerfSource source() {
        PerfSource s = real;
        s.query = Query;
        s.tickCount = [](void* ctx) {
            Recorder* r = static_cast<Recorder*>(ctx);
            r->ticks.push_back(r->real.tickCount(nullptr));
            return r->ticks.back();
        };
        s.close = [](void* ctx) {
            ++static_cast<Recorder*>(ctx)->closes;
            static_cast<Recorder*>(ctx)->real.close(nullptr);
        };
        s.context = this;
        return s;
    }
    // What a scripted load shows over the latest sample: the provider ran it
    // for its own interval, the sampler divides by the blocks' time stamps,
    // which the system takes a moment later, that a busy machine stretches.
    double Seen(double load) const {
        const size_t n = blockMs.size();
        if (n < 2 || stampMs.size() != n) return -1;
        const double idle = (100.0 - load) * (blockMs[n - 1] - blockMs[n - 2]);
        const double shown = 100.0 - idle / (stampMs[n - 1] - stampMs[n - 2]);
        return shown < 0 ? 0 : shown;
    }
};

// One sample half a second after construction holds the scripted loads (the
// first figures measure from construction), within 1 of what the two clocks
// give: whole percents from idle times in whole milliseconds.
void ExpectScriptedLoads(int cpus, const std::vector<double>& loads, double total) {
    std::string line;
    for (double l : loads)
        line += std::to_string(l) + " ";
    UseScript("cpus " + std::to_string(cpus) + "\n" + line + "\n");
    Recorder r;
    LoadSampler s(r.source());
    ASSERT_EQ(s.processorCount(), cpus);
    EXPECT_FALSE(s.averageTotal());
    EXPECT_EQ(s.source(), LoadSource::PerfData);
    Sleep(500);
    ASSERT_TRUE(s.sample());
    for (int i = 0; i < cpus; ++i) {
        double want = loads[i < (int)loads.size() ? i : loads.size() - 1];
        EXPECT_NEAR(s.loadOf(i + 1), r.Seen(want), 1.0) << cpus << " processors, slot " << i + 1;
    }
    EXPECT_NEAR(s.loadOf(0), r.Seen(total), 1.0) << cpus << " processors, total";
    EXPECT_EQ(s.loadOf(cpus + 1), 0u);
    EXPECT_EQ(r.closes, 0u) << "good data is kept open";
}

TEST_F(Sampler, ScriptedLoadsComeBackThroughTheRegistry) {
    ExpectScriptedLoads(1, {70}, 70);
    ExpectScriptedLoads(2, {10, 90}, 50);
    ExpectScriptedLoads(4, {10, 50, 90, 0}, 37.5);
    std::vector<double> many;
    for (int i = 0; i < 64; ++i)
        many.push_back(i % 2 ? 80 : 20);
    ExpectScriptedLoads(64, many, 50);
}

TEST_F(Sampler, WithoutTotalInstanceTheTotalIsTheMean) {
    UseScript("cpus 2\ntotal none\n33 34\n");
    Recorder r;
    LoadSampler s(r.source());
    ASSERT_EQ(s.processorCount(), 2);
    EXPECT_TRUE(s.averageTotal());
    Sleep(500);
    ASSERT_TRUE(s.sample());
    // The truncated mean of two figures, each within 1 of its own.
    EXPECT_NEAR(s.loadOf(0), (r.Seen(33) + r.Seen(34)) / 2, 1.5);
}

TEST_F(Sampler, MoreDataTwiceGrowsTheBufferTwice) {
    UseScript("moredata 2\ncpus 2\n40\n");
    Recorder r;
    LoadSampler s(r.source());
    EXPECT_EQ(s.processorCount(), 2);
    EXPECT_EQ(r.offered, (std::vector<uint32_t>{8192, 9216, 10240}));
    EXPECT_EQ(r.answers, (std::vector<int32_t>{ERROR_MORE_DATA, ERROR_MORE_DATA, ERROR_SUCCESS}));
    EXPECT_EQ(s.bufferCapacity(), 10240u);
}

TEST_F(Sampler, BlockLargerThanTheFirstBuffer) {
    UseScript("cpus 128\npad 32\n25\n"); // pad: past 8192 bytes
    Recorder r;
    LoadSampler s(r.source());
    ASSERT_EQ(s.processorCount(), 128);
    EXPECT_GT(s.bufferSize(), 8192u);
    EXPECT_EQ(r.answers.front(), ERROR_MORE_DATA);
    Sleep(500);
    ASSERT_TRUE(s.sample());
    for (int i = 0; i <= 128; ++i)
        EXPECT_NEAR(s.loadOf(i), r.Seen(25), 1.0) << "slot " << i;
}

TEST_F(Sampler, WithoutProcessorDataTheKernelsTimesStandIn) {
    // A failing provider leaves Wine's own answer: a block with no object.
    UseScript("fail\n50\n");
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    Recorder r;
    LoadSampler s(r.source());
    EXPECT_EQ(s.processorCount(), (int32_t)si.dwNumberOfProcessors);
    EXPECT_EQ(s.source(), LoadSource::KernelTimes);
    EXPECT_EQ(r.closes, 1u) << "let go once, so the next query loads the providers afresh";
}

TEST_F(Sampler, LiveFiguresStayInRange) {
    SetEnvironmentVariableA("VANTOR_PROVIDER_SCRIPT", "");
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    LoadSampler s;
    ASSERT_EQ(s.processorCount(), (int32_t)si.dwNumberOfProcessors);
    Sleep(300);
    ASSERT_TRUE(s.sample());
    for (int i = 0; i <= s.processorCount(); ++i)
        EXPECT_LE(s.loadOf(i), 100u);
}

} // namespace
