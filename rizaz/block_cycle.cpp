#include "rizaz/block_cycle.h"

#include <algorithm>
#include <exception>
#include <string_view>
#include <utility>

#include "process/paths.h"
#include "store/list_files.h"

namespace corvane::rizaz {

namespace {
// The length of text up to and with its last CR LF.
std::size_t CompleteLinesLength(std::string_view text) {
  const std::size_t lastEnd = text.rfind(list_files::kLineEnd);
  return lastEnd == std::string_view::npos ? 0 : lastEnd + list_files::kLineEnd.size();
}
}  // namespace

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
  try {
    std::string text;
    const ListRead read = listFile_.Read(list_files::kMaxFileBytes, text);
    if (read == ListRead::Failed) {
      // Keep blocking with the list we have rather than with none, and try again next tick.
      reloadPending_ = true;
      return false;
    }
    // Cut at the limit: the last line may be a shorter piece of a record, so only whole lines count.
    if (read == ListRead::Capped) text.erase(CompleteLinesLength(text));
    BlockList list = ParseBlockList(text);
    BlockMatcher matcher(list);
    list_ = std::move(list);
    matcher_ = std::move(matcher);
  } catch (const std::exception&) {
    // Out of memory on a hostile file: the blocker goes on with the list it had. Trying again at
    // every tick would only repeat the failure; the next change of the file tries again.
    reloadPending_ = false;
    return false;
  }
  reloadPending_ = false;
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
