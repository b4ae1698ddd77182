#pragma once
// What the user can do to the lists from the four list panels and the tray menu: move an entry to
// another list, remove an entry, clear a list, add a file to the Trash Jar, open an entry's details
// report. Each operation selects, confirms, calls the list owner (store/lists.h), and tells the user
// what came of it; a change a file refused is not made, and the owner's notice says so once per run
// and list. A move into the Trash Jar empties the Trash Jar at once (the moved file is deleted, an
// .exe after the programs started from it were ended).
//
// Every operation acts on the first selected entry of its panel and on that entry only. A
// confirmation is modal and lets the watch timer tick: the entry may leave its list while the
// question is open. The entry is found again by its row's identity once the user has answered, and
// an entry that has gone is acted on by no other: the operation then changes nothing.
//
// Portable: the windows, the file chooser, the watch cycle and the main window's counters and
// pointer come in through small interfaces, so host tests drive every operation with fakes.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "gui/dialogs.h"
#include "store/lists.h"
#include "ui/list_panels_model.h"
#include "ui/main_window_model.h"
#include "ui/panel_commands.h"
#include "watch/running_program_list.h"

namespace corvane::ui {

// The title of the file chooser of the Trash Jar's Add.
inline constexpr std::string_view kTrashJarChooserTitle = "Corvane Select a file";

// The file-open dialog.
class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // Shows the dialog modally with this title. The chosen file's full path; nothing when the user
  // cancelled, or the dialog could not be shown or ended without the user.
  virtual std::optional<std::string> ChooseFileToOpen(std::string_view title) = 0;
};

// What the operations need from the rest of the main program.
class ListOperationsHost {
 public:
  virtual ~ListOperationsHost() = default;
  // Ends the first running process of this file name (beeping first when the options say so).
  virtual void TerminateProgramByName(std::string_view name) = 0;
  // One pass of the watch cycle's Trash Jar emptying.
  virtual void EmptyTrashJar() = 0;
  // The lists behind the panels changed, or may have (the running list, or a watch tick while a
  // question was open): brings the list-panels model and the panels' rows in line with them. The
  // operations rely on the model being in line when this returns.
  virtual void ListsChanged() = 0;
  // A panel's counter label now shows count.
  virtual void SetCounter(Panel panel, std::size_t count) = 0;
  // The panel's image buttons back to their normal pictures.
  virtual void ResetPanelButtons(Panel panel) = 0;
  // Switches the watch timer on or off.
  virtual void SetWatchTimer(bool on) = 0;
  // The hourglass pointer (true) or the default one (false).
  virtual void SetBusyCursor(bool busy) = 0;
  // The details report of a program, shown modally; no alert may open over it, so the host keeps
  // the watch timer off meanwhile.
  virtual void ShowDetails(std::string_view path, std::string_view name) = 0;
  // True once the program is ending: nothing more is started or changed.
  virtual bool Closing() const = 0;
  // The program was moved to the allow list, whose file now holds it: its allowance may record
  // which file it is.
  virtual void MovedToAllowList(std::string_view /*name*/, std::string_view /*path*/) {}
};

// Corvane's own two programs, recognised by their file names anywhere in the path (trimmed, letter
// case ignored): they are never moved to the block list or the Trash Jar, and the refusal is silent.
bool IsProtectedPath(std::string_view path);

struct PanelOperation;

class ListOperations {
 public:
  // Every reference outlives the operations. panels is the model the host keeps in line.
  ListOperations(Lists& lists, watch::RunningProgramList& running, const ListPanelsModel& panels, gui::Dialogs& dialogs,
                 FileChooser& chooser, ListOperationsHost& host);

  // The operation of a panel button, panel menu item or tray list item; None, Separator and unknown
  // values do nothing.
  void Run(PanelCommand command);

 private:
  void Move(const PanelOperation& operation);
  // A running program into the block list or the Trash Jar.
  ListWrite MoveRunning(const PanelOperation& operation, std::size_t index, const PanelEntry& entry);
  void Remove(const PanelOperation& operation);
  void Clear(const PanelOperation& operation);
  void AddToTrashJar();
  void ShowDetails(Panel panel);
  // The first selected entry of the panel, once the rows are in line with the lists.
  std::optional<SelectedEntry> Selected(Panel panel);
  // Asks; false for Cancel, for a question that ended without the user, and once the program is
  // ending.
  bool Confirmed(std::string_view question);
  // Where the chosen entry stands in its list now; nothing when it has left the list.
  std::optional<std::size_t> FindAgain(Panel panel, const SelectedEntry& chosen);
  // The owner's notice when a file refused, else done (when given) once everything was saved.
  void Tell(const ListWrite& write, std::string_view done);
  void ShowCounter(Panel panel);

  Lists& lists_;
  watch::RunningProgramList& running_;
  const ListPanelsModel& panels_;
  gui::Dialogs& dialogs_;
  FileChooser& chooser_;
  ListOperationsHost& host_;
};

}  // namespace corvane::ui
