// The walker against well-formed, truncated and lying blocks. Every block is
// handed over in a heap copy of its exact length, so a read past the end is an
// AddressSanitizer failure, not a silent pass.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PerfBlockBuilder.h"
#include "measure/PerfWalk.h"

namespace {

struct Walked {
    bool ok = false;
    std::vector<std::string> labels;
    std::vector<uint64_t> values;
};

// Walks every instance the way the sampler does; false at the first refusal.
Walked Walk(const std::vector<uint8_t>& bytes) {
    Walked w;
    std::vector<uint8_t> exact(bytes); // exactly as long as the data
    PerfObject obj;
    if (!OpenPerfObject(exact.data(), exact.size(), &obj)) return w;
    uint32_t counter = 0;
    const PerfCounterFind found = FindPerfCounter(obj, 6, 8, &counter);
    if (found == PerfCounterFind::Broken) return w;
    const bool haveCounter = found == PerfCounterFind::Found;
    uint32_t at = obj.definitionLength;
    for (int32_t i = 0; i < obj.numInstances; ++i) {
        PerfInstance inst;
        if (!ReadPerfInstance(obj, at, &inst)) return w;
        char label[80];
        PerfInstanceLabel(obj, inst, label, sizeof label);
        w.labels.push_back(label);
        uint64_t v = 0;
        if (haveCounter && !ReadPerfCounter64(obj, inst, counter, &v)) return w;
        w.values.push_back(v);
        at = inst.next;
    }
    w.ok = true;
    return w;
}

BuiltBlock FourAndTotal() {
    return BuildBlock({{"0", 10}, {"1", 20}, {"2", 30}, {"3", 40}, {"_Total", 100}});
}

TEST(PerfWalk, WellFormedBlockGivesNamesAndCounters) {
    Walked w = Walk(FourAndTotal().bytes);
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(w.labels, (std::vector<std::string>{"name: 0", "name: 1", "name: 2", "name: 3",
                                                  "name: _Total"}));
    EXPECT_EQ(w.values, (std::vector<uint64_t>{10, 20, 30, 40, 100}));
}

TEST(PerfWalk, PicksTheProcessorTimeCounterAmongOthers) {
    BuiltBlock b = BuildBlock({{"0", 77}}, 6, 8, 3);
    std::vector<uint8_t> exact(b.bytes);
    PerfObject obj;
    ASSERT_TRUE(OpenPerfObject(exact.data(), exact.size(), &obj));
    uint32_t offset = 0;
    ASSERT_EQ(FindPerfCounter(obj, 6, 8, &offset), PerfCounterFind::Found);
    EXPECT_EQ(offset, 8u);
    EXPECT_EQ(FindPerfCounter(obj, 6, 4, &offset), PerfCounterFind::Absent)
        << "the size must match too";
    EXPECT_EQ(FindPerfCounter(obj, 999, 8, &offset), PerfCounterFind::Absent);
}

TEST(PerfWalk, EveryTruncationIsRefusedOrStaysInside) {
    const std::vector<uint8_t> full = FourAndTotal().bytes;
    for (size_t len = 0; len < full.size(); ++len) {
        std::vector<uint8_t> cut(full.begin(), full.begin() + len);
        // The object's TotalByteLength no longer fits any cut block.
        EXPECT_FALSE(Walk(cut).ok) << "cut at " << len;
    }
}

TEST(PerfWalk, BlockWithoutObjectIsRefused) {
    BuiltBlock b = BuildBlock({});
    std::vector<uint8_t> header(b.bytes.begin(), b.bytes.begin() + sizeof(PerfDataBlock));
    header.resize(96, 0); // Wine answers with a bare 96-byte header
    Poke32(b, offsetof(PerfDataBlock, NumObjectTypes), 0);
    std::memcpy(header.data(), b.bytes.data(), sizeof(PerfDataBlock));
    EXPECT_FALSE(Walk(header).ok);
    EXPECT_FALSE(Walk(std::vector<uint8_t>(40, 0)).ok);
    EXPECT_FALSE(Walk({}).ok);
}

TEST(PerfWalk, LyingLengthsAreRefused) {
    const uint32_t obj = FourAndTotal().object;
    const uint32_t inst0 = obj + FourAndTotal().instances[0];
    const uint32_t def = obj + FourAndTotal().firstCounter;
    struct Lie {
        const char* what;
        size_t offset;
        uint32_t value;
    };
    const Lie lies[] = {
        {"block HeaderLength past the end", offsetof(PerfDataBlock, HeaderLength), 0xFFFFFFF0u},
        {"block HeaderLength near the end", offsetof(PerfDataBlock, HeaderLength), 500},
        {"object TotalByteLength too long", obj + offsetof(PerfObjectType, TotalByteLength),
         100000},
        {"object TotalByteLength wraps", obj + offsetof(PerfObjectType, TotalByteLength),
         0xFFFFFFFFu},
        {"object HeaderLength too short", obj + offsetof(PerfObjectType, HeaderLength), 8},
        {"object DefinitionLength before its header",
         obj + offsetof(PerfObjectType, DefinitionLength), 10},
        {"object DefinitionLength past its end", obj + offsetof(PerfObjectType, DefinitionLength),
         90000},
        {"NumInstances beyond the data", obj + offsetof(PerfObjectType, NumInstances), 0x7FFFFFFF},
        {"counter ByteLength zero", def + offsetof(PerfCounterDefinition, ByteLength), 0},
        {"counter ByteLength huge", def + offsetof(PerfCounterDefinition, ByteLength), 0xFFFFFFF0u},
        {"CounterOffset beyond the counter block",
         def + offsetof(PerfCounterDefinition, CounterOffset), 9},
        {"CounterOffset wraps", def + offsetof(PerfCounterDefinition, CounterOffset), 0xFFFFFFFCu},
        {"instance ByteLength zero", inst0 + offsetof(PerfInstanceDefinition, ByteLength), 0},
        {"instance ByteLength past the object",
         inst0 + offsetof(PerfInstanceDefinition, ByteLength), 0x7FFFFFF0u},
        {"counter block ByteLength huge", inst0 + 24 + 8, 0xFFFFFFFFu},
        {"counter block ByteLength zero", inst0 + 24 + 8, 0},
    };
    for (const Lie& lie : lies) {
        BuiltBlock b = FourAndTotal();
        Poke32(b, lie.offset, lie.value);
        EXPECT_FALSE(Walk(b.bytes).ok) << lie.what;
    }
    // Many counters claimed, only one present: the search stops at the area's end.
    BuiltBlock b = FourAndTotal();
    Poke32(b, obj + offsetof(PerfObjectType, NumCounters), 1000000);
    std::vector<uint8_t> exact(b.bytes);
    PerfObject o;
    ASSERT_TRUE(OpenPerfObject(exact.data(), exact.size(), &o));
    uint32_t offset = 0;
    EXPECT_EQ(FindPerfCounter(o, 42, 8, &offset), PerfCounterFind::Broken);
}

TEST(PerfWalk, NamesAreReadOnlyWithinTheirInstance) {
    BuiltBlock b = BuildBlock({{"0", 1}, {"_Total", 2}});
    const uint32_t inst0 = b.object + b.instances[0];
    // A name offset outside the instance reads as an empty name.
    Poke32(b, inst0 + offsetof(PerfInstanceDefinition, NameOffset), 0x7FFFFFFF);
    Walked w = Walk(b.bytes);
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(w.labels[0], "name: ");
    EXPECT_EQ(w.labels[1], "name: _Total");

    // A name without terminator stops at the instance's end, not in the
    // counter block that follows.
    BuiltBlock c = BuildBlock({{"abcdef", 1}});
    const uint32_t at = c.object + c.instances[0];
    for (uint32_t i = 24; i < 24 + 16; i += 2) {
        c.bytes[at + i] = 'x';
        c.bytes[at + i + 1] = 0;
    }
    w = Walk(c.bytes);
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(w.labels[0], "name: xxxxxxxx");
}

TEST(PerfWalk, LabelsAreCutToTheirCapacity) {
    std::string longName(200, 'N');
    longName += "Total";
    BuiltBlock b = BuildBlock({{longName, 1}, {"\xC3\xA9t\xC3\xA9", 2}});
    std::vector<uint8_t> exact(b.bytes);
    PerfObject obj;
    ASSERT_TRUE(OpenPerfObject(exact.data(), exact.size(), &obj));
    PerfInstance inst;
    ASSERT_TRUE(ReadPerfInstance(obj, obj.definitionLength, &inst));
    char label[80];
    PerfInstanceLabel(obj, inst, label, sizeof label);
    EXPECT_EQ(std::string(label), "name: " + std::string(73, 'N'));
    char tiny[4];
    PerfInstanceLabel(obj, inst, tiny, sizeof tiny);
    EXPECT_STREQ(tiny, "nam");
    PerfInstance second;
    ASSERT_TRUE(ReadPerfInstance(obj, inst.next, &second));
    PerfInstanceLabel(obj, second, label, sizeof label);
    // The builder widens bytes one by one: units above ASCII show as '?'.
    EXPECT_STREQ(label, "name: ??t??");
    EXPECT_EQ(PerfInstanceFirstChar(obj, second), 0xC3);
}

} // namespace
