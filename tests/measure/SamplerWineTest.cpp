// The sampler through the real RegQueryValueExA(HKEY_PERFORMANCE_DATA, "238"),
// fed by the scripted processor-data provider of the bench.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "measure/LoadSampler.h"
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

// Two samples half a second apart: the second holds the scripted loads.
void ExpectScriptedLoads(int cpus, const std::vector<double>& loads, double total) {
    std::string line;
    for (double l : loads)
        line += std::to_string(l) + " ";
    UseScript("cpus " + std::to_string(cpus) + "\n" + line + "\n");
    LoadSampler s;
    ASSERT_EQ(s.processorCount(), cpus);
    EXPECT_FALSE(s.averageTotal());
    ASSERT_TRUE(s.sample());
    Sleep(500);
    ASSERT_TRUE(s.sample());
    for (int i = 0; i < cpus; ++i) {
        double want = loads[i < (int)loads.size() ? i : loads.size() - 1];
        EXPECT_NEAR(s.loadOf(i + 1), want, 1.0) << cpus << " processors, slot " << i + 1;
    }
    EXPECT_NEAR(s.loadOf(0), total, 1.0) << cpus << " processors, total";
    EXPECT_EQ(s.loadOf(cpus + 1), 0u);
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
    LoadSampler s;
    ASSERT_EQ(s.processorCount(), 2);
    EXPECT_TRUE(s.averageTotal());
    ASSERT_TRUE(s.sample());
    Sleep(500);
    ASSERT_TRUE(s.sample());
    EXPECT_NEAR(s.loadOf(0), 33, 1.0);
}

// The real query, with the byte counts it is offered written down.
struct Recorder {
    PerfSource real = RegistryPerfSource();
    std::vector<uint32_t> offered;
    std::vector<int32_t> answers;
    static int32_t Query(void* ctx, uint8_t* buffer, uint32_t* bytes) {
        Recorder* r = static_cast<Recorder*>(ctx);
        r->offered.push_back(*bytes);
        int32_t status = r->real.query(nullptr, buffer, bytes);
        r->answers.push_back(status);
        return status;
    }
    PerfSource source() {
        PerfSource s = real;
        s.query = Query;
        s.context = this;
        return s;
    }
};

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
    ASSERT_TRUE(s.sample());
    Sleep(500);
    ASSERT_TRUE(s.sample());
    for (int i = 0; i <= 128; ++i)
        EXPECT_NEAR(s.loadOf(i), 25, 1.0) << "slot " << i;
}

TEST_F(Sampler, WithoutProcessorDataNothingIsRead) {
    // A failing provider leaves Wine's own answer: a block with no object.
    UseScript("fail\n50\n");
    LoadSampler s;
    EXPECT_EQ(s.processorCount(), -1);
    EXPECT_FALSE(s.sample());
    EXPECT_EQ(s.loadOf(0), 0u);
    // The data coming back later does not give meaning to slots never counted.
    UseScript("cpus 2\n50\n");
    EXPECT_FALSE(s.sample());
}

TEST_F(Sampler, LiveFiguresStayInRange) {
    SetEnvironmentVariableA("VANTOR_PROVIDER_SCRIPT", "");
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    LoadSampler s;
    ASSERT_EQ(s.processorCount(), (int32_t)si.dwNumberOfProcessors);
    ASSERT_TRUE(s.sample());
    Sleep(300);
    ASSERT_TRUE(s.sample());
    for (int i = 0; i <= s.processorCount(); ++i)
        EXPECT_LE(s.loadOf(i), 100u);
}

} // namespace
