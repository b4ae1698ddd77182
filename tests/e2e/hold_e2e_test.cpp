// Holding a program while the user decides: the main program holds a helper that counts into a
// file, lets it go or ends it as the user answers, and a helper held by a main program that is
// killed in its first minute, before it has started the blocker, runs on by itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/win/handle.h"
#include "base/win/utf.h"
#include "tests/support/child_process.h"
#include "tests/support/e2e_support.h"
#include "ui/main_controller.h"
#include "ui/main_menu.h"

namespace corvane::testing {
namespace {

constexpr DWORD kStartMs = 30000;
// Long enough for a counter that runs to count many times over.
constexpr DWORD kStillMs = 600;

class HoldE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingValues({L"Support", L"Read", L"OptAllowAll", L"HeldProcesses"});
    WriteSettingValue(L"OptHoldWhileAsking", L"1");
    WriteSettingValue(L"AdvServer", L"http://127.0.0.1:9");
    ASSERT_FALSE(folder.Path().empty());
    corvane = folder.CopyIn(DistPath(L"Corvane.exe"), L"Corvane.exe");
    blocker = folder.CopyIn(DistPath(L"rizaz.exe"), L"rizaz.exe");
    ASSERT_FALSE(corvane.empty());
    ASSERT_FALSE(blocker.empty());
    // Wine's own services already run: allowed beforehand, so that only the tests' programs are new.
    ASSERT_TRUE(WriteListFile(folder.Path() + L"\\midmo.ocx", RunningProgramRecords()));
  }

  void TearDown() override {
    WriteSettingValue(L"Support", L"False");
    DeleteSettingValues({L"AdvServer", L"OptHoldWhileAsking", L"HeldProcesses"});
  }

  HWND StartCorvane() {
    HWND window = StartCorvaneWindow(main, corvane, L"", true, kStartMs);
    // Only programs started after the watch's first look are held: let it look first.
    ::Sleep(1500);
    return window;
  }

  HWND WaitForAlert() { return WaitForAlertOf(main.Id()); }

  static void Press(HWND alert, const wchar_t* caption) {
    HWND button = FindChild(alert, caption, nullptr);
    ASSERT_NE(button, nullptr);
    ::PostMessageW(button, BM_CLICK, 0, 0);
  }

  // A counter under a new name, counting into its own file.
  struct Counter {
    ChildProcess process;
    std::wstring file;
  };
  // threads: every count by a thread of its own.
  bool StartCounter(const wchar_t* name, Counter& counter, bool threads = false) {
    const std::wstring program = elsewhere.CopyIn(HelperPath(L"counter"), name);
    counter.file = elsewhere.Path() + L"\\" + name + L".count";
    return !program.empty() &&
           counter.process.Start(program, L"\"" + counter.file + L"\" 120" + (threads ? L" threads" : L""));
  }
  static long Count(const Counter& counter) {
    corvane::win::UniqueFileHandle file(::CreateFileW(counter.file.c_str(), GENERIC_READ,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                      OPEN_EXISTING, 0, nullptr));
    if (!file) return 0;
    char text[32] = {};
    DWORD read = 0;
    ::ReadFile(file.get(), text, sizeof(text) - 1, &read, nullptr);
    return std::strtol(text, nullptr, 10);
  }
  // True when the count stands still for a while.
  static bool StandsStill(const Counter& counter) {
    const long before = Count(counter);
    ::Sleep(kStillMs);
    return Count(counter) == before;
  }
  static bool GoesOn(const Counter& counter) {
    const long before = Count(counter);
    return WaitFor([&] { return Count(counter) > before + 5; });
  }

  RunValueCleanup runValue;
  ScratchFolder folder;
  ScratchFolder elsewhere;
  std::wstring corvane;
  std::wstring blocker;
  ChildProcess main;
};

TEST_F(HoldE2eTest, HeldUntilAllowEndedOnBlockAndRunningOnWhenCorvaneIsKilledInItsFirstMinute) {
  HWND window = StartCorvane();
  ASSERT_NE(window, nullptr);

  // Held while asked, though it keeps starting threads: the count stands still; Allow lets it go on.
  Counter allowed;
  ASSERT_TRUE(StartCounter(L"cvheld.exe", allowed, /*threads=*/true));
  HWND alert = WaitForAlert();
  ASSERT_NE(alert, nullptr);
  EXPECT_NE(FindChild(alert, L"This program is paused until you decide."), nullptr);
  EXPECT_TRUE(StandsStill(allowed));
  Press(alert, L"Allow");
  EXPECT_TRUE(GoesOn(allowed));

  // Block ends it.
  Counter blocked;
  ASSERT_TRUE(StartCounter(L"cvheldblock.exe", blocked));
  alert = WaitForAlert();
  ASSERT_NE(alert, nullptr);
  EXPECT_TRUE(StandsStill(blocked));
  Press(alert, L"Block");
  EXPECT_TRUE(blocked.process.HasEnded(kE2eTimeoutMs));

  // Corvane killed while it holds one, long before it would start the blocker: it runs on.
  Counter orphan;
  ASSERT_TRUE(StartCounter(L"cvheldorphan.exe", orphan));
  ASSERT_NE(WaitForAlert(), nullptr);
  EXPECT_TRUE(StandsStill(orphan));
  main.Terminate();
  EXPECT_TRUE(GoesOn(orphan));
}

}  // namespace
}  // namespace corvane::testing
