#include "watch/watch_cycle.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "base/text.h"
#include "process/paths.h"
#include "process/process_control.h"

namespace corvane::watch {

void AnnounceTermination(SettingsStore& settings, Speaker& speaker) {
  if (ReadNumberSetting(settings, settings::kChkBeep, 0) == 1) speaker.Beep(kTerminationBeepHz, kTerminationBeepMs);
}

WatchCycle::WatchCycle(ProcessTable& processes, SettingsStore& settings, Speaker& speaker, Lists& lists,
                       ListFileSystem& files, bool ntFamily, WatchCycleHooks hooks)
    : processes_(processes),
      settings_(settings),
      speaker_(speaker),
      lists_(lists),
      files_(files),
      ntFamily_(ntFamily),
      hooks_(std::move(hooks)) {}

void WatchCycle::Tick() {
  if (ntFamily_) {
    TerminateBlockedPrograms();
    EmptyTrashJar();
    // One path read per process serves the judging of this tick (which reads a program again only
    // before it asks about it) and, for the processes still there afterwards, the pruning.
    const std::optional<RunningProcesses> now = ReadRunningProcesses();
    const RunningProcesses none;
    if (hooks_.inspectNewPrograms) hooks_.inspectNewPrograms(now ? *now : none);
    // The judging may have waited on the user for a long time: prune by what runs now.
    if (const auto after = ReadRunningProcesses(now ? &*now : nullptr)) PruneRunningProgramList(*after);
    TerminateBlockedPrograms();
    EmptyTrashJar();
  }
  if (hooks_.hotkeyStep) hooks_.hotkeyStep();
}

void WatchCycle::TerminateBlockedPrograms() {
  if (ReadBoolSetting(settings_, settings::kOptAllowAll, false)) return;
  const Lists& lists = lists_;
  if (lists.blockList().empty()) return;
  // One snapshot serves the whole pass. As with a termination by name per entry, each entry ends the
  // first listed process of its name that this pass has not ended yet: the k-th entry of a name ends
  // the k-th process of that name, and the entries go in list order.
  ProcessSnapshot snapshot;
  if (!processes_.TakeProcessSnapshot(snapshot)) return;
  // Both sides by the comparison rule, as the decision that a program is blocked uses it: a program
  // whose file name has blanks around it is ended too. The whole plan is made before the first
  // termination, as the list may change under a long one.
  std::unordered_map<std::string, std::size_t> matchedOfName;
  std::vector<std::pair<std::size_t, std::size_t>> plan;  // (entry's place in the list, process)
  for (std::size_t i = 0; i < snapshot.size(); ++i) {
    const std::string name = ComparisonKey(GetFileNameFromPath(snapshot[i].exeFile));
    if (name.empty()) continue;
    const std::vector<std::size_t>* entries = lists.BlockListPositions(name);
    if (entries == nullptr) continue;
    std::size_t& matched = matchedOfName[name];
    if (matched < entries->size()) plan.emplace_back((*entries)[matched++], i);
  }
  std::sort(plan.begin(), plan.end());
  for (const auto& step : plan) {
    AnnounceTermination(settings_, speaker_);
    TerminateMatchedProcess(processes_, snapshot[step.second].processId);
  }
}

void WatchCycle::EmptyTrashJar() {
  // Nothing here sleeps or runs window events: a file that cannot be deleted now (in use, no right)
  // stays and is tried again at the next pass, which is at most half a second away.
  const TrashJarList paths = lists_.trashJar();
  for (const std::string& entry : paths) {
    const std::string path = TrimSpaces(entry);
    // A hidden file is left alone: the existence test sees ordinary files only.
    if (!files_.VisibleFileExists(path)) continue;
    if (ToUpperAscii(TrimSpaces(GetFileExtension(path))) == "EXE") {
      // Only the program started from this very file: a program of the same name elsewhere is
      // another program and none of the Trash Jar's business.
      for (const std::uint32_t processId : FindProcessesByPath(processes_, path)) {
        AnnounceTermination(settings_, speaker_);
        TerminateMatchedProcess(processes_, processId);
      }
    }
    lists_.DeleteFileWithRetry(path);
  }
}

std::optional<RunningProcesses> WatchCycle::ReadRunningProcesses(const RunningProcesses* earlier) {
  ProcessSnapshot snapshot;
  if (!processes_.TakeProcessSnapshot(snapshot)) return std::nullopt;
  std::unordered_map<std::uint32_t, const RunningProcess*> earlierById;
  if (earlier != nullptr) {
    for (const RunningProcess& seen : *earlier) earlierById.emplace(seen.processId, &seen);
  }
  const auto earlierPath = [&](const ProcessEntry& entry) -> const std::string* {
    const auto found = earlierById.find(entry.processId);
    // The same id under the same file name is the same process; an id that another program has
    // taken over meanwhile is read again.
    if (found == earlierById.end() || found->second->exeFile != entry.exeFile ||
        found->second->creationTime != entry.creationTime) {
      return nullptr;
    }
    return &found->second->fullPath;
  };
  RunningProcesses now;
  now.reserve(snapshot.size());
  for (const ProcessEntry& entry : snapshot) {
    const std::string* known = earlierPath(entry);
    now.push_back({entry.processId, entry.exeFile,
                   known != nullptr ? *known : processes_.GetProcessFullPath(entry.processId), entry.threadCount,
                   entry.parentProcessId, entry.creationTime});
  }
  return now;
}

void WatchCycle::PruneRunningProgramList() {
  if (const auto now = ReadRunningProcesses()) PruneRunningProgramList(*now);
}

void WatchCycle::PruneRunningProgramList(const RunningProcesses& now) {
  // One pass over the processes, then one over the entries, instead of every process for every entry.
  std::unordered_set<std::string> runningPaths;
  for (const RunningProcess& process : now) {
    if (process.fullPath.empty()) continue;
    runningPaths.insert(ToUpperAscii(TrimSpaces(process.fullPath)));
  }
  const size_t removed = running_.RemoveUnless([&](const RunningProgram& entry) {
    const std::string path = ToUpperAscii(TrimSpaces(entry.path));
    // The entry's name must be the file name of that path, as it was when it was added.
    return runningPaths.count(path) != 0 && SameNameOrPath(entry.name, GetFileNameFromPath(TrimSpaces(entry.path)));
  });
  if (removed != 0 && hooks_.runningListChanged) hooks_.runningListChanged();
}

}  // namespace corvane::watch
