#include "ui/main_controller.h"

#include "web/site.h"

#include "process/process_control.h"

namespace corvane::ui {

namespace {
// How long the window stays on the screen before "auto" hides it, and how long Close waits after
// the alive signal went down before the program ends.
constexpr int kSettleMilliseconds = 1000;
}  // namespace

MainController::MainController(MainView& view, SettingsStore& settings, Lists& lists, ListFileSystem& files,
                               Shell& shell, watch::WatchCycle& watch, std::string programDirectory)
    : view_(view),
      settings_(settings),
      lists_(lists),
      files_(files),
      shell_(shell),
      watch_(watch),
      directory_(std::move(programDirectory)),
      panels_({lists.allowList(), lists.blockList(), lists.trashJar(), watch.running()}) {
  lists.AddListener([this](ListSet) { OnListsChanged(); });
}

void MainController::AttachOptions(OptionsModel& options) {
  options_ = &options;
  // Before the icon exists the view ignores the tip; AfterLoad sets it from the stored mode.
  options.changeTrayTip = [this](std::string_view tip) { view_.TrayChangeTip(tip); };
  options.runningListChanged = [this] { OnListsChanged(); };
  options.changed = [this] {
    if (options_ != nullptr) view_.ShowOptions(*options_);
  };
}

void MainController::AttachSystemHotkeys(hotkeys::SystemHotkeys& hotkeys) {
  systemHotkeys_ = &hotkeys;
  hotkeys.changed = [this] {
    if (options_ != nullptr) view_.ShowOptions(*options_);
  };
  // The options' load reaches the hotkey boxes and lists in its own order.
  if (options_ != nullptr) options_->hotkeyChecksLoaded = [this](const HotkeyOptions&) { systemHotkeys_->Load(); };
}

bool MainController::IsMenuTicked(MenuCommand command) const {
  return options_ != nullptr && options_->IsMenuTicked(command);
}

void MainController::Load() {
  view_.SetTimerEnabled(MainTimer::Adv, false);
  view_.SetTimerEnabled(MainTimer::RunAtOnce, false);
  view_.SetTimerEnabled(MainTimer::HotKeys, false);
  view_.SetSplashText(kSplashLoading);
  WriteBoolSetting(settings_, settings::kSupport, true);
  view_.SetTimerEnabled(MainTimer::Processes, false);
  lists_.Load();
  UpdateListPanels();
  if (options_ != nullptr) options_->LoadOptions();
  view_.SetTimerEnabled(MainTimer::RunAtOnce, true);
  // Nothing in this program creates these; they are cleared in case an old installer left them.
  RemoveLeftOverFile("temp");
  RemoveLeftOverFile("tempCorvane.exe");
  view_.SetSplashText(kSplashLoadingServices);
  view_.ResetNavigationButtons();
  Navigate(Panel::Running);
  view_.SetTimerEnabled(MainTimer::HotKeys, true);
  view_.SetTimerEnabled(MainTimer::Adv, true);
  view_.SetTimerEnabled(MainTimer::Processes, true);
  view_.CloseSplash();
}

void MainController::RemoveLeftOverFile(std::string_view name) {
  const std::string path = directory_ + "\\" + std::string(name);
  if (!files_.AnyFileExists(path)) return;
  if (!files_.RemoveFile(path)) files_.RemoveFile(path);
}

void MainController::AfterLoad(std::string_view argumentText) {
  view_.TrayShowIcon(kMainWindowCaption);
  // The loaded mode; without the options, the stored one.
  const bool allowAll = options_ != nullptr ? options_->Mode() == SecurityMode::AllowAll
                                            : ReadBoolSetting(settings_, settings::kOptAllowAll, false);
  view_.TrayChangeTip(SecurityModeTip(allowAll));
  const bool hide = IsAutoStart(argumentText);
  view_.After(kSettleMilliseconds, [this, hide] {
    if (hide && !closing_) view_.HideMainWindow();
  });
}

std::size_t MainController::EntryCount(Panel panel) const { return panels_.ListSize(panel); }

void MainController::Navigate(Panel panel) {
  // Navigation brings a list's counter up to date; the running counter follows the watch cycle.
  if (panel != Panel::Running && panel != Panel::Options) model_.SetCount(panel, EntryCount(panel));
  model_.ShowOnly(panel);
  view_.ShowPanels(model_);
}

void MainController::ShowAndNavigate(Panel panel) {
  view_.ShowMainWindow();
  Navigate(panel);
}

void MainController::OnTrayMouse(unsigned mouseMessage) {
  if (closing_) return;
  if (mouseMessage == kTrayLeftDoubleClick) {
    view_.ShowMainWindow();
  } else if (mouseMessage == kTrayRightButtonUp) {
    view_.PopUpTrayMenu();
  }
}

void MainController::OnMenuCommand(MenuCommand command) {
  if (closing_) return;
  if (options_ != nullptr && options_->OnMenuCommand(command)) return;
  switch (command) {
    case MenuCommand::ShowCorvane:
      view_.ShowMainWindow();
      break;
    case MenuCommand::RunningProcesses:
      ShowAndNavigate(Panel::Running);
      break;
    case MenuCommand::ShowBlocked:
      ShowAndNavigate(Panel::Blocked);
      break;
    case MenuCommand::ShowAllowedProcess:
      ShowAndNavigate(Panel::Allowed);
      break;
    case MenuCommand::ShowTrashJar:
      ShowAndNavigate(Panel::TrashJar);
      break;
    case MenuCommand::ShowOptions:
      ShowAndNavigate(Panel::Options);
      break;
    case MenuCommand::Help:
      if (openSitePage) openSitePage(web::kTrayHelpPath);
      break;
    case MenuCommand::HotKeys:
      if (showHotKeys) showHotKeys();
      break;
    case MenuCommand::Close:
      Close();
      break;
    case MenuCommand::ClearBlockedList:
      if (operations_) operations_->Run(PanelCommand::ClearBlocked);
      break;
    case MenuCommand::AllowClear:
      if (operations_) operations_->Run(PanelCommand::ClearAllowed);
      break;
    case MenuCommand::TrashJarAdd:
      if (operations_) operations_->Run(PanelCommand::AddToTrashJar);
      break;
    case MenuCommand::TrashClear:
      if (operations_) operations_->Run(PanelCommand::ClearTrashJar);
      break;
    default:
      // The options, hotkeys and help arrive with their own windows.
      break;
  }
}

void MainController::OnCloseRequested() { view_.HideMainWindow(); }

void MainController::OnProcessesTick() {
  view_.SetTimerEnabled(MainTimer::Processes, false);
  // Whatever fails inside a tick, the watch goes on at the next one: a failure that left the timer
  // off would end the protection silently for the rest of the run.
  try {
    watch_.Tick();
  } catch (...) {
  }
  try {
    view_.ShowPanels(model_);
  } catch (...) {
  }
  if (!closing_) view_.SetTimerEnabled(MainTimer::Processes, true);
}

void MainController::ShowRunningCount(std::size_t listedProcesses) {
  // One less than listed, as the counter has always shown: on Windows the list opens with the idle
  // process, which is no program.
  model_.SetCount(Panel::Running, listedProcesses > 0 ? listedProcesses - 1 : 0);
  view_.ShowPanels(model_);
}

void MainController::OnListsChanged() {
  UpdateListPanels();
  view_.ShowPanels(model_);
}

void MainController::UpdateListPanels() {
  for (std::size_t i = 0; i < kPanelCount; ++i) {
    const auto panel = static_cast<Panel>(i);
    if (!IsListPanel(panel)) continue;
    const std::vector<RowChange> changes = panels_.Update(panel);
    if (!changes.empty()) view_.ApplyRowChanges(panel, changes);
  }
}

void MainController::SelectRow(Panel panel, std::size_t row, bool selected) {
  panels_.SetSelected(panel, row, selected);
}

void MainController::ShowDetails(Panel panel) {
  if (!HasProgramRows(panel)) return;
  const std::optional<SelectedEntry> selected = panels_.FirstSelected(panel);
  if (!selected) return;
  ShowDetailsWithWatchOff(selected->entry.path, selected->entry.name);
}

void MainController::ShowDetailsWithWatchOff(std::string_view path, std::string_view name) {
  view_.SetTimerEnabled(MainTimer::Processes, false);
  view_.ShowDetails(path, name);
  if (!closing_) view_.SetTimerEnabled(MainTimer::Processes, true);
}

void MainController::ConnectListOperations(const ListOperationsParts& parts) {
  operationsHost_ = std::make_unique<OperationsHost>(*this, parts.processes, parts.speaker);
  operations_ = std::make_unique<ListOperations>(lists_, watch_.running(), panels_, parts.dialogs, parts.chooser,
                                                 *operationsHost_);
}

void MainController::OnPanelCommand(PanelCommand command) {
  if (closing_ || !operations_) return;
  operations_->Run(command);
}

void MainController::OperationsHost::TerminateProgramByName(std::string_view name) {
  // As a block from the alert ends it: the first process of that name, with the beep if asked for.
  const std::optional<std::uint32_t> processId = FindProcessByFileName(processes_, name);
  if (!processId) return;
  watch::AnnounceTermination(controller_.settings_, speaker_);
  TerminateMatchedProcess(processes_, *processId);
}

void MainController::OperationsHost::EmptyTrashJar() { controller_.watch_.EmptyTrashJar(); }

void MainController::OperationsHost::ListsChanged() { controller_.OnListsChanged(); }

void MainController::OperationsHost::SetCounter(Panel panel, std::size_t count) {
  controller_.model_.SetCount(panel, count);
  controller_.view_.ShowPanels(controller_.model_);
}

void MainController::OperationsHost::ResetPanelButtons(Panel panel) { controller_.view_.ResetPanelButtons(panel); }

void MainController::OperationsHost::SetWatchTimer(bool on) {
  controller_.view_.SetTimerEnabled(MainTimer::Processes, on && !controller_.closing_);
}

void MainController::OperationsHost::SetBusyCursor(bool busy) { controller_.view_.SetBusyCursor(busy); }

void MainController::OperationsHost::ShowDetails(std::string_view path, std::string_view name) {
  controller_.ShowDetailsWithWatchOff(path, name);
}

bool MainController::OperationsHost::Closing() const { return controller_.closing_; }

void MainController::OperationsHost::MovedToAllowList(std::string_view name, std::string_view path) {
  if (controller_.movedToAllowList) controller_.movedToAllowList(name, path);
}

void MainController::OnRunAtOnceTick() {
  view_.SetTimerEnabled(MainTimer::RunAtOnce, false);
  shell_.Open(directory_ + "\\" + std::string(kBlockerFileName), kBlockerAccessCode, directory_);
}

void MainController::OnHelpClicked() {
  if (closing_ || !openSitePage) return;
  web::PanelVisibility shown;
  shown.running = model_.IsVisible(Panel::Running);
  shown.blocked = model_.IsVisible(Panel::Blocked);
  shown.allowed = model_.IsVisible(Panel::Allowed);
  shown.trashJar = model_.IsVisible(Panel::TrashJar);
  shown.options = model_.IsVisible(Panel::Options);
  openSitePage(web::HelpPathFor(shown));
}

void MainController::OnHotKeysTick() {
  if (closing_) {
    view_.SetTimerEnabled(MainTimer::HotKeys, false);
    return;
  }
  if (hotKeysTick) hotKeysTick();
}

void MainController::EndForPowerOff() {
  if (closing_) return;
  closing_ = true;
  view_.TrayRemoveIcon();
  for (const MainTimer timer : {MainTimer::Processes, MainTimer::HotKeys, MainTimer::Adv, MainTimer::RunAtOnce}) {
    view_.SetTimerEnabled(timer, false);
  }
  view_.After(kSettleMilliseconds, [this] { view_.Quit(); });
}

void MainController::Close() {
  if (closing_) return;
  closing_ = true;
  WriteBoolSetting(settings_, settings::kSupport, false);
  view_.TrayRemoveIcon();
  // Nothing more may start: no watch tick, no alert, no blocker.
  for (const MainTimer timer : {MainTimer::Processes, MainTimer::HotKeys, MainTimer::Adv, MainTimer::RunAtOnce}) {
    view_.SetTimerEnabled(timer, false);
  }
  view_.HideMainWindow();
  view_.After(kSettleMilliseconds, [this] { view_.Quit(); });
}

}  // namespace corvane::ui
