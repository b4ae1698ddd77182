#include "rizaz/block_cycle.h"

#include "process/paths.h"

namespace corvane::rizaz {

BlockCycle::BlockCycle(ProcessTable& processes, SettingsStore& settings, ListFileReader& listFile,
                       BlockNotifier& notifier)
    : processes_(processes), settings_(settings), listFile_(listFile), notifier_(notifier) {}

void BlockCycle::Start() {
  WriteBoolSetting(settings_, settings::kRead, true);
  LoadBlockList();
}

bool BlockCycle::Tick() {
  if (!ReadBoolSetting(settings_, settings::kSupport, true)) return false;
  // Allow All: nothing is blocked and nothing reloaded; "Read" keeps its value for the first tick
  // back in Normal mode.
  if (ReadBoolSetting(settings_, settings::kOptAllowAll, false)) return true;
  KillBlockedPrograms();
  // A program blocked a moment ago by the main program is stopped in the tick that loads it.
  if (LoadBlockList()) KillBlockedPrograms();
  return true;
}

bool BlockCycle::LoadBlockList() {
  const bool signalled = ReadBoolSetting(settings_, settings::kRead, true);
  if (!signalled && !reloadPending_) return false;
  // Cleared before reading: a change completed while the file is read raises the flag again.
  if (signalled) WriteBoolSetting(settings_, settings::kRead, false);
  std::string text;
  if (!listFile_.ReadWhole(text)) {
    // Keep blocking with the list we have rather than with none, and try again next tick.
    reloadPending_ = true;
    return false;
  }
  reloadPending_ = false;
  list_ = ParseBlockList(text);
  matcher_ = BlockMatcher(list_);
  return true;
}

int BlockCycle::KillBlockedPrograms() {
  // With no name to look for, a snapshot could not change anything.
  if (matcher_.empty()) return 0;
  if (!processes_.TakeProcessSnapshot(snapshot_)) return 0;
  int matched = 0;
  for (const ProcessEntry& entry : snapshot_) {
    const std::size_t index = matcher_.FindFirst(GetFileNameFromPath(entry.exeFile));
    if (index == BlockMatcher::npos) continue;
    // A process terminated a moment ago can still be listed while it goes; it is not running, so
    // it is neither terminated again nor announced twice.
    if (processes_.WaitForProcessEnd(entry.processId, 0) == WaitResult::Ended) continue;
    ++matched;
    // Refused terminations still beep and notify: the process matches again at the next pass.
    processes_.TerminateProcessById(entry.processId, 0);
    if (ReadNumberSetting(settings_, settings::kChkBeep, 0) == 1) notifier_.Beep();
    if (ReadNumberSetting(settings_, settings::kChkDontShow, 0) == 0) notifier_.ShowBlocked(list_[index].name);
  }
  return matched;
}

}  // namespace corvane::rizaz
