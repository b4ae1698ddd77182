#include "watch/new_program_decision.h"

#include <gtest/gtest.h>

#include <deque>
#include <set>

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
    if (answers.empty()) return AlertDecision::Block;  // closed without a button
    const AlertDecision answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool Confirm(std::string_view message) override {
    confirmations.emplace_back(message);
    return confirmAnswer;
  }
  std::deque<AlertDecision> answers;
  std::vector<AlertRequest> alerts;
  std::vector<std::string> confirmations;
  bool confirmAnswer = false;
};

class DecisionTest : public ::testing::Test, protected testing::ProgramFakes {
 protected:
  DecisionTest()
      : inspector(lists, running, settings, processes, speaker, ui,
                  {[](std::string_view name) { return name == "svchost.exe" || name == "Corvane.exe"; },
                   [this](std::string_view path) { return microsoftPaths.count(std::string(path)) != 0; }}) {}

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
  void Pass() { inspector.InspectNewPrograms(Now(), static_cast<int>(processes.processes.size()) - 1); }
  size_t Lines(const char* file) const {
    const std::string content = files.Content(file);
    size_t count = 0;
    for (size_t at = content.find("\r\n"); at != std::string::npos; at = content.find("\r\n", at + 2)) ++count;
    return count;
  }

  RunningProgramList running;
  ScriptedUi ui;
  std::set<std::string> microsoftPaths;
  NewProgramInspector inspector;
};

TEST_F(DecisionTest, ListedProgramsAreNotPutBeforeTheUser) {
  lists.allowList().push_back({"ok.exe", "C:\\Apps\\ok.exe"});
  lists.blockList().push_back({"bad.exe", "C:\\Old\\bad.exe"});
  Start(10, "C:\\apps\\OK.EXE");
  Start(11, "D:\\Elsewhere\\bad.exe");  // blocked by name, wherever it lies
  Start(12, "");                        // path unreadable: never judged
  Pass();
  EXPECT_TRUE(ui.alerts.empty());
  ASSERT_EQ(running.size(), 1u);
  EXPECT_EQ(running.entries()[0].name, "OK.EXE");
  EXPECT_FALSE(files.Has(kAllowFile));
  // The blocked one is left to the termination steps, not listed as running.
  EXPECT_FALSE(running.IsInRunningProgramList("bad.exe", "D:\\Elsewhere\\bad.exe"));
  EXPECT_TRUE(processes.terminated.empty());
}

TEST_F(DecisionTest, AllowedFromOneFolderIsJudgedAgainFromAnother) {
  lists.allowList().push_back({"tool.exe", "C:\\A\\tool.exe"});
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

TEST_F(DecisionTest, ClosingTheAlertWithoutAnswerBlocks) {
  Start(60, "C:\\x.exe");
  Pass();  // no scripted answer: the window was closed
  EXPECT_EQ(lists.blockList().size(), 1u);
}

TEST_F(DecisionTest, BlockingAMicrosoftFileAsksFirst) {
  microsoftPaths = {"C:\\Tools\\ms.exe", "C:\\Tools\\ms2.exe"};
  Start(70, "C:\\Tools\\ms.exe");
  ui.answers = {AlertDecision::Block, AlertDecision::Block};
  ui.confirmAnswer = false;
  Pass();
  ASSERT_EQ(ui.confirmations.size(), 1u);
  EXPECT_EQ(ui.confirmations[0],
            "This file is a Windows Process and should not be BLOCKED. Are you sure you want to block ms.exe?");
  // Cancel: allowed instead.
  EXPECT_EQ(lists.allowList().size(), 1u);
  EXPECT_TRUE(lists.blockList().empty());
  EXPECT_TRUE(processes.IsRunning(70));

  Start(71, "C:\\Tools\\ms2.exe");
  ui.confirmAnswer = true;
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
  lists.trashJar().push_back("C:\\Junk\\thrown.exe");
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

TEST_F(DecisionTest, RunningCountShowsTheSnapshotsLastIndexBeforeAndAfter) {
  Start(1, "C:\\a.exe");
  Start(2, "C:\\b.exe");
  lists.allowList() = {{"a.exe", "C:\\a.exe"}, {"b.exe", "C:\\b.exe"}};
  std::vector<int> shown;
  inspector.showRunningCount = [&](int last) { shown.push_back(last); };
  Pass();
  EXPECT_EQ(shown, (std::vector<int>{1, 1}));
}

}  // namespace
}  // namespace corvane::watch
