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
  testing::FakeProcessHolder leftovers;
  ProgramHolds holds{settings, holder, leftovers};
};

TEST_F(ProgramHoldsTest, EveryEndOfAHoldLetsItGoAndNothingIsWrittenDown) {
  ASSERT_TRUE(holds.Hold(10));
  ASSERT_TRUE(holds.Hold(20));
  // The holder lets go by itself when Corvane ends: no record to leave behind.
  EXPECT_EQ(Record(), "");
  EXPECT_EQ(Suspended(10), 1);
  // Held once only: one release must be enough to free it.
  EXPECT_FALSE(holds.Hold(10));
  EXPECT_EQ(Suspended(10), 1);
  EXPECT_TRUE(holds.Release(10));
  EXPECT_EQ(Suspended(10), 0);
  EXPECT_FALSE(holds.Release(10));
  // Block: ended, and let go whether or not it survived.
  holds.Ended(20);
  EXPECT_EQ(Suspended(20), 0);
  // Closing lets go of everything still held.
  ASSERT_TRUE(holds.Hold(10));
  holds.ReleaseAll();
  EXPECT_EQ(Suspended(10), 0);
  EXPECT_TRUE(holds.held().empty());
}

TEST_F(ProgramHoldsTest, NothingIsHeldThatCannotBeOrIsAnotherProcess) {
  // Gone, or the holder refuses (another debugger, no right).
  EXPECT_FALSE(holds.Hold(30));
  holder.refuse.insert(20);
  EXPECT_FALSE(holds.Hold(20));
  EXPECT_FALSE(holds.IsHeld(20));
  // The id passes to another process just as it is held: that one is let go at once.
  holder.processes[10].replacedOnSuspend = 111;
  EXPECT_FALSE(holds.Hold(10));
  EXPECT_EQ(holder.processes[10].creationTime, 111u);
  EXPECT_EQ(Suspended(10), 0);
}

TEST_F(ProgramHoldsTest, SuspensionsAnEarlierVersionRecordedAreResumedOnlyForTheSameProcesses) {
  // An earlier version suspended 10 and 20, and was killed. 20 ended meanwhile and its id went to a
  // newer process, itself suspended by someone else.
  leftovers.processes[10] = {100, 1};
  leftovers.processes[20] = {999, 1};
  settings.WriteSetting("HeldProcesses", "10:100;20:200");
  EXPECT_EQ(holds.ResumeLeftOver(), 1u);
  EXPECT_EQ(leftovers.processes[10].suspendCount, 0);
  EXPECT_EQ(leftovers.processes[20].suspendCount, 1);
  EXPECT_EQ(Record(), "");
}

}  // namespace
}  // namespace corvane::watch
