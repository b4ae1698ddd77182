#include "process/memory_figures.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "tests/fakes/fake_memory_counters.h"

namespace corvane {
namespace {

constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

TEST(GroupedNumber, GroupsThousandsWithTheGivenSeparator) {
  EXPECT_EQ(FormatGroupedNumber(12352, ","), "12,352");
  EXPECT_EQ(FormatGroupedNumber(7, ","), "7");
  EXPECT_EQ(FormatGroupedNumber(999, ","), "999");
  EXPECT_EQ(FormatGroupedNumber(1000, ","), "1,000");
  EXPECT_EQ(FormatGroupedNumber(100000, ","), "100,000");
  EXPECT_EQ(FormatGroupedNumber(1234567, "."), "1.234.567");
  // Beyond the pattern's seven digits the grouping goes on.
  EXPECT_EQ(FormatGroupedNumber(12345678901ULL, ","), "12,345,678,901");
  EXPECT_EQ(FormatGroupedNumber(UINT64_MAX, ","), "18,446,744,073,709,551,615");
  // Separators of more than one byte (a no-break space in UTF-8) and none at all.
  EXPECT_EQ(FormatGroupedNumber(1234567, "\xC2\xA0"), "1\xC2\xA0" "234\xC2\xA0" "567");
  EXPECT_EQ(FormatGroupedNumber(1234567, ""), "1234567");
  // Zero shows nothing.
  EXPECT_EQ(FormatGroupedNumber(0, ","), "");
}

class MemoryFigures : public ::testing::Test {
 protected:
  testing::FakeMemoryCounterReader reader;
};

TEST_F(MemoryFigures, ReadTheCountersInKilobytes) {
  MemoryCounters counters;
  counters.peakWorkingSetSize = 12'648'448;
  counters.workingSetSize = 4'096'000 + 1023;  // the part below a kilobyte is dropped
  counters.pagefileUsage = 2'048'000;
  counters.peakPagefileUsage = 3'072'000;
  counters.pageFaultCount = 12345;
  reader.processes[1234] = counters;
  EXPECT_EQ(GetPeakMemoryUsage(reader, 1234, ","), "12,352");
  EXPECT_EQ(GetMemoryUsage(reader, 1234, "."), "4.000");
  EXPECT_EQ(GetPageFileUsage(reader, 1234), 2000u);
  EXPECT_EQ(GetPeakPageFileUsage(reader, 1234), 3000u);
  // The page-fault count is not divided.
  EXPECT_EQ(GetPageFaultCount(reader, 1234), 12345u);
}

TEST_F(MemoryFigures, ProcessesAbove2And4GiBKeepTheirFullSize) {
  MemoryCounters counters;
  counters.peakWorkingSetSize = 6 * kGiB + 512 * 1024;
  counters.workingSetSize = 3 * kGiB;
  counters.pagefileUsage = 5 * kGiB;
  counters.peakPagefileUsage = 2 * kGiB + 1024;
  counters.pageFaultCount = 5'000'000'000ULL;
  reader.processes[88] = counters;
  EXPECT_EQ(GetPeakMemoryUsage(reader, 88, ","), "6,291,968");
  EXPECT_EQ(GetMemoryUsage(reader, 88, ","), "3,145,728");
  EXPECT_EQ(GetPageFileUsage(reader, 88), 5'242'880u);
  EXPECT_EQ(GetPeakPageFileUsage(reader, 88), 2'097'153u);
  EXPECT_EQ(GetPageFaultCount(reader, 88), 5'000'000'000ULL);
  // Terabytes too.
  reader.processes[88].workingSetSize = 3 * 1024 * kGiB;
  EXPECT_EQ(GetMemoryUsage(reader, 88, ","), "3,221,225,472");
}

TEST_F(MemoryFigures, SystemAndNoProcessIdsReadZeroWithoutAsking) {
  reader.processes[0] = reader.processes[2] = MemoryCounters{1, 1 << 20, 1 << 20, 1 << 20, 1 << 20};
  for (const std::int64_t id : {std::int64_t{0}, std::int64_t{2}, std::int64_t{-1}, std::int64_t{-4096}}) {
    EXPECT_EQ(GetPeakMemoryUsage(reader, id, ","), "0") << id;
    EXPECT_EQ(GetMemoryUsage(reader, id, ","), "0") << id;
    EXPECT_EQ(GetPageFileUsage(reader, id), 0u) << id;
    EXPECT_EQ(GetPeakPageFileUsage(reader, id), 0u) << id;
    EXPECT_EQ(GetPageFaultCount(reader, id), 0u) << id;
  }
  EXPECT_TRUE(reader.asked.empty());
}

TEST_F(MemoryFigures, UnreadableProcessGivesEmptyTextAndZero) {
  // Id 4 is not in the reader: not running, or no right to it.
  EXPECT_EQ(GetPeakMemoryUsage(reader, 4, ","), "");
  EXPECT_EQ(GetMemoryUsage(reader, 4, ","), "");
  EXPECT_EQ(GetPageFileUsage(reader, 4), 0u);
  EXPECT_EQ(GetPeakPageFileUsage(reader, 4), 0u);
  EXPECT_EQ(GetPageFaultCount(reader, 4), 0u);
  EXPECT_EQ(reader.asked.size(), 5u);
  // An id no process can have is not passed on cut to 32 bits.
  EXPECT_EQ(GetMemoryUsage(reader, (std::int64_t{1} << 32) + 4, ","), "");
  EXPECT_EQ(reader.asked.size(), 5u);
  // A readable process using less than a kilobyte: the grouped figures are empty, not "0".
  reader.processes[8] = MemoryCounters{0, 1023, 0, 0, 0};
  EXPECT_EQ(GetPeakMemoryUsage(reader, 8, ","), "");
  EXPECT_EQ(GetMemoryUsage(reader, 8, ","), "");
}

}  // namespace
}  // namespace corvane
