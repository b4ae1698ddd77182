#include "process/process_control.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "tests/fakes/fake_process_table.h"

namespace corvane {
namespace {

using Ids = std::vector<std::uint32_t>;

class TerminateByName : public ::testing::Test {
 protected:
  bool Terminate(std::string_view name) { return TerminateProcessByName(table, name); }

  testing::FakeProcessTable table;
};

TEST_F(TerminateByName, EndsOnlyTheFirstListedMatch) {
  table.Add(4, "System");
  table.Add(100, "notepad.exe");
  table.Add(200, "calc.exe");
  table.Add(300, "notepad.exe");
  EXPECT_TRUE(Terminate("notepad.exe"));
  EXPECT_EQ(table.terminated, Ids{100});
  EXPECT_EQ(table.RunningIds(), (Ids{4, 200, 300}));
  // Every termination passes exit code 0.
  ASSERT_EQ(table.terminationAttempts.size(), 1u);
  EXPECT_EQ(table.terminationAttempts[0].second, 0u);
  // The second copy goes at the next call.
  EXPECT_TRUE(Terminate("notepad.exe"));
  EXPECT_EQ(table.terminated, (Ids{100, 300}));
}

TEST_F(TerminateByName, GivenNameIsTrimmedAndCaseIsIgnored) {
  table.Add(10, "notepad.exe");
  table.Add(11, "Calc.Exe");
  table.Add(12, "C:\\WINDOWS\\NOTEPAD.EXE");  // older systems list full paths: the file name counts
  EXPECT_TRUE(Terminate("  NOTEPAD.EXE  "));
  EXPECT_TRUE(Terminate("cALC.eXE"));
  EXPECT_TRUE(Terminate("notepad.exe"));
  EXPECT_EQ(table.terminated, (Ids{10, 11, 12}));
  // Both sides are trimmed: a listed name with blanks around it is the same name, as it is when the
  // program is judged blocked.
  table.Add(13, " run.exe ");
  EXPECT_TRUE(Terminate("RUN.exe"));
  EXPECT_EQ(table.terminated, (Ids{10, 11, 12, 13}));
  // A part of a name is no match.
  table.Add(14, "notepad.exe.bak");
  EXPECT_FALSE(Terminate("notepad.exe"));
}

TEST_F(TerminateByName, NoMatchMeansNoAttempt) {
  table.Add(10, "notepad.exe");
  table.Add(11, "");  // nameless entry such as the idle process on some systems
  EXPECT_FALSE(Terminate("winword.exe"));
  EXPECT_FALSE(Terminate("   "));
  EXPECT_FALSE(Terminate(""));
  EXPECT_FALSE(FindProcessByFileName(table, "winword.exe"));
  EXPECT_FALSE(FindProcessByFileName(table, ""));
  EXPECT_EQ(FindProcessByFileName(table, " NOTEPAD.exe"), 10u);
  table.snapshotFails = true;
  EXPECT_FALSE(Terminate("notepad.exe"));
  EXPECT_FALSE(FindProcessByFileName(table, "notepad.exe"));
  EXPECT_TRUE(table.terminationAttempts.empty());
}

TEST_F(TerminateByName, RetriesElevenTimesWithOneMillisecondWaits) {
  table.Add(10, "stuck.exe").refuseTermination = true;
  EXPECT_FALSE(Terminate("stuck.exe"));
  EXPECT_EQ(table.terminationAttempts.size(), 11u);
  EXPECT_EQ(table.waits, (std::vector<std::pair<std::uint32_t, std::uint32_t>>(11, {10u, 1u})));
  EXPECT_TRUE(table.IsRunning(10));
}

TEST_F(TerminateByName, ProcessThatEndsByItselfCountsAsTerminated) {
  testing::FakeProcess& p = table.Add(10, "closing.exe");
  p.refuseTermination = true;
  p.waitsBeforeExit = 3;
  EXPECT_TRUE(Terminate("closing.exe"));
  EXPECT_EQ(table.terminationAttempts.size(), 4u);
  EXPECT_FALSE(table.IsRunning(10));
}

TEST_F(TerminateByName, ProcessThatCannotBeWaitedOnIsNotReportedTerminated) {
  testing::FakeProcess& p = table.Add(10, "guarded.exe");
  p.refuseTermination = true;
  p.cannotWait = true;
  EXPECT_FALSE(Terminate("guarded.exe"));
  // Without any right to it, further attempts are pointless.
  EXPECT_EQ(table.terminationAttempts.size(), 1u);
  EXPECT_TRUE(table.IsRunning(10));
}

TEST_F(TerminateByName, ByPathFindsEveryCopyOfThatFileAndNothingElse) {
  table.Add(10, "tool.exe", "C:\\Program Files\\Tool\\tool.exe");  // same name, another file
  table.Add(11, "TOOL.EXE", "D:\\Old\\Tool.exe");
  table.Add(12, "other.exe", "D:\\Old\\other.exe");
  table.Add(13, " tool.exe", "D:\\old\\tool.exe");  // a second copy, its name with a blank
  table.Add(14, "tool.exe", "");                        // path unreadable: left alone
  table.Add(15, "tool.exe", "D:\\Old\\Tool.exe\\x");
  EXPECT_EQ(FindProcessesByPath(table, "  d:\\OLD\\tool.EXE "), (Ids{11, 13}));
  // Only the processes of that file name had their paths read; finding ends nothing.
  EXPECT_EQ(table.pathQueries, (Ids{10, 11, 13, 14, 15}));
  EXPECT_TRUE(table.terminationAttempts.empty());
  // A blank path or a folder names no file; a failed snapshot finds nothing.
  EXPECT_TRUE(FindProcessesByPath(table, "   ").empty());
  EXPECT_TRUE(FindProcessesByPath(table, "D:\\Old\\").empty());
  table.snapshotFails = true;
  EXPECT_TRUE(FindProcessesByPath(table, "D:\\Old\\Tool.exe").empty());
}

TEST(ProcessIdByName, MatchesTheFileNameOfTheFullPath) {
  testing::FakeProcessTable table;
  table.Add(0, "[System Process]");
  table.Add(8, "app.exe");  // listed under the name, but its path cannot be read
  table.Add(20, "app.exe", "C:\\Tools\\App.exe");
  table.Add(30, "app.exe", "D:\\app.exe");
  EXPECT_EQ(GetProcessIdByName(table, " APP.EXE "), 20u);
  EXPECT_EQ(GetProcessIdByName(table, "Tools\\App.exe"), 0u);
  EXPECT_EQ(GetProcessIdByName(table, "other.exe"), 0u);
  // The snapshot's own name does not count, only the path's.
  table.Add(40, "short.exe", "C:\\Tools\\LongName.exe");
  EXPECT_EQ(GetProcessIdByName(table, "short.exe"), 0u);
  EXPECT_EQ(GetProcessIdByName(table, "longname.exe"), 40u);
  table.snapshotFails = true;
  EXPECT_EQ(GetProcessIdByName(table, "app.exe"), 0u);
}

TEST(ThreadsOrParentId, AnswersForTheRunningIdElseZero) {
  testing::FakeProcessTable table;
  table.Add(0, "[System Process]", "", 2, 0);
  table.Add(4, "System", "", 90, 0);
  table.Add(500, "app.exe", "C:\\app.exe", 7, 4);
  EXPECT_EQ(GetThreadsOrParentId(table, 500, true), 7u);
  EXPECT_EQ(GetThreadsOrParentId(table, 500, false), 4u);
  // Not running: 0 for both questions.
  EXPECT_EQ(GetThreadsOrParentId(table, 501, true), 0u);
  EXPECT_EQ(GetThreadsOrParentId(table, 501, false), 0u);
  // Id 0 is the idle process: threads but no parent, which is how callers tell it apart.
  EXPECT_EQ(GetThreadsOrParentId(table, 0, true), 2u);
  EXPECT_EQ(GetThreadsOrParentId(table, 0, false), 0u);
  table.snapshotFails = true;
  EXPECT_EQ(GetThreadsOrParentId(table, 500, true), 0u);
}

}  // namespace
}  // namespace corvane
