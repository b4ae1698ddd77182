#include "ui/main_controller.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <vector>

#include "store/cipher.h"
#include "tests/fakes/fake_startup_entry.h"
#include "tests/fakes/fake_dialogs.h"
#include "tests/fakes/fake_file_chooser.h"
#include "tests/fakes/program_fakes.h"

namespace corvane::ui {
namespace {

constexpr const char* kDir = testing::kFakeProgramDirectory;

class FakeView final : public MainView {
 public:
  void SetTimerEnabled(MainTimer timer, bool on) override {
    timers[timer] = on;
    log.push_back(std::string(on ? "on " : "off ") + std::to_string(static_cast<int>(timer)));
  }
  void SetSplashText(std::string_view text) override { splashText = text; }
  void ShowPanels(const MainWindowModel& model) override { shown = model; }
  void ResetNavigationButtons() override { log.push_back("reset buttons"); }
  void ApplyRowChanges(Panel panel, const std::vector<RowChange>& changes) override {
    rowChanges[panel].insert(rowChanges[panel].end(), changes.begin(), changes.end());
  }
  void ShowMainWindow() override { visible = true; }
  void HideMainWindow() override { visible = false; }
  void CloseSplash() override { log.push_back("close splash"); }
  void TrayShowIcon(std::string_view tip) override {
    trayIcon = true;
    trayTip = tip;
  }
  void TrayChangeTip(std::string_view tip) override {
    if (trayIcon) trayTip = tip;
  }
  void TrayRemoveIcon() override { trayIcon = false; }
  void PopUpTrayMenu() override { ++menus; }
  void After(int, std::function<void()> then) override { pending.push_back(std::move(then)); }
  void Quit() override { quit = true; }
  void ShowDetails(std::string_view path, std::string_view name) override {
    details.push_back(std::string(name) + " " + std::string(path));
    detailsWithTimerOn.push_back(timers[MainTimer::Processes]);
  }
  void ShowOptions(const OptionsModel& options) override {
    ++optionsShown;
    startWithWindowsShown = options.IsChecked(OptionBox::StartWithWindows);
  }
  void ResetPanelButtons(Panel panel) override { log.push_back("reset panel " + std::to_string(static_cast<int>(panel))); }
  void SetBusyCursor(bool busy) override { log.push_back(busy ? "hourglass" : "arrow"); }

  void RunPending() {
    auto work = std::move(pending);
    pending.clear();
    for (auto& f : work) f();
  }

  std::map<MainTimer, bool> timers;
  std::vector<std::string> log;
  std::string splashText;
  MainWindowModel shown;
  std::map<Panel, std::vector<RowChange>> rowChanges;
  bool visible = true;
  bool trayIcon = false;
  std::string trayTip;
  int menus = 0;
  bool quit = false;
  std::vector<std::function<void()>> pending;
  std::vector<std::string> details;
  std::vector<bool> detailsWithTimerOn;
  int optionsShown = 0;
  bool startWithWindowsShown = false;
};

class FakeShell final : public Shell {
 public:
  bool Open(std::string_view file, std::string_view parameters, std::string_view directory) override {
    opened.push_back({std::string(file), std::string(parameters), std::string(directory)});
    return true;
  }
  std::vector<std::vector<std::string>> opened;
};

class MainControllerTest : public ::testing::Test, protected testing::ProgramFakes {
 protected:
  MainControllerTest()
      : watch(processes, settings, speaker, lists, files, true,
              {[this](const watch::RunningProcesses& now) {
                 if (inspect) inspect(now);
               },
               {},
               {}}),
        controller(view, settings, lists, files, shell, watch, kDir) {}

  // What the watch cycle's judging step does; nothing while empty.
  std::function<void(const watch::RunningProcesses&)> inspect;
  watch::WatchCycle watch;
  FakeView view;
  FakeShell shell;
  MainController controller;
};

TEST_F(MainControllerTest, LoadRaisesAliveSignalLoadsListsAndEndsWithTimersOn) {
  settings.values["Support"] = "False";
  files.Put("C:\\Corvane\\cekdn.ocx", EncryptText("C:\\x\\bad.exe^^^^bad.exe") + "\r\n");
  files.Put("C:\\Corvane\\midmo.ocx", EncryptText("C:\\ok.exe^^^^ok.exe") + "\r\n");
  files.Put("C:\\Corvane\\temp", "left over");
  files.Put("C:\\Corvane\\tempCorvane.exe", "left over", /*hidden=*/true);
  controller.Load();
  EXPECT_EQ(settings.Get("Support"), "True");
  EXPECT_EQ(lists.blockList().size(), 1u);
  EXPECT_EQ(lists.allowList().size(), 1u);
  EXPECT_FALSE(files.Has("C:\\Corvane\\temp"));
  EXPECT_FALSE(files.Has("C:\\Corvane\\tempCorvane.exe"));
  EXPECT_EQ(view.splashText, " Loading Services. This may take several minutes ...");
  EXPECT_TRUE(view.shown.IsVisible(Panel::Running));
  EXPECT_EQ(view.shown.Heading(), "Running Process");
  for (const MainTimer t : {MainTimer::Processes, MainTimer::HotKeys, MainTimer::Adv, MainTimer::RunAtOnce}) {
    EXPECT_TRUE(view.timers[t]) << static_cast<int>(t);
  }
  // The watch timer stays off until the very end, after the blocker's timer was switched on.
  const auto at = [&](const std::string& entry) {
    return std::find(view.log.begin(), view.log.end(), entry) - view.log.begin();
  };
  EXPECT_LT(at("on 3"), at("on 0"));
  EXPECT_LT(at("on 0"), at("close splash"));
}

TEST_F(MainControllerTest, AfterLoadTrayTipFollowsModeAndAutoHidesASecondLater) {
  settings.values["OptAllowAll"] = "True";
  controller.AfterLoad("auto");
  EXPECT_TRUE(view.trayIcon);
  EXPECT_EQ(view.trayTip, "Corvane :: Allow All");
  EXPECT_TRUE(view.visible);
  view.RunPending();
  EXPECT_FALSE(view.visible);
}

TEST_F(MainControllerTest, OnlyTheExactAutoArgumentHides) {
  for (const char* argument : {"", "AUTO", "auto more"}) {
    view.visible = true;
    controller.AfterLoad(argument);
    view.RunPending();
    EXPECT_TRUE(view.visible) << argument;
    EXPECT_EQ(view.trayTip, "Corvane :: Normal");
  }
}

TEST_F(MainControllerTest, NavigationSetsListCounters) {
  lists.Block("a.exe", "C:\\a.exe");
  lists.Block("b.exe", "C:\\b.exe");
  lists.AddToTrashJar("C:\\x.txt");
  controller.Navigate(Panel::Blocked);
  EXPECT_EQ(view.shown.Heading(), "Blocked Process");
  EXPECT_EQ(view.shown.Count(Panel::Blocked), 2u);
  controller.Navigate(Panel::TrashJar);
  EXPECT_EQ(view.shown.Count(Panel::TrashJar), 1u);
  EXPECT_TRUE(view.shown.IsVisible(Panel::TrashJar));
  EXPECT_FALSE(view.shown.IsVisible(Panel::Blocked));
}

TEST_F(MainControllerTest, TrayMouseReactions) {
  view.visible = false;
  controller.OnTrayMouse(0x201);  // single left click: nothing
  controller.OnTrayMouse(0x200);  // a move: nothing
  EXPECT_FALSE(view.visible);
  EXPECT_EQ(view.menus, 0);
  controller.OnTrayMouse(kTrayRightButtonUp);
  EXPECT_EQ(view.menus, 1);
  EXPECT_FALSE(view.visible);
  controller.OnTrayMouse(kTrayLeftDoubleClick);
  EXPECT_TRUE(view.visible);
}

TEST_F(MainControllerTest, ShowMenuItemsShowTheWindowOnTheirPanel) {
  view.visible = false;
  controller.OnMenuCommand(MenuCommand::ShowTrashJar);
  EXPECT_TRUE(view.visible);
  EXPECT_TRUE(view.shown.IsVisible(Panel::TrashJar));
  controller.OnCloseRequested();
  EXPECT_FALSE(view.visible);
  // Showing again from the icon keeps the panel it had.
  controller.OnTrayMouse(kTrayLeftDoubleClick);
  EXPECT_TRUE(view.shown.IsVisible(Panel::TrashJar));
}

TEST_F(MainControllerTest, RunAtOnceStartsTheBlockerOnceWithItsAccessCode) {
  controller.OnRunAtOnceTick();
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0], (std::vector<std::string>{"C:\\Corvane\\rizaz.exe", "plumtide", "C:\\Corvane"}));
  EXPECT_FALSE(view.timers[MainTimer::RunAtOnce]);
}

TEST_F(MainControllerTest, APowerOffEndsWithoutLoweringTheAliveSignalAndStopsEveryTimer) {
  controller.Load();
  controller.AfterLoad("");
  view.RunPending();
  int polls = 0;
  controller.hotKeysTick = [&] { ++polls; };
  controller.OnHotKeysTick();
  controller.EndForPowerOff();
  EXPECT_EQ(settings.Get("Support"), "True");  // the blocker goes down with Windows
  EXPECT_FALSE(view.trayIcon);
  for (const MainTimer timer : {MainTimer::Processes, MainTimer::HotKeys, MainTimer::Adv, MainTimer::RunAtOnce}) {
    EXPECT_FALSE(view.timers[timer]);
  }
  controller.OnHotKeysTick();  // one already queued opens nothing
  EXPECT_EQ(polls, 1);
  EXPECT_FALSE(view.quit);
  view.RunPending();
  EXPECT_TRUE(view.quit);
}

TEST_F(MainControllerTest, HelpOpensThePageOfThePanelThatShowsAndTheTraysHelpItsOwn) {
  std::vector<std::string> opened;
  controller.openSitePage = [&](std::string_view path) { opened.emplace_back(path); };
  controller.Load();
  controller.OnHelpClicked();
  controller.Navigate(Panel::TrashJar);
  controller.OnHelpClicked();
  controller.OnMenuCommand(MenuCommand::Help);
  EXPECT_EQ(opened, (std::vector<std::string>{"/corvane/running.htm", "/corvane/trash.htm", "/corvane/help.htm"}));
}

TEST_F(MainControllerTest, CloseLowersAliveSignalRemovesIconAndQuitsAfterThePause) {
  controller.AfterLoad("");
  view.RunPending();
  controller.OnMenuCommand(MenuCommand::Close);
  EXPECT_EQ(settings.Get("Support"), "False");
  EXPECT_FALSE(view.trayIcon);
  EXPECT_FALSE(view.quit);
  EXPECT_FALSE(view.timers[MainTimer::Processes]);
  // A watch tick that was already queued must not switch its timer back on.
  controller.OnProcessesTick();
  EXPECT_FALSE(view.timers[MainTimer::Processes]);
  view.RunPending();
  EXPECT_TRUE(view.quit);
}

TEST_F(MainControllerTest, WatchTickRearmsItsTimerAndTheRunningCounterLeavesOneProcessOut) {
  processes.Add(7, "a.exe", "C:\\a.exe");
  bool ticked = false;
  inspect = [&](const watch::RunningProcesses& now) {
    ticked = true;
    controller.ShowRunningCount(now.size());
  };
  controller.OnProcessesTick();
  EXPECT_TRUE(ticked);
  EXPECT_EQ(view.shown.Count(Panel::Running), 0u);
  EXPECT_TRUE(view.timers[MainTimer::Processes]);
  EXPECT_EQ(view.log.front(), "off 0");
  controller.ShowRunningCount(42);
  EXPECT_EQ(view.shown.Count(Panel::Running), 41u);
  // Nothing listed (a failed snapshot) shows no negative count.
  controller.ShowRunningCount(0);
  EXPECT_EQ(view.shown.Count(Panel::Running), 0u);
}

TEST_F(MainControllerTest, DetailsOfTheSelectedEntryStopTheWatchTimerWhileShown) {
  lists.Block("bad.exe", "C:\\x\\bad.exe");
  lists.AddToTrashJar("C:\\old.txt");
  watch.running().Add({"ok.exe", "C:\\ok.exe"});
  controller.OnListsChanged();
  view.timers[MainTimer::Processes] = true;
  controller.SelectRow(Panel::Blocked, 0, true);
  controller.ShowDetails(Panel::Blocked);
  controller.SelectRow(Panel::Running, 0, true);
  controller.ShowDetails(Panel::Running);
  // No selection, a row that does not exist, and the Trash Jar show nothing.
  controller.ShowDetails(Panel::Allowed);
  controller.SelectRow(Panel::Allowed, 0, true);
  controller.ShowDetails(Panel::Allowed);
  controller.SelectRow(Panel::TrashJar, 0, true);
  controller.ShowDetails(Panel::TrashJar);
  // The selected entry has left its list meanwhile: nothing either.
  lists.Clear(ListKind::Block);
  controller.OnListsChanged();
  controller.ShowDetails(Panel::Blocked);
  EXPECT_EQ(view.details, (std::vector<std::string>{"bad.exe C:\\x\\bad.exe", "ok.exe C:\\ok.exe"}));
  EXPECT_EQ(view.detailsWithTimerOn, (std::vector<bool>{false, false}));
  EXPECT_TRUE(view.timers[MainTimer::Processes]);
}

TEST_F(MainControllerTest, ListChangesReachThePanelsAsRowStepsOnly) {
  files.Put("C:\\Corvane\\cekdn.ocx", EncryptText("C:\\x\\bad.exe^^^^bad.exe") + "\r\n");
  files.Put("C:\\Corvane\\hovsfd.dll", EncryptText("C:\\old.txt") + "\r\n");
  controller.Load();
  // The load adds the rows of the lists it read; the empty lists get no steps at all.
  EXPECT_EQ(view.rowChanges[Panel::Blocked],
            (std::vector<RowChange>{{RowChangeKind::Add, 0, {"bad.exe", "C:\\x\\bad.exe"}}}));
  EXPECT_EQ(view.rowChanges[Panel::TrashJar], (std::vector<RowChange>{{RowChangeKind::Add, 0, {"", "C:\\old.txt"}}}));
  EXPECT_EQ(view.rowChanges.count(Panel::Allowed), 0u);
  EXPECT_EQ(view.rowChanges.count(Panel::Options), 0u);
  view.rowChanges.clear();
  // A change of one list reaches only its panel, as the one step it takes.
  watch.running().Add({"new.exe", "C:\\new.exe"});
  controller.OnListsChanged();
  EXPECT_EQ(view.rowChanges.size(), 1u);
  EXPECT_EQ(view.rowChanges[Panel::Running],
            (std::vector<RowChange>{{RowChangeKind::Add, 0, {"new.exe", "C:\\new.exe"}}}));
  EXPECT_EQ(controller.listPanels().RowCount(Panel::Running), 1u);
}

TEST_F(MainControllerTest, AFailingTickNeverLeavesTheWatchTimerOff) {
  int ticks = 0;
  inspect = [&](const watch::RunningProcesses&) {
    ++ticks;
    throw std::runtime_error("failed inside the tick");
  };
  processes.Add(7, "a.exe", "C:\\a.exe");
  EXPECT_NO_THROW(controller.OnProcessesTick());
  EXPECT_TRUE(view.timers[MainTimer::Processes]);
  EXPECT_NO_THROW(controller.OnProcessesTick());
  EXPECT_EQ(ticks, 2);
  // Closing still keeps it off.
  controller.Close();
  EXPECT_NO_THROW(controller.OnProcessesTick());
  EXPECT_FALSE(view.timers[MainTimer::Processes]);
}

class MainControllerOptionsTest : public MainControllerTest {
 protected:
  MainControllerOptionsTest() { controller.AttachOptions(options); }

  testing::FakeStartupEntry startup;
  OptionsModel options{settings, watch.running(), startup, kDir};
};

TEST_F(MainControllerOptionsTest, LoadLoadsTheOptionsAfterTheListsAndTheTrayItemsGoToThem) {
  files.Put("C:\\Corvane\\cekdn.ocx", EncryptText("C:\\x\\bad.exe^^^^bad.exe") + "\r\n");
  settings.values["OptAllowAll"] = "True";
  settings.values["OptNormal"] = "False";
  controller.Load();
  // Loaded and shown: start with Windows by default, with its Run value; the mode as stored.
  EXPECT_EQ(startup.value, "\"C:\\Corvane\\Corvane.exe\" auto");
  EXPECT_GT(view.optionsShown, 0);
  EXPECT_TRUE(view.startWithWindowsShown);
  EXPECT_TRUE(controller.IsMenuTicked(MenuCommand::StartWithWindows));
  EXPECT_TRUE(controller.IsMenuTicked(MenuCommand::AllowAll));
  EXPECT_FALSE(controller.IsMenuTicked(MenuCommand::Normal));
  EXPECT_FALSE(controller.IsMenuTicked(MenuCommand::ShowCorvane));
  // No icon during the load; the icon then takes the loaded mode's tip.
  controller.AfterLoad("");
  EXPECT_EQ(view.trayTip, "Corvane :: Allow All");

  // The tray's Start with Windows: the box, the tick, the setting and the Run value follow.
  controller.OnMenuCommand(MenuCommand::StartWithWindows);
  EXPECT_FALSE(view.startWithWindowsShown);
  EXPECT_FALSE(controller.IsMenuTicked(MenuCommand::StartWithWindows));
  EXPECT_EQ(settings.Get("chkStartwithWindows"), "0");
  EXPECT_FALSE(startup.value.has_value());

  // A program listed in Allow All, then the tray's ticked Allow All: Normal again, the tip follows and
  // the unjudged program leaves the running panel.
  watch.running().Add({"free.exe", "C:\\free.exe", /*unjudged=*/true});
  controller.OnListsChanged();
  view.rowChanges.clear();
  controller.OnMenuCommand(MenuCommand::AllowAll);
  EXPECT_EQ(view.trayTip, "Corvane :: Normal");
  EXPECT_TRUE(controller.IsMenuTicked(MenuCommand::Normal));
  EXPECT_EQ(view.rowChanges[Panel::Running],
            (std::vector<RowChange>{{RowChangeKind::Remove, 0, {"free.exe", "C:\\free.exe", true}}}));
  EXPECT_EQ(controller.listPanels().RowCount(Panel::Running), 0u);

  // The hotkeys load with the options, and the tray's Show Hot Keys opens their window.
  testing::FakeDialogs dialogs;
  hotkeys::SystemHotkeys hotkeys(settings, lists.hotKeys(), dialogs);
  settings.values.erase("CmdRestart");
  controller.AttachSystemHotkeys(hotkeys);
  controller.Load();
  EXPECT_EQ(settings.Get("CmdRestart"), "1");
  int opened = 0;
  controller.showHotKeys = [&] { ++opened; };
  controller.OnMenuCommand(MenuCommand::HotKeys);
  EXPECT_EQ(opened, 1);

  // Other commands still reach their own handlers.
  view.visible = false;
  controller.OnMenuCommand(MenuCommand::ShowOptions);
  EXPECT_TRUE(view.visible);
  EXPECT_TRUE(view.shown.IsVisible(Panel::Options));
}

// The controller with the list operations connected, as the program runs it.
class MainControllerOperationsTest : public MainControllerTest {
 protected:
  MainControllerOperationsTest() { controller.ConnectListOperations({dialogs, chooser, processes, speaker}); }

  // One entry in each list, the first row of every panel selected.
  void FillAndSelect() {
    watch.running().Clear();
    watch.running().Add({"run.exe", "C:\\apps\\run.exe"});
    for (const ListKind list : {ListKind::Block, ListKind::Allow, ListKind::TrashJar}) lists.Clear(list);
    lists.Block("bad.exe", "C:\\x\\bad.exe");
    lists.Allow("ok.exe", "C:\\ok.exe");
    lists.AddToTrashJar("C:\\old.txt");
    controller.OnListsChanged();
    for (const Panel panel : {Panel::Running, Panel::Blocked, Panel::Allowed, Panel::TrashJar}) {
      controller.SelectRow(panel, 0, true);
    }
  }

  // Every message, file chooser and details report shown since the last call, in kind order.
  std::vector<std::string> TakeShown() {
    std::vector<std::string> shown = dialogs.shown;
    for (const std::string& title : chooser.titles) shown.push_back("choose: " + title);
    for (const std::string& details : view.details) shown.push_back("details: " + details);
    dialogs.shown.clear();
    chooser.titles.clear();
    view.details.clear();
    return shown;
  }

  testing::FakeDialogs dialogs;
  testing::FakeFileChooser chooser;
};

TEST_F(MainControllerOperationsTest, EveryPanelButtonReachesTheOperationItNames) {
  const std::string move = "confirm: Are you sure you want to move ";
  const std::string remove = "confirm: Are you sure you want to remove ";
  const std::map<PanelCommand, std::string> expected = {
      {PanelCommand::RunningToBlockList, move + "\"run.exe\" to Block List?"},
      {PanelCommand::RunningToTrashJar, move + "\"run.exe\" to Trash Jar?"},
      {PanelCommand::RunningDetails, "details: run.exe C:\\apps\\run.exe"},
      {PanelCommand::BlockedToAllowList, move + "\"bad.exe\" to Allow list?"},
      {PanelCommand::BlockedToTrashJar, move + "\"bad.exe\" to Trash Jar?"},
      {PanelCommand::RemoveBlocked, remove + "\"bad.exe\" from the list?"},
      {PanelCommand::ClearBlocked, "inform:  Block List has been Cleared."},
      {PanelCommand::BlockedDetails, "details: bad.exe C:\\x\\bad.exe"},
      {PanelCommand::AllowedToBlockList, move + "\"ok.exe\" to Block List ?"},
      {PanelCommand::AllowedToTrashJar, move + "\"ok.exe\" to Trash Jar?"},
      {PanelCommand::RemoveAllowed, remove + "\"ok.exe\" from the list?"},
      {PanelCommand::ClearAllowed, "inform:  Allowed list has been Cleared."},
      {PanelCommand::AllowedDetails, "details: ok.exe C:\\ok.exe"},
      {PanelCommand::AddToTrashJar, "choose: Corvane Select a file"},
      {PanelCommand::RemoveFromTrashJar, remove + "\"C:\\old.txt\" from the list?"},
      {PanelCommand::ClearTrashJar, "inform:  Trash Jar has been Cleared."},
  };
  // Every question is answered Cancel and the chooser is cancelled: only the clears change a list.
  std::size_t buttons = 0;
  for (const Panel panel : {Panel::Running, Panel::Blocked, Panel::Allowed, Panel::TrashJar}) {
    for (const PanelButton& button : PanelButtons(panel)) {
      ++buttons;
      FillAndSelect();
      TakeShown();
      controller.OnPanelCommand(button.command);
      ASSERT_EQ(expected.count(button.command), 1u) << button.caption;
      EXPECT_EQ(TakeShown(), std::vector<std::string>{expected.at(button.command)}) << button.caption;
    }
  }
  EXPECT_EQ(buttons, expected.size());
}

TEST_F(MainControllerOperationsTest, TrayMenuListItemsRunTheirOperations) {
  FillAndSelect();
  view.timers[MainTimer::Processes] = true;
  TakeShown();
  view.log.clear();
  controller.OnMenuCommand(MenuCommand::AllowClear);
  EXPECT_TRUE(lists.allowList().empty());
  EXPECT_EQ(watch.running().size(), 0u);
  // The hourglass while the list is emptied, the watch off meanwhile and on again afterwards.
  const std::vector<std::string> clearing = {"off 0", "reset panel 2", "hourglass", "arrow", "on 0"};
  EXPECT_EQ(view.log, clearing);
  EXPECT_TRUE(view.timers[MainTimer::Processes]);
  EXPECT_EQ(view.shown.Count(Panel::Allowed), 0u);
  controller.OnMenuCommand(MenuCommand::ClearBlockedList);
  EXPECT_TRUE(lists.blockList().empty());
  EXPECT_EQ(settings.values["Read"], "True");
  controller.OnMenuCommand(MenuCommand::TrashClear);
  EXPECT_TRUE(lists.trashJar().empty());
  chooser.answers = {"C:\\new.txt"};
  controller.OnMenuCommand(MenuCommand::TrashJarAdd);
  EXPECT_EQ(lists.trashJar(), (TrashJarList{"C:\\new.txt"}));
  EXPECT_EQ(TakeShown(), (std::vector<std::string>{"inform:  Allowed list has been Cleared.",
                                                   "inform:  Block List has been Cleared.",
                                                   "inform:  Trash Jar has been Cleared.",
                                                   "choose: Corvane Select a file"}));
  // Once the program is closing, neither the tray items nor the panels start anything.
  controller.Close();
  controller.OnMenuCommand(MenuCommand::TrashClear);
  controller.OnPanelCommand(PanelCommand::ClearTrashJar);
  EXPECT_EQ(lists.trashJar().size(), 1u);
  EXPECT_TRUE(TakeShown().empty());
}

TEST_F(MainControllerOperationsTest, ARunningProgramMovedToTheBlockListIsEndedWithTheBeepAndLeavesTheRunningList) {
  settings.values["ChkBeep"] = "1";
  processes.Add(4, "other.exe", "C:\\other.exe");
  processes.Add(5, "run.exe", "C:\\apps\\run.exe");
  processes.Add(6, "run.exe", "C:\\apps\\run.exe");
  FillAndSelect();
  dialogs.answers = {true};
  controller.OnPanelCommand(PanelCommand::RunningToBlockList);
  // The first process of that name; the watch cycle's next pass meets the second.
  EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{5}));
  EXPECT_EQ(speaker.beeps.size(), 1u);
  ASSERT_EQ(lists.blockList().size(), 2u);
  EXPECT_EQ(lists.blockList()[1].name, "run.exe");
  EXPECT_EQ(controller.listPanels().RowCount(Panel::Blocked), 2u);
  EXPECT_EQ(controller.listPanels().RowCount(Panel::Running), 0u);
  EXPECT_EQ(view.shown.Count(Panel::Running), 0u);
  // Without the beep option the program is ended silently.
  settings.values["ChkBeep"] = "0";
  FillAndSelect();
  dialogs.answers = {true};
  controller.OnPanelCommand(PanelCommand::RunningToBlockList);
  EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{5, 6}));
  EXPECT_EQ(speaker.beeps.size(), 1u);
}

}  // namespace
}  // namespace corvane::ui
