// The options panel in the main window, in-process: the real controller and options model on fake
// lists and settings, with the real Run value in the registry. Controls are found by their texts.
#include "ui/win/options_panel.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "base/win/utf.h"
#include "tests/fakes/fake_dialogs.h"
#include "tests/fakes/program_fakes.h"
#include "tests/support/e2e_support.h"
#include "ui/main_controller.h"
#include "ui/win/main_window.h"
#include "ui/win/startup_entry_win.h"

namespace corvane::ui::win {
namespace {

class NoShell final : public Shell {
 public:
  bool Open(std::string_view, std::string_view, std::string_view) override { return true; }
};

void Pump() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

// The tray menu's ticks, read from the menu while it is open.
std::map<MenuCommand, bool> g_ticks;

class OptionsPanelTest : public ::testing::Test, protected testing::ProgramFakes {
 protected:
  OptionsPanelTest()
      : watch(processes, settings, speaker, lists, files, true, {{}, {}, [this] { controller.OnListsChanged(); }}),
        controller(window, settings, lists, files, shell, watch, "C:\\Corvane") {}

  void SetUp() override {
    controller.AttachOptions(options);
    controller.AttachSystemHotkeys(hotkeys);
    ASSERT_TRUE(window.Create(controller));
    controller.Load();
    controller.AfterLoad("");
    window.ShowMainWindow();
    controller.Navigate(Panel::Options);
    panel = window.Panel(Panel::Options);
    ASSERT_NE(panel, nullptr);
  }

  HWND Find(const wchar_t* className, std::string_view text) const {
    return ::FindWindowExW(panel, nullptr, className, corvane::win::Widen(text).c_str());
  }
  HWND Label(std::string_view text) const { return Find(L"Static", text); }
  HWND Button(std::string_view text) const { return Find(L"Button", text); }
  static bool Checked(HWND button) { return ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

  // A mouse click on a label, as the user makes it.
  static void Click(HWND control) {
    ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    Pump();
  }

  // Opens the tray menu, reads its ticks and closes it again.
  std::map<MenuCommand, bool> TrayTicks() {
    g_ticks.clear();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
      const HWND menuWindow = ::FindWindowW(L"#32768", nullptr);
      const auto menu = reinterpret_cast<HMENU>(::SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
      if (menu != nullptr) {
        for (const MenuCommand command : {MenuCommand::Normal, MenuCommand::AllowAll, MenuCommand::StartWithWindows,
                                          MenuCommand::Beep, MenuCommand::Notifications, MenuCommand::ShowCorvane}) {
          const UINT state = ::GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND);
          if (state != static_cast<UINT>(-1)) g_ticks[command] = (state & MF_CHECKED) != 0;
        }
      }
      ::EndMenu();
    });
    ::SendMessageW(window.Hwnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_RBUTTONUP);
    ::KillTimer(nullptr, timer);
    return g_ticks;
  }

  // Deletes the Run value the load wrote, whatever the test's outcome.
  testing::RunValueCleanup runValue;
  watch::WatchCycle watch;
  NoShell shell;
  Win32StartupEntry startup;
  OptionsModel options{settings, watch.running(), startup, "C:\\Corvane"};
  testing::FakeDialogs dialogs;
  hotkeys::SystemHotkeys hotkeys{settings, lists.hotKeys(), dialogs};
  MainWindow window;
  MainController controller;
  HWND panel = nullptr;
};

TEST_F(OptionsPanelTest, CaptionsAndModeLabelsDriveTheBoxesSettingsTrayTicksAndTheRunValue) {
  const std::wstring runData = L"\"C:\\Corvane\\Corvane.exe\" auto";
  // Every group with its heading; the hotkey controls show what the load loaded.
  for (const std::string_view heading : {kGeneralSettingsHeading, kSecuritySettingsHeading, kHotKeySettingHeading}) {
    EXPECT_NE(Label(heading), nullptr) << heading;
  }
  HWND shutDown = Button(kShutDownHotkeyCaption);
  HWND restart = Button(kRestartHotkeyCaption);
  ASSERT_NE(shutDown, nullptr);
  ASSERT_NE(restart, nullptr);
  EXPECT_FALSE(Checked(shutDown));
  EXPECT_NE(Label(kHotkeyModifiersLabel), nullptr);
  HWND shutDownKeys = ::GetDlgItem(panel, kShutDownKeyListId);
  HWND restartKeys = ::GetDlgItem(panel, kRestartKeyListId);
  EXPECT_EQ(::SendMessageW(shutDownKeys, CB_GETCOUNT, 0, 0), 26);
  EXPECT_EQ(::SendMessageW(shutDownKeys, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(::SendMessageW(restartKeys, CB_GETCURSEL, 0, 0), 1);
  EXPECT_NE(Button("Hot Keys"), nullptr);

  // The first start: start with Windows is on, with its Run value, its NUL stored with it.
  const std::string_view startCaption = OptionBoxCaption(OptionBox::StartWithWindows);
  HWND startBox = Button(startCaption);
  HWND startLabel = Label(startCaption);
  ASSERT_NE(startBox, nullptr);
  ASSERT_NE(startLabel, nullptr);
  EXPECT_TRUE(Checked(startBox));
  EXPECT_EQ(testing::RunValueText(), runData);
  // Each label stands right of its box, on its row.
  RECT box{};
  RECT label{};
  ::GetWindowRect(startBox, &box);
  ::GetWindowRect(startLabel, &label);
  EXPECT_GE(label.left, box.right);
  EXPECT_LT(label.top, box.bottom);
  EXPECT_GT(label.bottom, box.top);

  // Its caption unticks it: setting, tray tick and Run value follow; again, and it is back.
  Click(startLabel);
  EXPECT_FALSE(Checked(startBox));
  EXPECT_EQ(settings.Get("chkStartwithWindows"), "0");
  EXPECT_FALSE(TrayTicks()[MenuCommand::StartWithWindows]);
  EXPECT_EQ(testing::RunValueText(), std::nullopt);
  Click(startLabel);
  EXPECT_TRUE(Checked(startBox));
  EXPECT_EQ(testing::RunValueText(), runData);

  // The beep's caption; the notification box clicked itself, as keyboard users and screen readers do.
  Click(Label(OptionBoxCaption(OptionBox::Beep)));
  EXPECT_TRUE(Checked(Button(OptionBoxCaption(OptionBox::Beep))));
  EXPECT_EQ(settings.Get("ChkBeep"), "1");
  HWND dontShow = Button(OptionBoxCaption(OptionBox::DontShow));
  ::SendMessageW(dontShow, BM_CLICK, 0, 0);
  EXPECT_TRUE(Checked(dontShow));
  EXPECT_EQ(settings.Get("ChkDontShow"), "1");
  std::map<MenuCommand, bool> ticks = TrayTicks();
  EXPECT_TRUE(ticks[MenuCommand::StartWithWindows]);
  EXPECT_TRUE(ticks[MenuCommand::Beep]);
  EXPECT_TRUE(ticks[MenuCommand::Notifications]);
  EXPECT_TRUE(ticks[MenuCommand::Normal]);
  EXPECT_FALSE(ticks[MenuCommand::AllowAll]);
  EXPECT_FALSE(ticks[MenuCommand::ShowCorvane]);

  // The mode labels switch the mode: buttons, the four keys, the tray ticks and the tip.
  HWND normal = Button(SecurityModeCaption(SecurityMode::Normal));
  HWND allowAll = Button(SecurityModeCaption(SecurityMode::AllowAll));
  ASSERT_NE(normal, nullptr);
  ASSERT_NE(allowAll, nullptr);
  EXPECT_TRUE(Checked(normal));
  Click(Label(SecurityModeCaption(SecurityMode::AllowAll)));
  EXPECT_TRUE(Checked(allowAll));
  EXPECT_FALSE(Checked(normal));
  EXPECT_EQ(settings.Get("OptAllowAll"), "True");
  EXPECT_EQ(settings.Get("OptNormal"), "False");
  EXPECT_EQ(window.Tray().Tip(), "Corvane :: Allow All");
  // Tab enters the mode group at the selected button: a focused option button clicks itself.
  EXPECT_EQ(::GetNextDlgTabItem(panel, dontShow, FALSE), allowAll);
  ::SetFocus(allowAll);
  Pump();
  EXPECT_TRUE(Checked(allowAll));
  ticks = TrayTicks();
  EXPECT_TRUE(ticks[MenuCommand::AllowAll]);
  EXPECT_FALSE(ticks[MenuCommand::Normal]);
  Click(Label(SecurityModeCaption(SecurityMode::Normal)));
  EXPECT_TRUE(Checked(normal));
  EXPECT_FALSE(Checked(allowAll));
  EXPECT_EQ(window.Tray().Tip(), "Corvane :: Normal");

  // The hold box: on by default, under the modes, above the hotkeys, and its caption drives it.
  const std::string_view holdCaption = OptionBoxCaption(OptionBox::HoldWhileAsking);
  HWND holdBox = Button(holdCaption);
  HWND holdLabel = Label(holdCaption);
  ASSERT_NE(holdBox, nullptr);
  ASSERT_NE(holdLabel, nullptr);
  EXPECT_TRUE(Checked(holdBox));
  RECT allowAllRect{};
  RECT holdRect{};
  RECT shutDownRect{};
  ::GetWindowRect(allowAll, &allowAllRect);
  ::GetWindowRect(holdBox, &holdRect);
  ::GetWindowRect(shutDown, &shutDownRect);
  EXPECT_GE(holdRect.top, allowAllRect.bottom);
  EXPECT_LE(holdRect.bottom, shutDownRect.top);
  Click(holdLabel);
  EXPECT_FALSE(Checked(holdBox));
  EXPECT_EQ(settings.Get("OptHoldWhileAsking"), "0");
  ::SendMessageW(holdBox, BM_CLICK, 0, 0);
  EXPECT_TRUE(Checked(holdBox));
  EXPECT_EQ(settings.Get("OptHoldWhileAsking"), "1");
  // Everything fits in the panel: the last control, the Hot Keys button, ends above its bottom.
  RECT panelRect{};
  RECT hotKeysRect{};
  ::GetWindowRect(panel, &panelRect);
  ::GetWindowRect(Button("Hot Keys"), &hotKeysRect);
  EXPECT_LE(hotKeysRect.bottom, panelRect.bottom);

  // A tray item changes the panel too.
  ::SendMessageW(window.Hwnd(), WM_COMMAND, static_cast<WPARAM>(MenuCommand::StartWithWindows), 0);
  EXPECT_FALSE(Checked(startBox));
  EXPECT_EQ(testing::RunValueText(), std::nullopt);

  // A hotkey's box makes its key list usable and is stored; a letter the other hotkey has is
  // refused and the list goes back.
  EXPECT_FALSE(::IsWindowEnabled(shutDownKeys));
  ::SendMessageW(shutDown, BM_CLICK, 0, 0);
  EXPECT_TRUE(Checked(shutDown));
  EXPECT_TRUE(::IsWindowEnabled(shutDownKeys));
  EXPECT_FALSE(::IsWindowEnabled(restartKeys));
  EXPECT_EQ(settings.Get("ChkEnableHotkeyShutDown"), "1");
  const auto choose = [this](HWND list, int position) {
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
    ::SendMessageW(panel, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  };
  choose(restartKeys, 0);
  EXPECT_EQ(dialogs.informations,
            std::vector<std::string>{
                "You cannot have same Hot Key for Shutdown and Restart. Please choose another HotKey"});
  EXPECT_EQ(::SendMessageW(restartKeys, CB_GETCURSEL, 0, 0), 1);
  choose(shutDownKeys, 6);
  EXPECT_EQ(settings.Get("cmdShutDown"), "6");
}

}  // namespace
}  // namespace corvane::ui::win
