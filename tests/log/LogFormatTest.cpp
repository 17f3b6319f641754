// The log's lines, its rotation name and its two filters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log/LogFormat.h"
#include "settings/Settings.h"

namespace {

const LogTime kStart = {2024, 1, 2, 3, 4, 5, 678};
const std::string kBanner =
    "\"Vantor\x83\x82\x83\x6a\x83\x5eLOG: start at 2024/01/02 03:04:05.678\"\n";

std::string Header(bool withTime, int processors) {
    std::vector<char> out(LogLineCapacity(processors));
    return std::string(out.data(), FormatLogHeader(out.data(), out.size(), withTime, processors));
}

std::string Row(const LogTime* time, uint64_t elapsed, const std::vector<uint32_t>& loads,
                size_t cap = 0) {
    int processors = static_cast<int>(loads.size()) - 1;
    std::vector<char> out(cap ? cap : LogLineCapacity(processors), 'x');
    size_t n = FormatLogRow(out.data(), out.size(), time, elapsed, loads.data(), processors);
    return std::string(out.data(), n ? n : strlen(out.data()));
}

TEST(LogFormat, BannerHeaderAndRowsForOneFourAnd256Processors) {
    char banner[128];
    EXPECT_EQ(std::string(banner, FormatLogBanner(banner, sizeof banner, kStart)), kBanner);

    EXPECT_EQ(Header(false, 1), "\"Elapsed-time[ms]\",\"Total[%]\"\n");
    EXPECT_EQ(Header(true, 4), "\"Date\",\"Time\",\"Elapsed-time[ms]\",\"Total[%]\",\"CPU 1[%]\","
                               "\"CPU 2[%]\",\"CPU 3[%]\",\"CPU 4[%]\"\n");
    EXPECT_EQ(Row(nullptr, 1000, {12}), "1000, 12\n");
    // Elapsed time past 2^32 ms (49.7 days) keeps counting.
    EXPECT_EQ(Row(nullptr, (1ull << 32) + 1000, {5, 1, 9}), "4294968296, 5, 1, 9\n");
    EXPECT_EQ(Row(&kStart, 250, {37, 10, 50, 90, 0}),
              "2024/01/02, 03:04:05.678, 250, 37, 10, 50, 90, 0\n");

    // 256 processors with date and time: every column, one line feed, no cut.
    EXPECT_NE(Header(true, 256).find(",\"CPU 255[%]\",\"CPU 256[%]\"\n"), std::string::npos);
    std::string row = Row(&kStart, 4294967295u, std::vector<uint32_t>(257, 100));
    EXPECT_EQ(row.size(), 26 + 10 + 5 + 256 * 5 + 1u);
    EXPECT_EQ(row.rfind("2024/01/02, 03:04:05.678, 4294967295, 100, 100, ", 0), 0u);
    EXPECT_EQ(row.find('\n'), row.size() - 1);
    // A buffer too small for the row gets nothing rather than a cut row.
    EXPECT_EQ(Row(&kStart, 1, std::vector<uint32_t>(65, 100), 200), "");
}

// The old log's new name, taken from the start time its banner records.
std::string Rotated(const std::string& head, const char* logfile, uint32_t taken = 0,
                    size_t cap = 64) {
    LogTime start;
    std::vector<char> name(cap);
    if (!ReadLogBannerStart(head.data(), head.size(), &start) ||
        !RotatedLogName(start, logfile, taken, name.data(), name.size()))
        return "refused";
    return name.data();
}

TEST(LogFormat, RotationNameComesFromTheBannerOnly) {
    std::string file = kBanner + "\"Elapsed-time[ms]\",\"Total[%]\"\n1000, 12\n";
    // Names taken within the same second are passed by, the suffix counting on in letters.
    const std::pair<uint32_t, const char*> suffixes[] = {
        {0, ""}, {1, "a"}, {2, "b"}, {26, "z"}, {27, "aa"}, {28, "ab"}, {702, "zz"}, {703, "aaa"}};
    for (const auto& s : suffixes)
        EXPECT_EQ(Rotated(file, "C:\\l\\cpu.csv", s.first),
                  std::string("C:\\l\\cpu.csv.20240102_030405") + s.second);
    // A banner whose line feed a text editor made CR LF still says when the log started.
    EXPECT_EQ(Rotated(kBanner.substr(0, kBanner.size() - 1) + "\r\n", "a"), "a.20240102_030405");

    // Another program's file, a cut banner, an empty file: never renamed.
    for (std::string foreign : {std::string("Date,Load\n2024/01/02 03:04:05.678\n"),
                                kBanner.substr(0, 40), std::string(), "x" + kBanner})
        EXPECT_EQ(Rotated(foreign, "a.csv"), "refused") << foreign;
    // A name that would not fit the path buffer is refused, not cut.
    EXPECT_EQ(Rotated(kBanner, std::string(50, 'p').c_str()), "refused");
    const std::string p45(45, 'p');
    EXPECT_EQ(Rotated(kBanner, p45.c_str(), 0, 62), p45 + ".20240102_030405");
    EXPECT_EQ(Rotated(kBanner, p45.c_str(), 1, 62), "refused") << "the suffix needs room too";

    // What a failed first write leaves (nothing, or a cut banner) may be
    // written over; a log with its header, or anything else, may not.
    const std::pair<std::string, bool> files[] = {
        {"", true},
        {kBanner.substr(0, 40), true},
        {kBanner, true},
        {kBanner + "\"", false},
        // A whole banner and anything after it, even a zero byte, is a log to keep.
        {kBanner + std::string(1, '\0'), false},
        {kBanner + std::string(40, '\0'), false},
        {"\"Vantor\x83\x82\x83\x6a\x83\x5eLOG: start at 2024/1/", false},
        {file, false},
        {"\"Vantorx", false},
        {std::string(1, '\0'), false}};
    for (const auto& f : files)
        EXPECT_EQ(IsUnfinishedLogBanner(f.first.data(), f.first.size()), f.second) << f.first;
}

// The totals of the ticks whose rows are written.
std::vector<int> Written(const Settings& s, std::initializer_list<int> totals) {
    int32_t last = InitialLastLoggedTotal(s.logchangeval);
    bool above = true;
    std::vector<int> rows;
    for (int t : totals)
        if (LogRowPasses(s, t, &last, &above)) rows.push_back(t);
    return rows;
}

TEST(LogFormat, LimitAndChangeFilters) {
    Settings s;
    s.loglimit = 1;
    s.loglimitval = 50;
    EXPECT_EQ(Written(s, {30, 60, 40}), (std::vector<int>{60}));
    EXPECT_EQ(Written(s, {49, 50, 51}), (std::vector<int>{50, 51})) << "the limit itself counts";
    s.logchange = 1;
    s.logchangeval = 5;
    EXPECT_EQ(Written(s, {60, 62, 70, 40, 30, 20, 55}), (std::vector<int>{60, 70, 40, 55}));
    EXPECT_EQ(Written(s, {60, 50, 44, 50}), (std::vector<int>{60, 50, 44, 50}));
    // Started below the limit: the first tick still writes one row.
    EXPECT_EQ(Written(s, {20, 22, 10, 30}), (std::vector<int>{20}));
    // Without loglimit every tick is written, whatever logchange says.
    s.loglimit = 0;
    EXPECT_EQ(Written(s, {60, 61, 61}), (std::vector<int>{60, 61, 61}));
    // Extreme thresholds from a hand-edited file do not overflow.
    s.loglimit = 1;
    s.logchangeval = INT32_MIN;
    EXPECT_EQ(Written(s, {0, 100}), (std::vector<int>{0, 100}));
    s.logchangeval = INT32_MAX;
    EXPECT_EQ(Written(s, {0, 100}), (std::vector<int>{0}));
}

} // namespace
