#pragma once
// Processes that can be held: each id with its creation time and how often it is suspended.
#include <cstdint>
#include <map>
#include <optional>
#include <set>

#include "process/held_processes.h"

namespace corvane::testing {

class FakeProcessHolder final : public ProcessHolder {
 public:
  struct Process {
    std::uint64_t creationTime = 0;
    int suspendCount = 0;
    // The process ends and its id goes to a new process, created at this time, just as it is
    // suspended: the new one is what gets suspended.
    std::optional<std::uint64_t> replacedOnSuspend{};
  };

  bool SuspendProcess(std::uint32_t processId) override {
    const auto it = processes.find(processId);
    if (it == processes.end() || refuse.count(processId) != 0) return false;
    if (it->second.replacedOnSuspend) it->second = {*it->second.replacedOnSuspend, 0, std::nullopt};
    ++it->second.suspendCount;
    return true;
  }
  bool ResumeProcess(std::uint32_t processId) override {
    const auto it = processes.find(processId);
    if (it == processes.end() || refuse.count(processId) != 0) return false;
    if (it->second.suspendCount > 0) --it->second.suspendCount;
    return true;
  }
  std::optional<std::uint64_t> ProcessCreationTime(std::uint32_t processId) override {
    const auto it = processes.find(processId);
    if (it == processes.end()) return std::nullopt;
    return it->second.creationTime;
  }

  std::map<std::uint32_t, Process> processes;
  std::set<std::uint32_t> refuse;  // no right to these
};

}  // namespace corvane::testing
