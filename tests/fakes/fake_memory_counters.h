#pragma once
// Memory counters by process id, and which ids were asked about.
#include <cstdint>
#include <map>
#include <vector>

#include "process/memory_figures.h"

namespace corvane::testing {

class FakeMemoryCounterReader final : public MemoryCounterReader {
 public:
  bool ReadMemoryCounters(std::uint32_t processId, MemoryCounters& counters) override {
    asked.push_back(processId);
    const auto found = processes.find(processId);
    if (found == processes.end()) return false;
    counters = found->second;
    return true;
  }
  // The processes whose counters can be read; any other id fails as an inaccessible one does.
  std::map<std::uint32_t, MemoryCounters> processes;
  std::vector<std::uint32_t> asked;
};

}  // namespace corvane::testing
