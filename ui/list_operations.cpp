#include "ui/list_operations.h"

#include <cstddef>

#include "base/text.h"
#include "process/system_programs.h"

namespace corvane::ui {

namespace {

constexpr std::string_view kProtectedFileNames[] = {"RIZAZ.EXE", "CORVANE.EXE"};

constexpr std::string_view kMovedToTrashJar = " Selected file has been moved to Trash Jar.";
constexpr std::string_view kRemovedFromList = " Selected file has been removed from the list.";
constexpr std::string_view kAllowListCleared = " Allowed list has been Cleared.";
constexpr std::string_view kBlockListCleared = " Block List has been Cleared.";
constexpr std::string_view kTrashJarCleared = " Trash Jar has been Cleared.";
constexpr std::string_view kAlreadyListed = " already exists in the list. Please choose another file.";

std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  quoted += text;
  quoted += '"';
  return quoted;
}

std::string MoveQuestion(std::string_view name, std::string_view destination) {
  return "Are you sure you want to move " + Quoted(name) + std::string(destination);
}

// The block question from the running panel ends "Block List?", the one from the allowed panel
// "Block List ?"; a program with a protected name is warned about from both.
std::string BlockQuestion(std::string_view name, bool fromAllowList) {
  if (IsWindowsProcess(name)) {
    return "This file is a Windows Process and should Not be BLOCKED. " + MoveQuestion(name, " to Block List?");
  }
  return MoveQuestion(name, fromAllowList ? " to Block List ?" : " to Block List?");
}

std::string TrashJarQuestion(std::string_view name, bool warnWindowsProcess) {
  if (warnWindowsProcess && IsWindowsProcess(name)) {
    return "This file is a Windows Process and should Not be moved to Trash Jar. " +
           MoveQuestion(name, " to Trash Jar?");
  }
  return MoveQuestion(name, " to Trash Jar?");
}

std::string RemoveQuestion(std::string_view text) {
  return "Are you sure you want to remove " + Quoted(text) + " from the list?";
}

}  // namespace

// One row per panel command: its panel, what it does, and the list it changes (for a move the
// destination: the source is the panel's list), with what is told once it has been done.
struct PanelOperation {
  enum class Action { Move, Remove, Clear, Add, Details };
  PanelCommand command;
  Panel panel;
  Action action;
  std::optional<ListKind> list;
  std::string_view done;
};

namespace {

using Action = PanelOperation::Action;
using C = PanelCommand;
using L = ListKind;

constexpr PanelOperation kOperations[] = {
    {C::RunningToBlockList, Panel::Running, Action::Move, L::Block, {}},
    {C::RunningToTrashJar, Panel::Running, Action::Move, L::TrashJar, {}},
    {C::RunningDetails, Panel::Running, Action::Details, std::nullopt, {}},
    {C::BlockedToAllowList, Panel::Blocked, Action::Move, L::Allow, {}},
    {C::BlockedToTrashJar, Panel::Blocked, Action::Move, L::TrashJar, {}},
    {C::RemoveBlocked, Panel::Blocked, Action::Remove, L::Block, kRemovedFromList},
    {C::ClearBlocked, Panel::Blocked, Action::Clear, L::Block, kBlockListCleared},
    {C::BlockedDetails, Panel::Blocked, Action::Details, std::nullopt, {}},
    {C::AllowedToBlockList, Panel::Allowed, Action::Move, L::Block, {}},
    {C::AllowedToTrashJar, Panel::Allowed, Action::Move, L::TrashJar, kMovedToTrashJar},
    {C::RemoveAllowed, Panel::Allowed, Action::Remove, L::Allow, kRemovedFromList},
    {C::ClearAllowed, Panel::Allowed, Action::Clear, L::Allow, kAllowListCleared},
    {C::AllowedDetails, Panel::Allowed, Action::Details, std::nullopt, {}},
    {C::AddToTrashJar, Panel::TrashJar, Action::Add, L::TrashJar, {}},
    {C::RemoveFromTrashJar, Panel::TrashJar, Action::Remove, L::TrashJar, kRemovedFromList},
    {C::ClearTrashJar, Panel::TrashJar, Action::Clear, L::TrashJar, kTrashJarCleared},
};

std::string MoveQuestionFor(const PanelOperation& operation, std::string_view name) {
  switch (*operation.list) {
    case L::Block:
      return BlockQuestion(name, /*fromAllowList=*/operation.panel == Panel::Allowed);
    case L::TrashJar:
      return TrashJarQuestion(name, /*warnWindowsProcess=*/operation.panel == Panel::Running);
    default:
      return MoveQuestion(name, " to Allow list?");
  }
}

}  // namespace

bool IsProtectedPath(std::string_view path) {
  const std::string key = ComparisonKey(path);
  for (const std::string_view name : kProtectedFileNames) {
    if (key.find(name) != std::string::npos) return true;
  }
  return false;
}

ListOperations::ListOperations(Lists& lists, watch::RunningProgramList& running, const ListPanelsModel& panels,
                               gui::Dialogs& dialogs, FileChooser& chooser, ListOperationsHost& host)
    : lists_(lists), running_(running), panels_(panels), dialogs_(dialogs), chooser_(chooser), host_(host) {}

void ListOperations::Run(PanelCommand command) {
  const PanelOperation* operation = nullptr;
  for (const PanelOperation& row : kOperations) {
    if (row.command == command) operation = &row;
  }
  if (operation == nullptr || host_.Closing()) return;
  switch (operation->action) {
    case Action::Move:
      Move(*operation);
      break;
    case Action::Remove:
      Remove(*operation);
      break;
    case Action::Clear:
      Clear(*operation);
      break;
    case Action::Add:
      AddToTrashJar();
      break;
    case Action::Details:
      ShowDetails(operation->panel);
      break;
  }
}

std::optional<SelectedEntry> ListOperations::Selected(Panel panel) {
  // A watch tick may have changed the lists since the rows were last brought in line; the rows keep
  // their selection through that, so the user's choice stays with its entry.
  host_.ListsChanged();
  return panels_.FirstSelected(panel);
}

bool ListOperations::Confirmed(std::string_view question) {
  const bool yes = dialogs_.Confirm(question);
  // A question closed because the program is ending is no answer.
  return yes && !host_.Closing();
}

std::optional<std::size_t> ListOperations::FindAgain(Panel panel, const SelectedEntry& chosen) {
  host_.ListsChanged();
  const std::optional<std::size_t> row = panels_.RowOf(panel, chosen.id);
  if (!row) return std::nullopt;
  // Row i stands for entry i once the rows are in line; the list itself must agree, or nothing is
  // touched.
  const std::optional<PanelEntry> listed = panels_.ListEntryAt(panel, *row);
  if (!listed || !listed->SameEntry(chosen.entry)) return std::nullopt;
  return row;
}

void ListOperations::ShowCounter(Panel panel) {
  if (IsListPanel(panel)) host_.SetCounter(panel, panels_.ListSize(panel));
}

void ListOperations::Tell(const ListWrite& write, std::string_view done) {
  const std::string notice = lists_.UnsavedNotice(write);
  if (!notice.empty()) {
    dialogs_.Inform(notice);
  } else if (write.saved() && !done.empty()) {
    dialogs_.Inform(done);
  }
}

void ListOperations::Move(const PanelOperation& operation) {
  const Panel panel = operation.panel;
  host_.ResetPanelButtons(panel);
  if (const std::optional<SelectedEntry> chosen = Selected(panel)) {
    const PanelEntry entry = chosen->entry;
    if (operation.list != L::Allow && IsProtectedPath(entry.path)) return;
    if (Confirmed(MoveQuestionFor(operation, entry.name))) {
      if (const std::optional<std::size_t> index = FindAgain(panel, *chosen)) {
        const ListWrite write = panel == Panel::Running
                                    ? MoveRunning(operation, *index, entry)
                                    : lists_.Move(*StoredListOf(panel), *index, *operation.list);
        if (write.changed.Has(L::TrashJar)) host_.EmptyTrashJar();
        if (operation.list == L::Allow && write.changed.Has(L::Allow)) host_.MovedToAllowList(entry.name, entry.path);
        Tell(write, operation.done);
      }
    }
  }
  ShowCounter(panel);
  host_.ResetPanelButtons(panel);
}

ListWrite ListOperations::MoveRunning(const PanelOperation& operation, std::size_t index, const PanelEntry& entry) {
  ListWrite write;
  if (operation.list == L::Block) {
    // Ended whether or not the block list takes it: the user wants it gone now.
    running_.RemoveAt(index);
    host_.TerminateProgramByName(entry.name);
    write = lists_.Block(entry.name, entry.path);
  } else {
    // The emptying ends only the programs started from this very file, then deletes it. A program
    // thrown away is no longer allowed: its own allowance goes, a program of the same name
    // elsewhere keeps its own.
    write = lists_.ThrowAway(entry.name, entry.path);
    if (write.changed.Has(L::TrashJar)) running_.RemoveAt(index);
  }
  host_.ListsChanged();
  return write;
}

void ListOperations::Remove(const PanelOperation& operation) {
  const Panel panel = operation.panel;
  host_.ResetPanelButtons(panel);
  if (const std::optional<SelectedEntry> chosen = Selected(panel)) {
    const PanelEntry entry = chosen->entry;
    if (Confirmed(RemoveQuestion(panel == Panel::TrashJar ? entry.path : entry.name))) {
      if (const std::optional<std::size_t> index = FindAgain(panel, *chosen)) {
        const ListWrite write = lists_.Remove(*operation.list, *index);
        if (operation.list == L::Allow && write.saved()) {
          // The program itself, if it runs, is met again by the watch cycle as a new program. Only
          // that program: same name and same path, not a name that merely begins the same way.
          running_.RemoveUnless([&entry](const watch::RunningProgram& program) {
            return !(SameNameOrPath(program.name, entry.name) && SameNameOrPath(program.path, entry.path));
          });
          host_.ListsChanged();
        }
        Tell(write, operation.done);
      }
    }
  }
  ShowCounter(panel);
}

void ListOperations::Clear(const PanelOperation& operation) {
  // Clearing the allow list judges every running program again: no watch tick may refill the
  // running list while it is emptied.
  const bool allowList = operation.list == L::Allow;
  if (allowList) host_.SetWatchTimer(false);
  host_.ResetPanelButtons(operation.panel);
  if (allowList) host_.SetBusyCursor(true);
  // Files the Trash Jar already deleted stay deleted.
  const ListWrite write = lists_.Clear(*operation.list);
  if (allowList && write.saved()) {
    running_.Clear();
    host_.ListsChanged();
  }
  ShowCounter(operation.panel);
  if (allowList) host_.SetBusyCursor(false);
  Tell(write, operation.done);
  if (allowList && !host_.Closing()) host_.SetWatchTimer(true);
}

void ListOperations::AddToTrashJar() {
  host_.ResetPanelButtons(Panel::TrashJar);
  const std::optional<std::string> chosen = chooser_.ChooseFileToOpen(kTrashJarChooserTitle);
  if (!chosen || host_.Closing()) return;
  const std::string path = TrimSpaces(*chosen);
  if (path.empty()) return;
  if (IsProtectedPath(path)) return;
  // The whole path decides, by the comparison rule: a listed path that merely begins with this one
  // (a.exe.bak for a.exe) is another file.
  if (lists_.IsInTrashJar(path)) {
    dialogs_.Inform(path + std::string(kAlreadyListed));
    return;
  }
  // The file is deleted by the next watch tick; the counter follows at the next Remove, Clear or
  // visit of the panel.
  Tell(lists_.AddToTrashJar(path), {});
}

void ListOperations::ShowDetails(Panel panel) {
  if (!HasProgramRows(panel)) return;
  host_.ResetPanelButtons(panel);
  if (const std::optional<SelectedEntry> chosen = Selected(panel)) {
    host_.ShowDetails(chosen->entry.path, chosen->entry.name);
  }
}

}  // namespace corvane::ui
