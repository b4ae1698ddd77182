#pragma once
// A process's memory figures from the system, formatted with the user's locale.
#include <cstdint>
#include <string>

#include "process/memory_figures.h"

namespace corvane::win {

// The counters through GetProcessMemoryInfo, full width.
class Win32MemoryCounterReader final : public MemoryCounterReader {
 public:
  bool ReadMemoryCounters(std::uint32_t processId, MemoryCounters& counters) override;
};

// The user locale's digit group separator; "," when it cannot be read.
std::string LocaleGroupSeparator();

// The figures of process/memory_figures.h against the running system and the user's locale.
std::string GetPeakMemoryUsage(std::int64_t processId);
std::string GetMemoryUsage(std::int64_t processId);
std::uint64_t GetPageFileUsage(std::int64_t processId);
std::uint64_t GetPeakPageFileUsage(std::int64_t processId);
std::uint64_t GetPageFaultCount(std::int64_t processId);

}  // namespace corvane::win
