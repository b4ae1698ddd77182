#pragma once
// What happens to a program the watch cycle sees for the first time: already judged programs are
// passed over, allowed ones join the running list silently, Windows' own programs in their own
// folders are allowed without asking, and anything else is put before the user in the alert window.
// A block goes to the block list and its file, the program is terminated and the blocker reloads.
// A question that ends without the user's answer decides nothing. When a list's file refuses an
// allowance or a block, the program is judged for this moment only (allowed programs run on,
// blocked ones end), and the list owner's notice tells the user.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "process/process_table.h"
#include "process/speaker.h"
#include "store/lists.h"
#include "store/settings.h"
#include "watch/allowed_file_checks.h"
#include "watch/running_program_list.h"
#include "watch/watch_cycle.h"

namespace corvane::watch {

// Undecided: the question ended without the user's answer (the program or the session is ending,
// or the window could not be shown).
enum class AlertDecision { Allow, Block, Undecided };
enum class ConfirmAnswer { Yes, No, Undecided };

// Whether a program is paused while it is asked about. CouldNotHold: it should have been, but the
// system refused (another debugger has it, no right to it); the alert says so.
enum class HoldState { NotHeld, Held, CouldNotHold };

// What the alert window shows about the program.
struct AlertRequest {
  std::uint32_t processId = 0;
  std::string name;
  std::string path;
  std::uint32_t threadCount = 0;
  std::uint32_t parentProcessId = 0;
  // Whether the program stands still until the answer.
  HoldState hold = HoldState::NotHeld;
  // The program was allowed, but its file is no longer the one allowed; allowedOn: the day the
  // allowed file's hash was stored (YYYY-MM-DD), empty when not known.
  bool fileChanged = false;
  std::string allowedOn{};
};

// The user's side of the decision.
class DecisionUi {
 public:
  virtual ~DecisionUi() = default;
  // Shows the alert window modally: Allow or Block as the user chose (closing the window on purpose
  // blocks); Undecided when it ended without the user.
  virtual AlertDecision ShowAlert(const AlertRequest& request) = 0;
  // The confirmation dialog: Yes only for Ok, No for Cancel or closing it; Undecided when it ended
  // without the user.
  virtual ConfirmAnswer Confirm(std::string_view message) = 0;
  // The information dialog.
  virtual void Inform(std::string_view message) = 0;
};

// The two classification questions, answered elsewhere: a protected program in its own folder; the
// file's maker.
struct ProgramClassifier {
  std::function<bool(std::string_view name, std::string_view path)> isWindowsProcess;
  std::function<bool(std::string_view path)> isMicrosoftFile;
};

// The confirmation asked before blocking a program whose maker is Microsoft.
std::string MicrosoftBlockWarning(std::string_view name);

// What the inspector tells the rest of the program, and asks it. Any of them may be left empty.
struct InspectorHooks {
  // The running panel's count: how many processes the snapshot listed, before and after the pass.
  std::function<void(std::size_t listedProcesses)> showRunningCount;
  // The running list changed (the list owner tells of its own lists by itself).
  std::function<void()> listsChanged;
  // True once the program is ending: the pass stops and nothing more is decided.
  std::function<bool()> closing;
  // Holds the program (every thread of it stopped) while it is put before the user, if the rules
  // let it be held. startedSinceLastLook: it was not running when the watch last looked.
  std::function<HoldState(std::uint32_t processId, std::string_view path, bool startedSinceLastLook)> holdProgram{};
  // Lets a held program go once the question is over: it runs on, or (end: it was blocked) it ends.
  std::function<void(std::uint32_t processId, bool end)> letGoProgram{};
};

// Which processes have started since the watch last looked: a program that was already running at
// the first look (Corvane's start), or when the allow list was cleared, or in Allow All mode, was
// not started by the user's latest action and is never held. Ids are reused, so a process is its id
// with its creation time.
class StartedSinceLastLook {
 public:
  // The processes of this pass; an empty list (the snapshot failed) changes nothing, since it would
  // make every process look new at the next pass.
  void Look(const RunningProcesses& now);
  bool IsNew(const RunningProcess& process) const;

 private:
  bool looked_ = false;
  // Id -> creation time: the pass before this one, and this one.
  std::unordered_map<std::uint32_t, std::uint64_t> before_;
  std::unordered_map<std::uint32_t, std::uint64_t> current_;
};

class NewProgramInspector {
 public:
  NewProgramInspector(Lists& lists, RunningProgramList& running, SettingsStore& settings,
                      ProcessTable& processes, Speaker& speaker, DecisionUi& ui, ProgramClassifier classifier,
                      InspectorHooks hooks = {});

  // One pass over the processes of this tick's snapshot. Their paths were read at the start of the
  // tick; a program is read again just before it is put before the user or ended, so that a program
  // that has gone meanwhile is passed over and an id that now belongs to another program is judged
  // as that program.
  void InspectNewPrograms(const RunningProcesses& now);

  // Allowed programs are checked against the file that was allowed, and every allowance records
  // its file (none given: allowances go by name and path alone).
  void AttachFileChecks(AllowedFileChecks* checks) { fileChecks_ = checks; }

 private:
  void Consider(const RunningProcess& process, const std::string& path, bool pathIsFresh);
  void Decide(const RunningProcess& process, const std::string& name, const std::string& path,
              const AllowedFileLook& file = {});
  void Allow(const std::string& name, const std::string& path, const ProcessIdentity& process = {});
  void Block(const std::string& name, const std::string& path);
  bool Closing() const { return hooks_.closing && hooks_.closing(); }
  void ListsChanged() const {
    if (hooks_.listsChanged) hooks_.listsChanged();
  }
  void TellUnsaved(const ListWrite& write);

  Lists& lists_;
  RunningProgramList& running_;
  SettingsStore& settings_;
  ProcessTable& processes_;
  Speaker& speaker_;
  DecisionUi& ui_;
  ProgramClassifier classifier_;
  InspectorHooks hooks_;
  StartedSinceLastLook started_;
  AllowedFileChecks* fileChecks_ = nullptr;
};

}  // namespace corvane::watch
