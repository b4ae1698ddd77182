#pragma once
// What the main window does, without the window: the load steps, navigation, the tray icon's
// reactions, the tray menu, hiding on close and leaving the program. The Win32 window implements
// MainView and forwards its events here; host tests drive it with a fake view.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "process/process_table.h"
#include "process/speaker.h"
#include "store/list_file_system.h"
#include "hotkeys/system_hotkeys.h"
#include "store/lists.h"
#include "store/settings.h"
#include "gui/dialogs.h"
#include "ui/list_operations.h"
#include "ui/list_panels_model.h"
#include "ui/main_menu.h"
#include "ui/panel_commands.h"
#include "ui/main_window_model.h"
#include "ui/options_model.h"
#include "watch/watch_cycle.h"

namespace corvane::ui {

enum class MainTimer { Processes, HotKeys, Adv, RunAtOnce };

// Mouse messages the tray icon reports (the Windows message numbers).
inline constexpr unsigned kTrayLeftDoubleClick = 0x203;
inline constexpr unsigned kTrayRightButtonUp = 0x205;

// The access code the blocker needs, and its file beside the main program.
inline constexpr std::string_view kBlockerAccessCode = "plumtide";
inline constexpr std::string_view kBlockerFileName = "rizaz.exe";

class MainView {
 public:
  virtual ~MainView() = default;
  virtual void SetTimerEnabled(MainTimer timer, bool on) = 0;
  virtual void SetSplashText(std::string_view text) = 0;
  // Panels, heading and counters as the model has them.
  virtual void ShowPanels(const MainWindowModel& model) = 0;
  // Every navigation button back to its normal look.
  virtual void ResetNavigationButtons() = 0;
  // Brings a list panel's rows in line with its list, one step after the other.
  virtual void ApplyRowChanges(Panel panel, const std::vector<RowChange>& changes) = 0;
  // Visible, in its normal (not minimised) state.
  virtual void ShowMainWindow() = 0;
  // Minimised and hidden; the program goes on in the tray.
  virtual void HideMainWindow() = 0;
  virtual void CloseSplash() = 0;
  virtual void TrayShowIcon(std::string_view tip) = 0;
  virtual void TrayChangeTip(std::string_view tip) = 0;
  virtual void TrayRemoveIcon() = 0;
  virtual void PopUpTrayMenu() = 0;
  // Runs then about milliseconds later, with the user interface responsive meanwhile.
  virtual void After(int milliseconds, std::function<void()> then) = 0;
  // Ends the program at once.
  virtual void Quit() = 0;
  // Shows the details report of a program modally; returns when the user has closed it.
  virtual void ShowDetails(std::string_view path, std::string_view name) = 0;
  // The options panel as the model has it.
  virtual void ShowOptions(const OptionsModel& options) = 0;
  // A list panel's buttons back to their normal look.
  virtual void ResetPanelButtons(Panel panel) = 0;
  // The hourglass pointer over the program's windows (true), or the usual one again (false).
  virtual void SetBusyCursor(bool busy) = 0;
};

// What the list operations need that the controller does not hold itself. Every part outlives the
// controller.
struct ListOperationsParts {
  gui::Dialogs& dialogs;
  FileChooser& chooser;
  ProcessTable& processes;
  Speaker& speaker;
};

// Opens a file through the shell with its default action.
class Shell {
 public:
  virtual ~Shell() = default;
  virtual bool Open(std::string_view file, std::string_view parameters, std::string_view workingDirectory) = 0;
};

class MainController {
 public:
  MainController(MainView& view, SettingsStore& settings, Lists& lists, ListFileSystem& files, Shell& shell,
                 watch::WatchCycle& watch, std::string programDirectory);

  // The options panel's model, owned by the program; attached before the load. Its tip, running-list
  // and change hooks go to the view and the running panel from then on; its tray items go to it.
  void AttachOptions(OptionsModel& options);
  OptionsModel* options() const { return options_; }
  // The shutdown and restart hotkeys' part of the options panel, owned by the program; loaded with
  // the options, shown with them.
  void AttachSystemHotkeys(hotkeys::SystemHotkeys& hotkeys);
  hotkeys::SystemHotkeys* systemHotkeys() const { return systemHotkeys_; }
  // Whether a tray item shows a tick.
  bool IsMenuTicked(MenuCommand command) const;

  // The main window's load: timers off, alive signal, lists, options, the blocker's timer, left-over
  // files, the running panel, timers on.
  void Load();
  // After the load: the tray icon with the mode's tip; about a second later "auto" hides the window.
  void AfterLoad(std::string_view argumentText);

  void Navigate(Panel panel);
  void OnTrayMouse(unsigned mouseMessage);
  void OnMenuCommand(MenuCommand command);
  // The close box or the system menu: the window hides, the program goes on.
  void OnCloseRequested();
  // One watch tick with its timer off; the timer comes back afterwards whatever happened in the tick,
  // unless the program is closing. Nothing thrown inside leaves this call.
  void OnProcessesTick();
  void OnRunAtOnceTick();
  // A tick of the launch-hotkey poll.
  void OnHotKeysTick();
  // Windows was asked to shut down or restart: the icon goes and the program ends a moment later,
  // without telling the blocker, which goes down with Windows.
  void EndForPowerOff();
  // The running panel's count label, from the number of processes the watch cycle's snapshot listed.
  void ShowRunningCount(std::size_t listedProcesses);
  // Entries were added to or removed from the lists behind the panels (the list owner tells of its
  // own lists by itself; the running list's changes come here by hand).
  void OnListsChanged();
  // The user selected or deselected a row of a list panel.
  void SelectRow(Panel panel, std::size_t row, bool selected);
  // The details of the first selected entry of the running, blocked or allowed panel. No new alert
  // may open over the report, so the watch timer is off while it is shown.
  void ShowDetails(Panel panel);
  // "Close" in the tray menu.
  void Close();
  // Makes the panels' buttons and menus, and the tray menu's list items, work. Until then they do
  // nothing.
  void ConnectListOperations(const ListOperationsParts& parts);
  // A panel button was pressed or a panel menu item chosen.
  void OnPanelCommand(PanelCommand command);

  // The launch-hotkey poll's tick, and the Hot Keys window (the tray's "Show Hot Keys").
  std::function<void()> hotKeysTick;
  std::function<void()> showHotKeys;
  // Opens a page of the maker's web site (a path such as "/corvane/help.htm") in the user's browser.
  std::function<void(std::string_view path)> openSitePage;
  // A list operation moved a program to the allow list.
  std::function<void(std::string_view name, std::string_view path)> movedToAllowList;

  // The main window's "Help": the page of the panel that shows.
  void OnHelpClicked();

  const MainWindowModel& model() const { return model_; }
  // The rows the list panels show, and which of them are selected.
  const ListPanelsModel& listPanels() const { return panels_; }
  // The number of entries behind a panel's counter.
  std::size_t EntryCount(Panel panel) const;
  bool closing() const { return closing_; }

 private:
  void ShowAndNavigate(Panel panel);
  void UpdateListPanels();
  void RemoveLeftOverFile(std::string_view name);
  void ShowDetailsWithWatchOff(std::string_view path, std::string_view name);

  // The main program as the list operations see it.
  class OperationsHost final : public ListOperationsHost {
   public:
    OperationsHost(MainController& controller, ProcessTable& processes, Speaker& speaker)
        : controller_(controller), processes_(processes), speaker_(speaker) {}
    void TerminateProgramByName(std::string_view name) override;
    void EmptyTrashJar() override;
    void ListsChanged() override;
    void SetCounter(Panel panel, std::size_t count) override;
    void ResetPanelButtons(Panel panel) override;
    void SetWatchTimer(bool on) override;
    void SetBusyCursor(bool busy) override;
    void ShowDetails(std::string_view path, std::string_view name) override;
    bool Closing() const override;
    void MovedToAllowList(std::string_view name, std::string_view path) override;

   private:
    MainController& controller_;
    ProcessTable& processes_;
    Speaker& speaker_;
  };

  MainView& view_;
  SettingsStore& settings_;
  Lists& lists_;
  ListFileSystem& files_;
  Shell& shell_;
  watch::WatchCycle& watch_;
  std::string directory_;
  MainWindowModel model_;
  ListPanelsModel panels_;
  OptionsModel* options_ = nullptr;
  hotkeys::SystemHotkeys* systemHotkeys_ = nullptr;
  bool closing_ = false;
  std::unique_ptr<OperationsHost> operationsHost_;
  std::unique_ptr<ListOperations> operations_;
};

}  // namespace corvane::ui
