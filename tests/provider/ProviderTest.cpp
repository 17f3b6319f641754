// The processor-data provider as the program sees it: through
// RegQueryValueExA(HKEY_PERFORMANCE_DATA, "238"), walked the documented way.
#include <gtest/gtest.h>
#include <windows.h>
#include <winperf.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "testkit.h"

namespace {

struct Sample {
    LONG status = 0;
    DWORD bytes = 0;        // count the query returned
    // The object's PerfTime and PerfFreq: when the provider took the counters.
    LONGLONG perfTime = 0, perfFreq = 1;
    std::vector<std::string> names;
    std::vector<ULONGLONG> idle;
};

// Walks block -> object 238 -> counter 6 -> instances, checking every length
// against the returned byte count.
bool Walk(const BYTE* data, DWORD bytes, Sample* s) {
    if (bytes < sizeof(PERF_DATA_BLOCK)) return false;
    const PERF_DATA_BLOCK* block = reinterpret_cast<const PERF_DATA_BLOCK*>(data);
    if (std::memcmp(block->Signature, L"PERF", 8) != 0 || block->TotalByteLength > bytes) return false;
    DWORD at = block->HeaderLength;
    for (DWORD o = 0; o < block->NumObjectTypes; ++o) {
        if (at + sizeof(PERF_OBJECT_TYPE) > bytes) return false;
        const PERF_OBJECT_TYPE* obj = reinterpret_cast<const PERF_OBJECT_TYPE*>(data + at);
        if (obj->TotalByteLength == 0 || at + obj->TotalByteLength > bytes) return false;
        if (obj->ObjectNameTitleIndex != 238) {
            at += obj->TotalByteLength;
            continue;
        }
        const BYTE* base = data + at;
        s->perfTime = obj->PerfTime.QuadPart;
        s->perfFreq = obj->PerfFreq.QuadPart;
        const PERF_COUNTER_DEFINITION* def = nullptr;
        DWORD c = obj->HeaderLength;
        for (DWORD i = 0; i < obj->NumCounters; ++i) {
            const PERF_COUNTER_DEFINITION* d = reinterpret_cast<const PERF_COUNTER_DEFINITION*>(base + c);
            if (d->CounterNameTitleIndex == 6) def = d;
            c += d->ByteLength;
        }
        if (!def || def->CounterType != PERF_100NSEC_TIMER_INV || def->CounterSize != 8) return false;
        DWORD i = obj->DefinitionLength;
        for (LONG n = 0; n < obj->NumInstances; ++n) {
            const PERF_INSTANCE_DEFINITION* inst = reinterpret_cast<const PERF_INSTANCE_DEFINITION*>(base + i);
            if (i + inst->ByteLength > obj->TotalByteLength) return false;
            const wchar_t* name = reinterpret_cast<const wchar_t*>(base + i + inst->NameOffset);
            char narrow[64];
            WideCharToMultiByte(CP_ACP, 0, name, -1, narrow, sizeof narrow, nullptr, nullptr);
            s->names.push_back(narrow);
            i += inst->ByteLength;
            const PERF_COUNTER_BLOCK* cb = reinterpret_cast<const PERF_COUNTER_BLOCK*>(base + i);
            if (i + cb->ByteLength > obj->TotalByteLength) return false;
            ULONGLONG v;
            std::memcpy(&v, base + i + def->CounterOffset, 8);
            s->idle.push_back(v);
            i += cb->ByteLength;
        }
        return true;
    }
    return true; // no processor object: no instances
}

Sample Query(DWORD room = 1 << 20) {
    Sample s;
    std::vector<BYTE> buf(room + 1);
    DWORD type = 0, bytes = room;
    s.status = RegQueryValueExA(HKEY_PERFORMANCE_DATA, "238", nullptr, &type, buf.data(), &bytes);
    s.bytes = bytes;
    if (s.status == ERROR_SUCCESS) {
        EXPECT_TRUE(Walk(buf.data(), bytes, &s)) << "malformed block of " << bytes << " bytes";
    }
    return s;
}

// Each script gets a file name of its own: the provider reloads on a new name.
void UseScript(const std::string& text) {
    std::string dir = testkit::FreshTempDir("script");
    std::string path = testkit::WriteTextFile(dir + "\\s.txt", text);
    ASSERT_FALSE(path.empty());
    SetEnvironmentVariableA("VANTOR_PROVIDER_SCRIPT", path.c_str());
}

class Provider : public ::testing::Test {
protected:
    void TearDown() override {
        SetEnvironmentVariableA("VANTOR_PROVIDER_SCRIPT", nullptr);
        RegCloseKey(HKEY_PERFORMANCE_DATA);
    }
};

// Measured with the provider's own times, a scripted load comes back
// exactly, however late a busy machine lets this test read it.
double Elapsed100ns(const Sample& a, const Sample& b) {
    return (double)(b.perfTime - a.perfTime) * 1e7 / (double)b.perfFreq;
}

double LoadBetween(const Sample& a, const Sample& b, size_t i) {
    return (1.0 - (double)(b.idle[i] - a.idle[i]) / Elapsed100ns(a, b)) * 100.0;
}

const double kExact = 0.01; // the counters are whole 100 ns units

TEST_F(Provider, ScriptedLoadsComeBackFromTwoQueries) {
    UseScript("# 4 processors\n0\n10 50 90 0\n75 30.5 100 20\n33\n");
    Sample prev = Query();
    ASSERT_EQ(prev.status, ERROR_SUCCESS);
    const double want[3][5] = {{10, 50, 90, 0, 37.5}, {75, 30.5, 100, 20, 56.375}, {33, 33, 33, 33, 33}};
    for (int step = 0; step < 4; ++step) {
        Sleep(300);
        Sample next = Query();
        ASSERT_EQ(next.status, ERROR_SUCCESS);
        ASSERT_EQ(next.idle.size(), 5u);
        ASSERT_GT(next.perfTime, prev.perfTime);
        const double* w = want[step < 3 ? step : 2]; // the last line repeats
        for (size_t i = 0; i < 5; ++i)
            EXPECT_NEAR(LoadBetween(prev, next, i), w[i], kExact) << "step " << step << " instance " << next.names[i];
        prev = next;
    }
}

// With "steps" the idle times move in whole clock steps only, as Windows
// keeps them: over a second each load is the scripted one give or take a step
// at either end, and the total instance holds their mean.
TEST_F(Provider, StepsAdvanceIdleTimeInWholeClockSteps) {
    const double step = 156250, loads[] = {70, 5, 50}; // 15.625 ms in 100 ns units
    UseScript("cpus 3\nsteps\n70 5 50\n");
    Sample prev = Query();
    ASSERT_EQ(prev.status, ERROR_SUCCESS);
    for (DWORD ms : {40, 1000, 1000}) {
        Sleep(ms);
        Sample next = Query();
        ASSERT_EQ(next.idle.size(), 4u);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(std::fmod(double(next.idle[i] - prev.idle[i]), step), 0.0) << i;
            if (ms < 1000) continue; // a few steps only
            const double slack = 2 * step * 100 / Elapsed100ns(prev, next);
            EXPECT_NEAR(LoadBetween(prev, next, i), loads[i], slack) << i;
        }
        EXPECT_EQ(next.idle[3], (next.idle[0] + next.idle[1] + next.idle[2]) / 3);
        prev = next;
    }
}

TEST_F(Provider, InstanceCountsAndOrders) {
    const int counts[] = {1, 2, 4, 64, 128, 200};
    const char* places[] = {"last", "first", "none"};
    for (int cpus : counts) {
        for (const char* place : places) {
            UseScript("cpus " + std::to_string(cpus) + "\ntotal " + place + "\n50\n");
            Sample s = Query();
            ASSERT_EQ(s.status, ERROR_SUCCESS);
            std::vector<std::string> want;
            for (int i = 0; i < cpus; ++i) want.push_back(std::to_string(i));
            if (std::strcmp(place, "last") == 0) want.push_back("_Total");
            if (std::strcmp(place, "first") == 0) want.insert(want.begin(), "_Total");
            EXPECT_EQ(s.names, want) << cpus << " processors, total " << place;
        }
    }
}

TEST_F(Provider, SmallBufferAndMoreDataAnswers) {
    UseScript("cpus 4\n20\n");
    EXPECT_EQ(Query(40).status, ERROR_MORE_DATA);  // not even the block header fits
    EXPECT_EQ(Query(300).status, ERROR_MORE_DATA); // the header fits, the object does not
    Sample ok = Query();
    EXPECT_EQ(ok.status, ERROR_SUCCESS);
    EXPECT_EQ(ok.idle.size(), 5u);

    UseScript("moredata 2\ncpus 2\n40\n");
    EXPECT_EQ(Query().status, ERROR_MORE_DATA);
    EXPECT_EQ(Query().status, ERROR_MORE_DATA);
    Sample after = Query();
    EXPECT_EQ(after.status, ERROR_SUCCESS);
    EXPECT_EQ(after.names, (std::vector<std::string>{"0", "1", "_Total"}));
}

TEST_F(Provider, BlocksLargerThan8192Bytes) {
    UseScript("cpus 8\npad 1500\n0\n25\n");
    EXPECT_EQ(Query(8192).status, ERROR_MORE_DATA);
    Sample a = Query();
    ASSERT_EQ(a.status, ERROR_SUCCESS);
    EXPECT_GT(a.bytes, 8192u);
    Sleep(300);
    Sample b = Query();
    ASSERT_EQ(b.idle.size(), 9u);
    for (size_t i = 0; i < 9; ++i) EXPECT_NEAR(LoadBetween(a, b, i), 25.0, kExact);

    UseScript("cpus 256\n60\n");
    Sample many = Query();
    ASSERT_EQ(many.status, ERROR_SUCCESS);
    EXPECT_GT(many.bytes, 8192u);
    EXPECT_EQ(many.names.size(), 257u);
}

TEST_F(Provider, FailingCollectYieldsNoProcessorObject) {
    UseScript("fail\n50\n");
    Sample s = Query();
    RecordProperty("fail_status", (int)s.status);
    if (s.status == ERROR_SUCCESS) EXPECT_TRUE(s.names.empty());
    else EXPECT_NE(s.status, ERROR_MORE_DATA);
}

TEST_F(Provider, LiveModeHasOneInstancePerProcessor) {
    SetEnvironmentVariableA("VANTOR_PROVIDER_SCRIPT", "");
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    Sample a = Query();
    ASSERT_EQ(a.status, ERROR_SUCCESS);
    ASSERT_EQ(a.names.size(), si.dwNumberOfProcessors + 1);
    EXPECT_EQ(a.names.back(), "_Total");
    Sleep(500);
    Sample b = Query();
    ASSERT_EQ(b.names.size(), a.names.size());
    // Live idle times move in the system's clock ticks (10 ms under Wine),
    // read a moment before the provider's time, a moment a busy machine can
    // stretch: a load is a load give or take both.
    const double slack = 100.0 * (10 + 100) * 1e4 / Elapsed100ns(a, b);
    for (size_t i = 0; i < b.idle.size(); ++i) {
        double load = LoadBetween(a, b, i);
        EXPECT_GE(load, -slack) << a.names[i];
        EXPECT_LE(load, 100.0 + slack) << a.names[i];
    }
}

} // namespace
