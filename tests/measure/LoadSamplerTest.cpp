#include <gtest/gtest.h>

#include <vector>

#include "FakeSource.h"
#include "PerfBlockBuilder.h"
#include "measure/LoadSampler.h"

namespace {

const uint64_t MS = 10000; // 100 ns units per millisecond

std::vector<uint8_t> Block(const std::vector<BlockInstance>& instances) {
    return BuildBlock(instances).bytes;
}

std::vector<uint32_t> Figures(const LoadSampler& s) {
    std::vector<uint32_t> out;
    for (int i = 0; i <= s.processorCount(); ++i)
        out.push_back(s.loadOf(i));
    return out;
}

TEST(LoadSampler, OneProcessorWithTotal) {
    FakeSource f;
    f.blocks = {Block({{"0", 0}, {"_Total", 0}}),                // construction, at tick 1000
                Block({{"0", 300 * MS}, {"_Total", 800 * MS}})}; // first sample, at 2000
    f.ticks = {1000, 2000};
    LoadSampler s(f.source());
    EXPECT_EQ(s.processorCount(), 1);
    EXPECT_FALSE(s.averageTotal());
    EXPECT_EQ(s.source(), LoadSource::PerfData);
    EXPECT_EQ(Figures(s), (std::vector<uint32_t>{0, 0})) << "no figures before a sample";
    ASSERT_TRUE(s.sample());
    EXPECT_EQ(Figures(s), (std::vector<uint32_t>{20, 70})) << "slot 0 comes from _Total";
}

TEST(LoadSampler, FourProcessorsFillSlotsInOrder) {
    FakeSource f;
    auto at = [](uint64_t k) {
        return Block({{"0", k * 100 * MS},
                      {"1", k * 200 * MS},
                      {"2", k * 300 * MS},
                      {"3", k * 900 * MS},
                      {"_Total", k * 375 * MS}});
    };
    f.blocks = {at(0), at(1), at(2)};
    f.ticks = {5000, 6000, 7000};
    LoadSampler s(f.source());
    ASSERT_EQ(s.processorCount(), 4);
    ASSERT_TRUE(s.sample());
    EXPECT_EQ(Figures(s), (std::vector<uint32_t>{62, 90, 80, 70, 10}));
    ASSERT_TRUE(s.sample());
    EXPECT_EQ(Figures(s), (std::vector<uint32_t>{62, 90, 80, 70, 10}));
    EXPECT_EQ(s.loadOf(-1), 0u);
    EXPECT_EQ(s.loadOf(5), 0u);
}

TEST(LoadSampler, WithoutTotalTheTotalIsTheTruncatedMean) {
    FakeSource f;
    f.blocks = {Block({{"0", 0}, {"1", 0}}), Block({{"0", 670 * MS}, {"1", 660 * MS}})};
    f.ticks = {1000, 2000};
    LoadSampler s(f.source());
    EXPECT_EQ(s.processorCount(), 2);
    EXPECT_TRUE(s.averageTotal());
    ASSERT_TRUE(s.sample());
    EXPECT_EQ(Figures(s), (std::vector<uint32_t>{33, 33, 34}));
}

TEST(LoadSampler, ObjectWithoutInstancesAndNoKernelTimesGivesNothing) {
    FakeSource f;
    f.blocks = {Block({})};
    f.ticks = {1000, 2000};
    LoadSampler s(f.source());
    EXPECT_EQ(s.processorCount(), 0);
    EXPECT_TRUE(s.averageTotal());
    EXPECT_FALSE(s.sample());
    EXPECT_EQ(s.loadOf(0), 0u);
}

TEST(LoadSampler, AReadingTooSoonKeepsFiguresAndBaseline) {
    FakeSource f;
    f.blocks = {Block({{"0", 0}}), Block({{"0", 250 * MS}}), Block({{"0", 260 * MS}}),
                Block({{"0", 270 * MS}}), Block({{"0", 760 * MS}})};
    f.ticks = {1000, 2000, 2000, 2050, 3000};
    LoadSampler s(f.source());
    ASSERT_TRUE(s.sample());
    EXPECT_EQ(s.loadOf(1), 75u);
    EXPECT_FALSE(s.sample()) << "no time at all";
    EXPECT_FALSE(s.sample()) << "50 ms: three clock steps";
    EXPECT_EQ(s.loadOf(1), 75u);
    EXPECT_EQ(s.loadOf(0), 75u);
    // The baseline stayed at 2000: 760 - 250 idle over 1000 ms.
    ASSERT_TRUE(s.sample());
    EXPECT_EQ(s.loadOf(1), 49u);
}

TEST(LoadSampler, FirstFigureMeasuresFromConstructionNotFromBoot) {
    // 28 days up, half of it idle; then a second with a quarter idle.
    const uint32_t up = 28u * 24 * 3600 * 1000;
    FakeSource f;
    f.blocks = {Block({{"0", uint64_t(up / 2) * MS}}),
                Block({{"0", (uint64_t(up / 2) + 250) * MS}})};
    f.ticks = {up, up + 1000};
    LoadSampler s(f.source());
    ASSERT_TRUE(s.sample());
    EXPECT_EQ(s.loadOf(1), 75u);
    EXPECT_EQ(s.loadOf(0), 75u);
}

TEST(LoadSampler, IdleCountersPastTheMillisecondWrap) {
    // Idle time past 2^32 ms: read whole, in 100 ns units.
    FakeSource f;
    const uint64_t nearWrap = 0xFFFFFF00ull;
    f.blocks = {Block({{"0", nearWrap * MS}}), Block({{"0", (nearWrap + 256) * MS}}),
                Block({{"0", (0x100000000ull + 0x40) * MS}})};
    f.ticks = {0x7FFFFE00u, 0x80000000u, 0x80000100u};
    LoadSampler s(f.source());
    ASSERT_TRUE(s.sample()); // 512 ms, 256 idle
    EXPECT_EQ(s.loadOf(1), 50u);
    ASSERT_TRUE(s.sample()); // 256 ms, idle from ...00 past the wrap to 0x40: 0x40 ms
    EXPECT_EQ(s.loadOf(1), 75u);
}

TEST(LoadSampler, MoreDataTwiceGrowsTheBufferTwice) {
    FakeSource f;
    f.blocks = {Block({{"0", 0}, {"_Total", 0}})};
    f.moreData = 2; // count left at 0, as Wine does
    LoadSampler s(f.source());
    EXPECT_EQ(s.processorCount(), 1);
    EXPECT_EQ(f.offered, (std::vector<uint32_t>{8192, 9216, 10240}));
    EXPECT_EQ(s.bufferCapacity(), 10240u);
    EXPECT_EQ(s.bufferSize(), f.blocks[0].size()) << "the next query offers the length returned";

    FakeSource g;
    g.blocks = f.blocks;
    g.moreData = 1;
    g.moreDataCount = 20000; // a count larger than the buffer is believed
    LoadSampler t(g.source());
    EXPECT_EQ(g.offered, (std::vector<uint32_t>{8192, 21024}));
}

TEST(LoadSampler, BlocksLargerThanTheFirstBufferAreRead) {
    std::vector<BlockInstance> many;
    for (int i = 0; i < 192; ++i)
        many.push_back({std::to_string(i), 0});
    many.push_back({"_Total", 0});
    std::vector<BlockInstance> later = many;
    for (auto& in : later)
        in.idle100ns = 400 * MS;
    FakeSource f;
    f.blocks = {Block(many), Block(later)};
    ASSERT_GT(f.blocks[0].size(), 8192u);
    f.ticks = {1000, 2000};
    LoadSampler s(f.source());
    ASSERT_EQ(s.processorCount(), 192);
    ASSERT_TRUE(s.sample());
    for (int i = 0; i <= 192; ++i)
        EXPECT_EQ(s.loadOf(i), 60u) << "slot " << i;
}

TEST(LoadSampler, EndlessMoreDataGivesUpInsteadOfLooping) {
    FakeSource f;
    f.blocks = {Block({{"0", 0}})};
    f.moreData = 1 << 30;
    LoadSampler s(f.source());
    EXPECT_EQ(s.processorCount(), -1);
    EXPECT_LE(s.bufferCapacity(), LoadSampler::BUFFER_LIMIT);
    EXPECT_LT(f.offered.size(), 20000u);
    EXPECT_FALSE(s.sample());
    EXPECT_EQ(s.loadOf(0), 0u);
}

TEST(LoadSampler, UnreadableDataAtConstruction) {
    // Wine's own answer: a header and no object.
    BuiltBlock bare = BuildBlock({});
    bare.bytes.resize(96);
    Poke32(bare, offsetof(PerfDataBlock, NumObjectTypes), 0);
    FakeSource f;
    f.blocks = {bare.bytes, Block({{"0", 0}})};
    f.ticks = {1000, 2000};
    LoadSampler s(f.source());
    EXPECT_EQ(s.processorCount(), -1);
    EXPECT_FALSE(s.sample());
    EXPECT_EQ(s.loadOf(0), 0u);

    FakeSource g;
    g.fail = true;
    LoadSampler t(g.source());
    EXPECT_EQ(t.processorCount(), -1);
    EXPECT_FALSE(t.sample());
}

TEST(LoadSampler, BadBlockLaterIsAFailedQueryThatChangesNothing) {
    BuiltBlock broken = BuildBlock({{"0", 900 * MS}, {"1", 900 * MS}});
    Poke32(broken, broken.object + broken.instances[1], 0xFFFFFF00u); // instance ByteLength
    FakeSource f;
    f.blocks = {Block({{"0", 0}, {"1", 0}}), Block({{"0", 500 * MS}, {"1", 250 * MS}}),
                broken.bytes, Block({{"0", 1500 * MS}, {"1", 1250 * MS}})};
    f.ticks = {1000, 2000, 4000};
    LoadSampler s(f.source());
    ASSERT_EQ(s.processorCount(), 2);
    ASSERT_TRUE(s.sample());
    EXPECT_EQ(Figures(s), (std::vector<uint32_t>{62, 50, 75}));
    EXPECT_FALSE(s.sample());
    EXPECT_EQ(Figures(s), (std::vector<uint32_t>{62, 50, 75}));
    EXPECT_EQ(f.closes, 1u) << "data that does not walk is let go";
    // The next good sample measures from the last good one: 1000 ms idle in 2000.
    ASSERT_TRUE(s.sample());
    EXPECT_EQ(Figures(s), (std::vector<uint32_t>{50, 50, 50}));
}

TEST(LoadSampler, WrongCounterIsNotRead) {
    FakeSource f;
    f.blocks = {BuildBlock({{"0", 0}}, 6, 4).bytes, BuildBlock({{"0", 1000 * MS}}, 6, 4).bytes};
    f.ticks = {1000, 2000};
    LoadSampler s(f.source());
    ASSERT_EQ(s.processorCount(), 1);
    EXPECT_EQ(s.source(), LoadSource::None);
    EXPECT_FALSE(s.sample()) << "a 4-byte counter 6 is not the idle time";
    EXPECT_EQ(s.loadOf(1), 0u);
}

TEST(LoadSampler, DestructionClosesTheSourceOnce) {
    FakeSource f;
    f.blocks = {Block({{"0", 0}})};
    {
        LoadSampler s(f.source());
        EXPECT_EQ(f.closes, 0u);
    }
    EXPECT_EQ(f.closes, 1u);
}

} // namespace

namespace {

// Processors added or removed while running (2 -> 8 -> 2, the total last):
// the sample of the change only sets a new baseline; the next one measures
// the true 45 % against it, the total taken from wherever it now stands.
TEST(LoadSampler, ChangedProcessorCountOnlySetsANewBaseline) {
    auto block = [](int cpus, uint64_t idleEach, uint64_t idleTotal) {
        std::vector<BlockInstance> list;
        for (int i = 0; i < cpus; ++i)
            list.push_back({std::to_string(i), idleEach});
        list.push_back({"_Total", idleTotal});
        return Block(list);
    };
    FakeSource f;
    f.blocks = {block(2, 0, 0), block(2, 500 * MS, 500 * MS), block(8, 9000 * MS, 9000 * MS),
                block(8, 9550 * MS, 9550 * MS)};
    f.ticks = {1000, 2000, 3000, 4000};
    LoadSampler s(f.source());
    ASSERT_EQ(s.processorCount(), 2);
    ASSERT_TRUE(s.sample());
    const std::vector<uint32_t> before = Figures(s);
    EXPECT_FALSE(s.sample()) << "a sample across the change has no figures";
    EXPECT_EQ(Figures(s), before);
    ASSERT_TRUE(s.sample());
    EXPECT_EQ(Figures(s), (std::vector<uint32_t>{45, 45, 45}));

    // 8 -> 2: the processors gone show 0.
    FakeSource g;
    g.blocks = {block(8, 0, 0), block(8, 0, 0), block(2, 100 * MS, 100 * MS),
                block(2, 650 * MS, 650 * MS)};
    g.ticks = {1000, 2000, 3000, 4000};
    LoadSampler shrunk(g.source());
    ASSERT_TRUE(shrunk.sample());
    EXPECT_FALSE(shrunk.sample());
    ASSERT_TRUE(shrunk.sample());
    EXPECT_EQ(Figures(shrunk), (std::vector<uint32_t>{45, 45, 45, 0, 0, 0, 0, 0, 0}));
}

} // namespace
