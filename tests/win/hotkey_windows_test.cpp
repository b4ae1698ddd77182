#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/win/utf.h"
#include "hotkeys/win/countdown_window.h"
#include "hotkeys/win/hot_keys_window.h"
#include "store/cipher.h"
#include "store/win/win32_list_file_system.h"
#include "tests/fakes/memory_settings.h"
#include "tests/support/child_process.h"
#include "tests/support/modal_driver.h"

namespace corvane::hotkeys::win {
namespace {

using corvane::testing::ChildByText;
using corvane::testing::ModalDriver;
using corvane::testing::PostClick;
using corvane::testing::PostKey;
using corvane::testing::ScratchFolder;
using corvane::testing::TextOf;
using corvane::testing::TimedOwnerWindow;

std::wstring ItemText(HWND list, int row, int column) {
  wchar_t buffer[512] = {};
  ListView_GetItemText(list, row, column, buffer, 512);
  return buffer;
}

SIZE ClientSize(HWND hwnd) {
  RECT client{};
  ::GetClientRect(hwnd, &client);
  return {client.right, client.bottom};
}

TEST(CountdownWindowTest, CountsDownOnTopAndOnlyItsLastTickCompletesIt) {
  TimedOwnerWindow owner;
  std::wstring firstRemaining, heading;
  SIZE size{};
  LRESULT range = 0;
  COLORREF barColor = 0;
  bool topMost = false;
  ModalDriver escape({{L"Hot Key Pressed", [&](HWND window) {
                         size = ClientSize(window);
                         heading = TextOf(::GetDlgItem(window, kCountdownHeadingId));
                         firstRemaining = TextOf(::GetDlgItem(window, kCountdownRemainingId));
                         const HWND bar = ::GetDlgItem(window, kCountdownBarId);
                         range = ::SendMessageW(bar, PBM_GETRANGE, FALSE, 0);
                         barColor = static_cast<COLORREF>(::SendMessageW(bar, PBM_GETBARCOLOR, 0, 0));
                         topMost = corvane::testing::IsTopMost(window);
                         PostKey(VK_ESCAPE);
                       }}});
  EXPECT_FALSE(FrmShutRestartConfermation::Run(owner.hwnd(), SystemHotkey::ShutDown));
  EXPECT_TRUE(escape.acted());
  EXPECT_EQ(size.cx, 345);
  EXPECT_EQ(size.cy, 214);
  EXPECT_EQ(heading, L"Windows will now Shutdown.");
  EXPECT_EQ(firstRemaining, L"25 seconds remaining ...");
  EXPECT_EQ(range, 25);
  EXPECT_EQ(barColor, RGB(233, 58, 7));
  EXPECT_TRUE(topMost);

  ModalDriver cancel({{L"Hot Key Pressed", [](HWND window) { PostClick(ChildByText(window, L"Cancel")); }}});
  EXPECT_FALSE(FrmShutRestartConfermation::Run(owner.hwnd(), SystemHotkey::Restart));
  EXPECT_TRUE(cancel.acted());

  // Run to its end on a fast clock: the last text shows no seconds left.
  std::wstring lastSeen;
  ModalDriver watch({{L"Hot Key Pressed", [&](HWND window) { lastSeen = TextOf(window); }}});
  EXPECT_TRUE(FrmShutRestartConfermation::Run(owner.hwnd(), SystemHotkey::Restart, 5));
  EXPECT_FALSE(watch.stuck());
}

TEST(HotKeysWindowTest, AddsAndRemovesBindingsInTheFileTheListAndThePollsCopy) {
  ScratchFolder folder;
  ASSERT_FALSE(folder.Path().empty());
  const std::string directory = corvane::win::Narrow(folder.Path());
  const std::string target = directory + "\\notes.txt";
  const std::string second = directory + "\\tool.exe";
  corvane::win::Win32ListFileSystem files;
  ASSERT_TRUE(files.ReplaceContent(target, "x"));
  ASSERT_TRUE(files.ReplaceContent(second, "x"));
  corvane::testing::MemorySettings settings;
  Lists store(files, settings, directory);
  ASSERT_TRUE(store.AddHotKey({target, "Ctrl + Shift + 7"}).saved());

  TimedOwnerWindow owner;
  std::vector<std::wstring> seen;
  std::wstring firstOffered;
  int offered = 0;
  const auto rows = [&](HWND window) {
    const HWND list = ::GetDlgItem(window, kHotKeysListId);
    std::wstring text;
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
      text += ItemText(list, row, 0) + L"|" + ItemText(list, row, 1) + L";";
    }
    seen.push_back(text);
  };
  ModalDriver driver({
      {L"Hot Keys", [&](HWND window) {
         rows(window);
         PostClick(ChildByText(window, L"Add"));
       }},
      {L"Add a Hot Key", [&](HWND window) {
         const HWND keys = ::GetDlgItem(window, kAddKeyListId);
         offered = static_cast<int>(::SendMessageW(keys, CB_GETCOUNT, 0, 0));
         wchar_t first[8] = {};
         ::SendMessageW(keys, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
         firstOffered = first;
         ::SetWindowTextW(::GetDlgItem(window, kAddPathId), corvane::win::Widen(second).c_str());
         ::SendMessageW(keys, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"Q"));
         PostClick(ChildByText(window, L"Ok"));
       }},
      {L"Hot Keys", [&](HWND window) {
         rows(window);
         ListView_SetItemState(::GetDlgItem(window, kHotKeysListId), 0, LVIS_SELECTED, LVIS_SELECTED);
         PostClick(ChildByText(window, L"Remove"));
       }},
      {L"Corvane - Confirmation", [](HWND window) { PostClick(ChildByText(window, L"Ok")); }},
      {L"Hot Keys", [&](HWND window) {
         rows(window);
         ::PostMessageW(window, WM_CLOSE, 0, 0);
       }},
  });
  FrmHotKey::Show(owner.hwnd(), store, files, 'A', 'B');
  ASSERT_TRUE(driver.acted());
  EXPECT_FALSE(driver.stuck());
  const std::wstring first = corvane::win::Widen(target) + L"|Ctrl + Shift + 7;";
  const std::wstring added = corvane::win::Widen(second) + L"|Ctrl + Shift + Q;";
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0], first);
  EXPECT_EQ(seen[1], first + added);
  EXPECT_EQ(seen[2], added);
  EXPECT_EQ(offered, 24 + 10);
  EXPECT_EQ(firstOffered, L"C");
  const HotKeyList left = {{second, "Ctrl + Shift + Q"}};
  EXPECT_EQ(store.hotKeys(), left);
  Lists next(files, settings, directory);
  next.Load();
  EXPECT_EQ(next.hotKeys(), left);
}

}  // namespace
}  // namespace corvane::hotkeys::win
