#pragma once
// The main program's holds on programs waiting for the user's answer. A hold lasts no longer than
// the holder: the system lets a held program go by itself when Corvane ends, however it ends, so
// nothing of it is written down. What an earlier version recorded of its holds (suspended threads,
// which outlived it) is freed at start.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "process/held_processes.h"
#include "process/process_table.h"
#include "store/settings.h"
#include "watch/new_program_decision.h"

namespace corvane::watch {

class ProgramHolds {
 public:
  // holder: holds this run's programs. leftovers: resumes what an earlier version left suspended.
  ProgramHolds(SettingsStore& settings, ProcessHolder& holder, ProcessHolder& leftovers)
      : settings_(settings), holder_(holder), leftovers_(leftovers) {}
  ProgramHolds(const ProgramHolds&) = delete;
  ProgramHolds& operator=(const ProgramHolds&) = delete;

  // At start: resumes the processes a former run (or its end) left recorded that are still the same
  // processes, and clears the record. How many were resumed.
  std::size_t ResumeLeftOver();

  // Holds the process. False, and nothing held, when it is held already, has ended or cannot be
  // held.
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
  // True when the held process still runs under that id: the process there was created when the
  // held one was.
  bool IsSameProcess(std::uint32_t processId);
  const HeldProcessSet& held() const { return held_; }

 private:
  SettingsStore& settings_;
  ProcessHolder& holder_;
  ProcessHolder& leftovers_;
  HeldProcessSet held_;
};

// The holds of the alert: a program put before the user is held while the option says so and the
// rules let it be held, and let go once the user has decided.
class AlertHolds {
 public:
  AlertHolds(ProgramHolds& holds, SettingsStore& settings, ProcessTable& processes, std::uint32_t ownProcessId,
             ProtectedFolders folders)
      : holds_(holds), settings_(settings), processes_(processes), ownProcessId_(ownProcessId), folders_(folders) {}

  // Holds the program running from path under that id when the rules let it be held. The option
  // and the mode are read now, so that a change applies to the next question.
  HoldState Hold(std::uint32_t processId, std::string_view path, bool startedSinceLastLook);
  // Lets a held program go: it runs on, or (end: it was blocked) it is ended, provided it is still
  // the process that was held. Nothing for a program that is not held.
  void LetGo(std::uint32_t processId, bool end);

 private:
  ProgramHolds& holds_;
  SettingsStore& settings_;
  ProcessTable& processes_;
  std::uint32_t ownProcessId_;
  ProtectedFolders folders_;
};

}  // namespace corvane::watch
