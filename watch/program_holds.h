#pragma once
// The main program's holds on programs waiting for the user's answer, kept in step with the settings
// value that lets any later start of Corvane, or rizaz, resume them (process/held_processes.h).
//
// A hold is written down before the process is suspended, and a process is resumed before its
// record goes: whatever ends Corvane between the two steps, no process is left frozen without a
// record.
#include <cstddef>
#include <cstdint>

#include "process/held_processes.h"
#include "store/settings.h"

namespace corvane::watch {

class ProgramHolds {
 public:
  ProgramHolds(SettingsStore& settings, ProcessHolder& holder) : settings_(settings), holder_(holder) {}
  ProgramHolds(const ProgramHolds&) = delete;
  ProgramHolds& operator=(const ProgramHolds&) = delete;

  // At start: resumes the processes a former run (or its end) left recorded that are still the same
  // processes, and clears the record. How many were resumed.
  std::size_t ResumeLeftOver();

  // Holds the process. False, and nothing held, when it is held already, has ended, cannot be
  // suspended, or the record cannot be written (a hold nobody could undo is worse than none).
  bool Hold(std::uint32_t processId);
  // Resumes a held process (Allow, or a question that ended without an answer) and forgets it.
  // False when we did not hold it.
  bool Release(std::uint32_t processId);
  // Forgets a held process that has been ended (Block). Should it still run, it is resumed rather
  // than left frozen.
  void Ended(std::uint32_t processId);
  // Resumes every held process and clears the record; when Corvane closes.
  void ReleaseAll();

  bool IsHeld(std::uint32_t processId) const { return held_.IsHeld(processId); }
  const HeldProcessSet& held() const { return held_; }

 private:
  void ResumeIfSame(const HeldProcess& process);
  bool WriteRecord();

  SettingsStore& settings_;
  ProcessHolder& holder_;
  HeldProcessSet held_;
};

}  // namespace corvane::watch
