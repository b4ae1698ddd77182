#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "process/win/gated_process_table.h"
#include "process/win/process_table_win.h"
#include "tests/support/child_process.h"

namespace corvane::win {
namespace {

using corvane::testing::ChildProcess;
using corvane::testing::HelperPath;
using corvane::testing::ScratchFolder;

// Counts the full lists read through the real table.
class CountingTable final : public ProcessTable {
 public:
  bool TakeProcessSnapshot(ProcessSnapshot& snapshot) override {
    ++fullLists;
    return real.TakeProcessSnapshot(snapshot);
  }
  bool TerminateProcessById(std::uint32_t id, std::uint32_t code) override { return real.TerminateProcessById(id, code); }
  WaitResult WaitForProcessEnd(std::uint32_t id, std::uint32_t ms) override { return real.WaitForProcessEnd(id, ms); }
  std::string GetProcessFullPath(std::uint32_t id) override { return real.GetProcessFullPath(id); }

  Win32ProcessTable real;
  int fullLists = 0;
};

bool Lists(ProcessTable& table, std::uint32_t id) {
  ProcessSnapshot snapshot;
  return table.TakeProcessSnapshot(snapshot) &&
         std::any_of(snapshot.begin(), snapshot.end(), [id](const ProcessEntry& e) { return e.processId == id; });
}

TEST(ChangeGatedProcessTable, SeesEveryStartAndEndAtTheNextSnapshot) {
  CountingTable counting;
  ChangeGatedProcessTable gated(counting);
  ScratchFolder folder;
  const std::wstring copy = folder.CopyIn(HelperPath(L"sleeper"), L"gated.exe");
  ASSERT_FALSE(copy.empty());
  for (int round = 0; round < 3; ++round) {
    ProcessSnapshot before;
    ASSERT_TRUE(gated.TakeProcessSnapshot(before));
    ChildProcess child;
    ASSERT_TRUE(child.Start(copy, L"60"));
    ASSERT_TRUE(child.WaitUntilListed());
    EXPECT_TRUE(Lists(gated, child.Id())) << "a new process shows at once";
    // Ended by another process, not through the table: the list shrinks and that is seen too.
    child.Terminate();
    EXPECT_FALSE(Lists(gated, 0)) << "no blank entries";
    ProcessSnapshot after;
    ASSERT_TRUE(gated.TakeProcessSnapshot(after));
    for (const ProcessEntry& entry : after) EXPECT_NE(entry.exeFile, "gated.exe");
  }
}

TEST(ChangeGatedProcessTable, QuietSystemIsServedFromTheLastList) {
  CountingTable counting;
  ChangeGatedProcessTable gated(counting);
  ProcessSnapshot first;
  ASSERT_TRUE(gated.TakeProcessSnapshot(first));
  int repeats = 0;
  for (int i = 0; i < 20; ++i) {
    ProcessSnapshot again;
    EXPECT_TRUE(gated.TakeProcessSnapshot(again));
    if (again.size() == first.size()) ++repeats;
  }
  // Twenty quick snapshots of an idle prefix: most come from the cached list. (Wine's own services
  // may start a thread now and then, which forces a fresh list; that is fine.)
  EXPECT_LT(counting.fullLists, 15);
  EXPECT_GT(repeats, 0);
  // After the interval a full list is read even when nothing seems to have changed.
  const int before = counting.fullLists;
  ::Sleep(static_cast<DWORD>(ChangeGatedProcessTable::kFullSnapshotInterval + 20));
  ProcessSnapshot late;
  gated.TakeProcessSnapshot(late);
  EXPECT_EQ(counting.fullLists, before + 1);
}

TEST(ChangeGatedProcessTable, TerminationForcesAFreshList) {
  CountingTable counting;
  ChangeGatedProcessTable gated(counting);
  ScratchFolder folder;
  const std::wstring copy = folder.CopyIn(HelperPath(L"sleeper"), L"gated2.exe");
  ChildProcess child;
  ASSERT_TRUE(child.Start(copy, L"60"));
  ASSERT_TRUE(child.WaitUntilListed());
  ASSERT_TRUE(Lists(gated, child.Id()));
  const int before = counting.fullLists;
  EXPECT_TRUE(gated.TerminateProcessById(child.Id(), 0));
  EXPECT_TRUE(child.HasEnded(5000));
  EXPECT_FALSE(Lists(gated, child.Id()));
  EXPECT_EQ(counting.fullLists, before + 1);
}

}  // namespace
}  // namespace corvane::win
