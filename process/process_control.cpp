#include "process/process_control.h"

#include <string>

#include "base/text.h"
#include "process/paths.h"

namespace corvane {

std::optional<std::uint32_t> FindProcessByFileName(ProcessTable& table, std::string_view fileName) {
  const std::string wanted = ComparisonKey(fileName);
  // A blank name names no program; without this it would match a nameless system entry.
  if (wanted.empty()) return std::nullopt;

  ProcessSnapshot snapshot;
  if (!table.TakeProcessSnapshot(snapshot)) return std::nullopt;
  for (const ProcessEntry& entry : snapshot) {
    if (ComparisonKey(GetFileNameFromPath(entry.exeFile)) == wanted) return entry.processId;
  }
  return std::nullopt;
}

std::vector<std::uint32_t> FindProcessesByPath(ProcessTable& table, std::string_view path) {
  const std::string wantedPath = ComparisonKey(path);
  const std::string wantedName = ComparisonKey(GetFileNameFromPath(wantedPath));
  if (wantedName.empty()) return {};

  ProcessSnapshot snapshot;
  if (!table.TakeProcessSnapshot(snapshot)) return {};
  std::vector<std::uint32_t> found;
  for (const ProcessEntry& entry : snapshot) {
    // The name first: a path read costs far more than a comparison.
    if (ComparisonKey(GetFileNameFromPath(entry.exeFile)) != wantedName) continue;
    if (ComparisonKey(table.GetProcessFullPath(entry.processId)) != wantedPath) continue;
    found.push_back(entry.processId);
  }
  return found;
}

bool TerminateMatchedProcess(ProcessTable& table, std::uint32_t processId) {
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

bool TerminateProcessByName(ProcessTable& table, std::string_view fileName) {
  const std::optional<std::uint32_t> processId = FindProcessByFileName(table, fileName);
  return processId && TerminateMatchedProcess(table, *processId);
}

std::uint32_t GetProcessIdByName(ProcessTable& table, std::string_view fileName) {
  ProcessSnapshot snapshot;
  if (!table.TakeProcessSnapshot(snapshot)) return 0;
  for (const ProcessEntry& entry : snapshot) {
    const std::string path = table.GetProcessFullPath(entry.processId);
    if (path.empty()) continue;
    if (SameNameOrPath(GetFileNameFromPath(path), fileName)) return entry.processId;
  }
  return 0;
}

std::uint32_t GetThreadsOrParentId(ProcessTable& table, std::uint32_t processId, bool wantThreads) {
  ProcessSnapshot snapshot;
  if (!table.TakeProcessSnapshot(snapshot)) return 0;
  for (const ProcessEntry& entry : snapshot) {
    if (entry.processId == processId) return wantThreads ? entry.threadCount : entry.parentProcessId;
  }
  return 0;
}

}  // namespace corvane
