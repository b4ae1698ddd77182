#pragma once
// The real process table: snapshots, full paths, waiting and termination through the Win32 API.
#include <cstdint>
#include <string>
#include <vector>

#include "process/process_table.h"

namespace corvane::win {

class Win32ProcessTable final : public ProcessTable {
 public:
  Win32ProcessTable() = default;

  bool TakeProcessSnapshot(ProcessSnapshot& snapshot) override;
  bool TerminateProcessById(std::uint32_t processId, std::uint32_t exitCode) override;
  WaitResult WaitForProcessEnd(std::uint32_t processId, std::uint32_t milliseconds) override;
  std::string GetProcessFullPath(std::uint32_t processId) override;

 private:
  bool ReadNativeProcessList(ProcessSnapshot& snapshot);

  // The system's process list, kept between snapshots: the blocker takes one every 10 ms.
  std::vector<unsigned char> listBuffer_;
};

// The snapshot through Tool Help alone: the fallback of TakeProcessSnapshot, visible for tests that
// compare the two.
bool TakeToolhelpSnapshot(ProcessSnapshot& snapshot);

}  // namespace corvane::win
