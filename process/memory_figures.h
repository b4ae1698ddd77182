#pragma once
// A process's memory figures as the details report shows them. The counters come from the system
// through MemoryCounterReader (one Win32 implementation, fakes in tests); the rules for which ids
// are asked about and how the figures read are here.
#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

// The counters used, in bytes (the page-fault count is a count). Full width: a process can use
// more than 2 or 4 GiB.
struct MemoryCounters {
  std::uint64_t pageFaultCount = 0;
  std::uint64_t peakWorkingSetSize = 0;
  std::uint64_t workingSetSize = 0;
  std::uint64_t pagefileUsage = 0;
  std::uint64_t peakPagefileUsage = 0;
};

class MemoryCounterReader {
 public:
  virtual ~MemoryCounterReader() = default;
  // False when the process cannot be opened or its counters cannot be read; counters is then
  // left as it was.
  virtual bool ReadMemoryCounters(std::uint32_t processId, MemoryCounters& counters) = 0;
};

// value with its digits grouped in thousands by separator ("#,###,###"): 12352 with "," reads
// "12,352"; 0 reads as an empty text.
std::string FormatGroupedNumber(std::uint64_t value, std::string_view separator);

// Every figure below: a negative id, id 0 and id 2 read "0" (or 0) without asking the reader; a
// process whose counters cannot be read gives an empty text (or 0). Kilobytes are whole: bytes
// divided by 1024, the remainder dropped.

// Peak and current working set in kilobytes, grouped by the locale's group separator.
std::string GetPeakMemoryUsage(MemoryCounterReader& reader, std::int64_t processId, std::string_view separator);
std::string GetMemoryUsage(MemoryCounterReader& reader, std::int64_t processId, std::string_view separator);
// Current and peak page-file use in kilobytes.
std::uint64_t GetPageFileUsage(MemoryCounterReader& reader, std::int64_t processId);
std::uint64_t GetPeakPageFileUsage(MemoryCounterReader& reader, std::int64_t processId);
// The number of page faults, not divided.
std::uint64_t GetPageFaultCount(MemoryCounterReader& reader, std::int64_t processId);

}  // namespace corvane
