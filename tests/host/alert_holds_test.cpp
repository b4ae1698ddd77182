// A program put before the user is held while the question lasts, through the inspector's hooks
// wired as the main program wires them.
#include <gtest/gtest.h>

#include <deque>

#include "process/system_programs.h"
#include "tests/fakes/fake_process_holder.h"
#include "tests/fakes/program_fakes.h"
#include "watch/new_program_decision.h"
#include "watch/program_holds.h"

namespace corvane::watch {
namespace {

constexpr std::uint32_t kOwnId = 7;  // Corvane's own process

ProtectedFolders Folders() {
  return {"C:\\Windows\\System32", "C:\\Windows\\SysWOW64", "C:\\Windows", "C:\\Corvane"};
}

class HoldingTest : public ::testing::Test, protected testing::ProgramFakes, protected DecisionUi {
 protected:
  HoldingTest() {
    InspectorHooks hooks;
    hooks.holdProgram = [this](std::uint32_t id, std::string_view path) { return alertHolds.Hold(id, path); };
    hooks.letGoProgram = [this](std::uint32_t id, bool end) { alertHolds.LetGo(id, end); };
    inspector = std::make_unique<NewProgramInspector>(
        lists, running, settings, processes, speaker, static_cast<DecisionUi&>(*this),
        ProgramClassifier{[](std::string_view, std::string_view path) { return IsWindowsProcessInPlace(path, Folders()); },
                          [](std::string_view path) { return path.find("vendor") != std::string_view::npos; }},
        std::move(hooks));
  }

  // A process of the table and of the holder, created at id * 100.
  void Start(std::uint32_t id, const std::string& path) {
    processes.Add(id, path.substr(path.find_last_of('\\') + 1), path);
    holder.processes[id] = {id * 100ULL};
  }
  void Pass() {
    RunningProcesses now;
    for (const auto& p : processes.processes) now.push_back({p.id, p.exeFile, p.fullPath, p.threads, p.parent});
    inspector->InspectNewPrograms(now);
  }
  int Suspended(std::uint32_t id) { return holder.processes[id].suspendCount; }

  AlertDecision ShowAlert(const AlertRequest& request) override {
    shown.push_back(request);
    suspendedWhileAsked.push_back(Suspended(request.processId));
    recordWhileAsked.push_back(settings.Get("HeldProcesses"));
    if (whileAsked) whileAsked(request);
    const AlertDecision answer = answers.empty() ? AlertDecision::Undecided : answers.front();
    if (!answers.empty()) answers.pop_front();
    return answer;
  }
  ConfirmAnswer Confirm(std::string_view) override {
    suspendedWhileConfirming = Suspended(shown.back().processId);
    return confirmAnswer;
  }
  void Inform(std::string_view) override {}

  testing::FakeProcessHolder holder;
  ProgramHolds holds{settings, holder};
  AlertHolds alertHolds{holds, settings, processes, kOwnId, Folders()};
  RunningProgramList running;
  std::unique_ptr<NewProgramInspector> inspector;

  std::deque<AlertDecision> answers;
  std::function<void(const AlertRequest&)> whileAsked;
  ConfirmAnswer confirmAnswer = ConfirmAnswer::No;
  std::vector<AlertRequest> shown;
  std::vector<int> suspendedWhileAsked;
  std::vector<std::string> recordWhileAsked;
  int suspendedWhileConfirming = -1;
};

TEST_F(HoldingTest, HeldWhileAskedThenAllowRunsOnBlockEndsAndNoAnswerRunsOn) {
  Start(10, "C:\\Apps\\one.exe");
  Start(20, "C:\\Apps\\two.exe");
  Start(30, "C:\\Apps\\three.exe");
  answers = {AlertDecision::Allow, AlertDecision::Block, AlertDecision::Undecided};
  Pass();
  ASSERT_EQ(shown.size(), 3u);
  // Each was held, and recorded, while its question was open, and said so.
  for (std::size_t i = 0; i < shown.size(); ++i) {
    EXPECT_TRUE(shown[i].held);
    EXPECT_EQ(suspendedWhileAsked[i], 1);
  }
  EXPECT_EQ(recordWhileAsked[0], "10:1000");
  // Allow: running on. Block: ended. No answer: running on, asked again later.
  EXPECT_EQ(Suspended(10), 0);
  EXPECT_TRUE(processes.IsRunning(10));
  EXPECT_FALSE(processes.IsRunning(20));
  EXPECT_EQ(Suspended(30), 0);
  EXPECT_TRUE(processes.IsRunning(30));
  EXPECT_TRUE(holds.held().empty());
  EXPECT_EQ(settings.Get("HeldProcesses"), "");
}

TEST_F(HoldingTest, AMicrosoftFileStaysHeldThroughTheConfirmationAndAnIdTakenOverIsNotEnded) {
  Start(10, "C:\\vendor\\tool.exe");
  answers = {AlertDecision::Block};
  confirmAnswer = ConfirmAnswer::No;  // allowed after all
  Pass();
  EXPECT_EQ(suspendedWhileConfirming, 1);
  EXPECT_EQ(Suspended(10), 0);
  EXPECT_TRUE(processes.IsRunning(10));

  // Blocked, but the held program ended and its id went to another program while the question was
  // open: that one is neither ended nor resumed.
  Start(20, "C:\\Apps\\gone.exe");
  answers = {AlertDecision::Block};
  whileAsked = [this](const AlertRequest& request) {
    EXPECT_TRUE(request.held);
    holder.processes[20] = {5, 0};
    processes.processes.back().exeFile = "new.exe";
    processes.processes.back().fullPath = "C:\\Apps\\new.exe";
  };
  Pass();
  EXPECT_TRUE(processes.IsRunning(20));
  EXPECT_EQ(Suspended(20), 0);
  EXPECT_TRUE(holds.held().empty());
}

TEST_F(HoldingTest, NotHeldWhileTheOptionIsOffOrInAllowAll) {
  settings.WriteSetting("OptHoldWhileAsking", "0");
  Start(10, "C:\\Apps\\one.exe");
  answers = {AlertDecision::Allow};
  Pass();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_FALSE(shown[0].held);
  EXPECT_EQ(suspendedWhileAsked[0], 0);
  // The option is read at each question; Allow All holds nothing whatever the option says.
  settings.WriteSetting("OptHoldWhileAsking", "1");
  settings.WriteSetting("mnuMainNormal", "False");
  Start(41, "C:\\Apps\\free.exe");
  EXPECT_FALSE(alertHolds.Hold(41, "C:\\Apps\\free.exe"));
  settings.WriteSetting("mnuMainNormal", "True");
  EXPECT_TRUE(alertHolds.Hold(41, "C:\\Apps\\free.exe"));
}

}  // namespace
}  // namespace corvane::watch
