#include "ui/list_operations.h"

#include <cstddef>
#include <utility>
#include <vector>

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

template <typename List>
void EraseAt(List& list, std::size_t index) {
  list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace

bool IsProtectedPath(std::string_view path) {
  const std::string key = ComparisonKey(path);
  for (const std::string_view name : kProtectedFileNames) {
    if (key.find(name) != std::string::npos) return true;
  }
  return false;
}

ListOperations::ListOperations(ListFileStore& lists, watch::RunningProgramList& running,
                               const ListPanelsModel& panels, Dialogs& dialogs, FileChooser& chooser,
                               ListOperationsHost& host)
    : lists_(lists), running_(running), panels_(panels), dialogs_(dialogs), chooser_(chooser), host_(host) {}

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
  const auto sameProgram = [&chosen](const auto& list, std::size_t i) {
    return i < list.size() && list[i].name == chosen.entry.name && list[i].path == chosen.entry.path;
  };
  bool same = false;
  switch (panel) {
    case Panel::Running:
      same = sameProgram(running_.entries(), *row);
      break;
    case Panel::Blocked:
      same = sameProgram(lists_.blockList(), *row);
      break;
    case Panel::Allowed:
      same = sameProgram(lists_.allowList(), *row);
      break;
    case Panel::TrashJar:
      same = *row < lists_.trashJar().size() && lists_.trashJar()[*row] == chosen.entry.path;
      break;
    case Panel::Options:
      break;
  }
  if (!same) return std::nullopt;
  return row;
}

void ListOperations::ShowCounter(Panel panel) {
  std::size_t count = 0;
  switch (panel) {
    case Panel::Running:
      count = running_.size();
      break;
    case Panel::Blocked:
      count = lists_.blockList().size();
      break;
    case Panel::Allowed:
      count = lists_.allowList().size();
      break;
    case Panel::TrashJar:
      count = lists_.trashJar().size();
      break;
    case Panel::Options:
      return;
  }
  host_.SetCounter(panel, count);
}

void ListOperations::MoveIntoTrashJar(const std::string& path) {
  lists_.AppendListLine(ListKind::TrashJar, path, /*addToTrashJar=*/true);
  host_.ListsChanged();
  host_.EmptyTrashJar();
}

void ListOperations::RunningToBlockList() {
  if (host_.Closing()) return;
  host_.ResetPanelButtons(Panel::Running);
  if (const std::optional<SelectedEntry> chosen = Selected(Panel::Running)) {
    const PanelEntry entry = chosen->entry;
    if (IsProtectedPath(entry.path)) return;
    if (Confirmed(BlockQuestion(entry.name, /*fromAllowList=*/false))) {
      if (const std::optional<std::size_t> index = FindAgain(Panel::Running, *chosen)) {
        running_.RemoveAt(*index);
        host_.TerminateProgramByName(entry.name);
        lists_.AppendListLine(ListKind::Block, ProgramRecord(entry.path, entry.name));
        lists_.blockList().push_back({entry.name, entry.path});
        host_.ListsChanged();
      }
    }
  }
  ShowCounter(Panel::Running);
  host_.ResetPanelButtons(Panel::Running);
}

void ListOperations::RunningToTrashJar() {
  if (host_.Closing()) return;
  host_.ResetPanelButtons(Panel::Running);
  if (const std::optional<SelectedEntry> chosen = Selected(Panel::Running)) {
    const PanelEntry entry = chosen->entry;
    if (IsProtectedPath(entry.path)) return;
    if (Confirmed(TrashJarQuestion(entry.name, /*warnWindowsProcess=*/true))) {
      if (const std::optional<std::size_t> index = FindAgain(Panel::Running, *chosen)) {
        running_.RemoveAt(*index);
        // The emptying ends only the programs started from this very file, then deletes it.
        MoveIntoTrashJar(entry.path);
        // A program thrown away is no longer allowed. Its own allowance goes: a program of the same
        // name elsewhere keeps its own.
        AllowList& allowed = lists_.allowList();
        for (std::size_t i = 0; i < allowed.size(); ++i) {
          if (SameNameOrPath(allowed[i].name, entry.name) && SameNameOrPath(allowed[i].path, entry.path)) {
            EraseAt(allowed, i);
            break;
          }
        }
        lists_.RewriteListFile(ListKind::Allow);
        host_.ListsChanged();
      }
    }
  }
  ShowCounter(Panel::Running);
}

void ListOperations::AllowedToBlockList() {
  if (host_.Closing()) return;
  host_.ResetPanelButtons(Panel::Allowed);
  if (const std::optional<SelectedEntry> chosen = Selected(Panel::Allowed)) {
    const PanelEntry entry = chosen->entry;
    if (IsProtectedPath(entry.path)) return;
    if (Confirmed(BlockQuestion(entry.name, /*fromAllowList=*/true))) {
      if (const std::optional<std::size_t> index = FindAgain(Panel::Allowed, *chosen)) {
        // The allowed file's fingerprint stays behind: should the program be allowed again, its
        // file then is the one to remember.
        ProgramListEntry blocked = lists_.allowList()[*index];
        blocked.fingerprint = {};
        lists_.blockList().push_back(std::move(blocked));
        EraseAt(lists_.allowList(), *index);
        lists_.RewriteListFile(ListKind::Allow);
        lists_.RewriteListFile(ListKind::Block);
        host_.ListsChanged();
      }
    }
  }
  ShowCounter(Panel::Allowed);
}

void ListOperations::AllowedToTrashJar() {
  if (host_.Closing()) return;
  host_.ResetPanelButtons(Panel::Allowed);
  if (const std::optional<SelectedEntry> chosen = Selected(Panel::Allowed)) {
    const PanelEntry entry = chosen->entry;
    if (IsProtectedPath(entry.path)) return;
    if (Confirmed(TrashJarQuestion(entry.name, /*warnWindowsProcess=*/false))) {
      if (const std::optional<std::size_t> index = FindAgain(Panel::Allowed, *chosen)) {
        EraseAt(lists_.allowList(), *index);
        MoveIntoTrashJar(entry.path);
        // One step: the allow-list file never goes missing, not even for a moment.
        lists_.RewriteListFile(ListKind::Allow);
        host_.ListsChanged();
        dialogs_.Inform(kMovedToTrashJar);
      }
    }
  }
  ShowCounter(Panel::Allowed);
}

void ListOperations::RemoveAllowed() {
  if (host_.Closing()) return;
  host_.ResetPanelButtons(Panel::Allowed);
  if (const std::optional<SelectedEntry> chosen = Selected(Panel::Allowed)) {
    const PanelEntry entry = chosen->entry;
    if (Confirmed(RemoveQuestion(entry.name))) {
      if (const std::optional<std::size_t> index = FindAgain(Panel::Allowed, *chosen)) {
        // The program itself, if it runs, is met again by the watch cycle as a new program. Only
        // that program: same name and same path, not a name that merely begins the same way.
        running_.RemoveUnless([&entry](const watch::RunningProgram& program) {
          return !(SameNameOrPath(program.name, entry.name) && SameNameOrPath(program.path, entry.path));
        });
        EraseAt(lists_.allowList(), *index);
        lists_.RewriteListFile(ListKind::Allow);
        host_.ListsChanged();
        dialogs_.Inform(kRemovedFromList);
      }
    }
  }
  ShowCounter(Panel::Allowed);
}

void ListOperations::ClearAllowed() {
  if (host_.Closing()) return;
  // No watch tick may refill the running list while it is emptied.
  host_.SetWatchTimer(false);
  host_.ResetPanelButtons(Panel::Allowed);
  host_.SetBusyCursor(true);
  lists_.ClearListFile(ListKind::Allow);
  lists_.allowList().clear();
  // Every running program is judged again.
  running_.Clear();
  host_.ListsChanged();
  ShowCounter(Panel::Allowed);
  host_.SetBusyCursor(false);
  dialogs_.Inform(kAllowListCleared);
  if (!host_.Closing()) host_.SetWatchTimer(true);
}

void ListOperations::BlockedToAllowList() {
  if (host_.Closing()) return;
  host_.ResetPanelButtons(Panel::Blocked);
  if (const std::optional<SelectedEntry> chosen = Selected(Panel::Blocked)) {
    const PanelEntry entry = chosen->entry;
    if (Confirmed(MoveQuestion(entry.name, " to Allow list?"))) {
      if (const std::optional<std::size_t> index = FindAgain(Panel::Blocked, *chosen)) {
        const ProgramListEntry moved = lists_.blockList()[*index];
        lists_.allowList().push_back(moved);
        EraseAt(lists_.blockList(), *index);
        lists_.RewriteListFile(ListKind::Block);
        lists_.RewriteListFile(ListKind::Allow);
        host_.MovedToAllowList(moved.name, moved.path);
        host_.ListsChanged();
      }
    }
  }
  ShowCounter(Panel::Blocked);
}

void ListOperations::BlockedToTrashJar() {
  if (host_.Closing()) return;
  host_.ResetPanelButtons(Panel::Blocked);
  if (const std::optional<SelectedEntry> chosen = Selected(Panel::Blocked)) {
    const PanelEntry entry = chosen->entry;
    if (IsProtectedPath(entry.path)) return;
    if (Confirmed(TrashJarQuestion(entry.name, /*warnWindowsProcess=*/false))) {
      if (const std::optional<std::size_t> index = FindAgain(Panel::Blocked, *chosen)) {
        EraseAt(lists_.blockList(), *index);
        MoveIntoTrashJar(entry.path);
        lists_.RewriteListFile(ListKind::Block);
        host_.ListsChanged();
      }
    }
  }
  ShowCounter(Panel::Blocked);
}

void ListOperations::RemoveBlocked() {
  if (host_.Closing()) return;
  host_.ResetPanelButtons(Panel::Blocked);
  if (const std::optional<SelectedEntry> chosen = Selected(Panel::Blocked)) {
    const PanelEntry entry = chosen->entry;
    if (Confirmed(RemoveQuestion(entry.name))) {
      if (const std::optional<std::size_t> index = FindAgain(Panel::Blocked, *chosen)) {
        EraseAt(lists_.blockList(), *index);
        lists_.RewriteListFile(ListKind::Block);
        host_.ListsChanged();
        dialogs_.Inform(kRemovedFromList);
      }
    }
  }
  ShowCounter(Panel::Blocked);
}

void ListOperations::ClearBlocked() {
  if (host_.Closing()) return;
  host_.ResetPanelButtons(Panel::Blocked);
  lists_.ClearListFile(ListKind::Block);
  lists_.blockList().clear();
  host_.ListsChanged();
  ShowCounter(Panel::Blocked);
  dialogs_.Inform(kBlockListCleared);
}

void ListOperations::AddToTrashJar() {
  if (host_.Closing()) return;
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
  lists_.AppendListLine(ListKind::TrashJar, path, /*addToTrashJar=*/true);
  host_.ListsChanged();
}

void ListOperations::RemoveFromTrashJar() {
  if (host_.Closing()) return;
  host_.ResetPanelButtons(Panel::TrashJar);
  if (const std::optional<SelectedEntry> chosen = Selected(Panel::TrashJar)) {
    if (Confirmed(RemoveQuestion(chosen->entry.path))) {
      if (const std::optional<std::size_t> index = FindAgain(Panel::TrashJar, *chosen)) {
        EraseAt(lists_.trashJar(), *index);
        lists_.RewriteListFile(ListKind::TrashJar);
        host_.ListsChanged();
        dialogs_.Inform(kRemovedFromList);
      }
    }
  }
  ShowCounter(Panel::TrashJar);
}

void ListOperations::ClearTrashJar() {
  if (host_.Closing()) return;
  host_.ResetPanelButtons(Panel::TrashJar);
  // Files already deleted stay deleted.
  lists_.trashJar().clear();
  lists_.ClearListFile(ListKind::TrashJar);
  host_.ListsChanged();
  ShowCounter(Panel::TrashJar);
  dialogs_.Inform(kTrashJarCleared);
}

void ListOperations::ShowDetails(Panel panel) {
  if (host_.Closing() || !HasProgramRows(panel)) return;
  host_.ResetPanelButtons(panel);
  if (const std::optional<SelectedEntry> chosen = Selected(panel)) {
    host_.ShowDetails(chosen->entry.path, chosen->entry.name);
  }
}

}  // namespace corvane::ui
