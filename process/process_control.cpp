#include "process/process_control.h"

#include <string>

#include "base/text.h"
#include "process/paths.h"

namespace corvane {

bool TerminateProcessByName(ProcessTable& table, SettingsStore& settings, Speaker& speaker,
                            std::string_view fileName) {
  const std::string wanted = ComparisonKey(fileName);
  // A blank name names no program; without this it would match a nameless system entry.
  if (wanted.empty()) return false;

  ProcessSnapshot snapshot;
  const int last = table.TakeProcessSnapshot(snapshot);
  bool found = false;
  std::uint32_t processId = 0;
  for (int i = 0; i <= last; ++i) {
    if (ComparisonKey(GetFileNameFromPath(snapshot[static_cast<size_t>(i)].exeFile)) == wanted) {
      processId = snapshot[static_cast<size_t>(i)].processId;
      found = true;
      break;
    }
  }
  if (!found) return false;
  return TerminateMatchedProcess(table, settings, speaker, processId);
}

int TerminateProcessesByPath(ProcessTable& table, SettingsStore& settings, Speaker& speaker, std::string_view path) {
  const std::string wantedPath = ComparisonKey(path);
  const std::string wantedName = ComparisonKey(GetFileNameFromPath(wantedPath));
  if (wantedName.empty()) return 0;

  ProcessSnapshot snapshot;
  const int last = table.TakeProcessSnapshot(snapshot);
  int ended = 0;
  for (int i = 0; i <= last; ++i) {
    const ProcessEntry& entry = snapshot[static_cast<size_t>(i)];
    // The name first: a path read costs far more than a comparison.
    if (ComparisonKey(GetFileNameFromPath(entry.exeFile)) != wantedName) continue;
    if (ComparisonKey(table.GetProcessFullPath(entry.processId)) != wantedPath) continue;
    if (TerminateMatchedProcess(table, settings, speaker, entry.processId)) ++ended;
  }
  return ended;
}

bool TerminateMatchedProcess(ProcessTable& table, SettingsStore& settings, Speaker& speaker, std::uint32_t processId) {
  if (ReadNumberSetting(settings, settings::kChkBeep, 0) == 1) {
    speaker.Beep(kTerminationBeepHz, kTerminationBeepMs);
  }
  for (int attempt = 0; attempt < kTerminationAttempts; ++attempt) {
    if (table.TerminateProcessById(processId, 0)) return true;
    switch (table.WaitForProcessEnd(processId, kTerminationWaitMs)) {
      case WaitResult::Ended:
        return true;
      case WaitResult::CannotWait:
        // Typically no right to the process at all: it is still running, so this is no success.
        return false;
      case WaitResult::TimedOut:
        break;
    }
  }
  return false;
}

std::uint32_t GetProcessIdByName(ProcessTable& table, std::string_view fileName) {
  ProcessSnapshot snapshot;
  const int last = table.TakeProcessSnapshot(snapshot);
  for (int i = 0; i <= last; ++i) {
    const std::uint32_t id = snapshot[static_cast<size_t>(i)].processId;
    const std::string path = table.GetProcessFullPath(id);
    if (path.empty()) continue;
    if (SameNameOrPath(GetFileNameFromPath(path), fileName)) return id;
  }
  return 0;
}

std::uint32_t GetThreadsOrParentId(ProcessTable& table, std::uint32_t processId, bool wantThreads) {
  ProcessSnapshot snapshot;
  const int last = table.TakeProcessSnapshot(snapshot);
  for (int i = 0; i <= last; ++i) {
    const ProcessEntry& entry = snapshot[static_cast<size_t>(i)];
    if (entry.processId == processId) return wantThreads ? entry.threadCount : entry.parentProcessId;
  }
  return 0;
}

}  // namespace corvane
