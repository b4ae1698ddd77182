#include "watch/program_holds.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_process_holder.h"
#include "tests/fakes/memory_settings.h"

namespace corvane::watch {
namespace {

class ProgramHoldsTest : public ::testing::Test {
 protected:
  ProgramHoldsTest() {
    holder.processes[10] = {100};
    holder.processes[20] = {200};
  }
  std::string Record() const { return settings.Get("HeldProcesses"); }
  int Suspended(std::uint32_t id) { return holder.processes[id].suspendCount; }

  testing::MemorySettings settings;
  testing::FakeProcessHolder holder;
  ProgramHolds holds{settings, holder};
};

TEST_F(ProgramHoldsTest, AHoldIsRecordedWhileItLastsAndEveryEndResumesIt) {
  ASSERT_TRUE(holds.Hold(10));
  ASSERT_TRUE(holds.Hold(20));
  EXPECT_EQ(Record(), "10:100;20:200");
  EXPECT_EQ(Suspended(10), 1);
  // Held once only: one resume must be enough to free it.
  EXPECT_FALSE(holds.Hold(10));
  EXPECT_EQ(Suspended(10), 1);
  // Allow (or no answer): resumed and no longer recorded.
  EXPECT_TRUE(holds.Release(10));
  EXPECT_EQ(Suspended(10), 0);
  EXPECT_EQ(Record(), "20:200");
  EXPECT_FALSE(holds.Release(10));
  // Block: ended. One that survived its termination is resumed; one that is gone is just forgotten.
  holds.Ended(20);
  EXPECT_EQ(Suspended(20), 0);
  EXPECT_EQ(Record(), "");
  ASSERT_TRUE(holds.Hold(20));
  holder.processes.erase(20);
  holds.Ended(20);
  EXPECT_EQ(Record(), "");
  // Closing resumes everything still held.
  ASSERT_TRUE(holds.Hold(10));
  holds.ReleaseAll();
  EXPECT_EQ(Suspended(10), 0);
  EXPECT_EQ(Record(), "");
  EXPECT_TRUE(holds.held().empty());
}

TEST_F(ProgramHoldsTest, NothingIsHeldThatNoRecordCouldFree) {
  // Gone, or no right to suspend it: not held, and not recorded.
  EXPECT_FALSE(holds.Hold(30));
  holder.refuse.insert(20);
  EXPECT_FALSE(holds.Hold(20));
  EXPECT_EQ(Record(), "");
  EXPECT_FALSE(holds.IsHeld(20));
  // A record that cannot be written: the process is not suspended at all.
  settings.failWrites = true;
  EXPECT_FALSE(holds.Hold(10));
  EXPECT_EQ(Suspended(10), 0);
  settings.failWrites = false;
  // The id passes to another process just as it is suspended: that one is let go at once.
  holder.processes[10].replacedOnSuspend = 111;
  EXPECT_FALSE(holds.Hold(10));
  EXPECT_EQ(holder.processes[10].creationTime, 111u);
  EXPECT_EQ(Suspended(10), 0);
  EXPECT_EQ(Record(), "");
}

TEST_F(ProgramHoldsTest, HoldsLeftByAKilledRunAreResumedOnlyForTheSameProcesses) {
  ASSERT_TRUE(holds.Hold(10));
  ASSERT_TRUE(holds.Hold(20));
  // Corvane is killed here. Process 20 ends meanwhile and its id goes to a newer process, itself
  // suspended by someone else.
  holder.processes[20] = {999, 1};
  // rizaz (or the next start) reads the record.
  EXPECT_EQ(ResumeRecordedProcesses(settings.Get("HeldProcesses"), holder), 1u);
  EXPECT_EQ(Suspended(10), 0);
  EXPECT_EQ(Suspended(20), 1);
  // The next start does the same and clears the record.
  holder.processes[10].suspendCount = 1;
  ProgramHolds nextRun{settings, holder};
  EXPECT_EQ(nextRun.ResumeLeftOver(), 1u);
  EXPECT_EQ(Suspended(10), 0);
  EXPECT_EQ(Record(), "");
}

}  // namespace
}  // namespace corvane::watch
