#include "watch/new_program_decision.h"

#include "base/text.h"
#include "process/paths.h"
#include "process/process_control.h"

namespace corvane::watch {

std::string MicrosoftBlockWarning(std::string_view name) {
  return "This file is a Windows Process and should not be BLOCKED. Are you sure you want to block " +
         std::string(name) + "?";
}

NewProgramInspector::NewProgramInspector(ListFileStore& lists, RunningProgramList& running, SettingsStore& settings,
                                         ProcessTable& processes, Speaker& speaker, DecisionUi& ui,
                                         ProgramClassifier classifier)
    : lists_(lists),
      running_(running),
      settings_(settings),
      processes_(processes),
      speaker_(speaker),
      ui_(ui),
      classifier_(std::move(classifier)) {}

void NewProgramInspector::InspectNewPrograms(const RunningProcesses& now, int lastIndex) {
  if (showRunningCount) showRunningCount(lastIndex);
  for (const RunningProcess& process : now) {
    if (process.fullPath.empty()) continue;
    const std::string name = GetFileNameFromPath(process.fullPath);
    if (running_.IsInRunningProgramList(name, process.fullPath)) continue;
    // Blocked by name wherever it lies: the watch cycle and the blocker end it; it is not listed.
    if (lists_.IsInBlockList(name)) continue;
    if (lists_.IsInAllowList(name, process.fullPath)) {
      running_.Add({name, process.fullPath});
      if (listsChanged) listsChanged();
      continue;
    }
    if (!ReadBoolSetting(settings_, settings::kMnuMainNormal, true)) {
      // Allow All: listed, marked as not judged, nothing else.
      running_.Add({name, process.fullPath, /*unjudged=*/true});
      if (listsChanged) listsChanged();
      continue;
    }
    Judge(process, name);
  }
  if (showRunningCount) {
    ProcessSnapshot fresh;
    showRunningCount(processes_.TakeProcessSnapshot(fresh));
  }
}

void NewProgramInspector::Judge(const RunningProcess& process, const std::string& name) {
  const std::string& path = process.fullPath;
  AlertDecision decision = AlertDecision::Block;
  if (classifier_.isWindowsProcess && classifier_.isWindowsProcess(name)) {
    decision = AlertDecision::Allow;
  } else if (lists_.IsInTrashJar(path)) {
    // Started from a file the user threw away: it is neither allowed nor blocked. It ends now, and
    // the Trash Jar pass of this tick deletes its file; were it to come back, it would end again.
    processes_.TerminateProcessById(process.processId, 0);
    return;
  } else {
    decision = ui_.ShowAlert({process.processId, name, path, process.threadCount, process.parentProcessId});
  }

  if (decision == AlertDecision::Allow) {
    Allow(name, path);
    return;
  }
  if (classifier_.isMicrosoftFile && classifier_.isMicrosoftFile(path) && !ui_.Confirm(MicrosoftBlockWarning(name))) {
    Allow(name, path);
    return;
  }
  Block(name, path);
}

void NewProgramInspector::Allow(const std::string& name, const std::string& path) {
  lists_.AppendListLine(ListKind::Allow, ProgramRecord(path, name));
  running_.Add({name, path});
  lists_.allowList().push_back({name, path});
  if (listsChanged) listsChanged();
}

void NewProgramInspector::Block(const std::string& name, const std::string& path) {
  lists_.blockList().push_back({name, path});
  // The store raises "Read" once the record is in the file, so the blocker reloads.
  lists_.AppendListLine(ListKind::Block, ProgramRecord(path, name));
  TerminateProcessByName(processes_, settings_, speaker_, name);
  if (listsChanged) listsChanged();
}

}  // namespace corvane::watch
