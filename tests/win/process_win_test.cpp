#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "base/text.h"
#include "base/win/utf.h"
#include "process/paths.h"
#include "process/process_control.h"
#include "process/win/process_control_win.h"
#include "process/win/debug_holder_win.h"
#include "process/win/process_holder_win.h"
#include "process/win/process_table_win.h"
#include "process/win/system_folders.h"
#include "tests/support/child_process.h"
#include "tests/support/e2e_support.h"

namespace corvane::win {
namespace {

using corvane::testing::ChildProcess;
using corvane::testing::HelperPath;
using corvane::testing::ScratchFolder;

// Far above the ids handed out here. (An ended process's id is no good: the system may keep the
// process object alive for a while after the last handle to it is closed.)
constexpr std::uint32_t kUnusedId = 0x7FFFFFF0;

const ProcessEntry* FindEntry(const ProcessSnapshot& snapshot, std::uint32_t id) {
  for (const ProcessEntry& entry : snapshot) {
    if (entry.processId == id) return &entry;
  }
  return nullptr;
}

// The long form of a path, as the system reports a process's image.
std::string LongPath(const std::wstring& path) {
  std::wstring buffer(32768, L'\0');
  const DWORD length = ::GetLongPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length == 0 || length >= buffer.size()) return Narrow(path);
  buffer.resize(length);
  return Narrow(buffer);
}

// Polls until the process shows with at least the given thread count; its threads start after it
// is listed.
std::uint32_t WaitForThreads(Win32ProcessTable& table, std::uint32_t id, std::uint32_t atLeast) {
  std::uint32_t seen = 0;
  for (int tries = 0; tries < 500; ++tries) {
    seen = GetThreadsOrParentId(table, id, true);
    if (seen >= atLeast) return seen;
    ::Sleep(10);
  }
  return seen;
}

class ProcessTableWin : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder.Path().empty());
    exeA = folder.CopyIn(HelperPath(L"sleeper"), L"cvtestA.exe");
    ASSERT_FALSE(exeA.empty());
  }
  // Starts a sleeper from path and waits until it is listed.
  void StartListed(ChildProcess& child, const std::wstring& path, const std::wstring& arguments = L"60") {
    ASSERT_TRUE(child.Start(path, arguments));
    ASSERT_TRUE(child.WaitUntilListed());
  }

  ScratchFolder folder;  // outlives the children below
  std::wstring exeA;
  Win32ProcessTable table;
};

TEST_F(ProcessTableWin, SnapshotListsStartedProgramsWithIdParentAndThreads) {
  const std::wstring exeB = folder.CopyIn(HelperPath(L"sleeper"), L"cvtestB.exe");
  ChildProcess a, b;
  StartListed(a, exeA, L"60 0");
  StartListed(b, exeB, L"60 3");
  const std::uint32_t threadsA = WaitForThreads(table, a.Id(), 1);
  const std::uint32_t threadsB = WaitForThreads(table, b.Id(), threadsA + 3);

  ProcessSnapshot snapshot;
  ASSERT_TRUE(table.TakeProcessSnapshot(snapshot));
  ASSERT_GE(snapshot.size(), 3u);
  const ProcessEntry* entryA = FindEntry(snapshot, a.Id());
  const ProcessEntry* entryB = FindEntry(snapshot, b.Id());
  const ProcessEntry* self = FindEntry(snapshot, ::GetCurrentProcessId());
  ASSERT_NE(entryA, nullptr);
  ASSERT_NE(entryB, nullptr);
  ASSERT_NE(self, nullptr);
  // Bare file names, as the names are matched against the lists.
  EXPECT_EQ(entryA->exeFile, "cvtestA.exe");
  EXPECT_EQ(entryB->exeFile, "cvtestB.exe");
  EXPECT_TRUE(EqualsNoCase(self->exeFile, "win_tests.exe")) << self->exeFile;
  EXPECT_EQ(entryA->parentProcessId, ::GetCurrentProcessId());
  EXPECT_EQ(entryB->parentProcessId, ::GetCurrentProcessId());
  // Three idle threads more than the same program without them.
  EXPECT_GE(entryA->threadCount, 1u);
  EXPECT_EQ(entryB->threadCount, threadsB);
  EXPECT_EQ(entryB->threadCount, entryA->threadCount + 3);
}

TEST_F(ProcessTableWin, ToolhelpFallbackReportsTheSameEntries) {
  ChildProcess a;
  StartListed(a, exeA, L"60 2");
  const std::uint32_t threads = WaitForThreads(table, a.Id(), 3);
  ProcessSnapshot fast, slow;
  ASSERT_TRUE(table.TakeProcessSnapshot(fast));
  ASSERT_TRUE(TakeToolhelpSnapshot(slow));
  // Both see the same processes in this quiet prefix, with the same fields.
  EXPECT_EQ(fast.size(), slow.size());
  for (const ProcessEntry& want : slow) {
    const ProcessEntry* got = FindEntry(fast, want.processId);
    ASSERT_NE(got, nullptr) << want.exeFile;
    EXPECT_EQ(got->exeFile, want.exeFile);
    EXPECT_EQ(got->parentProcessId, want.parentProcessId) << want.exeFile;
    if (want.processId == a.Id()) {
      EXPECT_EQ(got->threadCount, threads);
    }
  }
}

TEST_F(ProcessTableWin, FullPathIsTheDosPathOrEmpty) {
  ChildProcess a;
  StartListed(a, exeA);
  EXPECT_TRUE(EqualsNoCase(table.GetProcessFullPath(a.Id()), LongPath(exeA))) << table.GetProcessFullPath(a.Id());

  wchar_t own[MAX_PATH] = {};
  ASSERT_GT(::GetModuleFileNameW(nullptr, own, MAX_PATH), 0u);
  EXPECT_TRUE(EqualsNoCase(table.GetProcessFullPath(::GetCurrentProcessId()), LongPath(own)));

  // A system program's path lies in the system directory.
  ProcessSnapshot snapshot;
  ASSERT_TRUE(table.TakeProcessSnapshot(snapshot));
  bool sawServices = false;
  for (const ProcessEntry& entry : snapshot) {
    if (!EqualsNoCase(entry.exeFile, "services.exe")) continue;
    sawServices = true;
    EXPECT_TRUE(EqualsNoCase(table.GetProcessFullPath(entry.processId), GetSystemFolder() + "\\services.exe"));
  }
  EXPECT_TRUE(sawServices);

  // Nothing to read for the idle process id or an id nobody has.
  EXPECT_EQ(table.GetProcessFullPath(0), "");
  EXPECT_EQ(table.GetProcessFullPath(kUnusedId), "");
}

TEST_F(ProcessTableWin, TerminatingByNameEndsTheFirstListedCopyOnly) {
  ASSERT_FALSE(folder.MakeSubfolder(L"second").empty());
  const std::wstring exeA2 = folder.CopyIn(HelperPath(L"sleeper"), L"second\\cvtestA.exe");
  ASSERT_FALSE(exeA2.empty());
  ChildProcess a1, a2;
  StartListed(a1, exeA);
  StartListed(a2, exeA2);

  ProcessSnapshot snapshot;
  ASSERT_TRUE(table.TakeProcessSnapshot(snapshot));
  std::uint32_t firstListed = 0;
  for (const ProcessEntry& e : snapshot) {
    if (e.processId == a1.Id() || e.processId == a2.Id()) {
      firstListed = e.processId;
      break;
    }
  }
  ASSERT_NE(firstListed, 0u);
  ChildProcess& first = firstListed == a1.Id() ? a1 : a2;
  ChildProcess& other = firstListed == a1.Id() ? a2 : a1;

  EXPECT_TRUE(TerminateProcessByName(table, "cvtestA.exe"));
  EXPECT_TRUE(first.HasEnded(5000));
  EXPECT_EQ(first.ExitCode(), 0u);
  EXPECT_FALSE(other.HasEnded(200));
  // Blanks and letter case around the name.
  EXPECT_TRUE(TerminateProcessByName(table, "  CVTESTA.EXE "));
  EXPECT_TRUE(other.HasEnded(5000));
}

TEST_F(ProcessTableWin, NameNobodyRunsIsFalse) {
  EXPECT_FALSE(TerminateProcessByName(table, "cvtest-nobody.exe"));
  EXPECT_FALSE(corvane::win::TerminateProcessByName("cvtest-nobody.exe"));
}

TEST_F(ProcessTableWin, TerminateByIdAndWaitForEnd) {
  ChildProcess a;
  StartListed(a, exeA);
  const std::uint32_t id = a.Id();
  EXPECT_EQ(table.WaitForProcessEnd(id, 1), WaitResult::TimedOut);
  EXPECT_TRUE(table.TerminateProcessById(id, 7));
  EXPECT_TRUE(a.HasEnded(5000));
  EXPECT_EQ(a.ExitCode(), 7u);
  // Ended, whether our handle still keeps the process object or not.
  EXPECT_EQ(table.WaitForProcessEnd(id, 1), WaitResult::Ended);
  a.Terminate();
  EXPECT_EQ(table.WaitForProcessEnd(kUnusedId, 1), WaitResult::Ended);
  EXPECT_FALSE(table.TerminateProcessById(kUnusedId, 0));
  EXPECT_FALSE(table.TerminateProcessById(0, 0));
}

// Whether our own token has SeDebugPrivilege switched on.
bool DebugPrivilegeEnabled() {
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
  const UniqueHandle token(raw);
  PRIVILEGE_SET set{};
  set.PrivilegeCount = 1;
  set.Control = PRIVILEGE_SET_ALL_NECESSARY;
  if (!::LookupPrivilegeValueW(nullptr, SE_DEBUG_NAME, &set.Privilege[0].Luid)) return false;
  BOOL enabled = FALSE;
  return ::PrivilegeCheck(token.get(), &set, &enabled) && enabled;
}

TEST_F(ProcessTableWin, DebugPrivilegeIsPutBackAfterTermination) {
  ChildProcess a;
  StartListed(a, exeA);
  const bool before = DebugPrivilegeEnabled();
  EXPECT_TRUE(table.TerminateProcessById(a.Id(), 0));
  EXPECT_EQ(DebugPrivilegeEnabled(), before);
}

TEST_F(ProcessTableWin, LookupsByNameAndById) {
  ChildProcess a;
  StartListed(a, exeA, L"60 1");
  EXPECT_EQ(GetProcessIdByName("cvtestA.exe"), a.Id());
  EXPECT_EQ(GetProcessIdByName(" CVTESTA.EXE "), a.Id());
  EXPECT_EQ(GetProcessIdByName("cvtest-nobody.exe"), 0u);
  EXPECT_EQ(GetThreadsOrParentId(a.Id(), false), ::GetCurrentProcessId());
  EXPECT_GE(WaitForThreads(table, a.Id(), 2), 2u);
  EXPECT_GE(GetThreadsOrParentId(a.Id(), true), 2u);

  const std::uint32_t gone = a.Id();
  a.Terminate();
  EXPECT_EQ(GetThreadsOrParentId(gone, true), 0u);
  EXPECT_EQ(GetThreadsOrParentId(gone, false), 0u);
}

// A counter helper's progress, read from the file it counts into.
long CountIn(const std::wstring& file) {
  corvane::win::UniqueFileHandle handle(::CreateFileW(file.c_str(), GENERIC_READ,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                      OPEN_EXISTING, 0, nullptr));
  if (!handle) return 0;
  char text[32] = {};
  DWORD read = 0;
  ::ReadFile(handle.get(), text, sizeof(text) - 1, &read, nullptr);
  return std::strtol(text, nullptr, 10);
}

TEST_F(ProcessTableWin, HeldProgramsStandAgainstNewThreadsAndResumesAndRunOnOnReleaseOrTheHoldersDeath) {
  // A program that keeps starting threads, each counting once.
  const std::wstring counterPath = folder.CopyIn(HelperPath(L"counter"), L"cvchurn.exe");
  const std::wstring countFile = folder.Path() + L"\\count.txt";
  ChildProcess counter;
  StartListed(counter, counterPath, L"\"" + countFile + L"\" 60 threads");
  ASSERT_TRUE(corvane::testing::WaitFor([&] { return CountIn(countFile) > 0; }));
  const auto standsStill = [&] {
    ::Sleep(100);  // a write under way when the threads stopped has finished
    const long before = CountIn(countFile);
    // Any other program of the user resumes every thread of it, again and again.
    Win32ProcessHolder resumer;
    for (int i = 0; i < 10; ++i) {
      resumer.ResumeProcess(counter.Id());
      ::Sleep(50);
    }
    return CountIn(countFile) == before;
  };
  const auto goesOn = [&] {
    const long before = CountIn(countFile);
    return corvane::testing::WaitFor([&] { return CountIn(countFile) > before + 5; });
  };
  {
    Win32DebugHolder holder;
    // The creation time is the process's own, as the system reports it, and the snapshot's.
    FILETIME created{}, exited{}, kernel{}, user{};
    ASSERT_TRUE(::GetProcessTimes(counter.Handle(), &created, &exited, &kernel, &user));
    const std::uint64_t expected = (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    EXPECT_EQ(holder.ProcessCreationTime(counter.Id()), expected);
    ProcessSnapshot snapshot;
    ASSERT_TRUE(table.TakeProcessSnapshot(snapshot));
    ASSERT_NE(FindEntry(snapshot, counter.Id()), nullptr);
    EXPECT_EQ(FindEntry(snapshot, counter.Id())->creationTime, expected);

    ASSERT_TRUE(holder.SuspendProcess(counter.Id()));
    EXPECT_FALSE(holder.SuspendProcess(counter.Id()));  // once only
    EXPECT_TRUE(standsStill());
    ASSERT_TRUE(holder.ResumeProcess(counter.Id()));
    EXPECT_FALSE(holder.ResumeProcess(counter.Id()));
    EXPECT_TRUE(goesOn());
    // Held again, then the holder goes: it lets go as it goes.
    ASSERT_TRUE(holder.SuspendProcess(counter.Id()));
    EXPECT_TRUE(standsStill());
  }
  EXPECT_TRUE(goesOn());

  // Held by another program that is then killed: it runs on by itself.
  const std::wstring ready = folder.Path() + L"\\held.txt";
  ChildProcess holding;
  ASSERT_TRUE(holding.Start(HelperPath(L"holder"), std::to_wstring(counter.Id()) + L" \"" + ready + L"\""));
  ASSERT_TRUE(corvane::testing::WaitFor([&] { return corvane::testing::ReadWholeFile(ready) == "held"; }));
  EXPECT_TRUE(standsStill());
  // A program that already has a debugger cannot be held a second time.
  Win32DebugHolder second;
  EXPECT_FALSE(second.SuspendProcess(counter.Id()));
  holding.Terminate();
  EXPECT_TRUE(goesOn());

  // A held process can be ended, and is then let go of at once.
  ASSERT_TRUE(second.SuspendProcess(counter.Id()));
  const std::uint32_t id = counter.Id();
  counter.Terminate();
  EXPECT_TRUE(counter.HasEnded(5000));
  EXPECT_EQ(second.ProcessCreationTime(id), std::nullopt);
  EXPECT_FALSE(second.SuspendProcess(id));
}

TEST(SystemFoldersWin, FoldersHaveNoTrailingBackslashAndRewriteUsesThem) {
  const std::string system = GetSystemFolder();
  const std::string windows = GetWindowsFolder();
  ASSERT_FALSE(system.empty());
  ASSERT_FALSE(windows.empty());
  EXPECT_NE(system.back(), '\\');
  EXPECT_NE(windows.back(), '\\');
  EXPECT_TRUE(EqualsNoCase(system, windows + "\\system32")) << system;
  EXPECT_EQ(NormalizeSystem32Path("\\SystemRoot\\System32\\smss.exe"), system + "\\smss.exe");
  EXPECT_EQ(NormalizeSystem32Path("C:\\Program Files\\x.exe"), "C:\\Program Files\\x.exe");
}

}  // namespace
}  // namespace corvane::win
