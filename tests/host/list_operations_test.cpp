#include "ui/list_operations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/text.h"
#include "store/cipher.h"
#include "tests/fakes/fake_dialogs.h"
#include "tests/fakes/fake_file_chooser.h"
#include "tests/fakes/fake_list_operations_host.h"
#include "tests/fakes/program_fakes.h"
#include "watch/watch_cycle.h"

namespace corvane::ui {
namespace {

using C = PanelCommand;

constexpr const char* kAllowFile = "C:\\Corvane\\midmo.ocx";
constexpr const char* kBlockFile = "C:\\Corvane\\cekdn.ocx";
constexpr const char* kTrashFile = "C:\\Corvane\\hovsfd.dll";

// The confirmation dialog, with a moment while it is open in which the watch timer may tick.
class TickingDialogs final : public gui::Dialogs {
 public:
  bool Confirm(std::string_view message) override {
    if (whileOpen) whileOpen();
    return script.Confirm(message);
  }
  void Inform(std::string_view message) override {
    log->push_back("inform");
    script.Inform(message);
  }
  testing::FakeDialogs script;
  std::function<void()> whileOpen;
  std::vector<std::string>* log = nullptr;
};

class ListOperationsTest : public ::testing::Test, protected testing::ProgramFakes {
 protected:
  ListOperationsTest() {
    dialogs.log = &host.log;
    // As the main window's controller does: the panels follow every change of the lists.
    lists.AddListener([this](ListSet) { host.ListsChanged(); });
  }

  void Run(std::uint32_t id, const std::string& path, bool unjudged = false) {
    running().Add({GetName(path), path, unjudged});
    processes.Add(id, GetName(path), path);
  }
  void Allow(const std::string& path) { lists.Allow(GetName(path), path); }
  void Block(const std::string& path) { lists.Block(GetName(path), path); }
  void Trash(const std::string& path) { lists.AddToTrashJar(path); }
  // From here on, the lists are as a start-up found them.
  void SaveLists() {
    settings.values.erase("Read");
    files.log.clear();
  }
  // The user selects the row of this entry.
  void Select(Panel panel, std::size_t row) {
    host.ListsChanged();
    panels.SetSelected(panel, row, true);
  }
  std::vector<std::string> Records(const char* file) const {
    std::vector<std::string> records;
    for (const std::string& line : SplitAt(files.Content(file), "\r\n")) {
      if (!line.empty()) records.push_back(DecryptText(line));
    }
    return records;
  }
  bool ReadRaised() const { return settings.Get("Read") == "True"; }
  // Nothing was written to any list file.
  bool FilesUntouched() const { return files.log.empty(); }

  static std::string GetName(const std::string& path) { return path.substr(path.rfind('\\') + 1); }
  watch::RunningProgramList& running() { return watch.running(); }

  watch::WatchCycle watch{processes, settings, speaker, lists, files, true};
  ListPanelsModel panels{{lists.allowList(), lists.blockList(), lists.trashJar(), watch.running()}};
  testing::FakeListOperationsHost host{panels};
  TickingDialogs dialogs;
  testing::FakeFileChooser chooser;
  ListOperations ops{lists, watch.running(), panels, dialogs, chooser, host};
};

// ---- Selection, answers and protected programs -----------------------------------------------

TEST_F(ListOperationsTest, WithoutASelectionNothingChangesAndTheCounterStillShowsTheCount) {
  Run(1, "C:\\apps\\one.exe");
  Allow("C:\\apps\\ok.exe");
  Block("C:\\apps\\bad.exe");
  Block("C:\\apps\\worse.exe");
  Trash("C:\\old.txt");
  SaveLists();
  host.ListsChanged();  // rows shown, none selected
  ops.Run(C::RunningToBlockList);
  ops.Run(C::RunningToTrashJar);
  EXPECT_EQ(host.counters[Panel::Running], 1u);
  ops.Run(C::AllowedToBlockList);
  ops.Run(C::AllowedToTrashJar);
  ops.Run(C::RemoveAllowed);
  EXPECT_EQ(host.counters[Panel::Allowed], 1u);
  ops.Run(C::BlockedToAllowList);
  ops.Run(C::BlockedToTrashJar);
  ops.Run(C::RemoveBlocked);
  EXPECT_EQ(host.counters[Panel::Blocked], 2u);
  ops.Run(C::RemoveFromTrashJar);
  EXPECT_EQ(host.counters[Panel::TrashJar], 1u);
  ops.Run(C::RunningDetails);
  EXPECT_TRUE(dialogs.script.shown.empty());
  EXPECT_TRUE(FilesUntouched());
  EXPECT_FALSE(settings.Has("Read"));
  EXPECT_EQ(running().size(), 1u);
  EXPECT_EQ(lists.allowList().size(), 1u);
  EXPECT_EQ(lists.blockList().size(), 2u);
  EXPECT_EQ(host.emptyings, 0);
  EXPECT_TRUE(host.details.empty());
  // Every operation began by putting its panel's buttons back to normal.
  EXPECT_GE(host.resets[Panel::Blocked], 3);
}

TEST_F(ListOperationsTest, CancelOrAQuestionEndedByClosingLeavesListsAndFilesAsTheyWere) {
  Run(1, "C:\\apps\\one.exe");
  Allow("C:\\apps\\ok.exe");
  Block("C:\\apps\\bad.exe");
  Trash("C:\\old.txt");
  SaveLists();
  Select(Panel::Running, 0);
  Select(Panel::Allowed, 0);
  Select(Panel::Blocked, 0);
  Select(Panel::TrashJar, 0);
  const std::vector<std::function<void()>> operations = {
      [&] { ops.Run(C::RunningToBlockList); }, [&] { ops.Run(C::RunningToTrashJar); }, [&] { ops.Run(C::AllowedToBlockList); },
      [&] { ops.Run(C::AllowedToTrashJar); },  [&] { ops.Run(C::RemoveAllowed); },     [&] { ops.Run(C::BlockedToAllowList); },
      [&] { ops.Run(C::BlockedToTrashJar); },  [&] { ops.Run(C::RemoveBlocked); },     [&] { ops.Run(C::RemoveFromTrashJar); },
  };
  // Cancel.
  dialogs.script.unscriptedAnswer = false;
  for (const auto& operation : operations) operation();
  EXPECT_EQ(dialogs.script.confirmations.size(), operations.size());
  // The program closing while the question is open: whatever the dialog gives back, it is no Ok.
  dialogs.script.unscriptedAnswer = true;
  dialogs.whileOpen = [&] { host.closing = true; };
  for (const auto& operation : operations) {
    host.closing = false;
    operation();
  }
  EXPECT_EQ(dialogs.script.confirmations.size(), 2 * operations.size());
  EXPECT_TRUE(dialogs.script.informations.empty());
  EXPECT_TRUE(FilesUntouched());
  EXPECT_FALSE(settings.Has("Read"));
  EXPECT_EQ(running().size(), 1u);
  EXPECT_EQ(lists.allowList().size(), 1u);
  EXPECT_EQ(lists.blockList().size(), 1u);
  EXPECT_EQ(lists.trashJar().size(), 1u);
  EXPECT_TRUE(host.terminated.empty());
  EXPECT_EQ(host.emptyings, 0);
  EXPECT_EQ(host.counters[Panel::Blocked], 1u);
  // Once closing, nothing starts at all.
  ops.Run(C::ClearBlocked);
  ops.Run(C::AddToTrashJar);
  EXPECT_EQ(lists.blockList().size(), 1u);
  EXPECT_TRUE(chooser.titles.empty());
}

TEST_F(ListOperationsTest, CorvanesOwnProgramsAreRefusedSilentlyWithoutEvenTheCounter) {
  Run(1, "C:\\Corvane\\rizaz.exe");
  Allow("C:\\Corvane\\Corvane.exe");
  Block(" c:\\corvane\\RIZAZ.EXE ");
  Block("C:\\x\\old-corvane.exe.bak");  // the name anywhere in the path counts
  SaveLists();
  Select(Panel::Running, 0);
  Select(Panel::Allowed, 0);
  Select(Panel::Blocked, 0);
  dialogs.script.unscriptedAnswer = true;
  ops.Run(C::RunningToBlockList);
  ops.Run(C::RunningToTrashJar);
  ops.Run(C::AllowedToBlockList);
  ops.Run(C::AllowedToTrashJar);
  ops.Run(C::BlockedToTrashJar);
  panels.SetSelected(Panel::Blocked, 0, false);
  Select(Panel::Blocked, 1);
  ops.Run(C::BlockedToTrashJar);
  chooser.answers = {"C:\\Corvane\\Rizaz.exe"};
  ops.Run(C::AddToTrashJar);
  EXPECT_TRUE(dialogs.script.shown.empty());
  EXPECT_TRUE(host.counters.empty());
  EXPECT_TRUE(FilesUntouched());
  EXPECT_TRUE(lists.trashJar().empty());
  EXPECT_EQ(running().size(), 1u);
  // Moving the blocker back to the allow list, or removing it, is not refused.
  panels.SetSelected(Panel::Blocked, 1, false);
  Select(Panel::Blocked, 0);
  ops.Run(C::BlockedToAllowList);
  EXPECT_EQ(lists.allowList().size(), 2u);
  EXPECT_TRUE(IsProtectedPath("d:\\tools\\CORVANE.exe"));
  EXPECT_FALSE(IsProtectedPath("C:\\Corvane\\corvane.ex"));
}

TEST_F(ListOperationsTest, QuestionsAndMessagesReadExactly) {
  Run(1, "C:\\apps\\one.exe");
  Run(2, "C:\\Windows\\system32\\svchost.exe");
  Allow("C:\\apps\\ok.exe");
  Allow("C:\\Windows\\explorer.exe");
  Block("C:\\apps\\bad.exe");
  Trash("C:\\old.txt");
  SaveLists();
  dialogs.script.unscriptedAnswer = false;
  const auto ask = [&](Panel panel, std::size_t row, const std::function<void()>& operation) {
    host.ListsChanged();
    for (std::size_t r = 0; r < panels.RowCount(panel); ++r) panels.SetSelected(panel, r, r == row);
    dialogs.script.confirmations.clear();
    operation();
    return dialogs.script.confirmations.empty() ? std::string() : dialogs.script.confirmations.back();
  };
  EXPECT_EQ(ask(Panel::Running, 0, [&] { ops.Run(C::RunningToBlockList); }),
            "Are you sure you want to move \"one.exe\" to Block List?");
  EXPECT_EQ(ask(Panel::Running, 1, [&] { ops.Run(C::RunningToBlockList); }),
            "This file is a Windows Process and should Not be BLOCKED. Are you sure you want to move "
            "\"svchost.exe\" to Block List?");
  EXPECT_EQ(ask(Panel::Running, 0, [&] { ops.Run(C::RunningToTrashJar); }),
            "Are you sure you want to move \"one.exe\" to Trash Jar?");
  EXPECT_EQ(ask(Panel::Running, 1, [&] { ops.Run(C::RunningToTrashJar); }),
            "This file is a Windows Process and should Not be moved to Trash Jar. Are you sure you want to move "
            "\"svchost.exe\" to Trash Jar?");
  // From the allow list the plain question has a blank before its question mark; the warning not.
  EXPECT_EQ(ask(Panel::Allowed, 0, [&] { ops.Run(C::AllowedToBlockList); }),
            "Are you sure you want to move \"ok.exe\" to Block List ?");
  EXPECT_EQ(ask(Panel::Allowed, 1, [&] { ops.Run(C::AllowedToBlockList); }),
            "This file is a Windows Process and should Not be BLOCKED. Are you sure you want to move "
            "\"explorer.exe\" to Block List?");
  // Moves from the lists into the Trash Jar warn about nothing.
  EXPECT_EQ(ask(Panel::Allowed, 1, [&] { ops.Run(C::AllowedToTrashJar); }),
            "Are you sure you want to move \"explorer.exe\" to Trash Jar?");
  EXPECT_EQ(ask(Panel::Allowed, 0, [&] { ops.Run(C::RemoveAllowed); }),
            "Are you sure you want to remove \"ok.exe\" from the list?");
  EXPECT_EQ(ask(Panel::Blocked, 0, [&] { ops.Run(C::BlockedToAllowList); }),
            "Are you sure you want to move \"bad.exe\" to Allow list?");
  EXPECT_EQ(ask(Panel::Blocked, 0, [&] { ops.Run(C::BlockedToTrashJar); }),
            "Are you sure you want to move \"bad.exe\" to Trash Jar?");
  EXPECT_EQ(ask(Panel::Blocked, 0, [&] { ops.Run(C::RemoveBlocked); }),
            "Are you sure you want to remove \"bad.exe\" from the list?");
  EXPECT_EQ(ask(Panel::TrashJar, 0, [&] { ops.Run(C::RemoveFromTrashJar); }),
            "Are you sure you want to remove \"C:\\old.txt\" from the list?");

  // The information texts begin with a blank.
  dialogs.script.unscriptedAnswer = true;
  dialogs.script.informations.clear();
  ask(Panel::Allowed, 1, [&] { ops.Run(C::AllowedToTrashJar); });
  ask(Panel::Allowed, 0, [&] { ops.Run(C::RemoveAllowed); });
  ops.Run(C::ClearAllowed);
  ops.Run(C::ClearBlocked);
  ops.Run(C::ClearTrashJar);
  chooser.answers = {"C:\\Docs\\Note.txt", "c:\\docs\\note.TXT"};
  ops.Run(C::AddToTrashJar);
  ops.Run(C::AddToTrashJar);
  EXPECT_EQ(dialogs.script.informations,
            (std::vector<std::string>{" Selected file has been moved to Trash Jar.",
                                      " Selected file has been removed from the list.",
                                      " Allowed list has been Cleared.", " Block List has been Cleared.",
                                      " Trash Jar has been Cleared.",
                                      "c:\\docs\\note.TXT already exists in the list. Please choose another file."}));
}

// ---- Running panel ---------------------------------------------------------------------------

TEST_F(ListOperationsTest, RunningToBlockListEndsTheProgramAppendsItAndReloadsTheBlocker) {
  Run(1, "C:\\apps\\one.exe");
  Run(2, "C:\\apps\\two.exe");
  Block("C:\\apps\\bad.exe");
  SaveLists();
  Select(Panel::Running, 1);
  dialogs.script.answers = {true};
  ops.Run(C::RunningToBlockList);
  EXPECT_EQ(host.terminated, (std::vector<std::string>{"two.exe"}));
  // Appended, not rewritten: the earlier record stays first.
  EXPECT_EQ(files.log, (std::vector<std::string>{"append C:\\Corvane\\cekdn.ocx"}));
  EXPECT_EQ(Records(kBlockFile),
            (std::vector<std::string>{"C:\\apps\\bad.exe^^^^bad.exe", "C:\\apps\\two.exe^^^^two.exe"}));
  EXPECT_EQ(lists.blockList().back(), (ProgramListEntry{"two.exe", "C:\\apps\\two.exe"}));
  EXPECT_TRUE(ReadRaised());
  ASSERT_EQ(running().size(), 1u);
  EXPECT_EQ(running().entries()[0].name, "one.exe");
  EXPECT_EQ(host.counters[Panel::Running], 1u);
  // The rows followed: the blocked panel shows the new entry.
  EXPECT_EQ(panels.RowCount(Panel::Blocked), 2u);
  EXPECT_TRUE(dialogs.script.informations.empty());
}

TEST_F(ListOperationsTest, RunningToTrashJarEndsOnlyTheProgramFromThatFileDeletesItAndDropsItsOwnAllowance) {
  host.emptyTrashJar = [&] { watch.EmptyTrashJar(); };
  Run(1, "C:\\apps\\tool.exe");
  processes.Add(2, "tool.exe", "D:\\other\\tool.exe");  // the same name elsewhere: another program
  files.Put("C:\\apps\\tool.exe", "MZ");
  files.Put("D:\\other\\tool.exe", "MZ");
  Allow("C:\\apps\\keep.exe");
  Allow("D:\\other\\TOOL.EXE");  // the other program's allowance stays
  Allow(" c:\\APPS\\tool.exe");
  SaveLists();
  Select(Panel::Running, 0);
  dialogs.script.answers = {true};
  ops.Run(C::RunningToTrashJar);
  EXPECT_EQ(host.emptyings, 1);
  EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{1}));
  EXPECT_TRUE(processes.IsRunning(2));
  EXPECT_FALSE(files.Has("C:\\apps\\tool.exe"));
  EXPECT_TRUE(files.Has("D:\\other\\tool.exe"));
  // The path stays listed; its record was appended.
  EXPECT_EQ(lists.trashJar(), (TrashJarList{"C:\\apps\\tool.exe"}));
  EXPECT_EQ(Records(kTrashFile), (std::vector<std::string>{"C:\\apps\\tool.exe"}));
  EXPECT_EQ(lists.allowList(),
            (AllowList{{"keep.exe", "C:\\apps\\keep.exe"}, {"TOOL.EXE", "D:\\other\\TOOL.EXE"}}));
  EXPECT_EQ(Records(kAllowFile),
            (std::vector<std::string>{"C:\\apps\\keep.exe^^^^keep.exe", "D:\\other\\TOOL.EXE^^^^TOOL.EXE"}));
  EXPECT_TRUE(running().empty());
  EXPECT_EQ(host.counters[Panel::Running], 0u);
  EXPECT_FALSE(settings.Has("Read"));
  EXPECT_TRUE(dialogs.script.informations.empty());
}

TEST_F(ListOperationsTest, AWriteTheFilesRefuseChangesNoListIsToldOnceAndClaimsNoSuccess) {
  Run(1, "C:\\apps\\tool.exe");
  Run(2, "C:\\apps\\bad.exe");
  Allow("C:\\apps\\ok.exe");
  SaveLists();
  files.refuseAllWrites = true;
  dialogs.script.unscriptedAnswer = true;
  // A block the file refuses: the program still ends, as asked, but it is not shown as blocked.
  Select(Panel::Running, 1);
  ops.Run(C::RunningToBlockList);
  EXPECT_EQ(host.terminated, (std::vector<std::string>{"bad.exe"}));
  EXPECT_TRUE(lists.blockList().empty());
  // Not in the Trash Jar, so nothing is deleted and the program stays in the running list.
  Select(Panel::Running, 0);
  ops.Run(C::RunningToTrashJar);
  EXPECT_TRUE(lists.trashJar().empty());
  EXPECT_EQ(running().size(), 1u);
  EXPECT_EQ(host.emptyings, 0);
  // Allowances that cannot be removed stay, and so do the running programs they let run.
  Select(Panel::Allowed, 0);
  ops.Run(C::RemoveAllowed);
  ops.Run(C::ClearAllowed);
  EXPECT_EQ(lists.allowList().size(), 1u);
  EXPECT_EQ(running().size(), 1u);
  // One notice per list, and no word of success.
  EXPECT_EQ(dialogs.script.informations,
            (std::vector<std::string>{UnsavedListMessage(ListKind::Block), UnsavedListMessage(ListKind::TrashJar),
                                      UnsavedListMessage(ListKind::Allow)}));
}

// ---- Allowed panel ---------------------------------------------------------------------------

TEST_F(ListOperationsTest, AllowedToBlockListRewritesBothFilesAndReloadsTheBlocker) {
  Allow("C:\\apps\\a.exe");
  Allow("C:\\apps\\x.exe");
  Block("C:\\apps\\bad.exe");
  SaveLists();
  Select(Panel::Allowed, 1);
  dialogs.script.answers = {true};
  ops.Run(C::AllowedToBlockList);
  EXPECT_EQ(Records(kAllowFile), (std::vector<std::string>{"C:\\apps\\a.exe^^^^a.exe"}));
  EXPECT_EQ(Records(kBlockFile),
            (std::vector<std::string>{"C:\\apps\\bad.exe^^^^bad.exe", "C:\\apps\\x.exe^^^^x.exe"}));
  EXPECT_TRUE(ReadRaised());
  EXPECT_EQ(host.counters[Panel::Allowed], 1u);
  EXPECT_TRUE(host.terminated.empty());  // the watch cycle and the blocker end it by name
  EXPECT_TRUE(dialogs.script.informations.empty());
}

TEST_F(ListOperationsTest, AllowedToTrashJarRewritesTheAllowFileInOneStepAndEmptiesTheTrashJarAtOnce) {
  Allow("C:\\apps\\a.exe");
  Allow("C:\\apps\\x.exe");
  SaveLists();
  // While the Trash Jar is emptied, the allow file is still whole on the disk.
  std::string allowFileDuringEmptying;
  host.emptyTrashJar = [&] { allowFileDuringEmptying = files.Content(kAllowFile); };
  Select(Panel::Allowed, 0);
  dialogs.script.answers = {true};
  ops.Run(C::AllowedToTrashJar);
  EXPECT_EQ(host.emptyings, 1);
  EXPECT_FALSE(allowFileDuringEmptying.empty());
  // Never deleted and written again: one replacement.
  EXPECT_EQ(files.log, (std::vector<std::string>{"append C:\\Corvane\\hovsfd.dll", "replace C:\\Corvane\\midmo.ocx"}));
  EXPECT_EQ(Records(kAllowFile), (std::vector<std::string>{"C:\\apps\\x.exe^^^^x.exe"}));
  EXPECT_EQ(Records(kTrashFile), (std::vector<std::string>{"C:\\apps\\a.exe"}));
  EXPECT_FALSE(settings.Has("Read"));
  EXPECT_EQ(host.counters[Panel::Allowed], 1u);
  EXPECT_EQ(dialogs.script.informations, (std::vector<std::string>{" Selected file has been moved to Trash Jar."}));
}

TEST_F(ListOperationsTest, RemoveAllowedForgetsOnlyThatRunningProgram) {
  Run(1, "C:\\apps\\a.exe.old");  // its name begins with the removed one's
  Run(2, "D:\\elsewhere\\a.exe");  // same name, another file
  Run(3, "c:\\APPS\\A.EXE ");      // the program itself, as the system spelled it
  Allow("C:\\apps\\a.exe");
  Allow("C:\\apps\\b.exe");
  SaveLists();
  Select(Panel::Allowed, 0);
  dialogs.script.answers = {true};
  ops.Run(C::RemoveAllowed);
  ASSERT_EQ(running().size(), 2u);
  EXPECT_EQ(running().entries()[0].path, "C:\\apps\\a.exe.old");
  EXPECT_EQ(running().entries()[1].path, "D:\\elsewhere\\a.exe");
  EXPECT_EQ(Records(kAllowFile), (std::vector<std::string>{"C:\\apps\\b.exe^^^^b.exe"}));
  EXPECT_EQ(files.log, (std::vector<std::string>{"replace C:\\Corvane\\midmo.ocx"}));
  EXPECT_FALSE(settings.Has("Read"));
  EXPECT_EQ(dialogs.script.informations, (std::vector<std::string>{" Selected file has been removed from the list."}));
  EXPECT_EQ(host.counters[Panel::Allowed], 1u);
  // The only entry removed: no file is left behind.
  Select(Panel::Allowed, 0);
  dialogs.script.answers = {true};
  ops.Run(C::RemoveAllowed);
  EXPECT_FALSE(files.Has(kAllowFile));
}

TEST_F(ListOperationsTest, ClearAllowedStopsTheWatchEmptiesAllowedAndRunningAndLeavesTheBlockListAlone) {
  Run(1, "C:\\apps\\one.exe");
  Run(2, "C:\\apps\\two.exe", /*unjudged=*/true);
  Allow("C:\\apps\\one.exe");
  Block("C:\\apps\\bad.exe");
  SaveLists();
  ops.Run(C::ClearAllowed);
  EXPECT_TRUE(dialogs.script.confirmations.empty());
  EXPECT_TRUE(lists.allowList().empty());
  EXPECT_TRUE(running().empty());
  EXPECT_FALSE(files.Has(kAllowFile));
  EXPECT_TRUE(files.Has(kBlockFile));
  EXPECT_FALSE(settings.Has("Read"));
  EXPECT_EQ(panels.RowCount(Panel::Running), 0u);
  // The hourglass only while the lists are emptied; the watch comes back after the message.
  EXPECT_EQ(host.log, (std::vector<std::string>{"timer off", "hourglass", "counter 0", "arrow", "inform", "timer on"}));
  // Closing while the message is shown: the watch stays off.
  host.log.clear();
  dialogs.script.informations.clear();
  struct ClosingOnInform final : gui::Dialogs {
    bool Confirm(std::string_view) override { return false; }
    void Inform(std::string_view) override { *closing = true; }
    bool* closing;
  } closingDialogs;
  closingDialogs.closing = &host.closing;
  ListOperations closingOps{lists, running(), panels, closingDialogs, chooser, host};
  closingOps.Run(C::ClearAllowed);
  EXPECT_EQ(host.log, (std::vector<std::string>{"timer off", "hourglass", "counter 0", "arrow"}));
}

// ---- Blocked panel ---------------------------------------------------------------------------

TEST_F(ListOperationsTest, BlockedToAllowListRewritesBothFilesAndReloadsTheBlocker) {
  Block("C:\\apps\\bad.exe");
  Block("C:\\apps\\svchost.exe");  // no warning in this direction
  Allow("C:\\apps\\ok.exe");
  SaveLists();
  Select(Panel::Blocked, 1);
  dialogs.script.answers = {true};
  ops.Run(C::BlockedToAllowList);
  EXPECT_EQ(dialogs.script.confirmations,
            (std::vector<std::string>{"Are you sure you want to move \"svchost.exe\" to Allow list?"}));
  EXPECT_EQ(Records(kBlockFile), (std::vector<std::string>{"C:\\apps\\bad.exe^^^^bad.exe"}));
  EXPECT_EQ(Records(kAllowFile),
            (std::vector<std::string>{"C:\\apps\\ok.exe^^^^ok.exe", "C:\\apps\\svchost.exe^^^^svchost.exe"}));
  // Told once the allow-list file holds it, so that its file's hash can be recorded.
  EXPECT_EQ(host.movedToAllow, (std::vector<std::string>{"svchost.exe C:\\apps\\svchost.exe"}));
  EXPECT_TRUE(ReadRaised());
  EXPECT_EQ(host.counters[Panel::Blocked], 1u);
  EXPECT_TRUE(dialogs.script.informations.empty());
}

TEST_F(ListOperationsTest, AFingerprintDoesNotComeBackWithAProgramMovedToBlockAndBackToAllow) {
  const std::string hash(64, 'd');
  Allow("C:\\apps\\a.exe");
  lists.SetAllowFingerprint("a.exe", "C:\\apps\\a.exe", {hash, "2026-12-09"});
  SaveLists();
  EXPECT_EQ(Records(kAllowFile), (std::vector<std::string>{"C:\\apps\\a.exe^^^^a.exe^^^^" + hash + "^^^^2026-12-09"}));
  Select(Panel::Allowed, 0);
  dialogs.script.answers = {true, true};
  ops.Run(C::AllowedToBlockList);
  EXPECT_EQ(Records(kBlockFile), (std::vector<std::string>{"C:\\apps\\a.exe^^^^a.exe"}));
  Select(Panel::Blocked, 0);
  ops.Run(C::BlockedToAllowList);
  // Allowed again without the old file's hash: the file as it is now is the one that gets remembered.
  ASSERT_EQ(lists.allowList().size(), 1u);
  EXPECT_EQ(lists.allowList()[0].fingerprint, FileFingerprint{});
  EXPECT_EQ(Records(kAllowFile), (std::vector<std::string>{"C:\\apps\\a.exe^^^^a.exe"}));
}

TEST_F(ListOperationsTest, BlockedToTrashJarEmptiesTheTrashJarAtOnceAndReloadsTheBlocker) {
  host.emptyTrashJar = [&] { watch.EmptyTrashJar(); };
  files.Put("C:\\apps\\bad.exe", "MZ");
  processes.Add(7, "bad.exe", "C:\\apps\\bad.exe");
  Block("C:\\apps\\bad.exe");
  Block("C:\\apps\\worse.exe");
  SaveLists();
  Select(Panel::Blocked, 0);
  dialogs.script.answers = {true};
  ops.Run(C::BlockedToTrashJar);
  EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{7}));
  EXPECT_FALSE(files.Has("C:\\apps\\bad.exe"));
  EXPECT_EQ(Records(kTrashFile), (std::vector<std::string>{"C:\\apps\\bad.exe"}));
  EXPECT_EQ(Records(kBlockFile), (std::vector<std::string>{"C:\\apps\\worse.exe^^^^worse.exe"}));
  EXPECT_TRUE(ReadRaised());
  EXPECT_EQ(host.counters[Panel::Blocked], 1u);
  EXPECT_TRUE(dialogs.script.informations.empty());
}

TEST_F(ListOperationsTest, RemoveAndClearBlockedReloadTheBlocker) {
  Block("C:\\apps\\bad.exe");
  Block("C:\\apps\\worse.exe");
  SaveLists();
  Select(Panel::Blocked, 0);
  dialogs.script.answers = {true};
  ops.Run(C::RemoveBlocked);
  EXPECT_EQ(Records(kBlockFile), (std::vector<std::string>{"C:\\apps\\worse.exe^^^^worse.exe"}));
  EXPECT_TRUE(ReadRaised());
  EXPECT_EQ(host.counters[Panel::Blocked], 1u);
  // Clear asks nothing, deletes the file and reloads the blocker.
  settings.values.erase("Read");
  ops.Run(C::ClearBlocked);
  EXPECT_EQ(dialogs.script.confirmations.size(), 1u);
  EXPECT_TRUE(lists.blockList().empty());
  EXPECT_FALSE(files.Has(kBlockFile));
  EXPECT_TRUE(ReadRaised());
  EXPECT_EQ(host.counters[Panel::Blocked], 0u);
  EXPECT_EQ(dialogs.script.informations, (std::vector<std::string>{" Selected file has been removed from the list.",
                                                                    " Block List has been Cleared."}));
}

// ---- Trash Jar panel -------------------------------------------------------------------------

TEST_F(ListOperationsTest, TrashJarAddComparesWholePathsAndLeavesTheDeletionToTheWatch) {
  Trash("C:\\TOOLS\\A.EXE.bak");
  SaveLists();
  host.counters[Panel::TrashJar] = 1;
  // A path that only begins a listed one is another file.
  chooser.answers = {" C:\\Tools\\a.exe "};
  ops.Run(C::AddToTrashJar);
  EXPECT_EQ(chooser.titles, (std::vector<std::string>{"Corvane Select a file"}));
  EXPECT_EQ(lists.trashJar(), (TrashJarList{"C:\\TOOLS\\A.EXE.bak", "C:\\Tools\\a.exe"}));
  EXPECT_EQ(Records(kTrashFile), (std::vector<std::string>{"C:\\TOOLS\\A.EXE.bak", "C:\\Tools\\a.exe"}));
  EXPECT_EQ(panels.RowCount(Panel::TrashJar), 2u);
  // Not deleted now, and the counter keeps its old value until the next Remove, Clear or visit.
  EXPECT_EQ(host.emptyings, 0);
  EXPECT_EQ(host.counters[Panel::TrashJar], 1u);
  EXPECT_FALSE(settings.Has("Read"));
  // The same path in other letter case is refused; so is Cancel, a blank answer and Corvane itself,
  // the last three without a word.
  files.log.clear();
  chooser.answers = {"c:\\tools\\A.exe", std::nullopt, "   ", "C:\\Corvane\\Corvane.exe"};
  for (int i = 0; i < 4; ++i) ops.Run(C::AddToTrashJar);
  EXPECT_EQ(dialogs.script.informations,
            (std::vector<std::string>{"c:\\tools\\A.exe already exists in the list. Please choose another file."}));
  EXPECT_EQ(lists.trashJar().size(), 2u);
  EXPECT_TRUE(FilesUntouched());
}

TEST_F(ListOperationsTest, RemoveAndClearTrashJarKeepTheFileInLineAndCountTheRest) {
  Trash("C:\\a.txt");
  Trash("C:\\b.txt");
  SaveLists();
  Select(Panel::TrashJar, 1);
  dialogs.script.answers = {true};
  ops.Run(C::RemoveFromTrashJar);
  EXPECT_EQ(Records(kTrashFile), (std::vector<std::string>{"C:\\a.txt"}));
  EXPECT_EQ(host.counters[Panel::TrashJar], 1u);
  ops.Run(C::ClearTrashJar);
  EXPECT_TRUE(lists.trashJar().empty());
  EXPECT_FALSE(files.Has(kTrashFile));
  EXPECT_EQ(host.counters[Panel::TrashJar], 0u);
  EXPECT_EQ(dialogs.script.informations, (std::vector<std::string>{" Selected file has been removed from the list.",
                                                                    " Trash Jar has been Cleared."}));
  EXPECT_FALSE(settings.Has("Read"));
  EXPECT_EQ(host.emptyings, 0);
}

// ---- The chosen entry while the question is open ----------------------------------------------

TEST_F(ListOperationsTest, AnEntryThatLeavesItsListWhileAskedAboutIsActedOnByNoOther) {
  Run(1, "C:\\apps\\one.exe");
  Run(2, "C:\\apps\\two.exe");
  Run(3, "C:\\apps\\three.exe");
  SaveLists();
  Select(Panel::Running, 1);
  dialogs.script.unscriptedAnswer = true;
  // A watch tick while the question is open: two.exe has ended, and the row below moves up.
  dialogs.whileOpen = [&] { running().RemoveAt(1); };
  ops.Run(C::RunningToBlockList);
  EXPECT_TRUE(host.terminated.empty());
  EXPECT_TRUE(lists.blockList().empty());
  EXPECT_TRUE(FilesUntouched());
  EXPECT_EQ(running().size(), 2u);
  EXPECT_EQ(host.counters[Panel::Running], 2u);
  ops.Run(C::RunningToTrashJar);  // nothing selected any more
  EXPECT_TRUE(lists.trashJar().empty());
}

TEST_F(ListOperationsTest, RowsLeftBehindByTheirListNeverLeadToAnotherEntry) {
  Run(1, "C:\\apps\\one.exe");
  Run(2, "C:\\apps\\two.exe");
  Run(3, "C:\\apps\\three.exe");
  SaveLists();
  Select(Panel::Running, 1);
  // A main window that has not brought its rows in line: row 1 still says two.exe, which has gone.
  host.keepRowsInLine = false;
  dialogs.script.unscriptedAnswer = true;
  dialogs.whileOpen = [&] { running().RemoveAt(1); };
  ops.Run(C::RunningToBlockList);
  EXPECT_TRUE(host.terminated.empty());
  EXPECT_TRUE(lists.blockList().empty());
  EXPECT_EQ(running().size(), 2u);
}

TEST_F(ListOperationsTest, TheChosenEntryIsFoundAgainWhereverItMoved) {
  Allow("C:\\apps\\a.exe");
  Allow("C:\\apps\\b.exe");
  Allow("C:\\apps\\c.exe");
  Block("C:\\apps\\x.exe");
  Block("C:\\apps\\x.exe");  // the block file may hold a record twice: the chosen row decides
  Trash("C:\\a.txt");
  Trash("C:\\b.txt");
  Trash("C:\\c.txt");
  SaveLists();
  dialogs.script.unscriptedAnswer = true;
  // The entry in front of the chosen one goes while the question is open.
  Select(Panel::Allowed, 2);
  dialogs.whileOpen = [&] { lists.Remove(ListKind::Allow, 0); };
  ops.Run(C::RemoveAllowed);
  EXPECT_EQ(lists.allowList(), (AllowList{{"b.exe", "C:\\apps\\b.exe"}}));
  Select(Panel::TrashJar, 2);
  dialogs.whileOpen = [&] { lists.Remove(ListKind::TrashJar, 0); };
  ops.Run(C::RemoveFromTrashJar);
  EXPECT_EQ(lists.trashJar(), (TrashJarList{"C:\\b.txt"}));
  // Of two equal records, the chosen one goes and the other keeps its row.
  Select(Panel::Blocked, 1);
  const RowId first = panels.IdAt(Panel::Blocked, 0);
  dialogs.whileOpen = nullptr;
  ops.Run(C::RemoveBlocked);
  EXPECT_EQ(lists.blockList().size(), 1u);
  EXPECT_EQ(panels.IdAt(Panel::Blocked, 0), first);
}

TEST_F(ListOperationsTest, DetailsHandOverTheSelectedProgram) {
  Run(1, "C:\\apps\\one.exe");
  Block("C:\\apps\\bad.exe");
  Trash("C:\\a.txt");
  Select(Panel::Running, 0);
  Select(Panel::TrashJar, 0);
  ops.Run(C::RunningDetails);
  ops.Run(C::BlockedDetails);  // nothing selected
  EXPECT_EQ(host.details, (std::vector<std::string>{"one.exe C:\\apps\\one.exe"}));
}

TEST_F(ListOperationsTest, LongListsAreWrittenOnceEachPerOperation) {
  // The files of years of use, read at the start.
  ListFileStore earlier(files, settings, testing::kFakeProgramDirectory);
  for (int i = 0; i < 5000; ++i) {
    const std::string allowed = "allowed" + std::to_string(i) + ".exe";
    const std::string blocked = "blocked" + std::to_string(i) + ".exe";
    earlier.allowList().push_back({allowed, "C:\\apps\\" + allowed});
    earlier.blockList().push_back({blocked, "C:\\apps\\" + blocked});
  }
  earlier.RewriteListFile(ListKind::Allow);
  earlier.RewriteListFile(ListKind::Block);
  lists.Load();
  SaveLists();
  Select(Panel::Allowed, 2500);
  dialogs.script.unscriptedAnswer = true;
  ops.Run(C::AllowedToBlockList);
  // The destination first, by one record; then the source in one step.
  EXPECT_EQ(files.log, (std::vector<std::string>{"append C:\\Corvane\\cekdn.ocx", "replace C:\\Corvane\\midmo.ocx"}));
  EXPECT_EQ(Records(kAllowFile).size(), 4999u);
  EXPECT_EQ(Records(kBlockFile).back(), "C:\\apps\\allowed2500.exe^^^^allowed2500.exe");
}

}  // namespace
}  // namespace corvane::ui
