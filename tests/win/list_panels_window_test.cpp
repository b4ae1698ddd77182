// The list panels of the main window in-process, with the real controller and list operations on
// fake lists and processes, the program's own message windows and the system's file dialog: each
// panel's buttons by caption, a press that reaches its operation, and the right-click menu.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/win/utf.h"
#include "gui/win/image_button.h"
#include "gui/win/message_boxes.h"
#include "tests/fakes/program_fakes.h"
#include "tests/support/child_process.h"
#include "tests/support/modal_driver.h"
#include "ui/main_controller.h"
#include "ui/win/file_chooser_win.h"
#include "ui/win/main_window.h"

namespace corvane::ui::win {
namespace {

using corvane::testing::ChildByText;
using corvane::testing::ModalDriver;
using corvane::testing::PostClick;
using gui::win::FrmMessageBoxOK;
using gui::win::FrmMessageBoxYesAndNo;
using gui::win::ImageButton;
using gui::win::WindowDialogs;
using gui::win::kMessageLabelId;

constexpr const wchar_t* kConfirmation = FrmMessageBoxYesAndNo::kCaption;
constexpr const wchar_t* kInformation = FrmMessageBoxOK::kCaption;

class NoShell final : public Shell {
 public:
  bool Open(std::string_view, std::string_view, std::string_view) override { return true; }
};

// What a modal window said, and a press of one of its buttons.
ModalDriver::Step Answer(const wchar_t* caption, const wchar_t* button, std::wstring* said = nullptr) {
  return {caption, [button, said](HWND window) {
            if (said != nullptr) *said = corvane::testing::TextOf(::GetDlgItem(window, kMessageLabelId));
            PostClick(ChildByText(window, button));
          }};
}

// The menu's lines: captions, "-" for separators.
std::vector<std::wstring> MenuLines(HMENU menu) {
  std::vector<std::wstring> lines;
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[128] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = static_cast<UINT>(std::size(text));
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) return {};
    lines.push_back((info.fType & MFT_SEPARATOR) ? L"-" : text);
  }
  return lines;
}

class ListPanelsWindowTest : public ::testing::Test, protected testing::ProgramFakes {
 protected:
  ListPanelsWindowTest()
      : watch(processes, settings, speaker, lists, files, true, {{}, {}, [this] { controller.OnListsChanged(); }}),
        window(nullptr,
               [this](HWND, std::string_view path, std::string_view name) {
                 details.push_back(std::string(name) + " " + std::string(path));
               }),
        controller(window, settings, lists, files, shell, watch, testing::kFakeProgramDirectory) {}

  void SetUp() override {
    ASSERT_TRUE(window.Create(controller));
    dialogs.SetOwner(window.Hwnd());
    chooser.SetOwner(window.Hwnd());
    controller.ConnectListOperations({dialogs, chooser, processes, speaker});
    window.ShowMainWindow();
  }

  // Shows the panel with its lists' rows as they are now.
  void Show(Panel panel) {
    controller.OnListsChanged();
    controller.Navigate(panel);
  }

  void Select(Panel panel, int row) {
    ListView_SetItemState(window.ListView(panel), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }

  // The panel's image button with that caption; every one of them is asserted to exist.
  HWND ButtonOf(Panel panel, const wchar_t* caption) {
    HWND button = ChildByText(window.Panel(panel), caption);
    EXPECT_NE(button, nullptr) << corvane::win::Narrow(caption);
    EXPECT_TRUE(ImageButton::IsImageButton(button)) << corvane::win::Narrow(caption);
    return button;
  }

  void Press(Panel panel, const wchar_t* caption) {
    if (HWND button = ButtonOf(panel, caption)) ::SendMessageW(button, BM_CLICK, 0, 0);
  }

  // Right-clicks the panel's first row and reads the menu that opens; then chooses its first item
  // with the keyboard, or closes it.
  std::vector<std::wstring> RightClickMenu(Panel panel, bool chooseFirst) {
    static std::vector<std::wstring> lines;
    static bool choose = false;
    lines.clear();
    choose = chooseFirst;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
      const HWND popup = ::FindWindowW(L"#32768", nullptr);
      if (popup == nullptr || !lines.empty()) return;
      lines = MenuLines(reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0)));
      if (choose) {
        ::PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
      } else {
        ::EndMenu();
      }
    });
    HWND list = window.ListView(panel);
    // A right click on the first row, as the mouse makes it.
    const LPARAM point = MAKELPARAM(20, 30);
    ::PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, point);
    ::PostMessageW(list, WM_RBUTTONUP, 0, point);
    const ULONGLONG end = ::GetTickCount64() + 3000;
    while (lines.empty() && ::GetTickCount64() < end) {
      RunPending();
      ::Sleep(5);
    }
    ::KillTimer(nullptr, timer);
    return lines;
  }

  // Runs what is waiting now: a command a menu item posted, for one.
  static void RunPending() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }

  int RowCount(Panel panel) { return ListView_GetItemCount(window.ListView(panel)); }
  int RowImage(Panel panel, int row) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    return ListView_GetItem(window.ListView(panel), &item) ? item.iImage : -2;
  }
  std::wstring CounterText(Panel panel) { return corvane::testing::TextOf(window.Counter(panel)); }

  watch::WatchCycle watch;
  NoShell shell;
  std::vector<std::string> details;
  MainWindow window;
  MainController controller;
  WindowDialogs dialogs;
  Win32FileChooser chooser;
};

TEST_F(ListPanelsWindowTest, RunningPanelMovesTheSelectedProgramToTheBlockListWithItsIconAndShowsDetails) {
  // A real program file, with an icon of its own kind.
  const std::string program = corvane::win::Narrow(corvane::testing::HelperPath(L"sleeper"));
  processes.Add(5, "sleeper.exe", program);
  watch.running().Add({"other.exe", "C:\\apps\\other.exe"});
  watch.running().Add({"sleeper.exe", program});
  Show(Panel::Running);
  ASSERT_EQ(RowCount(Panel::Running), 2);
  const int icon = RowImage(Panel::Running, 1);
  ASSERT_GE(icon, 0);

  EXPECT_EQ(RightClickMenu(Panel::Running, false),
            (std::vector<std::wstring>{L"Move to Block list", L"Move To Trash Can", L"-", L"Details"}));
  ButtonOf(Panel::Running, L"Move To Trash Jar");
  Select(Panel::Running, 1);
  Press(Panel::Running, L"Details");
  EXPECT_EQ(details, std::vector<std::string>{"sleeper.exe " + program});

  std::wstring question;
  {
    ModalDriver driver({Answer(kConfirmation, L"Ok", &question)});
    Press(Panel::Running, L"Move To Block List");
    EXPECT_TRUE(driver.acted());
    EXPECT_FALSE(driver.stuck());
  }
  EXPECT_EQ(question, L"Are you sure you want to move \"sleeper.exe\" to Block List?");
  EXPECT_EQ(processes.terminated, std::vector<std::uint32_t>{5});
  EXPECT_EQ(RowCount(Panel::Running), 1);
  EXPECT_EQ(CounterText(Panel::Running), L"1");
  ASSERT_EQ(RowCount(Panel::Blocked), 1);
  // The moved row shows its program's own icon at once.
  EXPECT_EQ(RowImage(Panel::Blocked, 0), icon);
  ASSERT_EQ(lists.blockList().size(), 1u);
  EXPECT_EQ(lists.blockList()[0].path, program);
}

TEST_F(ListPanelsWindowTest, BlockedPanelRemovesTheSelectedEntryAndItsMenuAsksAboutTheTrashJar) {
  lists.Block("a.exe", "C:\\a.exe");
  lists.Block("b.exe", "C:\\b.exe");
  settings.values.erase("Read");
  Show(Panel::Blocked);
  for (const wchar_t* caption : {L"Move To Allow List", L"Move To Trash Jar", L"Clear", L"Details"}) {
    ButtonOf(Panel::Blocked, caption);
  }
  Select(Panel::Blocked, 1);
  std::wstring question;
  std::wstring told;
  {
    ModalDriver driver({Answer(kConfirmation, L"Ok", &question), Answer(kInformation, L"Ok", &told)});
    Press(Panel::Blocked, L"Remove");
    EXPECT_TRUE(driver.acted());
  }
  EXPECT_EQ(question, L"Are you sure you want to remove \"b.exe\" from the list?");
  EXPECT_EQ(told, L" Selected file has been removed from the list.");
  EXPECT_EQ(RowCount(Panel::Blocked), 1);
  EXPECT_EQ(CounterText(Panel::Blocked), L"1");
  EXPECT_EQ(settings.values["Read"], "True");

  // The menu's first item, chosen with the keyboard, is the panel's move to the Trash Jar.
  Select(Panel::Blocked, 0);
  {
    ModalDriver driver({Answer(kConfirmation, L"Cancel", &question)});
    EXPECT_EQ(RightClickMenu(Panel::Blocked, true),
              (std::vector<std::wstring>{L"Move To Trash Can", L"Move To Allow List", L"-", L"Remove"}));
    RunPending();
    EXPECT_TRUE(driver.acted());
  }
  EXPECT_EQ(question, L"Are you sure you want to move \"a.exe\" to Trash Jar?");
  EXPECT_EQ(lists.blockList().size(), 1u);
  EXPECT_TRUE(lists.trashJar().empty());
}

TEST_F(ListPanelsWindowTest, AllowedPanelClearsItsListAndTheRunningListAndTheWatchGoesOn) {
  lists.Allow("ok.exe", "C:\\ok.exe");
  lists.Allow("fine.exe", "C:\\fine.exe");
  watch.running().Add({"ok.exe", "C:\\ok.exe"});
  Show(Panel::Allowed);
  EXPECT_EQ(RightClickMenu(Panel::Allowed, false),
            (std::vector<std::wstring>{L"Move To Block List", L"-", L"Remove"}));
  for (const wchar_t* caption : {L"Move To Block List", L"Move To Trash Jar", L"Remove", L"Details"}) {
    ButtonOf(Panel::Allowed, caption);
  }
  std::wstring told;
  {
    ModalDriver driver({Answer(kInformation, L"Ok", &told)});
    Press(Panel::Allowed, L"Clear");
    EXPECT_TRUE(driver.acted());
  }
  EXPECT_EQ(told, L" Allowed list has been Cleared.");
  EXPECT_EQ(RowCount(Panel::Allowed), 0);
  EXPECT_EQ(RowCount(Panel::Running), 0);
  EXPECT_EQ(CounterText(Panel::Allowed), L"0");
  EXPECT_TRUE(window.TimerEnabled(MainTimer::Processes));
}

TEST_F(ListPanelsWindowTest, TrashJarPanelAddsAChosenFileAndTheListResetsTheButtons) {
  corvane::testing::ScratchFolder folder;
  const std::wstring chosen = folder.Path() + L"\\doomed.txt";
  {
    const HANDLE file = ::CreateFileW(chosen.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
  }
  lists.AddToTrashJar("C:\\old.txt");
  Show(Panel::TrashJar);
  EXPECT_EQ(RightClickMenu(Panel::TrashJar, false), (std::vector<std::wstring>{L"Add", L"Remove"}));
  ButtonOf(Panel::TrashJar, L"Remove");

  // The mouse over the list, like over the panel's background, ends a button's highlight.
  HWND clear = ButtonOf(Panel::TrashJar, L"Clear");
  ::SendMessageW(clear, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  ASSERT_TRUE(ImageButton::IsHot(clear));
  ::SendMessageW(window.ListView(Panel::TrashJar), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_FALSE(ImageButton::IsHot(clear));

  HWND owner = nullptr;
  {
    ModalDriver driver({{L"Corvane Select a file", [&](HWND dialog) {
                           owner = ::GetWindow(dialog, GW_OWNER);
                           // The file name box: a combo box in the newer dialog, an edit in the older.
                           if (!::SetDlgItemTextW(dialog, 0x47C, chosen.c_str())) {
                             ::SetDlgItemTextW(dialog, 0x480, chosen.c_str());
                           }
                           ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                         }}});
    Press(Panel::TrashJar, L"Add");
    EXPECT_TRUE(driver.acted());
    EXPECT_FALSE(driver.stuck());
  }
  EXPECT_EQ(owner, window.Hwnd());
  ASSERT_EQ(lists.trashJar().size(), 2u);
  EXPECT_EQ(lists.trashJar()[1], corvane::win::Narrow(chosen));
  EXPECT_EQ(RowCount(Panel::TrashJar), 2);
}

}  // namespace
}  // namespace corvane::ui::win
