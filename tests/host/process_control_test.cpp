#include "process/process_control.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "tests/fakes/fake_process_table.h"
#include "tests/fakes/fake_speaker.h"
#include "tests/fakes/memory_settings.h"

namespace corvane {
namespace {

using Ids = std::vector<std::uint32_t>;
using Tone = std::pair<std::uint32_t, std::uint32_t>;

class TerminateByName : public ::testing::Test {
 protected:
  bool Terminate(std::string_view name) { return TerminateProcessByName(table, settings, speaker, name); }

  testing::FakeProcessTable table;
  testing::MemorySettings settings;
  testing::FakeSpeaker speaker;
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

TEST_F(TerminateByName, NoMatchMeansNoBeepAndNoAttempt) {
  settings.values["ChkBeep"] = "1";
  table.Add(10, "notepad.exe");
  table.Add(11, "");  // nameless entry such as the idle process on some systems
  EXPECT_FALSE(Terminate("winword.exe"));
  EXPECT_FALSE(Terminate("   "));
  EXPECT_FALSE(Terminate(""));
  table.snapshotFails = true;
  EXPECT_FALSE(Terminate("notepad.exe"));
  EXPECT_TRUE(speaker.beeps.empty());
  EXPECT_TRUE(table.terminationAttempts.empty());
}

TEST_F(TerminateByName, BeepsOnceFirstOnlyWhenChkBeepIsOne) {
  table.Add(10, "a.exe").refuseTermination = true;
  table.Add(11, "b.exe");
  table.Add(12, "c.exe");
  table.Add(13, "d.exe");
  // Absent or "0": silent.
  EXPECT_TRUE(Terminate("b.exe"));
  settings.values["ChkBeep"] = "0";
  EXPECT_TRUE(Terminate("c.exe"));
  EXPECT_TRUE(speaker.beeps.empty());
  // "1" (spaces allowed): one 850 Hz, 300 ms tone per call, however many attempts follow.
  settings.values["ChkBeep"] = " 1 ";
  EXPECT_TRUE(Terminate("d.exe"));
  EXPECT_FALSE(Terminate("a.exe"));
  EXPECT_EQ(speaker.beeps, (std::vector<Tone>{{850, 300}, {850, 300}}));
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

TEST_F(TerminateByName, ByPathEndsEveryCopyOfThatFileAndNothingElse) {
  table.Add(10, "tool.exe", "C:\\Program Files\\Tool\\tool.exe");  // same name, another file
  table.Add(11, "TOOL.EXE", "D:\\Old\\Tool.exe");
  table.Add(12, "other.exe", "D:\\Old\\other.exe");
  table.Add(13, " tool.exe", "D:\\old\\tool.exe");  // a second copy, its name with a blank
  table.Add(14, "tool.exe", "");                        // path unreadable: left alone
  table.Add(15, "tool.exe", "D:\\Old\\Tool.exe\\x");
  settings.values["ChkBeep"] = "1";
  EXPECT_EQ(TerminateProcessesByPath(table, settings, speaker, "  d:\\OLD\\tool.EXE "), 2);
  EXPECT_EQ(table.terminated, (Ids{11, 13}));
  EXPECT_EQ(speaker.beeps.size(), 2u);
  // Only the processes of that file name had their paths read.
  EXPECT_EQ(table.pathQueries, (Ids{10, 11, 13, 14, 15}));
  // Nothing left of it; a blank path or a folder names no file.
  EXPECT_EQ(TerminateProcessesByPath(table, settings, speaker, "D:\\Old\\Tool.exe"), 0);
  EXPECT_EQ(TerminateProcessesByPath(table, settings, speaker, "   "), 0);
  EXPECT_EQ(TerminateProcessesByPath(table, settings, speaker, "D:\\Old\\"), 0);
  EXPECT_EQ(table.RunningIds(), (Ids{10, 12, 14, 15}));
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
