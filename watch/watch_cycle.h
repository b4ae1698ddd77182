#pragma once
// The main program's once-a-second watch: terminate blocked programs, empty the Trash Jar, judge the
// programs that started since the last tick, forget the ones that ended, then the hotkey step.
// Portable: it works through the process table, the list store and the settings, so host tests can
// drive ticks deterministically.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "process/process_table.h"
#include "process/speaker.h"
#include "store/list_file_system.h"
#include "store/lists.h"
#include "store/settings.h"
#include "watch/running_program_list.h"

namespace corvane::watch {

// A running process with its full path, read once per tick and shared by the steps that need paths.
struct RunningProcess {
  std::uint32_t processId = 0;
  std::string exeFile;
  std::string fullPath;  // empty when it cannot be read
  std::uint32_t threadCount = 0;
  std::uint32_t parentProcessId = 0;
  std::uint64_t creationTime = 0;  // as ProcessEntry has it; 0 when not known
};
using RunningProcesses = std::vector<RunningProcess>;

// What a tick hands on to the rest of the program. Any of them may be left empty.
struct WatchCycleHooks {
  // Judges the programs that are not in the running list yet, given the processes of this tick's
  // snapshot with their paths (none when the snapshot failed).
  std::function<void(const RunningProcesses& now)> inspectNewPrograms;
  // The shutdown and restart hotkeys; runs on every platform.
  std::function<void()> hotkeyStep;
  // Told after every change of the running list, so the panel can follow.
  std::function<void()> runningListChanged;
};

// The tone before a program is ended, when the user asked for it ("ChkBeep" is 1).
void AnnounceTermination(SettingsStore& settings, Speaker& speaker);

class WatchCycle {
 public:
  // ntFamily: judging and termination run only on the Windows NT family.
  WatchCycle(ProcessTable& processes, SettingsStore& settings, Speaker& speaker, Lists& lists,
             ListFileSystem& files, bool ntFamily, WatchCycleHooks hooks = {});

  // One tick of the watch timer (the caller switches the timer off around it).
  void Tick();

  // Ends a running copy of every program on the block list; nothing in Allow All mode.
  void TerminateBlockedPrograms();
  // Deletes every listed file that exists (an .exe after the processes started from that very file
  // were terminated). Entries stay; a file that cannot be deleted is tried again at the next pass.
  void EmptyTrashJar();
  // Removes the running-list entries whose program no longer runs. A snapshot that failed says
  // nothing about what runs: the list is then left as it is.
  void PruneRunningProgramList();
  void PruneRunningProgramList(const RunningProcesses& now);

  // A fresh snapshot with one path read per process; none when the snapshot failed. A process that
  // is in earlier under the same id and file name keeps the path read there.
  std::optional<RunningProcesses> ReadRunningProcesses(const RunningProcesses* earlier = nullptr);

  RunningProgramList& running() { return running_; }
  const RunningProgramList& running() const { return running_; }

 private:
  ProcessTable& processes_;
  SettingsStore& settings_;
  Speaker& speaker_;
  Lists& lists_;
  ListFileSystem& files_;
  bool ntFamily_;
  WatchCycleHooks hooks_;
  RunningProgramList running_;
};

}  // namespace corvane::watch
