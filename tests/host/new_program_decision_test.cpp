#include "watch/new_program_decision.h"

#include <gtest/gtest.h>

#include <deque>
#include <set>

#include "process/system_programs.h"
#include "store/cipher.h"
#include "tests/fakes/program_fakes.h"

namespace corvane::watch {
namespace {

constexpr const char* kAllowFile = "C:\\Corvane\\midmo.ocx";
constexpr const char* kBlockFile = "C:\\Corvane\\cekdn.ocx";

class ScriptedUi final : public DecisionUi {
 public:
  AlertDecision ShowAlert(const AlertRequest& request) override {
    alerts.push_back(request);
    if (whileAlertIsOpen) whileAlertIsOpen();
    if (answers.empty()) return AlertDecision::Block;  // the user closed the window
    const AlertDecision answer = answers.front();
    answers.pop_front();
    return answer;
  }
  ConfirmAnswer Confirm(std::string_view message) override {
    confirmations.emplace_back(message);
    return confirmAnswer;
  }
  void Inform(std::string_view message) override { informed.emplace_back(message); }

  std::deque<AlertDecision> answers;
  // Runs while an alert waits, as the program's other events do.
  std::function<void()> whileAlertIsOpen;
  std::vector<AlertRequest> alerts;
  std::vector<std::string> confirmations;
  ConfirmAnswer confirmAnswer = ConfirmAnswer::No;
  std::vector<std::string> informed;
};

// Where the protected programs live on the machine these tests pretend.
ProtectedFolders Folders() {
  return {"C:\\Windows\\System32", "C:\\Windows\\SysWOW64", "C:\\Windows", "C:\\Corvane"};
}

class DecisionTest : public ::testing::Test, protected testing::ProgramFakes {
 protected:
  DecisionTest()
      : inspector(lists, running, settings, processes, speaker, ui,
                  {[](std::string_view, std::string_view path) { return IsWindowsProcessInPlace(path, Folders()); },
                   [this](std::string_view path) { return microsoftPaths.count(std::string(path)) != 0; }},
                  {[this](std::size_t listed) { shownCounts.push_back(listed); }, {}, [this] { return closing; }}) {}

  // A process of the table, as this tick's snapshot with paths gives it.
  void Start(std::uint32_t id, const std::string& path, std::uint32_t threads = 3, std::uint32_t parent = 1) {
    const auto slash = path.find_last_of('\\');
    processes.Add(id, path.substr(slash + 1), path, threads, parent);
  }
  RunningProcesses Now() {
    RunningProcesses now;
    for (const auto& p : processes.processes) now.push_back({p.id, p.exeFile, p.fullPath, p.threads, p.parent});
    return now;
  }
  void Pass() { inspector.InspectNewPrograms(Now()); }
  size_t Lines(const char* file) const {
    const std::string content = files.Content(file);
    size_t count = 0;
    for (size_t at = content.find("\r\n"); at != std::string::npos; at = content.find("\r\n", at + 2)) ++count;
    return count;
  }

  RunningProgramList running;
  ScriptedUi ui;
  std::set<std::string> microsoftPaths;
  bool closing = false;
  // What the running panel's count was given, in order.
  std::vector<std::size_t> shownCounts;
  NewProgramInspector inspector;
};

TEST_F(DecisionTest, ListedProgramsAreNotPutBeforeTheUser) {
  lists.Allow("ok.exe", "C:\\Apps\\ok.exe");
  lists.Block("bad.exe", "C:\\Old\\bad.exe");
  files.log.clear();
  Start(10, "C:\\apps\\OK.EXE");
  Start(11, "D:\\Elsewhere\\bad.exe");  // blocked by name, wherever it lies
  Start(12, "");                        // path unreadable: never judged
  Pass();
  EXPECT_TRUE(ui.alerts.empty());
  ASSERT_EQ(running.size(), 1u);
  EXPECT_EQ(running.entries()[0].name, "OK.EXE");
  EXPECT_TRUE(files.log.empty());
  // The blocked one is left to the termination steps, not listed as running.
  EXPECT_FALSE(running.IsInRunningProgramList("bad.exe", "D:\\Elsewhere\\bad.exe"));
  EXPECT_TRUE(processes.terminated.empty());
}

TEST_F(DecisionTest, AllowedFromOneFolderIsJudgedAgainFromAnother) {
  lists.Allow("tool.exe", "C:\\A\\tool.exe");
  Start(20, "C:\\B\\tool.exe");
  ui.answers = {AlertDecision::Allow};
  Pass();
  ASSERT_EQ(ui.alerts.size(), 1u);
  EXPECT_EQ(ui.alerts[0].path, "C:\\B\\tool.exe");
  EXPECT_EQ(lists.allowList().size(), 2u);
}

TEST_F(DecisionTest, WindowsProgramsAreAllowedSilentlyOncePerPath) {
  Start(30, "C:\\windows\\system32\\svchost.exe");
  Start(31, "C:\\windows\\system32\\svchost.exe");
  Pass();
  EXPECT_TRUE(ui.alerts.empty());
  EXPECT_EQ(running.size(), 1u);
  EXPECT_EQ(lists.allowList().size(), 1u);
  EXPECT_EQ(Lines(kAllowFile), 1u);
  EXPECT_EQ(DecryptText(files.Content(kAllowFile).substr(0, files.Content(kAllowFile).size() - 2)),
            "C:\\windows\\system32\\svchost.exe^^^^svchost.exe");
}

TEST_F(DecisionTest, BlockAddsToTheListAndFileTerminatesAndSignalsTheBlocker) {
  Start(40, "C:\\Downloads\\evil.exe", 7, 99);
  Start(41, "C:\\Downloads\\evil.exe", 2, 99);  // a second copy gets no alert of its own
  settings.values["Read"] = "False";
  ui.answers = {AlertDecision::Block};
  Pass();
  ASSERT_EQ(ui.alerts.size(), 1u);
  EXPECT_EQ(ui.alerts[0].processId, 40u);
  EXPECT_EQ(ui.alerts[0].name, "evil.exe");
  EXPECT_EQ(ui.alerts[0].threadCount, 7u);
  EXPECT_EQ(ui.alerts[0].parentProcessId, 99u);
  ASSERT_EQ(lists.blockList().size(), 1u);
  EXPECT_EQ(Lines(kBlockFile), 1u);
  EXPECT_EQ(settings.Get("Read"), "True");
  EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{40}));
  EXPECT_TRUE(running.empty());
}

// A block's termination is announced by one tone first, only when "ChkBeep" is 1, however many
// attempts follow; a program that went before it could be ended gets none.
TEST_F(DecisionTest, ABlockBeepsOnceBeforeItsTerminationOnlyWhenChkBeepIsOne) {
  std::vector<std::size_t> attemptsAtTone;
  speaker.whileSounding = [&] { attemptsAtTone.push_back(processes.terminationAttempts.size()); };
  const auto blockOne = [&](std::uint32_t id, const std::string& path) {
    Start(id, path);
    ui.answers = {AlertDecision::Block};
    Pass();
  };
  // Absent or "0": silent.
  blockOne(11, "C:\\Downloads\\b.exe");
  settings.values["ChkBeep"] = "0";
  blockOne(12, "C:\\Downloads\\c.exe");
  EXPECT_TRUE(speaker.beeps.empty());
  EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{11, 12}));
  // "1" (spaces allowed): one 850 Hz, 300 ms tone before the first attempt.
  settings.values["ChkBeep"] = " 1 ";
  blockOne(13, "C:\\Downloads\\d.exe");
  EXPECT_EQ(attemptsAtTone, (std::vector<std::size_t>{2}));
  processes.Add(14, "a.exe", "C:\\Downloads\\a.exe").refuseTermination = true;
  ui.answers = {AlertDecision::Block};
  Pass();
  EXPECT_EQ(attemptsAtTone, (std::vector<std::size_t>{2, 3}));
  EXPECT_EQ(processes.terminationAttempts.size(), 3u + 11u);
  // Gone while the alert was open: blocked, but nothing to end and no tone.
  Start(15, "C:\\Downloads\\e.exe");
  ui.answers = {AlertDecision::Block};
  ui.whileAlertIsOpen = [&] { processes.TerminateProcessById(15, 0); };
  Pass();
  EXPECT_TRUE(lists.IsInBlockList("e.exe"));
  EXPECT_EQ(speaker.beeps, (std::vector<std::pair<std::uint32_t, std::uint32_t>>(2, {850, 300})));
}

TEST_F(DecisionTest, AllowAddsToRunningAllowListAndFileAndTheSecondCopyIsSeen) {
  Start(50, "C:\\Apps\\new.exe");
  Start(51, "C:\\Apps\\new.exe");
  ui.answers = {AlertDecision::Allow};
  Pass();
  EXPECT_EQ(ui.alerts.size(), 1u);
  EXPECT_EQ(running.size(), 1u);
  EXPECT_EQ(lists.allowList().size(), 1u);
  EXPECT_EQ(Lines(kAllowFile), 1u);
  EXPECT_TRUE(processes.terminated.empty());
}

TEST_F(DecisionTest, ClosingTheAlertOnPurposeBlocks) {
  Start(60, "C:\\x.exe");
  Pass();  // no scripted answer: the user closed the window
  EXPECT_EQ(lists.blockList().size(), 1u);
}

TEST_F(DecisionTest, BlockingAMicrosoftFileAsksFirst) {
  microsoftPaths = {"C:\\Tools\\ms.exe", "C:\\Tools\\ms2.exe"};
  Start(70, "C:\\Tools\\ms.exe");
  ui.answers = {AlertDecision::Block, AlertDecision::Block};
  ui.confirmAnswer = ConfirmAnswer::No;
  Pass();
  ASSERT_EQ(ui.confirmations.size(), 1u);
  EXPECT_EQ(ui.confirmations[0],
            "This file is a Windows Process and should not be BLOCKED. Are you sure you want to block ms.exe?");
  // Cancel: allowed instead.
  EXPECT_EQ(lists.allowList().size(), 1u);
  EXPECT_TRUE(lists.blockList().empty());
  EXPECT_TRUE(processes.IsRunning(70));

  Start(71, "C:\\Tools\\ms2.exe");
  ui.confirmAnswer = ConfirmAnswer::Yes;
  Pass();
  EXPECT_EQ(lists.blockList().size(), 1u);
  EXPECT_FALSE(processes.IsRunning(71));
}

TEST_F(DecisionTest, AllowAllListsUnjudgedUntilNormalModeReturns) {
  settings.values["mnuMainNormal"] = "False";
  Start(80, "C:\\Apps\\free.exe");
  Pass();
  EXPECT_TRUE(ui.alerts.empty());
  ASSERT_EQ(running.size(), 1u);
  EXPECT_TRUE(running.entries()[0].unjudged);
  EXPECT_FALSE(files.Has(kAllowFile));
  // Back to Normal: the unjudged entries go and the program is judged at the next pass.
  settings.values["mnuMainNormal"] = "True";
  running.RemoveUnjudged();
  ui.answers = {AlertDecision::Allow};
  Pass();
  EXPECT_EQ(ui.alerts.size(), 1u);
  ASSERT_EQ(running.size(), 1u);
  EXPECT_FALSE(running.entries()[0].unjudged);
}

TEST_F(DecisionTest, ProgramFromTheTrashJarEndsWithoutAlertOrListEntry) {
  lists.AddToTrashJar("C:\\Junk\\thrown.exe");
  // The previous decision of the pass was an allow: it must not carry over.
  Start(90, "C:\\Apps\\liked.exe");
  Start(91, "c:\\junk\\THROWN.exe");
  ui.answers = {AlertDecision::Allow};
  Pass();
  EXPECT_EQ(ui.alerts.size(), 1u);
  EXPECT_EQ(lists.allowList().size(), 1u);
  EXPECT_TRUE(lists.blockList().empty());
  EXPECT_FALSE(processes.IsRunning(91));
  EXPECT_FALSE(running.IsInRunningProgramList("THROWN.exe", "c:\\junk\\THROWN.exe"));
}

TEST_F(DecisionTest, RunningCountIsTheSnapshotsSizeBeforeAndAfterThePass) {
  Start(1, "C:\\a.exe");
  Start(2, "C:\\b.exe");
  lists.Allow("a.exe", "C:\\a.exe");
  lists.Allow("b.exe", "C:\\b.exe");
  Pass();
  EXPECT_EQ(shownCounts, (std::vector<std::size_t>{2, 2}));
  // The fresh snapshot after the pass failed: no processes to count.
  processes.snapshotFails = true;
  Pass();
  EXPECT_EQ(shownCounts, (std::vector<std::size_t>{2, 2, 2, 0}));
}

// The program quits while the first alert waits: that question and the rest of the pass decide
// nothing, and the next start asks again.
TEST_F(DecisionTest, QuitDuringAnAlertDecidesNothingAndSkipsTheRestOfThePass) {
  lists.Allow("known.exe", "C:\\Apps\\known.exe");
  files.log.clear();
  settings.values["Read"] = "False";
  Start(1, "C:\\Downloads\\first.exe");
  Start(2, "C:\\Downloads\\second.exe");
  Start(3, "C:\\Windows\\System32\\svchost.exe");  // would pass silently
  Start(4, "C:\\Apps\\known.exe");                 // would join the running list
  ui.whileAlertIsOpen = [this] { closing = true; };
  ui.answers = {AlertDecision::Undecided};
  Pass();
  EXPECT_EQ(ui.alerts.size(), 1u);
  EXPECT_TRUE(running.empty());
  EXPECT_TRUE(lists.blockList().empty());
  EXPECT_EQ(lists.allowList().size(), 1u);
  EXPECT_TRUE(files.log.empty());
  EXPECT_EQ(settings.Get("Read"), "False");
  EXPECT_TRUE(processes.terminationAttempts.empty());

  // The next run meets the same programs and asks again.
  closing = false;
  ui.whileAlertIsOpen = nullptr;
  ui.answers = {AlertDecision::Allow, AlertDecision::Allow};
  Pass();
  ASSERT_EQ(ui.alerts.size(), 3u);
  EXPECT_EQ(ui.alerts[1].name, "first.exe");
  EXPECT_EQ(ui.alerts[2].name, "second.exe");
}

TEST_F(DecisionTest, UnansweredQuestionsDecideNothing) {
  // A Microsoft file: Block, then the confirmation ends without an answer. It is not allowed instead.
  microsoftPaths = {"C:\\Tools\\ms.exe"};
  Start(1, "C:\\Tools\\ms.exe");
  ui.answers = {AlertDecision::Block};
  ui.confirmAnswer = ConfirmAnswer::Undecided;
  Pass();
  EXPECT_EQ(ui.confirmations.size(), 1u);
  EXPECT_TRUE(lists.allowList().empty());
  EXPECT_TRUE(lists.blockList().empty());
  EXPECT_TRUE(running.empty());
  EXPECT_TRUE(processes.IsRunning(1));

  // An alert window that cannot be shown: nothing for this program, the pass goes on, and the next
  // tick asks again.
  processes.processes.clear();
  Start(2, "C:\\Apps\\one.exe");
  Start(3, "C:\\Apps\\two.exe");
  ui.answers = {AlertDecision::Undecided, AlertDecision::Allow};
  Pass();
  EXPECT_EQ(ui.alerts.size(), 3u);
  EXPECT_FALSE(running.IsInRunningProgramList("one.exe", "C:\\Apps\\one.exe"));
  EXPECT_TRUE(running.IsInRunningProgramList("two.exe", "C:\\Apps\\two.exe"));
  ui.answers = {AlertDecision::Allow};
  Pass();
  ASSERT_EQ(ui.alerts.size(), 4u);
  EXPECT_EQ(ui.alerts[3].name, "one.exe");
}

TEST_F(DecisionTest, ProtectedNamesOutsideTheirFoldersAreAskedAboutAndConfirmedBeforeABlock) {
  Start(1, "C:\\Corvane\\Corvane.exe");
  Start(2, "C:\\Users\\u\\AppData\\Roaming\\svchost.exe");
  // Whoever made this copy: the block list goes by name, so a block would end the system's own
  // svchost.exe as well. The user is warned; Cancel allows it.
  ui.answers = {AlertDecision::Block};
  ui.confirmAnswer = ConfirmAnswer::No;
  Pass();
  ASSERT_EQ(ui.alerts.size(), 1u);
  EXPECT_EQ(ui.alerts[0].processId, 2u);
  EXPECT_EQ(ui.confirmations.size(), 1u);
  EXPECT_TRUE(lists.blockList().empty());
  EXPECT_TRUE(processes.IsRunning(2));
  EXPECT_TRUE(running.IsInRunningProgramList("Corvane.exe", "C:\\Corvane\\Corvane.exe"));
}

// Paths are read at the start of the tick; a program is read again before it is asked about.
TEST_F(DecisionTest, ProgramThatEndedDuringAnEarlierAlertIsPassedOver) {
  Start(1, "C:\\Apps\\first.exe");
  Start(2, "C:\\Apps\\gone.exe");
  Start(3, "C:\\Apps\\third.exe");
  ui.whileAlertIsOpen = [this] {
    if (ui.alerts.size() != 1) return;
    // Process 2 ends while the first alert waits, and a new copy of gone.exe starts under another
    // id. Blocking the stale one by name would end this new copy.
    processes.processes.erase(processes.processes.begin() + 1);
    Start(9, "C:\\Apps\\gone.exe");
  };
  ui.answers = {AlertDecision::Block, AlertDecision::Block};
  Pass();
  ASSERT_EQ(ui.alerts.size(), 2u);
  EXPECT_EQ(ui.alerts[0].name, "first.exe");
  EXPECT_EQ(ui.alerts[1].name, "third.exe");
  EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{1, 3}));
  EXPECT_TRUE(processes.IsRunning(9));
}

TEST_F(DecisionTest, IdTakenOverDuringAnEarlierAlertIsJudgedAsItsNewProgram) {
  lists.AddToTrashJar("C:\\Junk\\thrown.exe");
  Start(1, "C:\\Apps\\first.exe");
  Start(2, "C:\\Downloads\\bad.exe");
  Start(3, "C:\\Junk\\thrown.exe");
  ui.whileAlertIsOpen = [this] {
    if (ui.alerts.size() != 1) return;
    // While the first alert waits, bad.exe and the thrown-away program end, and their ids go to a
    // program of the user's own and to a new unknown one.
    processes.processes[1].exeFile = "mine.exe";
    processes.processes[1].fullPath = "C:\\Apps\\mine.exe";
    processes.processes[2].exeFile = "fresh.exe";
    processes.processes[2].fullPath = "C:\\Apps\\fresh.exe";
  };
  lists.Allow("mine.exe", "C:\\Apps\\mine.exe");
  ui.answers = {AlertDecision::Allow, AlertDecision::Allow};
  Pass();
  // No question about bad.exe, and no Trash Jar termination of the id's new program.
  ASSERT_EQ(ui.alerts.size(), 2u);
  EXPECT_EQ(ui.alerts[1].processId, 3u);
  EXPECT_EQ(ui.alerts[1].path, "C:\\Apps\\fresh.exe");
  EXPECT_TRUE(processes.terminationAttempts.empty());
  EXPECT_TRUE(running.IsInRunningProgramList("mine.exe", "C:\\Apps\\mine.exe"));
  EXPECT_TRUE(lists.blockList().empty());
}

TEST_F(DecisionTest, ADecisionTheFilesRefuseHoldsForThisMomentOnlyAndIsToldOncePerList) {
  files.Put(kBlockFile, "");
  files.Find(kBlockFile)->locked = true;
  files.Put(kAllowFile, "");
  files.Find(kAllowFile)->locked = true;
  Start(1, "C:\\Apps\\liked.exe");
  Start(2, "C:\\Downloads\\one.exe");
  Start(3, "C:\\Downloads\\two.exe");
  ui.answers = {AlertDecision::Allow, AlertDecision::Block, AlertDecision::Block};
  Pass();
  // The allowed program runs on and the blocked ones end, but no list shows what its file does not
  // hold: the next start asks about them again. The user hears once of each list.
  EXPECT_TRUE(running.IsInRunningProgramList("liked.exe", "C:\\Apps\\liked.exe"));
  EXPECT_TRUE(lists.allowList().empty());
  EXPECT_TRUE(lists.blockList().empty());
  EXPECT_FALSE(processes.IsRunning(2));
  EXPECT_FALSE(processes.IsRunning(3));
  EXPECT_EQ(ui.informed,
            (std::vector<std::string>{UnsavedListMessage(ListKind::Allow), UnsavedListMessage(ListKind::Block)}));

  // Saved again later: still silent.
  files.Find(kBlockFile)->locked = false;
  Start(4, "C:\\Downloads\\three.exe");
  ui.answers = {AlertDecision::Block};
  Pass();
  EXPECT_EQ(lists.blockList().size(), 1u);
  EXPECT_EQ(ui.informed.size(), 2u);
}

}  // namespace
}  // namespace corvane::watch
