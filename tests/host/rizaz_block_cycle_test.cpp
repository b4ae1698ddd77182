#include "rizaz/block_cycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "store/cipher.h"
#include "store/list_files.h"
#include "tests/fakes/fake_process_table.h"
#include "tests/fakes/memory_settings.h"

namespace corvane::rizaz {
namespace {

// Termination attempts, tones and popups in the order they happened.
using Log = std::vector<std::string>;

class FakeListFile final : public ListFileReader {
 public:
  ListRead Read(std::size_t maxBytes, std::string& out) override {
    ++reads;
    lastLimit = maxBytes;
    if (failure) failure();
    if (locked) return ListRead::Failed;
    // limit stands in for the real limit, which is too large to fill in a test.
    const std::size_t cap = limit ? *limit : maxBytes;
    out = text.substr(0, cap);
    return text.size() > cap ? ListRead::Capped : ListRead::Whole;
  }
  void SetRecords(std::initializer_list<std::string_view> plains) {
    text.clear();
    for (std::string_view plain : plains) text += EncryptText(plain) + "\r\n";
  }
  std::string text;
  bool locked = false;
  std::optional<std::size_t> limit;
  std::function<void()> failure;  // may throw, as an allocation can
  std::size_t lastLimit = 0;
  int reads = 0;
};

class FakeNotifier final : public BlockNotifier {
 public:
  explicit FakeNotifier(testing::FakeProcessTable& processes) : processes_(processes) {}
  void Beep() override { Record("beep"); }
  void ShowBlocked(const std::string& name) override { Record("show " + name); }

  // Everything so far, the termination attempts merged in where they happened.
  const Log& Events() {
    Record({});
    return log_;
  }
  void Clear() {
    Record({});
    log_.clear();
  }

 private:
  void Record(std::string event) {
    const auto& attempts = processes_.terminationAttempts;
    for (; seenAttempts_ < attempts.size(); ++seenAttempts_) {
      log_.push_back("terminate " + std::to_string(attempts[seenAttempts_].first) + " code " +
                     std::to_string(attempts[seenAttempts_].second));
    }
    if (!event.empty()) log_.push_back(std::move(event));
  }
  testing::FakeProcessTable& processes_;
  std::size_t seenAttempts_ = 0;
  Log log_;
};

class BlockCycleTest : public ::testing::Test {
 protected:
  testing::FakeProcessTable processes;
  testing::MemorySettings settings;
  FakeListFile file;
  FakeNotifier notifier{processes};
  BlockCycle cycle{processes, settings, file, notifier};
};

TEST_F(BlockCycleTest, StartRaisesReadThenLoads) {
  // Whatever "Read" held before, the start loads the file and leaves the flag lowered.
  settings.values["Read"] = "False";
  file.SetRecords({"C:\\a.exe^^^^a.exe"});
  cycle.Start();
  EXPECT_EQ(file.reads, 1);
  EXPECT_EQ(settings.Get("Read"), "False");
  ASSERT_EQ(cycle.list().size(), 1u);
  // An empty (just created) file gives an empty list.
  file.text.clear();
  settings.values["Read"] = "True";
  EXPECT_TRUE(cycle.LoadBlockList());
  EXPECT_TRUE(cycle.list().empty());
}

TEST_F(BlockCycleTest, LoadsOnlyWhenSignalled) {
  file.SetRecords({"p^^^^a.exe"});
  // "Read" absent counts as set.
  EXPECT_TRUE(cycle.LoadBlockList());
  EXPECT_EQ(settings.Get("Read"), "False");
  // Lowered: no file access at all.
  file.SetRecords({"p^^^^b.exe"});
  EXPECT_FALSE(cycle.LoadBlockList());
  EXPECT_EQ(file.reads, 1);
  EXPECT_EQ(cycle.list()[0].name, "a.exe");
  // A value that is no Boolean reads as the default: set.
  settings.values["Read"] = "yes";
  EXPECT_TRUE(cycle.LoadBlockList());
  EXPECT_EQ(cycle.list()[0].name, "b.exe");
}

TEST_F(BlockCycleTest, SupportFalseEndsBeforeAnything) {
  file.SetRecords({"p^^^^a.exe"});
  cycle.Start();
  processes.Add(10, "a.exe");
  settings.values["Support"] = "False";
  settings.values["Read"] = "True";
  const int reads = file.reads;
  EXPECT_FALSE(cycle.Tick());
  EXPECT_TRUE(notifier.Events().empty());
  EXPECT_EQ(processes.snapshotCount, 0);
  EXPECT_EQ(file.reads, reads);
  EXPECT_EQ(settings.Get("Read"), "True");
  // Absent or not a Boolean: the default, keep running.
  settings.values.erase("Support");
  EXPECT_TRUE(cycle.Tick());
  settings.values["Support"] = "0";
  EXPECT_TRUE(cycle.Tick());
}

TEST_F(BlockCycleTest, AllowAllBlocksNothingAndDefersTheReload) {
  file.SetRecords({"p^^^^a.exe"});
  cycle.Start();
  processes.Add(10, "a.exe");
  processes.Add(11, "b.exe");
  settings.values["OptAllowAll"] = "True";
  file.SetRecords({"p^^^^b.exe"});
  settings.values["Read"] = "True";
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(cycle.Tick());
  EXPECT_TRUE(notifier.Events().empty());
  EXPECT_EQ(processes.snapshotCount, 0);
  EXPECT_EQ(file.reads, 1);
  EXPECT_EQ(settings.Get("Read"), "True");
  EXPECT_EQ(cycle.list()[0].name, "a.exe");
  // Back to Normal: the first tick kills with the old list, reloads, kills with the new one.
  settings.values["OptAllowAll"] = "False";
  EXPECT_TRUE(cycle.Tick());
  EXPECT_EQ(notifier.Events(), (Log{"terminate 10 code 0", "show a.exe", "terminate 11 code 0", "show b.exe"}));
  EXPECT_EQ(settings.Get("Read"), "False");
  EXPECT_EQ(processes.snapshotCount, 2);
}

TEST_F(BlockCycleTest, OneSnapshotPerTickUnlessTheListWasReloaded) {
  file.SetRecords({"p^^^^a.exe"});
  cycle.Start();
  processes.Add(10, "x.exe");
  cycle.Tick();
  cycle.Tick();
  EXPECT_EQ(processes.snapshotCount, 2);
  // An empty list needs no snapshot at all.
  file.text.clear();
  settings.values["Read"] = "True";
  cycle.Tick();  // kills with the old list, then loads the empty one
  const int before = processes.snapshotCount;
  cycle.Tick();
  EXPECT_EQ(processes.snapshotCount, before);
  // A failed snapshot blocks nothing.
  file.SetRecords({"p^^^^x.exe"});
  settings.values["Read"] = "True";
  processes.snapshotFails = true;
  cycle.Tick();
  EXPECT_TRUE(notifier.Events().empty());
}

TEST_F(BlockCycleTest, TwoBlockedProgramsInOnePass) {
  settings.values["ChkBeep"] = "1";
  file.SetRecords({"C:\\one\\first.exe^^^^first.exe", "C:\\two\\second.exe^^^^second.exe"});
  cycle.Start();
  processes.Add(4, "second.exe");
  processes.Add(5, "other.exe");
  processes.Add(6, "FIRST.EXE");
  EXPECT_EQ(cycle.KillBlockedPrograms(), 2);
  // One tone per program; the popup ends up with the name of the last one.
  EXPECT_EQ(notifier.Events(), (Log{"terminate 4 code 0", "beep", "show second.exe", "terminate 6 code 0", "beep", "show first.exe"}));
  EXPECT_EQ(processes.RunningIds(), (std::vector<std::uint32_t>{5}));
}

TEST_F(BlockCycleTest, MatchesByFileNameOnlyTrimmedAndInAnyLetterCase) {
  // Listed with blanks before it and another letter case; the popup shows the name as stored.
  // (The cipher trims the record's ends, so blanks can only survive in front of the name.)
  file.SetRecords({"C:\\p\\Tool.exe^^^^  Tool.EXE", "p^^^^my app.exe"});
  cycle.Start();
  processes.Add(1, "tool.exe");
  processes.Add(2, "C:\\elsewhere\\TOOL.exe");  // a full path in the snapshot: its file name counts
  processes.Add(3, " tool.exe ");               // blanks around the running name: the same program
  processes.Add(4, "My App.exe");
  processes.Add(5, "myapp.exe");
  processes.Add(6, std::string("tool.exe\0junk", 13));  // a NUL-padded name ends at the NUL
  processes.Add(7, "\ttool.exe");                         // only blanks are trimmed
  EXPECT_EQ(cycle.KillBlockedPrograms(), 5);
  EXPECT_EQ(notifier.Events(),
            (Log{"terminate 1 code 0", "show   Tool.EXE", "terminate 2 code 0", "show   Tool.EXE", "terminate 3 code 0",
                 "show   Tool.EXE", "terminate 4 code 0", "show my app.exe", "terminate 6 code 0", "show   Tool.EXE"}));
}

TEST_F(BlockCycleTest, ACaretInAPathOrNameEndsOnlyTheProgramThatWasBlocked) {
  // Records as the main program writes them for programs whose folder or file name holds the
  // separator and another program's name.
  file.SetRecords({"C:\\Downloads\\^^^^Corvane.exe^^^^\\setup.exe^^^^setup.exe",
                   "C:\\Games\\x^^^^explorer.exe^^^^x^^^^explorer.exe"});
  cycle.Start();
  processes.Add(1, "C:\\Corvane\\Corvane.exe");
  processes.Add(2, "C:\\Windows\\explorer.exe");
  processes.Add(3, "C:\\Downloads\\^^^^Corvane.exe^^^^\\setup.exe");
  processes.Add(4, "C:\\Games\\x^^^^explorer.exe");
  EXPECT_EQ(cycle.KillBlockedPrograms(), 2);
  EXPECT_EQ(processes.RunningIds(), (std::vector<std::uint32_t>{1, 2}));
  // A record that cannot be split with certainty blocks nothing at all.
  file.SetRecords({"C:\\a^^^^explorer.exe^^^^b.exe"});
  settings.values["Read"] = "True";
  ASSERT_TRUE(cycle.LoadBlockList());
  EXPECT_TRUE(cycle.list().empty());
  EXPECT_EQ(cycle.KillBlockedPrograms(), 0);
}

TEST_F(BlockCycleTest, UnicodeNamesAreBlockedAsWritten) {
  // "Café.exe" and a name with a soft hyphen: neither may become another program's name.
  file.SetRecords({"D:\\\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE\\Caf\xC3\xA9.exe^^^^Caf\xC3\xA9.exe",
                   "C:\\t\\explorer\xC2\xAD.exe^^^^explorer\xC2\xAD.exe"});
  cycle.Start();
  processes.Add(1, "Caf\xC3\xA9.exe");
  processes.Add(2, "Caf.exe");
  processes.Add(3, "explorer.exe");
  processes.Add(4, "explorer\xC2\xAD.exe");
  EXPECT_EQ(cycle.KillBlockedPrograms(), 2);
  EXPECT_EQ(processes.RunningIds(), (std::vector<std::uint32_t>{2, 3}));
  EXPECT_EQ(cycle.list()[0].path, "D:\\\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE\\Caf\xC3\xA9.exe");
}

TEST_F(BlockCycleTest, AFileBeyondTheReadingLimitLoadsItsCompleteLines) {
  // The main program's limit is asked for; a smaller one stands in for it here.
  const std::string first = EncryptText("p^^^^first.exe") + "\r\n";
  const std::string second = EncryptText("p^^^^second.exe") + "\r\n";
  file.text = first + second + std::string(100, 'q');
  file.limit = first.size() + second.size() - 3;  // the cut falls inside the second line
  cycle.Start();
  EXPECT_EQ(file.lastLimit, list_files::kMaxFileBytes);
  EXPECT_EQ(cycle.list(), (BlockList{{"p", "first.exe"}}));
  // A cut right after a line end keeps that line; a file within the limit keeps its last line even
  // without a line end.
  file.limit = first.size() + second.size();
  settings.values["Read"] = "True";
  ASSERT_TRUE(cycle.LoadBlockList());
  EXPECT_EQ(cycle.list().size(), 2u);
  file.limit.reset();
  file.text = first + EncryptText("p^^^^third.exe");
  settings.values["Read"] = "True";
  ASSERT_TRUE(cycle.LoadBlockList());
  EXPECT_EQ(cycle.list(), (BlockList{{"p", "first.exe"}, {"p", "third.exe"}}));
  // Cut with no line end at all: nothing of it counts.
  file.text = std::string(50, 'q');
  file.limit = 10;
  settings.values["Read"] = "True";
  ASSERT_TRUE(cycle.LoadBlockList());
  EXPECT_TRUE(cycle.list().empty());
}

TEST_F(BlockCycleTest, ALoadThatRunsOutOfMemoryKeepsTheListAndTheBlockerRunning) {
  file.SetRecords({"p^^^^a.exe"});
  cycle.Start();
  processes.Add(1, "a.exe");
  file.SetRecords({"p^^^^b.exe"});
  file.failure = [] { throw std::bad_alloc(); };
  settings.values["Read"] = "True";
  EXPECT_TRUE(cycle.Tick());
  EXPECT_EQ(cycle.list(), (BlockList{{"p", "a.exe"}}));
  EXPECT_EQ(notifier.Events(), (Log{"terminate 1 code 0", "show a.exe"}));
  // Not retried at every tick; the next change of the file loads it.
  const int reads = file.reads;
  EXPECT_TRUE(cycle.Tick());
  EXPECT_EQ(file.reads, reads);
  file.failure = nullptr;
  settings.values["Read"] = "True";
  EXPECT_TRUE(cycle.Tick());
  EXPECT_EQ(cycle.list(), (BlockList{{"p", "b.exe"}}));
}

TEST_F(BlockCycleTest, BeepAndPopupFollowTheirSettings) {
  struct Case {
    const char* beep;  // nullptr: absent
    const char* dontShow;
    bool beeps;
    bool shows;
  };
  const Case cases[] = {
      {nullptr, nullptr, false, true},  // first run: popup, no tone
      {"1", "0", true, true},
      {"0", "1", false, false},         // blocked silently
      {"1", "1", true, false},
      {" 1 ", "2", true, false},        // only 0 shows the popup
      {"2", "junk", false, true},       // only 1 beeps; junk reads as the default 0
  };
  file.SetRecords({"p^^^^a.exe"});
  cycle.Start();
  for (const Case& c : cases) {
    settings.values.erase("ChkBeep");
    settings.values.erase("ChkDontShow");
    if (c.beep) settings.values["ChkBeep"] = c.beep;
    if (c.dontShow) settings.values["ChkDontShow"] = c.dontShow;
    notifier.Clear();
    processes.Add(7, "a.exe");
    cycle.KillBlockedPrograms();
    Log expected{"terminate 7 code 0"};
    if (c.beeps) expected.push_back("beep");
    if (c.shows) expected.push_back("show a.exe");
    EXPECT_EQ(notifier.Events(), expected) << (c.beep ? c.beep : "-") << " / " << (c.dontShow ? c.dontShow : "-");
  }
}

TEST_F(BlockCycleTest, RefusedTerminationStillBeepsAndShowsAndMatchesAgain) {
  settings.values["ChkBeep"] = "1";
  file.SetRecords({"p^^^^guarded.exe"});
  cycle.Start();
  processes.Add(9, "guarded.exe").refuseTermination = true;
  cycle.Tick();
  cycle.Tick();
  EXPECT_EQ(notifier.Events(), (Log{"terminate 9 code 0", "beep", "show guarded.exe", "terminate 9 code 0", "beep",
                      "show guarded.exe"}));
}

TEST_F(BlockCycleTest, AProcessThatHasAlreadyEndedIsLeftAlone) {
  settings.values["ChkBeep"] = "1";
  file.SetRecords({"p^^^^a.exe"});
  cycle.Start();
  processes.Add(3, "a.exe").waitsBeforeExit = 0;  // still listed, but already signalled as ended
  processes.Add(4, "a.exe");
  EXPECT_EQ(cycle.KillBlockedPrograms(), 1);
  EXPECT_EQ(notifier.Events(), (Log{"terminate 4 code 0", "beep", "show a.exe"}));
}

TEST_F(BlockCycleTest, UnreadableFileKeepsTheListAndRetries) {
  file.SetRecords({"p^^^^a.exe"});
  cycle.Start();
  processes.Add(1, "a.exe");
  processes.Add(2, "b.exe");
  // The main program changes the file, but it is locked when the blocker reads it.
  file.SetRecords({"p^^^^b.exe"});
  file.locked = true;
  settings.values["Read"] = "True";
  cycle.Tick();
  EXPECT_EQ(settings.Get("Read"), "False");
  EXPECT_TRUE(cycle.reloadPending());
  EXPECT_EQ(cycle.list()[0].name, "a.exe");  // still blocking with what it had
  EXPECT_EQ(notifier.Events(), (Log{"terminate 1 code 0", "show a.exe"}));
  processes.Add(3, "a.exe");
  cycle.Tick();
  EXPECT_EQ(notifier.Events().back(), "show a.exe");
  // Unlocked: the next tick reads it without waiting for another change.
  file.locked = false;
  notifier.Clear();
  cycle.Tick();
  EXPECT_FALSE(cycle.reloadPending());
  EXPECT_EQ(notifier.Events(), (Log{"terminate 2 code 0", "show b.exe"}));
  const int reads = file.reads;
  cycle.Tick();
  EXPECT_EQ(file.reads, reads);
}

}  // namespace
}  // namespace corvane::rizaz
