// The main window in-process, with the real controller on fake lists and settings: what navigation
// shows, what the tray icon's messages do, and that closing only hides.
#include "ui/win/main_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "base/win/utf.h"
#include "tests/fakes/program_fakes.h"
#include "ui/main_controller.h"
#include "watch/new_program_decision.h"

namespace corvane::ui::win {
namespace {

class NoShell final : public Shell {
 public:
  bool Open(std::string_view, std::string_view, std::string_view) override { return true; }
};

// The user allows every program the alert asks about (none is asked about here: all are allowed).
class AllowEverything final : public watch::DecisionUi {
 public:
  watch::AlertDecision ShowAlert(const watch::AlertRequest&) override { return watch::AlertDecision::Allow; }
  watch::ConfirmAnswer Confirm(std::string_view) override { return watch::ConfirmAnswer::Yes; }
  void Inform(std::string_view) override {}
};

std::wstring TextOf(HWND hwnd) {
  wchar_t text[256] = {};
  ::GetWindowTextW(hwnd, text, 256);
  return text;
}

// Runs the messages waiting now, timers included, for about milliseconds.
void Pump(int milliseconds) {
  const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
  do {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    ::Sleep(5);
  } while (::GetTickCount64() < end);
}

class MainWindowTest : public ::testing::Test, protected testing::ProgramFakes {
 protected:
  MainWindowTest()
      : watch(processes, settings, speaker, lists, files, true,
              {[this](const watch::RunningProcesses& now) {
                 if (inspect) inspect(now);
               },
               {},
               [this] { controller.OnListsChanged(); }}),
        controller(window, settings, lists, files, shell, watch, "C:\\Corvane") {}

  void SetUp() override {
    ASSERT_TRUE(window.Create(controller));
    lists.Block("a.exe", "C:\\a.exe");
    lists.Block("b.exe", "C:\\b.exe");
    lists.AddToTrashJar("C:\\old.txt");
    window.ShowMainWindow();
  }

  int VisiblePanels() const {
    int count = 0;
    for (size_t i = 0; i < kPanelCount; ++i) count += ::IsWindowVisible(window.Panel(static_cast<Panel>(i))) ? 1 : 0;
    return count;
  }

  // What the watch cycle's judging step does; nothing while empty.
  std::function<void(const watch::RunningProcesses&)> inspect;
  watch::WatchCycle watch;
  NoShell shell;
  MainWindow window;
  MainController controller;
};

TEST_F(MainWindowTest, NavigationButtonsShowExactlyOnePanelWithItsHeadingAndCounter) {
  struct Case {
    Panel panel;
    const wchar_t* heading;
    const wchar_t* counter;  // null: the panel has none
  };
  const Case cases[] = {{Panel::Blocked, L"Blocked Process", L"2"},
                        {Panel::Allowed, L"Allowed Process", L"0"},
                        {Panel::TrashJar, L"Trash Jar", L"1"},
                        {Panel::Options, L"Options/Settings", nullptr},
                        {Panel::Running, L"Running Process", L"0"}};
  for (const Case& c : cases) {
    HWND button = window.NavigationButton(c.panel);
    ASSERT_NE(button, nullptr);
    ::SendMessageW(button, BM_CLICK, 0, 0);
    Pump(20);
    EXPECT_EQ(VisiblePanels(), 1) << c.heading;
    EXPECT_TRUE(::IsWindowVisible(window.Panel(c.panel))) << c.heading;
    EXPECT_EQ(TextOf(window.Heading()), c.heading);
    if (c.counter != nullptr) {
      EXPECT_EQ(TextOf(window.Counter(c.panel)), c.counter) << c.heading;
    }
  }
  // The list rows follow the lists.
  EXPECT_EQ(ListView_GetItemCount(window.ListView(Panel::Blocked)), 2);
  EXPECT_EQ(ListView_GetItemCount(window.ListView(Panel::TrashJar)), 1);
}

TEST_F(MainWindowTest, TrayCallbackDoubleClickShowsRightButtonUpOpensTheMenuOthersIgnored) {
  controller.OnCloseRequested();
  ASSERT_FALSE(::IsWindowVisible(window.Hwnd()));
  const auto tray = [&](UINT mouse) {
    ::SendMessageW(window.Hwnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, mouse);
  };
  // Moves, single clicks and a plain mouse move over the window do nothing.
  tray(WM_MOUSEMOVE);
  tray(WM_LBUTTONDOWN);
  tray(WM_LBUTTONUP);
  ::SendMessageW(window.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(0x205, 0x205));
  EXPECT_FALSE(::IsWindowVisible(window.Hwnd()));

  // The menu runs its own loop: a timer inside it looks for the menu window and closes it.
  static bool menuSeen = false;
  menuSeen = false;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
    if (::FindWindowW(L"#32768", nullptr) != nullptr) menuSeen = true;
    ::EndMenu();
  });
  tray(WM_RBUTTONUP);
  ::KillTimer(nullptr, timer);
  EXPECT_TRUE(menuSeen);
  EXPECT_FALSE(::IsWindowVisible(window.Hwnd()));

  tray(WM_LBUTTONDBLCLK);
  EXPECT_TRUE(::IsWindowVisible(window.Hwnd()));
}

// The way the shell decides: a shown top-level window gets a taskbar button when it asks for one
// (WS_EX_APPWINDOW), or when it is neither owned nor a tool window.
bool HasTaskbarButton(HWND hwnd) {
  if (!::IsWindowVisible(hwnd)) return false;
  const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  if (exStyle & WS_EX_APPWINDOW) return true;
  return ::GetWindow(hwnd, GW_OWNER) == nullptr && !(exStyle & WS_EX_TOOLWINDOW);
}

TEST_F(MainWindowTest, ClosingOrMinimisingOnlyHidesAndTheWindowNeverHasATaskbarButton) {
  // Shown, it stays off the taskbar, and keeps the ordinary caption a tool window would lose.
  ASSERT_TRUE(::IsWindowVisible(window.Hwnd()));
  EXPECT_FALSE(HasTaskbarButton(window.Hwnd()));
  EXPECT_FALSE(::GetWindowLongPtrW(window.Hwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(::GetWindowLongPtrW(window.Hwnd(), GWL_STYLE) & WS_CAPTION, static_cast<LONG_PTR>(WS_CAPTION));
  // Its owner, if it has one, is never shown.
  const HWND owner = ::GetWindow(window.Hwnd(), GW_OWNER);
  if (owner != nullptr) {
    EXPECT_FALSE(::IsWindowVisible(owner));
  }
  ::SendMessageW(window.Hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(::IsWindow(window.Hwnd()));
  EXPECT_FALSE(::IsWindowVisible(window.Hwnd()));
  window.ShowMainWindow();
  ::SendMessageW(window.Hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(::IsWindow(window.Hwnd()));
  EXPECT_FALSE(::IsWindowVisible(window.Hwnd()));
  // The show item of the tray menu brings it back, still without a button.
  ::SendMessageW(window.Hwnd(), WM_COMMAND, static_cast<WPARAM>(MenuCommand::ShowCorvane), 0);
  EXPECT_TRUE(::IsWindowVisible(window.Hwnd()));
  EXPECT_FALSE(HasTaskbarButton(window.Hwnd()));
  // So does a second start of the program, from the tray too.
  controller.OnCloseRequested();
  ::SendMessageW(window.Hwnd(), BringForwardMessage(), 0, 0);
  EXPECT_TRUE(::IsWindowVisible(window.Hwnd()));
  EXPECT_FALSE(::IsIconic(window.Hwnd()));
  EXPECT_FALSE(HasTaskbarButton(window.Hwnd()));
}

TEST_F(MainWindowTest, TrayTipFollowsTheModeAndIsOnlyChangedWhileTheIconIsShown) {
  window.TrayChangeTip("Corvane :: Allow All");
  EXPECT_FALSE(window.Tray().RunningInTray());
  EXPECT_TRUE(window.Tray().Tip().empty());
  controller.AfterLoad("");
  EXPECT_TRUE(window.Tray().RunningInTray());
  EXPECT_EQ(window.Tray().Tip(), "Corvane :: Normal");
  window.TrayChangeTip(std::string(70, 'x'));
  EXPECT_EQ(window.Tray().Tip().size(), 64u);
  window.TrayRemoveIcon();
  EXPECT_FALSE(window.Tray().RunningInTray());
}

TEST_F(MainWindowTest, AWatchTickChangesTheRunningRowsOneByOneAndTheSelectionAndScrollStayWithTheirEntries) {
  AllowEverything user;
  watch::NewProgramInspector inspector(lists, watch.running(), settings, processes, speaker, user, {},
                                       {{}, [&] { controller.OnListsChanged(); }, {}});
  inspect = [&](const watch::RunningProcesses& now) { inspector.InspectNewPrograms(now); };
  // Forty allowed programs, all but the last running: more rows than the list shows at once.
  const auto name = [](int i) { return "p" + std::to_string(100 + i) + ".exe"; };
  for (int i = 0; i < 40; ++i) {
    lists.Allow(name(i), "C:\\apps\\" + name(i));
    if (i < 39) processes.Add(static_cast<std::uint32_t>(1000 + i), name(i), "C:\\apps\\" + name(i));
  }
  controller.Navigate(Panel::Running);
  controller.OnProcessesTick();
  HWND list = window.ListView(Panel::Running);
  ASSERT_EQ(ListView_GetItemCount(list), 39);
  const auto rowText = [&](int row) {
    wchar_t text[64] = {};
    ListView_GetItemText(list, row, 0, text, 64);
    return corvane::win::Narrow(text);
  };

  // The user scrolls down and selects a row; the row carries a mark that a rebuilt row would not have.
  RECT item{};
  ASSERT_TRUE(ListView_GetItemRect(list, 0, &item, LVIR_BOUNDS));
  ListView_Scroll(list, 0, 20 * (item.bottom - item.top));
  const int top = ListView_GetTopIndex(list);
  ASSERT_GT(top, 2);
  const std::string topName = rowText(top);
  const int chosen = top + 2;
  const std::string chosenName = rowText(chosen);
  ListView_SetItemState(list, chosen, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  LVITEMW mark{};
  mark.mask = LVIF_PARAM;
  mark.iItem = chosen;
  mark.lParam = 0x5E1;
  ASSERT_TRUE(ListView_SetItem(list, &mark));
  ASSERT_TRUE(controller.listPanels().FirstSelected(Panel::Running));
  ASSERT_EQ(controller.listPanels().FirstSelected(Panel::Running)->entry.name, chosenName);

  // A tick: the first two programs ended, the last one started.
  processes.TerminateProcessById(1000, 0);
  processes.TerminateProcessById(1001, 0);
  processes.Add(1039, name(39), "C:\\apps\\" + name(39));
  controller.OnProcessesTick();
  ASSERT_EQ(ListView_GetItemCount(list), 38);
  EXPECT_EQ(rowText(0), name(2));
  EXPECT_EQ(rowText(37), name(39));
  // The same entry is selected, in its own row of the control, and nothing else is.
  const int selectedRow = ListView_GetNextItem(list, -1, LVNI_SELECTED);
  EXPECT_EQ(selectedRow, chosen - 2);
  EXPECT_EQ(rowText(selectedRow), chosenName);
  EXPECT_EQ(ListView_GetNextItem(list, selectedRow, LVNI_SELECTED), -1);
  LVITEMW kept{};
  kept.mask = LVIF_PARAM;
  kept.iItem = selectedRow;
  ASSERT_TRUE(ListView_GetItem(list, &kept));
  EXPECT_EQ(kept.lParam, 0x5E1);
  const auto selected = controller.listPanels().FirstSelected(Panel::Running);
  ASSERT_TRUE(selected);
  EXPECT_EQ(selected->entry.name, chosenName);
  EXPECT_EQ(selected->row, static_cast<std::size_t>(chosen - 2));
  // The view still begins with the row it began with.
  EXPECT_EQ(rowText(ListView_GetTopIndex(list)), topName);
}

TEST_F(MainWindowTest, ThousandsOfRowsFillAtOnceAndFetchTheirIconsOnlyWhenAsked) {
  // An allow file of years of use, read as at a start.
  ListFileStore earlier(files, settings, "C:\\Corvane");
  for (int i = 0; i < 3000; ++i) {
    const std::string name = "tool" + std::to_string(i) + ".exe";
    earlier.allowList().push_back({name, "C:\\apps" + std::to_string(i) + "\\" + name});
  }
  ASSERT_TRUE(earlier.RewriteListFile(ListKind::Allow));
  lists.Load();
  controller.OnListsChanged();  // the allowed panel is not in view
  HWND list = window.ListView(Panel::Allowed);
  ASSERT_EQ(ListView_GetItemCount(list), 3000);
  HIMAGELIST icons = ListView_GetImageList(list, LVSIL_SMALL);
  ASSERT_NE(icons, nullptr);
  const int before = ImageList_GetImageCount(icons);
  EXPECT_LT(before, 50);  // not one icon per row
  // A row asked for its picture gets its own file's, once, and keeps it.
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = 2500;
  ASSERT_TRUE(ListView_GetItem(list, &item));
  EXPECT_EQ(item.iImage, before);
  EXPECT_EQ(ImageList_GetImageCount(icons), before + 1);
  ASSERT_TRUE(ListView_GetItem(list, &item));
  EXPECT_EQ(item.iImage, before);
  EXPECT_EQ(ImageList_GetImageCount(icons), before + 1);
  // Its text came with the fill.
  wchar_t text[64] = {};
  ListView_GetItemText(list, 2500, 1, text, 64);
  EXPECT_EQ(corvane::win::Narrow(text), "C:\\apps2500\\tool2500.exe");
}

}  // namespace
}  // namespace corvane::ui::win
