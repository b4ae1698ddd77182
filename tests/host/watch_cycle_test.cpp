#include "watch/watch_cycle.h"

#include <gtest/gtest.h>

#include "store/cipher.h"
#include "tests/fakes/program_fakes.h"

namespace corvane::watch {
namespace {

class WatchCycleTest : public ::testing::Test, protected testing::ProgramFakes {
 protected:
  WatchCycleTest()
      : cycle(processes, settings, speaker, lists, files, true,
              {[this](const RunningProcesses& now) {
                 if (inspect) inspect(now);
               },
               [this] {
                 if (hotkeys) hotkeys();
               },
               [this] {
                 if (runningChanged) runningChanged();
               }}) {}

  void Block(const std::string& name, const std::string& path) { lists.Block(name, path); }
  void Trash(const std::string& path) { lists.AddToTrashJar(path); }

  // What the cycle's hooks do; nothing while empty.
  std::function<void(const RunningProcesses&)> inspect;
  std::function<void()> hotkeys;
  std::function<void()> runningChanged;
  WatchCycle cycle;
};

TEST_F(WatchCycleTest, BlockedProgramsEndTwoCopiesPerTickWhateverTheirFolder) {
  Block("bad.exe", "C:\\Elsewhere\\bad.exe");
  processes.Add(10, "BAD.EXE", "C:\\One\\BAD.EXE");
  processes.Add(11, "bad.exe", "C:\\Two\\bad.exe");
  processes.Add(12, "bad.exe", "C:\\Three\\bad.exe");
  processes.Add(13, "good.exe", "C:\\good.exe");
  cycle.Tick();
  // Termination by name ends the first listed copy; the step runs twice per tick.
  EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{10, 11}));
  cycle.Tick();
  EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{10, 11, 12}));
  EXPECT_TRUE(processes.IsRunning(13));
  EXPECT_TRUE(speaker.beeps.empty());
}

TEST_F(WatchCycleTest, OnePassTakesOneSnapshotAndEachEntryEndsOneCopy) {
  for (int i = 0; i < 50; ++i) Block("absent" + std::to_string(i) + ".exe", "C:\\x.exe");
  // The same name listed twice ends two copies in one pass, as two terminations by name would.
  Block(" Twice.exe ", "C:\\a\\twice.exe");
  Block("twice.exe", "C:\\b\\twice.exe");
  Block("", "C:\\nameless.exe");
  processes.Add(1, "twice.exe", "C:\\twice.exe");
  processes.Add(2, "C:\\Old\\TWICE.EXE", "C:\\Old\\TWICE.EXE");
  processes.Add(3, "twice.exe", "C:\\twice.exe");
  processes.Add(4, "", "");
  settings.values["ChkBeep"] = "1";
  cycle.TerminateBlockedPrograms();
  EXPECT_EQ(processes.snapshotCount, 1);
  EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{1, 2}));
  EXPECT_TRUE(processes.IsRunning(4));
  EXPECT_EQ(speaker.beeps.size(), 2u);
}

TEST_F(WatchCycleTest, TerminationsFollowTheBlockListsOrderAndEachEntryTakesTheNextCopy) {
  Block("x.exe", "C:\\x.exe");
  Block("y.exe", "C:\\y.exe");
  Block("X.EXE ", "D:\\x.exe");
  processes.Add(1, "y.exe", "C:\\y.exe");
  processes.Add(2, "x.exe", "C:\\x.exe");
  processes.Add(3, "x.exe", "E:\\x.exe");
  processes.Add(4, "x.exe", "F:\\x.exe");
  cycle.TerminateBlockedPrograms();
  // First entry: the first x; second: y; third: the next x. The fourth copy waits for the next pass.
  EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{2, 1, 3}));
  // An entry taken off the list ends nothing more.
  lists.Remove(ListKind::Block, lists.blockList().size() - 1);
  cycle.TerminateBlockedPrograms();
  EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{2, 1, 3, 4}));
  lists.Clear(ListKind::Block);
  processes.Add(5, "x.exe", "C:\\x.exe");
  cycle.TerminateBlockedPrograms();
  EXPECT_TRUE(processes.IsRunning(5));
}

// The tone is the cycle's to sound: one before each termination it starts, refused or not, and only
// when "ChkBeep" is 1.
TEST_F(WatchCycleTest, EveryTerminationIsAnnouncedFirstOnlyWhenChkBeepIsOne) {
  Block("bad.exe", "C:\\bad.exe");
  Trash("D:\\old\\tool.exe");
  files.Put("D:\\old\\tool.exe", "MZ");
  processes.Add(1, "bad.exe", "C:\\bad.exe").refuseTermination = true;
  processes.Add(2, "tool.exe", "D:\\old\\tool.exe");
  processes.Add(3, "tool.exe", "D:\\Old\\Tool.exe");
  processes.Add(4, "tool.exe", "C:\\new\\tool.exe");  // another file of that name: not ended
  std::vector<std::size_t> attemptsAtTone;
  speaker.whileSounding = [&] { attemptsAtTone.push_back(processes.terminationAttempts.size()); };
  // Absent, "0" or anything but 1: silent.
  for (const char* value : {"", "0", "2"}) {
    settings.values["ChkBeep"] = value;
    cycle.TerminateBlockedPrograms();
  }
  EXPECT_TRUE(speaker.beeps.empty());
  EXPECT_EQ(processes.terminationAttempts.size(), 3u * 11u);
  processes.terminationAttempts.clear();
  // " 1 ": 850 Hz for 300 ms before the first attempt, however many attempts follow.
  settings.values["ChkBeep"] = " 1 ";
  cycle.TerminateBlockedPrograms();
  EXPECT_EQ(attemptsAtTone, (std::vector<std::size_t>{0}));
  EXPECT_EQ(speaker.beeps, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{850, 300}}));
  // The Trash Jar's program: one tone before each copy started from the listed file.
  processes.terminationAttempts.clear();
  attemptsAtTone.clear();
  cycle.EmptyTrashJar();
  EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{2, 3}));
  EXPECT_EQ(attemptsAtTone, (std::vector<std::size_t>{0, 1}));
  EXPECT_TRUE(processes.IsRunning(4));
}

TEST_F(WatchCycleTest, AllowAllTerminatesNothingButStillEmptiesTheTrashJar) {
  settings.values["OptAllowAll"] = "True";
  Block("bad.exe", "C:\\bad.exe");
  processes.Add(10, "bad.exe", "C:\\bad.exe");
  files.Put("C:\\docs\\letter.txt", "text");
  Trash("C:\\docs\\letter.txt");
  cycle.Tick();
  EXPECT_TRUE(processes.IsRunning(10));
  EXPECT_FALSE(files.Has("C:\\docs\\letter.txt"));
}

TEST_F(WatchCycleTest, TrashJarTerminatesExeFirstDeletesDocumentsAndSkipsHiddenFiles) {
  processes.Add(20, "tool.exe", "C:\\apps\\Tool.EXE");
  files.Put("C:\\apps\\Tool.EXE", "MZ");
  files.Put("C:\\docs\\note.txt", "text");
  files.Put("C:\\docs\\secret.txt", "text", /*hidden=*/true);
  Trash("C:\\apps\\Tool.EXE");
  Trash("C:\\docs\\note.txt");
  Trash("C:\\docs\\secret.txt");
  Trash("C:\\docs\\missing.txt");
  cycle.EmptyTrashJar();
  // The program was ended before its file went; the document went without any termination.
  EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{20}));
  EXPECT_FALSE(files.Has("C:\\apps\\Tool.EXE"));
  EXPECT_FALSE(files.Has("C:\\docs\\note.txt"));
  EXPECT_TRUE(files.Has("C:\\docs\\secret.txt"));
  // Entries are never removed, so a file that comes back goes again.
  EXPECT_EQ(lists.trashJar().size(), 4u);
  files.Put("C:\\docs\\note.txt", "back again");
  cycle.EmptyTrashJar();
  EXPECT_FALSE(files.Has("C:\\docs\\note.txt"));
}

TEST_F(WatchCycleTest, TrashJarEndsOnlyTheProgramStartedFromTheListedFile) {
  // Listed with other letter case and blanks around it than the system reports.
  Trash(" d:\\OLD\\Chrome.EXE ");
  files.Put("d:\\OLD\\Chrome.EXE", "MZ");
  processes.Add(1, "chrome.exe", "C:\\Program Files\\Browser\\chrome.exe");  // the user's browser
  processes.Add(2, "CHROME.EXE", "D:\\old\\chrome.exe");
  processes.Add(3, "chrome.exe", "");  // path unreadable: not known to be that file
  processes.Add(4, "other.exe", "D:\\old\\other.exe");
  cycle.EmptyTrashJar();
  EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{2}));
  // Paths are read only for the processes of that file name.
  EXPECT_EQ(processes.pathQueries, (std::vector<std::uint32_t>{1, 2, 3}));
  EXPECT_TRUE(processes.IsRunning(1));
  EXPECT_TRUE(processes.IsRunning(3));
  EXPECT_FALSE(files.Has("d:\\OLD\\Chrome.EXE"));
  // A program of the listed name keeps running from elsewhere, tick after tick.
  files.Put("d:\\OLD\\Chrome.EXE", "MZ");
  cycle.Tick();
  EXPECT_TRUE(processes.IsRunning(1));
}

TEST_F(WatchCycleTest, TrashJarFileThatCannotBeDeletedIsTriedAgainAtTheNextPassOnly) {
  files.Put("C:\\docs\\open.txt", "x");
  files.Find("C:\\docs\\open.txt")->locked = true;  // held open by another program
  files.Put("C:\\docs\\readonly.txt", "x");
  files.Find("C:\\docs\\readonly.txt")->readOnly = true;
  files.Put("C:\\docs\\hidden.txt", "x", /*hidden=*/true);
  files.Find("C:\\docs\\hidden.txt")->readOnly = true;
  Trash("C:\\docs\\open.txt");
  Trash("C:\\docs\\readonly.txt");
  Trash("C:\\docs\\hidden.txt");
  files.log.clear();
  cycle.Tick();
  // One attempt per pass, two passes per tick: no attempts in a row, nothing waits in between.
  EXPECT_EQ(files.log, (std::vector<std::string>{"remove C:\\docs\\open.txt", "remove C:\\docs\\readonly.txt",
                                                 "remove C:\\docs\\open.txt"}));
  EXPECT_TRUE(files.Has("C:\\docs\\open.txt"));
  // The user asked for it gone: read-only does not keep it. A hidden file is left alone.
  EXPECT_FALSE(files.Has("C:\\docs\\readonly.txt"));
  EXPECT_TRUE(files.Has("C:\\docs\\hidden.txt"));
  // Let go by the other program, it goes at the next tick.
  files.Find("C:\\docs\\open.txt")->locked = false;
  cycle.Tick();
  EXPECT_FALSE(files.Has("C:\\docs\\open.txt"));
  EXPECT_EQ(lists.trashJar().size(), 3u);
}

TEST_F(WatchCycleTest, ProgramWithBlanksAroundItsNameIsEndedAsItIsJudgedBlocked) {
  Block("evil.exe", "C:\\evil.exe");
  processes.Add(7, " evil.exe", "C:\\x\\ evil.exe");
  processes.Add(8, "EVIL.EXE ", "C:\\y\\EVIL.EXE ");
  processes.Add(9, "evil.exe.bak", "C:\\evil.exe.bak");
  // The decision sees it blocked, so the termination must find it too.
  ASSERT_TRUE(lists.IsInBlockList(" evil.exe"));
  cycle.Tick();
  EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{7, 8}));
  EXPECT_TRUE(processes.IsRunning(9));
}

TEST_F(WatchCycleTest, EndedProgramsArePrunedWithOnePathReadPerProcess) {
  processes.Add(1, "a.exe", "C:\\a.exe");
  processes.Add(2, "b.exe", "C:\\b.exe");
  processes.Add(3, "system", "");
  cycle.running().Add({"a.exe", "C:\\a.exe"});
  cycle.running().Add({"B.EXE", " c:\\B.exe "});
  cycle.running().Add({"gone.exe", "C:\\gone.exe"});
  // Same path, but the entry's name is not that path's file name: not running.
  cycle.running().Add({"other.exe", "C:\\a.exe"});
  int changes = 0;
  runningChanged = [&] { ++changes; };
  cycle.PruneRunningProgramList();
  ASSERT_EQ(cycle.running().size(), 2u);
  EXPECT_EQ(cycle.running().entries()[0].name, "a.exe");
  EXPECT_EQ(cycle.running().entries()[1].name, "B.EXE");
  EXPECT_EQ(processes.pathQueries.size(), 3u);
  EXPECT_EQ(changes, 1);
  cycle.PruneRunningProgramList();
  EXPECT_EQ(changes, 1);
}

// A snapshot that failed is no news about what runs: the running list stays. One that worked and
// listed nothing empties it.
TEST_F(WatchCycleTest, AFailedSnapshotKeepsTheRunningListAndAnEmptyOneEmptiesIt) {
  cycle.running().Add({"a.exe", "C:\\a.exe"});
  cycle.running().Add({"b.exe", "C:\\b.exe"});
  int changes = 0;
  runningChanged = [&] { ++changes; };
  std::vector<std::size_t> inspected;
  inspect = [&](const RunningProcesses& now) { inspected.push_back(now.size()); };
  processes.snapshotFails = true;
  cycle.PruneRunningProgramList();
  cycle.Tick();
  EXPECT_EQ(cycle.running().size(), 2u);
  EXPECT_EQ(changes, 0);
  // The judging is handed no processes at all.
  EXPECT_EQ(inspected, (std::vector<std::size_t>{0}));
  EXPECT_FALSE(cycle.ReadRunningProcesses());
  processes.snapshotFails = false;
  ASSERT_TRUE(cycle.ReadRunningProcesses());
  EXPECT_TRUE(cycle.ReadRunningProcesses()->empty());
  cycle.Tick();
  EXPECT_TRUE(cycle.running().empty());
  EXPECT_EQ(changes, 1);
}

TEST_F(WatchCycleTest, TickOrderAndHooks) {
  std::vector<std::string> order;
  processes.Add(5, "new.exe", "C:\\new.exe");
  inspect = [&](const RunningProcesses& now) {
    order.push_back("inspect");
    ASSERT_EQ(now.size(), 1u);
    EXPECT_EQ(now[0].fullPath, "C:\\new.exe");
    cycle.running().Add({"new.exe", "C:\\new.exe"});
  };
  hotkeys = [&] { order.push_back("hotkeys"); };
  cycle.Tick();
  EXPECT_EQ(order, (std::vector<std::string>{"inspect", "hotkeys"}));
  // What inspection added survives the pruning of the same tick.
  EXPECT_EQ(cycle.running().size(), 1u);
  // Judging and pruning share one path read per process.
  EXPECT_EQ(processes.pathQueries.size(), 1u);
}

// The judging may wait on the user for long: pruning after it goes by what runs then, and reads
// only the processes it has not seen under the same id and name.
TEST_F(WatchCycleTest, PruningAfterThePassUsesAFreshSnapshot) {
  processes.Add(1, "a.exe", "C:\\a.exe");
  processes.Add(2, "b.exe", "C:\\b.exe");
  processes.Add(3, "c.exe", "C:\\c.exe");
  cycle.running().Add({"a.exe", "C:\\a.exe"});
  cycle.running().Add({"c.exe", "C:\\c.exe"});
  inspect = [&](const RunningProcesses&) {
    cycle.running().Add({"b.exe", "C:\\b.exe"});
    // Meanwhile: a.exe is restarted under a new id, b.exe ends, and c.exe's id goes to d.exe.
    processes.processes[0].id = 7;
    processes.processes.erase(processes.processes.begin() + 1);
    processes.processes[1].exeFile = "d.exe";
    processes.processes[1].fullPath = "C:\\d.exe";
  };
  cycle.Tick();
  ASSERT_EQ(cycle.running().size(), 1u);
  EXPECT_EQ(cycle.running().entries()[0].name, "a.exe");
  // Three at the start of the tick, then the new id 7 and the taken-over id 3.
  EXPECT_EQ(processes.pathQueries, (std::vector<std::uint32_t>{1, 2, 3, 7, 3}));
}

TEST_F(WatchCycleTest, OutsideTheNtFamilyOnlyTheHotkeysRun) {
  bool inspected = false;
  bool hotkeysRan = false;
  WatchCycle old(processes, settings, speaker, lists, files, /*ntFamily=*/false,
                 {[&](const RunningProcesses&) { inspected = true; }, [&] { hotkeysRan = true; }, {}});
  Block("bad.exe", "C:\\bad.exe");
  processes.Add(10, "bad.exe", "C:\\bad.exe");
  files.Put("C:\\x.txt", "x");
  Trash("C:\\x.txt");
  old.Tick();
  EXPECT_TRUE(processes.IsRunning(10));
  EXPECT_TRUE(files.Has("C:\\x.txt"));
  EXPECT_FALSE(inspected);
  EXPECT_TRUE(hotkeysRan);
}

TEST(RunningProgramList, LookupByComparisonRuleAndUnjudgedRemoval) {
  RunningProgramList list;
  list.Add({"App.exe", "C:\\Apps\\App.exe"});
  list.Add({"free.exe", "C:\\free.exe", /*unjudged=*/true});
  EXPECT_TRUE(list.IsInRunningProgramList(" app.EXE ", "c:\\apps\\app.exe"));
  // Same name from another folder is another program.
  EXPECT_FALSE(list.IsInRunningProgramList("App.exe", "D:\\App.exe"));
  list.RemoveUnjudged();
  EXPECT_EQ(list.size(), 1u);
  EXPECT_FALSE(list.IsInRunningProgramList("free.exe", "C:\\free.exe"));
}

TEST(RunningProgramList, LookupFollowsRemovalsOfDuplicatesAndClearing) {
  RunningProgramList list;
  list.Add({"twin.exe", "C:\\twin.exe"});
  list.Add({" TWIN.EXE", "c:\\twin.exe ", /*unjudged=*/true});
  list.Add({"other.exe", "C:\\other.exe"});
  // One of two entries of the same program goes: the other still answers.
  list.RemoveAt(0);
  EXPECT_TRUE(list.IsInRunningProgramList("twin.exe", "C:\\twin.exe"));
  list.RemoveAt(7);  // past the end: nothing
  list.RemoveUnjudged();
  EXPECT_FALSE(list.IsInRunningProgramList("twin.exe", "C:\\twin.exe"));
  EXPECT_TRUE(list.IsInRunningProgramList("other.exe", "C:\\other.exe"));
  EXPECT_EQ(list.RemoveUnless([](const RunningProgram& p) { return p.name != "other.exe"; }), 1u);
  EXPECT_FALSE(list.IsInRunningProgramList("other.exe", "C:\\other.exe"));
  list.Add({"back.exe", "C:\\back.exe"});
  list.Clear();
  EXPECT_FALSE(list.IsInRunningProgramList("back.exe", "C:\\back.exe"));
  list.Add({"back.exe", "C:\\back.exe"});
  EXPECT_TRUE(list.IsInRunningProgramList("BACK.exe", "C:\\back.exe"));
}

}  // namespace
}  // namespace corvane::watch
