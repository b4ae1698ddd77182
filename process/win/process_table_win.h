#pragma once
// The real process table: snapshots, full paths, waiting and termination through the Win32 API.
#include <cstdint>
#include <string>

#include "process/process_table.h"

namespace corvane::win {

class Win32ProcessTable final : public ProcessTable {
 public:
  Win32ProcessTable() = default;

  int TakeProcessSnapshot(ProcessSnapshot& snapshot) override;
  bool TerminateProcessById(std::uint32_t processId, std::uint32_t exitCode) override;
  WaitResult WaitForProcessEnd(std::uint32_t processId, std::uint32_t milliseconds) override;
  std::string GetProcessFullPath(std::uint32_t processId) override;
};

}  // namespace corvane::win
