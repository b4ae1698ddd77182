#include "process/held_processes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fakes/fake_process_holder.h"

namespace corvane {
namespace {

using Held = std::vector<HeldProcess>;

TEST(HeldProcessesText, RoundTripsAndHostileTextReadsWhatItCan) {
  const Held held{{4312, 133790112000000000ull}, {4294967295u, 18446744073709551615ull}, {8, 1}};
  EXPECT_EQ(HeldProcessesText(held), "4312:133790112000000000;4294967295:18446744073709551615;8:1");
  EXPECT_EQ(ParseHeldProcesses(HeldProcessesText(held)), held);
  EXPECT_EQ(HeldProcessesText({}), "");
  EXPECT_TRUE(ParseHeldProcesses("").empty());
  // Around the good entries: empty pieces, missing fields, signs, letters, ids or times out of range,
  // zeros that no held process has, a third field. Blanks around a field are forgiven, a repeat is
  // read once.
  EXPECT_EQ(ParseHeldProcesses(";;12;12:;:5;a:b;-1:5;+2:5;4294967296:1;1:18446744073709551616;0:5;7:0;"
                               "3:4:5; 8 : 9 ;8:9;10:11"),
            (Held{{8, 9}, {10, 11}}));
  // A long value stops at the cap, and random bytes do no harm.
  std::string many;
  for (int i = 1; i <= 1000; ++i) many += std::to_string(i) + ":1;";
  EXPECT_EQ(ParseHeldProcesses(many).size(), kMaxHeldProcesses);
  std::string junk;
  for (int i = 0; i < 100000; ++i) junk.push_back(static_cast<char>((i * 7919) % 256));
  EXPECT_LE(ParseHeldProcesses(junk).size(), kMaxHeldProcesses);
}

TEST(HeldProcessSet, HoldsEachIdOnceAndReleasesWhatWasRecorded) {
  HeldProcessSet set;
  EXPECT_TRUE(set.Record({10, 100}));
  EXPECT_TRUE(set.Record({20, 200}));
  // Held twice would need two resumes: the second record is refused, the first time stays.
  EXPECT_FALSE(set.Record({10, 999}));
  EXPECT_EQ(set.Text(), "10:100;20:200");
  EXPECT_TRUE(set.IsHeld(20));
  EXPECT_EQ(set.Release(10), (HeldProcess{10, 100}));
  EXPECT_FALSE(set.Release(10).has_value());
  EXPECT_FALSE(set.IsHeld(10));
  EXPECT_EQ(set.entries(), (Held{{20, 200}}));
  EXPECT_TRUE(set.Release(20).has_value());
  EXPECT_TRUE(set.empty());
  EXPECT_EQ(set.Text(), "");
  // Full: the next one is not held rather than held without a record.
  for (std::uint32_t id = 1; id <= kMaxHeldProcesses; ++id) ASSERT_TRUE(set.Record({id, 1}));
  EXPECT_FALSE(set.Record({100000, 1}));
}

TEST(HeldProcesses, OnlyTheSameProcessIsResumed) {
  testing::FakeProcessHolder holder;
  holder.processes[10] = {100, 1};  // still the held process
  holder.processes[20] = {555, 0};  // the id now belongs to a process created later
  holder.processes[40] = {400, 1};  // the held process, but no right to resume it
  holder.refuse.insert(40);
  // 30 has ended.
  const std::string recorded = HeldProcessesText({{10, 100}, {20, 200}, {30, 300}, {40, 400}});
  const auto creationTime = [&holder](std::uint32_t id) { return holder.ProcessCreationTime(id); };
  EXPECT_EQ(ProcessesToResume(ParseHeldProcesses(recorded), creationTime), (Held{{10, 100}, {40, 400}}));
  EXPECT_EQ(ResumeRecordedProcesses(recorded, holder), 1u);
  EXPECT_EQ(holder.processes[10].suspendCount, 0);
  EXPECT_EQ(holder.processes[20].suspendCount, 0);  // never touched
  EXPECT_EQ(ResumeRecordedProcesses("garbage", holder), 0u);
}

TEST(HoldRules, SystemProgramsOurOwnAndAllowAllAreNeverHeld) {
  HoldRules rules;
  rules.ownProcessId = 777;
  rules.folders = {"C:\\Windows\\system32", "C:\\Windows\\SysWOW64", "C:\\Windows", "C:\\Program Files\\Corvane"};
  const std::string user = "C:\\Users\\me\\Downloads\\";
  // An ordinary program, and look-alikes of protected or own names outside their folders.
  for (const std::string& path : {user + "setup.exe", user + "svchost.exe", user + "Corvane.exe",
                                  std::string("C:\\Windows\\Temp\\explorer.exe")}) {
    EXPECT_TRUE(MayHoldProgram(1234, path, true, rules)) << path;
  }
  // Protected names in their folders, our two programs in theirs, Corvane's own process, the
  // system's own ids.
  for (const std::string& path : {std::string("C:\\WINDOWS\\System32\\svchost.exe"), std::string("C:\\Windows\\explorer.exe"),
                                  std::string("C:\\Windows\\SysWOW64\\rundll32.exe"),
                                  std::string("C:\\Program Files\\Corvane\\rizaz.exe"),
                                  std::string("C:\\Program Files\\Corvane\\Corvane.exe")}) {
    EXPECT_FALSE(MayHoldProgram(1234, path, true, rules)) << path;
  }
  // Running before the watch last looked: never, whatever it is.
  EXPECT_FALSE(MayHoldProgram(1234, user + "setup.exe", false, rules));
  EXPECT_FALSE(MayHoldProgram(777, user + "anything.exe", true, rules));
  EXPECT_FALSE(MayHoldProgram(0, user + "a.exe", true, rules));
  EXPECT_FALSE(MayHoldProgram(4, user + "a.exe", true, rules));
  // The option off, or Allow All: nothing.
  HoldRules off = rules;
  off.holdWhileAsking = false;
  EXPECT_FALSE(MayHoldProgram(1234, user + "setup.exe", true, off));
  HoldRules allowAll = rules;
  allowAll.allowAll = true;
  EXPECT_FALSE(MayHoldProgram(1234, user + "setup.exe", true, allowAll));
}

}  // namespace
}  // namespace corvane
