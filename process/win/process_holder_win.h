#pragma once
// Suspending and resuming every thread of a process, found through a Toolhelp thread walk. Any
// program that may resume threads can undo such a hold, so it no longer holds programs while they
// are asked about (debug_holder_win.h does); it remains to free what an earlier version left
// suspended.
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "process/held_processes.h"

namespace corvane::win {

// The creation time of the process now running with that id; nothing when none runs.
std::optional<std::uint64_t> ProcessCreationTimeOf(std::uint32_t processId);

class Win32ProcessHolder final : public ProcessHolder {
 public:
  // Suspends each thread of the process once. Threads that start while the walk runs are caught by
  // another walk. True when at least one thread was suspended.
  bool SuspendProcess(std::uint32_t processId) override;
  // Resumes the threads this holder suspended; for a process some other run suspended, every
  // thread it has, once.
  bool ResumeProcess(std::uint32_t processId) override;
  std::optional<std::uint64_t> ProcessCreationTime(std::uint32_t processId) override;

 private:
  // The threads suspended per process, so that a resume leaves alone a thread the program had
  // suspended itself.
  std::map<std::uint32_t, std::vector<std::uint32_t>> suspended_;
};

}  // namespace corvane::win
