// The shipped main program, started from a scratch copy of the program folder and driven from
// outside: its windows found by class and process, its tray menu commands sent as the menu sends
// them, its settings and list files read and written directly.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/win/handle.h"
#include "base/win/utf.h"
#include "tests/support/child_process.h"
#include "tests/support/e2e_support.h"
#include "ui/main_menu.h"

namespace corvane::testing {
namespace {

constexpr const wchar_t* kMainClass = L"CorvaneMain";
// The splash takes about seven seconds before the main window loads.
constexpr DWORD kStartMs = 30000;

class CorvaneE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingValues({L"Support", L"Read", L"OptAllowAll", L"ChkBeep", L"ChkDontShow"});
    ASSERT_FALSE(folder.Path().empty());
    corvane = folder.CopyIn(DistPath(L"Corvane.exe"), L"Corvane.exe");
    blocker = folder.CopyIn(DistPath(L"rizaz.exe"), L"rizaz.exe");
    ASSERT_FALSE(corvane.empty());
    ASSERT_FALSE(blocker.empty());
  }

  void TearDown() override {
    // Whatever happened, no blocker of ours may outlive the test.
    WriteSettingValue(L"Support", L"False");
    for (const std::uint32_t id : ProcessIdsNamed(L"rizaz.exe")) {
      corvane::win::UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
      if (process) ::WaitForSingleObject(process.get(), 3000);
    }
  }

  std::wstring InFolder(const wchar_t* name) const { return folder.Path() + L"\\" + name; }

  // Starts Corvane and waits until its main window exists. Returns the window.
  HWND StartCorvane(const std::wstring& arguments = L"") {
    if (!main.Start(corvane, arguments)) return nullptr;
    HWND window = nullptr;
    WaitFor(
        [&] {
          const auto found = WindowsOf(main.Id(), kMainClass);
          window = found.empty() ? nullptr : found.front();
          return window != nullptr;
        },
        kStartMs);
    return window;
  }

  void CloseFromTrayMenu(HWND window) {
    ::PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(ui::MenuCommand::Close), 0);
  }

  ScratchFolder folder;
  std::wstring corvane;
  std::wstring blocker;
  ChildProcess main;
};

TEST_F(CorvaneE2eTest, StartsShowsItsWindowStartsTheBlockerAfterAMinuteAndEndsOnClose) {
  HWND window = StartCorvane();
  ASSERT_NE(window, nullptr);
  // Shown once its load is done; only then does it answer messages.
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }));
  EXPECT_EQ(WindowText(window), L"Corvane v 6.0.1");
  EXPECT_EQ(ReadSettingValue(L"Support"), L"True");
  // Closing the window only hides it.
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) == FALSE; }));
  EXPECT_FALSE(main.HasEnded(500));

  // About a minute after the start the blocker comes, once, from the program folder.
  ASSERT_TRUE(WaitFor([] { return !ProcessIdsNamed(L"rizaz.exe").empty(); }, 90000));
  ::Sleep(500);
  const auto blockers = ProcessIdsNamed(L"rizaz.exe");
  EXPECT_EQ(blockers.size(), 1u);

  CloseFromTrayMenu(window);
  EXPECT_TRUE(main.HasEnded(kE2eTimeoutMs));
  EXPECT_EQ(ReadSettingValue(L"Support"), L"False");
  // The blocker notices the alive signal on its own and ends.
  EXPECT_TRUE(WaitFor([] { return ProcessIdsNamed(L"rizaz.exe").empty(); }));
}

TEST_F(CorvaneE2eTest, AutoStartsHiddenInTheTray) {
  HWND window = StartCorvane(L"auto");
  ASSERT_NE(window, nullptr);
  // It is on the screen for about a second, then hides, and keeps running.
  EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) == FALSE; }, 8000));
  ::Sleep(1500);
  EXPECT_FALSE(::IsWindowVisible(window));
  EXPECT_FALSE(main.HasEnded());
  CloseFromTrayMenu(window);
  EXPECT_TRUE(main.HasEnded(kE2eTimeoutMs));
}

TEST_F(CorvaneE2eTest, OtherArgumentsLeaveTheWindowShown) {
  HWND window = StartCorvane(L"AUTO");
  ASSERT_NE(window, nullptr);
  ::Sleep(2500);
  EXPECT_TRUE(::IsWindowVisible(window));
  CloseFromTrayMenu(window);
  EXPECT_TRUE(main.HasEnded(kE2eTimeoutMs));
}

TEST_F(CorvaneE2eTest, BlockedProgramIsTerminatedByTheWatchCycleAlone) {
  ScratchFolder elsewhere;
  const std::wstring blocked = elsewhere.CopyIn(HelperPath(L"sleeper"), L"cvblocked.exe");
  ASSERT_FALSE(blocked.empty());
  // Blocked by name: the listed path is another folder's.
  ASSERT_TRUE(WriteListFile(InFolder(L"cekdn.ocx"), {"C:\\Somewhere\\CVBLOCKED.EXE^^^^cvblocked.exe"}));
  HWND window = StartCorvane();
  ASSERT_NE(window, nullptr);
  ChildProcess victim;
  ASSERT_TRUE(victim.Start(blocked, L"60"));
  // The watch ticks once a second; the blocker is not running yet (it comes after a minute).
  EXPECT_TRUE(victim.HasEnded(5000));
  EXPECT_TRUE(ProcessIdsNamed(L"rizaz.exe").empty());
  CloseFromTrayMenu(window);
  EXPECT_TRUE(main.HasEnded(kE2eTimeoutMs));
}

TEST_F(CorvaneE2eTest, TrashJarFileIsDeletedWithinATick) {
  ScratchFolder elsewhere;
  const std::wstring doomed = elsewhere.Path() + L"\\old notes.txt";
  {
    corvane::win::UniqueFileHandle file(
        ::CreateFileW(doomed.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
  }
  ASSERT_TRUE(WriteListFile(InFolder(L"hovsfd.dll"), {corvane::win::Narrow(doomed)}));
  HWND window = StartCorvane();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(WaitFor([&] { return !FileExists(doomed); }, 5000));
  // The entry stays listed.
  EXPECT_TRUE(FileExists(InFolder(L"hovsfd.dll")));
  CloseFromTrayMenu(window);
  EXPECT_TRUE(main.HasEnded(kE2eTimeoutMs));
}

}  // namespace
}  // namespace corvane::testing
