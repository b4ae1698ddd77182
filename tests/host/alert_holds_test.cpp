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
    hooks.holdProgram = [this](std::uint32_t id, std::string_view path, bool started) {
      return alertHolds.Hold(id, path, started);
    };
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
    for (const auto& p : processes.processes) {
      now.push_back({p.id, p.exeFile, p.fullPath, p.threads, p.parent, holder.processes[p.id].creationTime});
    }
    inspector->InspectNewPrograms(now);
  }
  // The watch's first look, at what runs before the test starts its programs.
  void FirstLook() {
    Start(1, "C:\\Apps\\already.exe");
    answers = {AlertDecision::Allow};
    Pass();
    shown.clear();
    suspendedWhileAsked.clear();
  }
  int Suspended(std::uint32_t id) { return holder.processes[id].suspendCount; }

  AlertDecision ShowAlert(const AlertRequest& request) override {
    shown.push_back(request);
    suspendedWhileAsked.push_back(Suspended(request.processId));
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
  testing::FakeProcessHolder leftovers;
  ProgramHolds holds{settings, holder, leftovers};
  AlertHolds alertHolds{holds, settings, processes, kOwnId, Folders()};
  RunningProgramList running;
  std::unique_ptr<NewProgramInspector> inspector;

  std::deque<AlertDecision> answers;
  std::function<void(const AlertRequest&)> whileAsked;
  ConfirmAnswer confirmAnswer = ConfirmAnswer::No;
  std::vector<AlertRequest> shown;
  std::vector<int> suspendedWhileAsked;
  int suspendedWhileConfirming = -1;
};

TEST_F(HoldingTest, HeldWhileAskedThenAllowRunsOnBlockEndsAndNoAnswerRunsOn) {
  FirstLook();
  Start(10, "C:\\Apps\\one.exe");
  Start(20, "C:\\Apps\\two.exe");
  Start(30, "C:\\Apps\\three.exe");
  answers = {AlertDecision::Allow, AlertDecision::Block, AlertDecision::Undecided};
  Pass();
  ASSERT_EQ(shown.size(), 3u);
  // Each was held while its question was open, and said so.
  for (std::size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(shown[i].hold, HoldState::Held);
    EXPECT_EQ(suspendedWhileAsked[i], 1);
  }
  // Allow: running on. Block: ended. No answer: running on, asked again later, not held again (it
  // was running at this look).
  EXPECT_EQ(Suspended(10), 0);
  EXPECT_TRUE(processes.IsRunning(10));
  EXPECT_FALSE(processes.IsRunning(20));
  EXPECT_EQ(Suspended(30), 0);
  EXPECT_TRUE(processes.IsRunning(30));
  EXPECT_TRUE(holds.held().empty());
  shown.clear();
  Pass();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].hold, HoldState::NotHeld);
}

TEST_F(HoldingTest, WhatRanAtTheLastLookAndWhatLiesInTheSystemFoldersIsNeverHeld) {
  // The first look: everything already runs; asked about, not held.
  Start(10, "C:\\Apps\\editor.exe");
  answers = {AlertDecision::Undecided};
  Pass();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].hold, HoldState::NotHeld);
  EXPECT_EQ(suspendedWhileAsked[0], 0);
  // A program started since: held. The same id taken by a newer process counts as new.
  shown.clear();
  suspendedWhileAsked.clear();
  Start(20, "C:\\Apps\\new.exe");
  holder.processes[10] = {1010};
  processes.processes.front().fullPath = "C:\\Apps\\other.exe";
  processes.processes.front().exeFile = "other.exe";
  answers = {AlertDecision::Undecided, AlertDecision::Undecided};
  Pass();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].hold, HoldState::Held);
  EXPECT_EQ(shown[1].hold, HoldState::Held);
  // Directly in the Windows or system folders: asked about, never held; a subfolder is anyone's.
  EXPECT_EQ(alertHolds.Hold(30, "C:\\Windows\\System32\\ctfmon.exe", true), HoldState::NotHeld);
  EXPECT_EQ(alertHolds.Hold(30, "C:\\windows\\sihost.exe", true), HoldState::NotHeld);
  EXPECT_EQ(alertHolds.Hold(30, "C:\\Windows\\SysWOW64\\conhost.exe", true), HoldState::NotHeld);
  Start(31, "C:\\Windows\\Temp\\dropped.exe");
  EXPECT_EQ(alertHolds.Hold(31, "C:\\Windows\\Temp\\dropped.exe", true), HoldState::Held);
}

TEST_F(HoldingTest, AMicrosoftFileStaysHeldThroughTheConfirmationAndAnIdTakenOverIsNotEnded) {
  FirstLook();
  Start(10, "C:\\vendor\\tool.exe");
  answers = {AlertDecision::Block};
  confirmAnswer = ConfirmAnswer::No;  // allowed after all
  Pass();
  EXPECT_EQ(suspendedWhileConfirming, 1);
  EXPECT_EQ(Suspended(10), 0);
  EXPECT_TRUE(processes.IsRunning(10));

  // Blocked, but the held program ended and its id went to another program while the question was
  // open: that one is neither ended nor left held.
  Start(20, "C:\\Apps\\gone.exe");
  answers = {AlertDecision::Block};
  whileAsked = [this](const AlertRequest& request) {
    EXPECT_EQ(request.hold, HoldState::Held);
    holder.processes[20] = {5, 0};
    processes.processes.back().exeFile = "new.exe";
    processes.processes.back().fullPath = "C:\\Apps\\new.exe";
  };
  Pass();
  EXPECT_TRUE(processes.IsRunning(20));
  EXPECT_EQ(Suspended(20), 0);
  EXPECT_TRUE(holds.held().empty());
}

TEST_F(HoldingTest, NotHeldWhileTheOptionIsOffOrInAllowAllAndARefusedHoldSaysSo) {
  FirstLook();
  settings.WriteSetting("OptHoldWhileAsking", "0");
  Start(10, "C:\\Apps\\one.exe");
  answers = {AlertDecision::Allow};
  Pass();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].hold, HoldState::NotHeld);
  EXPECT_EQ(suspendedWhileAsked[0], 0);
  // The option is read at each question; Allow All holds nothing whatever the option says.
  settings.WriteSetting("OptHoldWhileAsking", "1");
  settings.WriteSetting("mnuMainNormal", "False");
  Start(41, "C:\\Apps\\free.exe");
  EXPECT_EQ(alertHolds.Hold(41, "C:\\Apps\\free.exe", true), HoldState::NotHeld);
  settings.WriteSetting("mnuMainNormal", "True");
  // A program the holder cannot hold (already debugged, no right) is asked about as not paused.
  holder.refuse.insert(41);
  EXPECT_EQ(alertHolds.Hold(41, "C:\\Apps\\free.exe", true), HoldState::CouldNotHold);
  holder.refuse.clear();
  EXPECT_EQ(alertHolds.Hold(41, "C:\\Apps\\free.exe", true), HoldState::Held);
}

}  // namespace
}  // namespace corvane::watch
