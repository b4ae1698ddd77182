#include "rizaz/left_holds.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_process_holder.h"
#include "tests/fakes/memory_settings.h"

namespace corvane::rizaz {
namespace {

TEST(RizazLeftHoldsTest, ResumesTheSameProcessesOnlyOnceTheMainProgramIsGone) {
  testing::MemorySettings settings;
  testing::FakeProcessHolder holder;
  holder.processes[10] = {100, 1};
  holder.processes[20] = {999, 1};  // the id went to another process, suspended by someone else
  settings.WriteSetting("HeldProcesses", "10:100;20:200");
  int asked = 0;
  bool running = true;
  const auto mainRunning = [&] {
    ++asked;
    return running;
  };

  // The main program still runs: it lets its holds go itself.
  EXPECT_EQ(ResumeHoldsOfEndedMain(settings, holder, mainRunning), 0u);
  EXPECT_EQ(holder.processes[10].suspendCount, 1);
  EXPECT_EQ(settings.Get("HeldProcesses"), "10:100;20:200");

  running = false;
  EXPECT_EQ(ResumeHoldsOfEndedMain(settings, holder, mainRunning), 1u);
  EXPECT_EQ(holder.processes[10].suspendCount, 0);
  EXPECT_EQ(holder.processes[20].suspendCount, 1);
  EXPECT_EQ(settings.Get("HeldProcesses"), "");

  // Nothing recorded: the main program is not even looked for.
  const int before = asked;
  EXPECT_EQ(ResumeHoldsOfEndedMain(settings, holder, mainRunning), 0u);
  EXPECT_EQ(asked, before);
}

}  // namespace
}  // namespace corvane::rizaz
