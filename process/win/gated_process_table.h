#pragma once
// A process table for a caller that asks for a snapshot every few milliseconds. A full process list
// is costly (under Wine it reads several /proc files per process); asking the system only how large
// the list would be is not, and that size changes whenever a process starts or ends. So the full
// list is read only when that size has changed, after a termination, and at least every
// kFullSnapshotInterval in case a start and an end happened to cancel out.
#include <windows.h>

#include <cstdint>
#include <string>

#include "process/process_table.h"

namespace corvane::win {

class ChangeGatedProcessTable final : public ProcessTable {
 public:
  explicit ChangeGatedProcessTable(ProcessTable& inner);

  bool TakeProcessSnapshot(ProcessSnapshot& snapshot) override;
  bool TerminateProcessById(std::uint32_t processId, std::uint32_t exitCode) override;
  WaitResult WaitForProcessEnd(std::uint32_t processId, std::uint32_t milliseconds) override {
    return inner_.WaitForProcessEnd(processId, milliseconds);
  }
  std::string GetProcessFullPath(std::uint32_t processId) override { return inner_.GetProcessFullPath(processId); }

  static constexpr ULONGLONG kFullSnapshotInterval = 100;  // ms

 private:
  // The size the system would need for its process list now; 0 when it cannot say.
  unsigned long ProbeListSize() const;

  ProcessTable& inner_;
  using QueryFunction = LONG(NTAPI*)(int, void*, ULONG, ULONG*);
  QueryFunction query_ = nullptr;
  bool valid_ = false;
  unsigned long listSize_ = 0;
  ULONGLONG fullTick_ = 0;
  ProcessSnapshot cached_;
  bool cachedTaken_ = false;
};

}  // namespace corvane::win
