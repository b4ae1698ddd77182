// The shipped main program, started from a scratch copy of the program folder and driven from
// outside: its windows found by class and process, its tray menu commands sent as the menu sends
// them, its settings and list files read and written directly.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "corvane_version.h"
#include "base/win/handle.h"
#include "base/win/utf.h"
#include "tests/support/child_process.h"
#include "tests/support/e2e_support.h"
#include "process/paths.h"
#include "store/cipher.h"
#include "store/list_files.h"
#include "store/list_record.h"
#include "store/win/win32_list_file_system.h"
#include "tests/fakes/memory_settings.h"
#include "ui/main_menu.h"
#include "ui/win/startup_entry_win.h"
#include "ui/main_window_model.h"
#include "ui/win/panel_window.h"

namespace corvane::testing {
namespace {

// The splash takes about seven seconds before the main window loads.
constexpr DWORD kStartMs = 30000;

class CorvaneE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingValues({L"Support", L"Read", L"OptAllowAll", L"ChkBeep", L"ChkDontShow"});
    // The advertisement area asks a closed port on this machine: nothing leaves it.
    WriteSettingValue(L"AdvServer", L"http://127.0.0.1:9");
    ASSERT_FALSE(folder.Path().empty());
    corvane = folder.CopyIn(DistPath(L"Corvane.exe"), L"Corvane.exe");
    blocker = folder.CopyIn(DistPath(L"rizaz.exe"), L"rizaz.exe");
    ASSERT_FALSE(corvane.empty());
    ASSERT_FALSE(blocker.empty());
    // Wine's own services already run: allowed beforehand, so that only the tests' programs are new.
    ASSERT_TRUE(WriteListFile(InFolder(L"midmo.ocx"), RunningProgramRecords()));
  }

  void TearDown() override {
    // Whatever happened, no blocker of ours may outlive the test.
    WriteSettingValue(L"Support", L"False");
    DeleteSettingValues({L"AdvServer"});
    for (const std::uint32_t id : ProcessIdsNamed(L"rizaz.exe")) {
      corvane::win::UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
      if (process) ::WaitForSingleObject(process.get(), 3000);
    }
  }

  std::wstring InFolder(const wchar_t* name) const { return folder.Path() + L"\\" + name; }

  // Starts Corvane and waits until its main window exists. Returns the window.
  HWND StartCorvane(const std::wstring& arguments = L"") {
    return StartCorvaneWindow(main, corvane, arguments, false, kStartMs);
  }

  void CloseFromTrayMenu(HWND window) {
    ::PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(ui::MenuCommand::Close), 0);
  }

  // The alert window of our Corvane, once it shows; null after timeoutMs.
  HWND WaitForAlert(DWORD timeoutMs = kE2eTimeoutMs) { return WaitForAlertOf(main.Id(), timeoutMs); }

  // Presses a button of the alert the way a screen reader or a keyboard user would reach it.
  static void Press(HWND alert, const wchar_t* caption) {
    HWND button = FindChild(alert, caption, nullptr);
    ASSERT_NE(button, nullptr) << "no button " << corvane::win::Narrow(caption);
    ::PostMessageW(button, BM_CLICK, 0, 0);
  }

  std::string ReadListFileText(const wchar_t* name) const { return ReadWholeFile(InFolder(name)); }

  // First, so it goes last: every start of Corvane writes its Run value, which a Wine prefix would
  // start at its next boot.
  RunValueCleanup runValue;
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
  EXPECT_EQ(WindowText(window), L"Corvane v " CORVANE_VERSION_TEXT);
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
  // The window exists before it is shown; on a loaded machine showing it can take seconds.
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }));
  // Past the moment "auto" would have hidden it, it is still there.
  ::Sleep(2500);
  EXPECT_TRUE(::IsWindowVisible(window));
  CloseFromTrayMenu(window);
  EXPECT_TRUE(main.HasEnded(kE2eTimeoutMs));
}

TEST_F(CorvaneE2eTest, SecondStartEndsAndBringsTheFirstWindowBackFromTheTray) {
  HWND window = StartCorvane();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }));
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) == FALSE; }));
  // Started again by hand: it ends at once, and the running one shows its window.
  ChildProcess second;
  ASSERT_TRUE(second.Start(corvane));
  EXPECT_TRUE(second.HasEnded(kE2eTimeoutMs));
  EXPECT_EQ(second.ExitCode(), 0u);
  EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) && !::IsIconic(window); }, 5000));
  EXPECT_FALSE(main.HasEnded());
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

TEST_F(CorvaneE2eTest, AUnicodeNameBlockedInAnEarlierRunIsEndedAndItsAsciiTwinIsNot) {
  ScratchFolder elsewhere;
  const std::wstring cafe = elsewhere.CopyIn(HelperPath(L"sleeper"), L"Caf\u00e9.exe");
  const std::wstring twinPath = elsewhere.CopyIn(HelperPath(L"sleeper"), L"Caf.exe");
  ASSERT_FALSE(cafe.empty());
  ASSERT_FALSE(twinPath.empty());
  // Stored by the main program's own writer, as a Block in an earlier run leaves it.
  {
    corvane::win::Win32ListFileSystem files;
    MemorySettings settings;
    ListFileStore earlier(files, settings, corvane::win::Narrow(folder.Path()));
    const std::string path = corvane::win::Narrow(cafe);
    ASSERT_TRUE(earlier.AppendListLine(ListKind::Block, ProgramRecord(path, GetFileNameFromPath(path))));
  }
  // "Caf.exe" runs and is allowed, so that no alert holds up the watch.
  ChildProcess twin;
  ASSERT_TRUE(twin.Start(twinPath, L"60"));
  ASSERT_TRUE(twin.WaitUntilListed());
  ASSERT_TRUE(WriteListFile(InFolder(L"midmo.ocx"), RunningProgramRecords()));
  HWND window = StartCorvane();
  ASSERT_NE(window, nullptr);
  ChildProcess blocked;
  ASSERT_TRUE(blocked.Start(cafe, L"60"));
  EXPECT_TRUE(blocked.HasEnded(5000));
  EXPECT_FALSE(twin.HasEnded(1500));
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

// Whether the list file holds the record path^^^^name.
bool ListHolds(const std::string& fileText, const std::wstring& path, const std::wstring& name) {
  const std::string wanted = corvane::win::Narrow(path) + "^^^^" + corvane::win::Narrow(name);
  size_t start = 0;
  while (start < fileText.size()) {
    size_t end = fileText.find("\r\n", start);
    if (end == std::string::npos) end = fileText.size();
    if (DecryptText(fileText.substr(start, end - start)) == wanted) return true;
    start = end + 2;
  }
  return false;
}

TEST_F(CorvaneE2eTest, UnknownProgramAlertsAndBlockEndsItRecordsItAndEndsItsNextStartSilently) {
  HWND window = StartCorvane();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }));
  ScratchFolder elsewhere;
  const std::wstring program = elsewhere.CopyIn(HelperPath(L"sleeper"), L"cvunknown.exe");
  WriteSettingValue(L"Read", L"False");
  ChildProcess unknown;
  ASSERT_TRUE(unknown.Start(program, L"60"));

  HWND alert = WaitForAlert();
  ASSERT_NE(alert, nullptr);
  EXPECT_NE(FindChild(alert, L"cvunknown.exe"), nullptr);
  EXPECT_TRUE(::GetWindowLongPtrW(alert, GWL_EXSTYLE) & WS_EX_TOPMOST);
  Press(alert, L"Block");
  EXPECT_TRUE(unknown.HasEnded(5000));
  EXPECT_TRUE(WaitFor([&] { return ListHolds(ReadListFileText(L"cekdn.ocx"), program, L"cvunknown.exe"); }));
  EXPECT_EQ(ReadSettingValue(L"Read"), L"True");

  // Started again: ended by the watch cycle without a question.
  ChildProcess again;
  ASSERT_TRUE(again.Start(program, L"60"));
  EXPECT_TRUE(again.HasEnded(5000));
  EXPECT_EQ(WaitForAlert(1500), nullptr);
  CloseFromTrayMenu(window);
  EXPECT_TRUE(main.HasEnded(kE2eTimeoutMs));
}

TEST_F(CorvaneE2eTest, AllowedProgramKeepsRunningAndIsNotAskedAboutAfterARestart) {
  HWND window = StartCorvane();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }));
  ScratchFolder elsewhere;
  const std::wstring program = elsewhere.CopyIn(HelperPath(L"sleeper"), L"cvfriend.exe");
  ChildProcess friendly;
  ASSERT_TRUE(friendly.Start(program, L"120"));
  HWND alert = WaitForAlert();
  ASSERT_NE(alert, nullptr);
  Press(alert, L"Allow");
  EXPECT_TRUE(WaitFor([&] { return ListHolds(ReadListFileText(L"midmo.ocx"), program, L"cvfriend.exe"); }));
  ::Sleep(1500);
  EXPECT_FALSE(friendly.HasEnded());
  CloseFromTrayMenu(window);
  ASSERT_TRUE(main.HasEnded(kE2eTimeoutMs));

  // A new run meets it already running and says nothing.
  window = StartCorvane();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }));
  EXPECT_EQ(WaitForAlert(3000), nullptr);
  EXPECT_FALSE(friendly.HasEnded());
  CloseFromTrayMenu(window);
  EXPECT_TRUE(main.HasEnded(kE2eTimeoutMs));
}

TEST_F(CorvaneE2eTest, CloseWhileAnAlertIsOpenLeavesTheProgramAndTheListsAlone) {
  HWND window = StartCorvane();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }));
  ScratchFolder elsewhere;
  const std::wstring program = elsewhere.CopyIn(HelperPath(L"sleeper"), L"cvpending.exe");
  WriteSettingValue(L"Read", L"False");
  ChildProcess pending;
  ASSERT_TRUE(pending.Start(program, L"60"));
  ASSERT_NE(WaitForAlert(), nullptr);
  CloseFromTrayMenu(window);
  EXPECT_TRUE(main.HasEnded(kE2eTimeoutMs));
  // Nobody answered: nothing was ended, listed or signalled; the next start asks again.
  EXPECT_FALSE(pending.HasEnded());
  EXPECT_FALSE(FileExists(InFolder(L"cekdn.ocx")));
  EXPECT_FALSE(ListHolds(ReadListFileText(L"midmo.ocx"), program, L"cvpending.exe"));
  EXPECT_EQ(ReadSettingValue(L"Read"), L"False");
}

TEST_F(CorvaneE2eTest, ASystemProgramNameInAUserFolderIsAskedAbout) {
  HWND window = StartCorvane();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }));
  ScratchFolder elsewhere;
  const std::wstring program = elsewhere.CopyIn(HelperPath(L"sleeper"), L"svchost.exe");
  ChildProcess lookalike;
  ASSERT_TRUE(lookalike.Start(program, L"60"));
  HWND alert = WaitForAlert();
  ASSERT_NE(alert, nullptr);
  EXPECT_NE(FindChild(alert, L"svchost.exe"), nullptr);
  // Allow, not Block: a block by name would end the prefix's own svchost.exe as well.
  Press(alert, L"Allow");
  EXPECT_TRUE(WaitFor([&] { return ListHolds(ReadListFileText(L"midmo.ocx"), program, L"svchost.exe"); }));
  CloseFromTrayMenu(window);
  EXPECT_TRUE(main.HasEnded(kE2eTimeoutMs));
}

TEST_F(CorvaneE2eTest, AllowAllListsANewProgramWithoutAnAlert) {
  WriteSettingValue(L"OptAllowAll", L"True");
  WriteSettingValue(L"mnuMainNormal", L"False");
  WriteSettingValue(L"mnuMainAllowAll", L"True");
  WriteSettingValue(L"OptNormal", L"False");
  HWND window = StartCorvane();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }));
  HWND runningList = FindChildById(window, 200);
  ASSERT_NE(runningList, nullptr);
  ::Sleep(2500);
  const LRESULT before = ::SendMessageW(runningList, LVM_GETITEMCOUNT, 0, 0);
  ScratchFolder elsewhere;
  const std::wstring program = elsewhere.CopyIn(HelperPath(L"sleeper"), L"cvfree.exe");
  ChildProcess free;
  ASSERT_TRUE(free.Start(program, L"60"));
  EXPECT_TRUE(WaitFor([&] { return ::SendMessageW(runningList, LVM_GETITEMCOUNT, 0, 0) == before + 1; }, 5000));
  EXPECT_EQ(WaitForAlert(1500), nullptr);
  EXPECT_FALSE(free.HasEnded());
  CloseFromTrayMenu(window);
  EXPECT_TRUE(main.HasEnded(kE2eTimeoutMs));
  for (const wchar_t* key : {L"OptAllowAll", L"mnuMainNormal", L"mnuMainAllowAll", L"OptNormal"}) {
    DeleteSettingValues({key});
  }
}

TEST_F(CorvaneE2eTest, StartWithWindowsFromTheTrayWritesTheRunValueAndDeletesIt) {
  // Stored off, with a value left by a copy in another folder: the start deletes it.
  WriteSettingValue(L"chkStartwithWindows", L"0");
  ui::win::Win32StartupEntry stale;
  ASSERT_TRUE(stale.WriteRunValue("\"C:\\Elsewhere\\Corvane.exe\" auto"));
  ASSERT_TRUE(RunValueText().has_value());
  const auto startWithWindows = static_cast<WPARAM>(ui::MenuCommand::StartWithWindows);
  HWND window = StartCorvane();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }));
  EXPECT_EQ(RunValueText(), std::nullopt);

  // Ticked in the tray: the value names this copy, quoted, with "auto".
  const std::wstring expected = L"\"" + folder.Path() + L"\\Corvane.exe\" auto";
  ::PostMessageW(window, WM_COMMAND, startWithWindows, 0);
  EXPECT_TRUE(WaitFor([&] { return RunValueText().has_value(); }));
  EXPECT_EQ(RunValueText(), expected);
  EXPECT_EQ(ReadSettingValue(L"chkStartwithWindows"), L"1");
  // Unticked: gone.
  ::PostMessageW(window, WM_COMMAND, startWithWindows, 0);
  EXPECT_TRUE(WaitFor([&] { return !RunValueText().has_value(); }));
  EXPECT_EQ(ReadSettingValue(L"chkStartwithWindows"), L"0");
  CloseFromTrayMenu(window);
  EXPECT_TRUE(main.HasEnded(kE2eTimeoutMs));
  DeleteSettingValues({L"chkStartwithWindows"});
}

// Selects the row of another process's list view whose first column reads text, as a click would;
// false when there is no such row (yet). The messages carry pointers, so their data is placed in
// the list's own process.
bool SelectRowOf(HWND list, const std::wstring& text) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(list, &processId);
  corvane::win::UniqueHandle process(
      ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
  if (!process) return false;
  const SIZE_T textBytes = (text.size() + 1) * sizeof(wchar_t);
  const SIZE_T size = sizeof(LVFINDINFOW) + sizeof(LVITEMW) + textBytes;
  auto* remote = static_cast<char*>(::VirtualAllocEx(process.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE));
  if (remote == nullptr) return false;
  char* const remoteFind = remote;
  char* const remoteItem = remote + sizeof(LVFINDINFOW);
  char* const remoteText = remoteItem + sizeof(LVITEMW);
  LVFINDINFOW find{};
  find.flags = LVFI_STRING;
  find.psz = reinterpret_cast<LPCWSTR>(remoteText);
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  bool selected = false;
  if (::WriteProcessMemory(process.get(), remoteFind, &find, sizeof(find), nullptr) &&
      ::WriteProcessMemory(process.get(), remoteItem, &item, sizeof(item), nullptr) &&
      ::WriteProcessMemory(process.get(), remoteText, text.c_str(), textBytes, nullptr)) {
    const LRESULT row = ::SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(remoteFind));
    selected = row >= 0 &&
               ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remoteItem));
  }
  ::VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
  return selected;
}

TEST_F(CorvaneE2eTest, ARunningProgramMovedToTheBlockListIsEndedThereAndByTheBlockerAndMovedBackRunsAgain) {
  const auto listOf = [](HWND window, ui::Panel panel) {
    return FindChildById(window, ui::win::kListViewId + static_cast<int>(panel));
  };
  // Presses the button of the list's own panel: two panels have a "Move To Block List".
  const auto pressBeside = [](HWND list, const wchar_t* caption) {
    HWND button = FindChild(::GetParent(list), caption);
    ASSERT_NE(button, nullptr) << corvane::win::Narrow(caption);
    ::PostMessageW(button, BM_CLICK, 0, 0);
  };
  const auto confirm = [this](const std::wstring& question) {
    HWND window = nullptr;
    WaitFor([&] {
      for (HWND candidate : WindowsOf(main.Id(), L"CorvaneMessageBox")) {
        if (::IsWindowVisible(candidate) && WindowText(candidate) == L"Corvane - Confirmation") window = candidate;
      }
      return window != nullptr;
    });
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowText(::GetDlgItem(window, 1001)), question);
    Press(window, L"Ok");
  };
  ScratchFolder elsewhere;
  const std::wstring program = elsewhere.CopyIn(HelperPath(L"sleeper"), L"cvmoved.exe");
  ASSERT_FALSE(program.empty());
  ChildProcess moved;
  ASSERT_TRUE(moved.Start(program, L"120"));
  ASSERT_TRUE(moved.WaitUntilListed());
  // Allowed with everything else that runs: it comes into the running panel without an alert.
  ASSERT_TRUE(WriteListFile(InFolder(L"midmo.ocx"), RunningProgramRecords()));
  HWND window = StartCorvane();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }));
  HWND running = listOf(window, ui::Panel::Running);
  ASSERT_NE(running, nullptr);
  ASSERT_TRUE(WaitFor([&] { return SelectRowOf(running, L"cvmoved.exe"); }));
  WriteSettingValue(L"Read", L"False");
  pressBeside(running, L"Move To Block List");
  confirm(L"Are you sure you want to move \"cvmoved.exe\" to Block List?");
  EXPECT_TRUE(moved.HasEnded(5000));
  EXPECT_TRUE(WaitFor([&] { return ListHolds(ReadListFileText(L"cekdn.ocx"), program, L"cvmoved.exe"); }));
  EXPECT_EQ(ReadSettingValue(L"Read"), L"True");
  CloseFromTrayMenu(window);
  ASSERT_TRUE(main.HasEnded(kE2eTimeoutMs));

  // The blocker alone reads the record and ends the program's next start.
  WriteSettingValue(L"Support", L"True");
  ChildProcess rizaz;
  ASSERT_TRUE(rizaz.Start(blocker, L"plumtide"));
  // It lowers the reload signal just before its first load.
  ASSERT_TRUE(WaitFor([] { return ReadSettingValue(L"Read") == L"False"; }));
  ::Sleep(100);
  {
    ChildProcess again;
    // Wine reports a process ended before it has finished starting as a failed start.
    if (again.Start(program, L"60")) {
      EXPECT_TRUE(again.HasEnded(kE2eTimeoutMs));
    } else {
      EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INTERNAL_ERROR));
    }
  }

  // Moved back from the blocked panel of a new run: the blocker reloads and lets it run.
  ASSERT_TRUE(WriteListFile(InFolder(L"midmo.ocx"), RunningProgramRecords()));
  window = StartCorvane();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }));
  ::PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(ui::MenuCommand::ShowBlocked), 0);
  HWND blocked = listOf(window, ui::Panel::Blocked);
  ASSERT_NE(blocked, nullptr);
  ASSERT_TRUE(WaitFor([&] { return SelectRowOf(blocked, L"cvmoved.exe"); }));
  pressBeside(blocked, L"Move To Allow List");
  confirm(L"Are you sure you want to move \"cvmoved.exe\" to Allow list?");
  // The allow list is written after the block list and its reload signal.
  EXPECT_TRUE(WaitFor([&] { return ListHolds(ReadListFileText(L"midmo.ocx"), program, L"cvmoved.exe"); }));
  EXPECT_FALSE(ListHolds(ReadListFileText(L"cekdn.ocx"), program, L"cvmoved.exe"));
  EXPECT_TRUE(WaitFor([] { return ReadSettingValue(L"Read") == L"False"; }));
  ChildProcess free;
  ASSERT_TRUE(free.Start(program, L"60"));
  ASSERT_TRUE(free.WaitUntilListed());
  EXPECT_FALSE(free.HasEnded(1500));
  EXPECT_EQ(WaitForAlert(500), nullptr);
  EXPECT_FALSE(rizaz.HasEnded());
  CloseFromTrayMenu(window);
  EXPECT_TRUE(main.HasEnded(kE2eTimeoutMs));
}

// Holds Ctrl + Shift + key down for a moment, then lets go, as a user's hand would.
void PressCtrlShift(WORD key, DWORD holdMs = 400) {
  const auto input = [](WORD virtualKey, bool up) {
    INPUT event{};
    event.type = INPUT_KEYBOARD;
    event.ki.wVk = virtualKey;
    event.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return event;
  };
  INPUT down[] = {input(VK_CONTROL, false), input(VK_SHIFT, false), input(key, false)};
  ::SendInput(3, down, sizeof(INPUT));
  ::Sleep(holdMs);
  INPUT up[] = {input(key, true), input(VK_SHIFT, true), input(VK_CONTROL, true)};
  ::SendInput(3, up, sizeof(INPUT));
}

TEST_F(CorvaneE2eTest, ALaunchHotkeyOnTheMainKeyboardsOneOpensItsFileAndTheKeypadsOneNothing) {
  ScratchFolder elsewhere;
  const std::wstring program = elsewhere.CopyIn(HelperPath(L"sleeper"), L"cvhotkey.exe");
  ASSERT_FALSE(program.empty());
  const std::string target = corvane::win::Narrow(program);
  // Allowed beforehand, so that its start raises no alert; bound to Ctrl + Shift + 1.
  std::vector<std::string> allowed = RunningProgramRecords();
  allowed.push_back(ProgramRecord(target, "cvhotkey.exe"));
  ASSERT_TRUE(WriteListFile(InFolder(L"midmo.ocx"), allowed));
  ASSERT_TRUE(WriteListFile(InFolder(L"shudw.dll"), {HotKeyRecord(target, "Ctrl + Shift + 1")}));
  HWND window = StartCorvane();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }));
  ASSERT_TRUE(ProcessIdsNamed(L"cvhotkey.exe").empty());

  // Wine's display driver may resynchronise the key state with the X server, which knows nothing of
  // injected keys, right after the window took the focus: the combination is pressed again until
  // it is seen, as a user would.
  const auto opened = [] { return !ProcessIdsNamed(L"cvhotkey.exe").empty(); };
  for (int attempt = 0; attempt < 5 && !opened(); ++attempt) {
    PressCtrlShift('1');
    WaitFor(opened, 3000);
  }
  ASSERT_TRUE(opened());
  // Let go of, it opens nothing more, and the keypad's 1, another key, opens nothing.
  ::Sleep(2000);
  const std::size_t count = ProcessIdsNamed(L"cvhotkey.exe").size();
  PressCtrlShift(VK_NUMPAD1);
  ::Sleep(2500);
  EXPECT_EQ(ProcessIdsNamed(L"cvhotkey.exe").size(), count);
  for (const std::uint32_t id : ProcessIdsNamed(L"cvhotkey.exe")) {
    corvane::win::UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
    if (process && ::TerminateProcess(process.get(), 0)) ::WaitForSingleObject(process.get(), 3000);
  }
  CloseFromTrayMenu(window);
  EXPECT_TRUE(main.HasEnded(kE2eTimeoutMs));
}

// The shutdown hotkey's countdown in the real program; the power-off request goes to a log.
class ShutdownHotkeyE2eTest : public CorvaneE2eTest {
 protected:
  void SetUp() override {
    CorvaneE2eTest::SetUp();
    log = InFolder(L"power.log");
    ::SetEnvironmentVariableW(L"CORVANE_POWER_OFF_LOG", log.c_str());
    WriteSettingValue(L"ChkEnableHotkeyShutDown", L"1");
    WriteSettingValue(L"cmdShutDown", L"0");
  }
  void TearDown() override {
    ::SetEnvironmentVariableW(L"CORVANE_POWER_OFF_LOG", nullptr);
    DeleteSettingValues({L"ChkEnableHotkeyShutDown", L"cmdShutDown"});
    CorvaneE2eTest::TearDown();
  }

  // Holds Ctrl + Shift + A across a watch tick until the countdown opens (see the launch hotkey's
  // test for why more than once).
  HWND OpenCountdown() {
    HWND countdown = nullptr;
    const auto found = [&] {
      const auto windows = WindowsOf(main.Id(), L"CorvaneCountdown");
      countdown = windows.empty() ? nullptr : windows.front();
      return countdown != nullptr && ::IsWindowVisible(countdown);
    };
    for (int attempt = 0; attempt < 5 && !found(); ++attempt) {
      PressCtrlShift('A', 1300);
      WaitFor(found, 3000);
    }
    return found() ? countdown : nullptr;
  }

  std::wstring log;
};

TEST_F(ShutdownHotkeyE2eTest, EscapeClosesTheCountdownAndNothingHappens) {
  HWND window = StartCorvane();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }));
  HWND countdown = OpenCountdown();
  ASSERT_NE(countdown, nullptr);
  EXPECT_EQ(WindowText(countdown), L"Hot Key Pressed");
  EXPECT_EQ(WindowText(FindChildById(countdown, 1301)), L"Windows will now Shutdown.");
  HWND cancel = FindChild(countdown, L"Cancel");
  ASSERT_NE(cancel, nullptr);
  ::PostMessageW(cancel, WM_KEYDOWN, VK_ESCAPE, 1);
  ::PostMessageW(cancel, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0000001u));
  EXPECT_TRUE(WaitFor([&] { return !::IsWindow(countdown); }));
  ::Sleep(1500);
  EXPECT_FALSE(FileExists(log));
  EXPECT_FALSE(main.HasEnded(0));
  CloseFromTrayMenu(window);
  EXPECT_TRUE(main.HasEnded(kE2eTimeoutMs));
}

TEST_F(ShutdownHotkeyE2eTest, ACountdownRunToItsEndAsksForTheShutdownAndTheProgramEnds) {
  HWND window = StartCorvane();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }));
  ASSERT_NE(OpenCountdown(), nullptr);
  // 25 one-second ticks, then the request and the end; the blocker is not told to stop.
  EXPECT_TRUE(main.HasEnded(40000));
  EXPECT_TRUE(WaitFor([&] { return ReadListFileText(L"power.log") == "shutdown\r\n"; }, 3000));
  EXPECT_EQ(ReadSettingValue(L"Support"), L"True");
}

}  // namespace
}  // namespace corvane::testing
