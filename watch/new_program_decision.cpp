#include "watch/new_program_decision.h"

#include <optional>

#include "base/text.h"
#include "process/paths.h"
#include "process/process_control.h"
#include "process/system_programs.h"

namespace corvane::watch {

std::string MicrosoftBlockWarning(std::string_view name) {
  return "This file is a Windows Process and should not be BLOCKED. Are you sure you want to block " +
         std::string(name) + "?";
}

namespace {

// Lets a held program go when the decision about it is over.
class HoldUntilDecided {
 public:
  // processId: the held program; 0 when none is held.
  HoldUntilDecided(const InspectorHooks& hooks, std::uint32_t processId) : hooks_(hooks), processId_(processId) {}
  ~HoldUntilDecided() { LetGo(false); }
  HoldUntilDecided(const HoldUntilDecided&) = delete;
  HoldUntilDecided& operator=(const HoldUntilDecided&) = delete;
  // Blocked: the held program ends rather than running on.
  void EndProgram() { LetGo(true); }

 private:
  void LetGo(bool end) {
    if (processId_ != 0 && hooks_.letGoProgram) hooks_.letGoProgram(processId_, end);
    processId_ = 0;
  }
  const InspectorHooks& hooks_;
  std::uint32_t processId_;
};

}  // namespace

NewProgramInspector::NewProgramInspector(Lists& lists, RunningProgramList& running, SettingsStore& settings,
                                         ProcessTable& processes, Speaker& speaker, DecisionUi& ui,
                                         ProgramClassifier classifier, InspectorHooks hooks)
    : lists_(lists),
      running_(running),
      settings_(settings),
      processes_(processes),
      speaker_(speaker),
      ui_(ui),
      classifier_(std::move(classifier)),
      hooks_(std::move(hooks)) {}

void StartedSinceLastLook::Look(const RunningProcesses& now) {
  if (now.empty()) return;
  std::unordered_map<std::uint32_t, std::uint64_t> seen;
  for (const RunningProcess& process : now) seen.emplace(process.processId, process.creationTime);
  // At the first look everything was already running.
  before_ = looked_ ? std::move(current_) : seen;
  current_ = std::move(seen);
  looked_ = true;
}

bool StartedSinceLastLook::IsNew(const RunningProcess& process) const {
  const auto found = before_.find(process.processId);
  return found == before_.end() || found->second != process.creationTime;
}

void NewProgramInspector::InspectNewPrograms(const RunningProcesses& now) {
  started_.Look(now);
  if (fileChecks_ != nullptr) fileChecks_->Prune(now);
  if (hooks_.showRunningCount) hooks_.showRunningCount(now.size());
  for (const RunningProcess& process : now) {
    // Closing while a question was open: the programs still waiting are left for the next start.
    if (Closing()) return;
    Consider(process, process.fullPath, /*pathIsFresh=*/false);
  }
  if (hooks_.showRunningCount) {
    ProcessSnapshot fresh;
    hooks_.showRunningCount(processes_.TakeProcessSnapshot(fresh) ? fresh.size() : 0);
  }
}

void NewProgramInspector::Consider(const RunningProcess& process, const std::string& path, bool pathIsFresh) {
  if (path.empty()) return;
  const std::string name = GetFileNameFromPath(path);
  // Every new process of an allowed program is looked at, also one whose program is listed as
  // running already: a second start may run a replaced file. Allow All judges nothing.
  const bool allowed = lists_.IsInAllowList(name, path);
  AllowedFileLook file;
  if (allowed && fileChecks_ != nullptr && ReadBoolSetting(settings_, settings::kMnuMainNormal, true)) {
    file = fileChecks_->LookAtProcess(process, name, path);
  }
  if (!file.changed && running_.IsInRunningProgramList(name, path)) return;
  // Blocked by name wherever it lies: the watch cycle and the blocker end it; it is not listed.
  if (lists_.IsInBlockList(name)) return;
  if (allowed && !file.changed) {
    running_.Add({name, path});
    ListsChanged();
    return;
  }
  if (!ReadBoolSetting(settings_, settings::kMnuMainNormal, true)) {
    // Allow All: listed, marked as not judged, nothing else.
    running_.Add({name, path, /*unjudged=*/true});
    ListsChanged();
    return;
  }
  if (classifier_.isWindowsProcess && classifier_.isWindowsProcess(name, path)) {
    Allow(name, path);
    return;
  }
  if (!pathIsFresh) {
    // What follows waits for the user or ends the program, and the path was read before the earlier
    // questions of this pass: read it again, so that a program that has ended meanwhile is passed
    // over and an id taken over by another program is judged as that program.
    const std::string current = processes_.GetProcessFullPath(process.processId);
    if (current.empty()) return;
    if (!SameNameOrPath(current, path)) {
      Consider(process, current, /*pathIsFresh=*/true);
      return;
    }
  }
  Decide(process, name, path, file);
}

void NewProgramInspector::Decide(const RunningProcess& process, const std::string& name, const std::string& path,
                                 const AllowedFileLook& file) {
  if (lists_.IsInTrashJar(path)) {
    // Started from a file the user threw away: it is neither allowed nor blocked. It ends now (the
    // id was just seen running this file), and the Trash Jar pass of this tick deletes its file; were
    // it to come back, it would end again.
    processes_.TerminateProcessById(process.processId, 0);
    return;
  }
  AlertRequest request{process.processId, name, path, process.threadCount, process.parentProcessId};
  request.fileChanged = file.changed;
  request.allowedOn = file.allowedOn;
  if (hooks_.holdProgram) request.hold = hooks_.holdProgram(process.processId, path, started_.IsNew(process));
  // However the question ends, a held program is let go: ended when blocked, running on otherwise.
  HoldUntilDecided hold{hooks_, request.hold == HoldState::Held ? process.processId : 0};
  const AlertDecision decision = ui_.ShowAlert(request);
  // Unanswered: nothing is decided, and the program is not listed, so it is asked about again.
  if (decision == AlertDecision::Undecided) return;
  if (decision == AlertDecision::Allow) {
    Allow(name, path, {process.processId, process.creationTime});
    return;
  }
  // A protected name that got here lies outside its folder, but the block list goes by name: a block
  // would end Windows' own program of that name as well. It gets the same warning as Microsoft's files.
  if (IsWindowsProcess(name) || (classifier_.isMicrosoftFile && classifier_.isMicrosoftFile(path))) {
    if (Closing()) return;
    switch (ui_.Confirm(MicrosoftBlockWarning(name))) {
      case ConfirmAnswer::Undecided:
        return;
      case ConfirmAnswer::No:
        Allow(name, path, {process.processId, process.creationTime});
        return;
      case ConfirmAnswer::Yes:
        break;
    }
  }
  Block(name, path);
  hold.EndProgram();
}

void NewProgramInspector::Allow(const std::string& name, const std::string& path, const ProcessIdentity& process) {
  // A program allowed again after its file changed keeps its one entry, which takes the new hash.
  const ListWrite write = lists_.Allow(name, path);
  running_.Add({name, path});
  if (fileChecks_ != nullptr) fileChecks_->RecordAllowed(name, path, process);
  ListsChanged();
  TellUnsaved(write);
}

void NewProgramInspector::Block(const std::string& name, const std::string& path) {
  // The store raises "Read" once the record is in the file, so the blocker reloads.
  const ListWrite write = lists_.Block(name, path);
  if (const std::optional<std::uint32_t> processId = FindProcessByFileName(processes_, name)) {
    AnnounceTermination(settings_, speaker_);
    TerminateMatchedProcess(processes_, *processId);
  }
  TellUnsaved(write);
}

void NewProgramInspector::TellUnsaved(const ListWrite& write) {
  if (write.saved() || Closing()) return;
  const std::string notice = lists_.UnsavedNotice(write);
  if (!notice.empty()) ui_.Inform(notice);
}

}  // namespace corvane::watch
