#pragma once
// What happens to a program the watch cycle sees for the first time: already judged programs are
// passed over, allowed ones join the running list silently, Windows' own programs are allowed without
// asking, and anything else is put before the user in the alert window. A block goes to the block
// list and its file, the program is terminated and the blocker reloads.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "process/process_table.h"
#include "process/speaker.h"
#include "store/list_files.h"
#include "store/settings.h"
#include "watch/running_program_list.h"
#include "watch/watch_cycle.h"

namespace corvane::watch {

enum class AlertDecision { Allow, Block };

// What the alert window shows about the program.
struct AlertRequest {
  std::uint32_t processId = 0;
  std::string name;
  std::string path;
  std::uint32_t threadCount = 0;
  std::uint32_t parentProcessId = 0;
};

// The user's side of the decision.
class DecisionUi {
 public:
  virtual ~DecisionUi() = default;
  // Shows the alert window modally. Allow or Block as pressed; a window closed any other way blocks.
  virtual AlertDecision ShowAlert(const AlertRequest& request) = 0;
  // The confirmation dialog: true only for Ok.
  virtual bool Confirm(std::string_view message) = 0;
};

// The two classification questions, answered elsewhere (protected names; the file's maker).
struct ProgramClassifier {
  std::function<bool(std::string_view name)> isWindowsProcess;
  std::function<bool(std::string_view path)> isMicrosoftFile;
};

// The confirmation asked before blocking a program whose maker is Microsoft.
std::string MicrosoftBlockWarning(std::string_view name);

class NewProgramInspector {
 public:
  NewProgramInspector(ListFileStore& lists, RunningProgramList& running, SettingsStore& settings,
                      ProcessTable& processes, Speaker& speaker, DecisionUi& ui, ProgramClassifier classifier);

  // One pass over the processes of this tick's snapshot (lastIndex: that snapshot's last index).
  void InspectNewPrograms(const RunningProcesses& now, int lastIndex);

  // The running panel's count label: the snapshot's last index, before and after the pass.
  std::function<void(int lastIndex)> showRunningCount;
  // The lists changed (an entry was added to the running, allow or block list).
  std::function<void()> listsChanged;

 private:
  void Judge(const RunningProcess& process, const std::string& name);
  void Allow(const std::string& name, const std::string& path);
  void Block(const std::string& name, const std::string& path);

  ListFileStore& lists_;
  RunningProgramList& running_;
  SettingsStore& settings_;
  ProcessTable& processes_;
  Speaker& speaker_;
  DecisionUi& ui_;
  ProgramClassifier classifier_;
};

}  // namespace corvane::watch
