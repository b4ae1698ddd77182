#include "store/lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "base/text.h"
#include "tests/fakes/memory_list_file_system.h"
#include "tests/fakes/memory_settings.h"

namespace corvane {
namespace {

using testing::MemoryListFileSystem;
using testing::MemorySettings;

constexpr const char* kFolder = "C:\\Corvane";
const std::string kHash(64, 'a');

// The lists as an earlier run left them, loaded; listened to.
struct Seeded {
  Seeded() {
    Lists earlier(files, settings, kFolder);
    earlier.Allow("one.exe", "C:\\a\\one.exe");
    earlier.Allow("two.exe", "C:\\a\\two.exe");
    earlier.SetAllowFingerprint("two.exe", "C:\\a\\two.exe", {kHash, "2026-01-02"});
    earlier.Block("bad.exe", "C:\\b\\bad.exe");
    earlier.AddToTrashJar("C:\\t\\old.txt");
    earlier.AddHotKey({"C:\\d\\doc.txt", "Ctrl + Shift + D"});
    lists.Load();
    lists.AddListener([this](ListSet changed) { heard.push_back(changed); });
    settings.values.clear();
    files.writes = 0;
  }

  // Memory holds what the next start reads from the files.
  void ExpectMemoryAsFilesRead(const std::string& what) {
    Lists next(files, settings, kFolder);
    next.Load();
    EXPECT_EQ(lists.allowList(), next.allowList()) << what;
    EXPECT_EQ(lists.blockList(), next.blockList()) << what;
    EXPECT_EQ(lists.trashJar(), next.trashJar()) << what;
    EXPECT_EQ(lists.hotKeys(), next.hotKeys()) << what;
  }
  // In the allow list, the block list or the Trash Jar, by the comparison rule.
  bool Listed(const std::string& path) const {
    const auto is = [&path](const ProgramListEntry& entry) { return SameNameOrPath(entry.path, path); };
    const auto isPath = [&path](const std::string& entry) { return SameNameOrPath(entry, path); };
    return std::any_of(lists.allowList().begin(), lists.allowList().end(), is) ||
           std::any_of(lists.blockList().begin(), lists.blockList().end(), is) ||
           std::any_of(lists.trashJar().begin(), lists.trashJar().end(), isPath);
  }

  MemoryListFileSystem files;
  MemorySettings settings;
  Lists lists{files, settings, kFolder};
  std::vector<ListSet> heard;
};

struct Operation {
  const char* what;
  std::function<ListWrite(Lists&)> run;
  // A move: the path that must stay listed somewhere.
  const char* moved = nullptr;
};

const Operation kOperations[] = {
    {"allow", [](Lists& l) { return l.Allow("new.exe", "C:\\n\\new.exe"); }},
    {"block", [](Lists& l) { return l.Block("new.exe", "C:\\n\\new.exe"); }},
    {"add to Trash Jar", [](Lists& l) { return l.AddToTrashJar(" C:\\n\\junk.txt "); }},
    {"throw away", [](Lists& l) { return l.ThrowAway("ONE.EXE", "C:\\a\\one.exe"); }, "C:\\a\\one.exe"},
    {"allow to block", [](Lists& l) { return l.Move(ListKind::Allow, 1, ListKind::Block); }, "C:\\a\\two.exe"},
    {"block to allow", [](Lists& l) { return l.Move(ListKind::Block, 0, ListKind::Allow); }, "C:\\b\\bad.exe"},
    {"allow to Trash Jar", [](Lists& l) { return l.Move(ListKind::Allow, 0, ListKind::TrashJar); }, "C:\\a\\one.exe"},
    {"block to Trash Jar", [](Lists& l) { return l.Move(ListKind::Block, 0, ListKind::TrashJar); }, "C:\\b\\bad.exe"},
    {"remove allowed", [](Lists& l) { return l.Remove(ListKind::Allow, 0); }},
    {"remove blocked", [](Lists& l) { return l.Remove(ListKind::Block, 0); }},
    {"remove from Trash Jar", [](Lists& l) { return l.Remove(ListKind::TrashJar, 0); }},
    {"clear blocked", [](Lists& l) { return l.Clear(ListKind::Block); }},
    {"add hot key", [](Lists& l) { return l.AddHotKey({"C:\\n\\x.txt", "Ctrl + Shift + X"}); }},
    {"remove hot key", [](Lists& l) { return l.RemoveHotKey({"C:\\d\\doc.txt", "Ctrl + Shift + D"}); }},
    {"fingerprint", [](Lists& l) { return l.SetAllowFingerprint("ONE.EXE", "C:\\a\\one.exe", {kHash, ""}); }},
};

TEST(Lists, EveryOperationKeepsMemoryAndFilesInStepWhicheverWriteFails) {
  // The writes refused: none, the first, the second; 0 stands for every one.
  const std::set<int> failures[] = {{}, {1}, {2}, {0}};
  for (const Operation& operation : kOperations) {
    for (const std::set<int>& refused : failures) {
      const std::string what = operation.what + std::string(", refused ") + std::to_string(refused.size()) +
                               (refused.empty() ? "" : " from " + std::to_string(*refused.begin()));
      Seeded fresh;
      fresh.files.refusedWrites = refused;
      fresh.files.refuseAllWrites = refused.count(0) != 0;
      const ListWrite write = operation.run(fresh.lists);
      fresh.files.refuseAllWrites = false;
      fresh.files.refusedWrites.clear();
      fresh.ExpectMemoryAsFilesRead(what);
      // A moved entry is never in neither list.
      EXPECT_TRUE(operation.moved == nullptr || fresh.Listed(operation.moved)) << what;
      // The listeners hear once of what changed, after "Read" went up for a changed block file.
      EXPECT_EQ(fresh.heard, write.changed.empty() ? std::vector<ListSet>{} : std::vector<ListSet>{write.changed})
          << what;
      EXPECT_TRUE(!write.changed.Has(ListKind::Block) || fresh.settings.Get("Read") == "True") << what;
      EXPECT_TRUE(!refused.empty() || (write.saved() && !write.changed.empty())) << what;
      EXPECT_TRUE(refused.count(0) == 0 || (write.changed.empty() && !write.saved())) << what;
    }
  }
}

TEST(Lists, AMoveWritesItsDestinationFirstAndAFailedSourceLeavesTheEntryInBoth) {
  Seeded seeded;
  MemoryListFileSystem& files = seeded.files;
  Lists& lists = seeded.lists;
  files.log.clear();
  files.refusedWrites = {2};
  const ListWrite write = lists.Move(ListKind::Allow, 0, ListKind::Block);
  EXPECT_EQ(files.log, (std::vector<std::string>{"append C:\\Corvane\\cekdn.ocx", "replace C:\\Corvane\\midmo.ocx"}));
  EXPECT_EQ(write.changed, ListSet(ListKind::Block));
  EXPECT_EQ(write.unsaved, ListSet(ListKind::Allow));
  // Blocked by name, so the block list wins; the allowance stays as its file has it.
  EXPECT_TRUE(lists.IsInBlockList("one.exe"));
  EXPECT_TRUE(lists.IsInAllowList("one.exe", "C:\\a\\one.exe"));
  // Moved back: already allowed, so only the block list changes, and the old fingerprint stays off.
  files.refusedWrites.clear();
  EXPECT_EQ(lists.Move(ListKind::Block, 1, ListKind::Allow).changed, ListSet(ListKind::Block));
  EXPECT_EQ(lists.allowList().size(), 2u);
  ASSERT_TRUE(lists.Move(ListKind::Allow, 1, ListKind::Block).saved());
  ASSERT_TRUE(lists.Move(ListKind::Block, 1, ListKind::Allow).saved());
  EXPECT_EQ(lists.allowList().back().fingerprint, FileFingerprint{});
}

TEST(Lists, EachListsRefusalIsToldOncePerRun) {
  Seeded seeded;
  seeded.files.refuseAllWrites = true;
  Lists& lists = seeded.lists;
  EXPECT_EQ(lists.UnsavedNotice(lists.Block("x.exe", "C:\\x.exe")), UnsavedListMessage(ListKind::Block));
  EXPECT_EQ(lists.UnsavedNotice(lists.Remove(ListKind::Block, 0)), "");
  EXPECT_EQ(lists.UnsavedNotice(lists.Allow("x.exe", "C:\\x.exe")), UnsavedListMessage(ListKind::Allow));
  EXPECT_NE(UnsavedListMessage(ListKind::Block), UnsavedListMessage(ListKind::Allow));
}

TEST(Lists, AListNotReadWholeTakesAdditionsButNoRewriteThatWouldDropItsUnreadEntries) {
  Seeded seeded;
  const std::string allowFile = seeded.lists.ListFilePath(ListKind::Allow);
  const std::string before = seeded.files.Content(allowFile);
  seeded.files.Find(allowFile)->readFailsAfter = before.size() - 3;
  Lists partly(seeded.files, seeded.settings, kFolder);
  partly.Load();
  ASSERT_EQ(partly.allowList().size(), 1u);
  EXPECT_FALSE(partly.Remove(ListKind::Allow, 0).saved());
  EXPECT_FALSE(partly.Move(ListKind::Allow, 0, ListKind::Block).saved());
  EXPECT_FALSE(partly.SetAllowFingerprint("one.exe", "C:\\a\\one.exe", {kHash, ""}).saved());
  EXPECT_TRUE(partly.Allow("new.exe", "C:\\new.exe").saved());
  EXPECT_EQ(seeded.files.Content(allowFile).substr(0, before.size()), before);
  // A clear is asked for whole, and leaves a list that is read whole.
  EXPECT_TRUE(partly.Clear(ListKind::Allow).saved());
  EXPECT_TRUE(partly.Allow("new.exe", "C:\\new.exe").saved());
  EXPECT_TRUE(partly.Remove(ListKind::Allow, 0).saved());
}

TEST(Lists, RandomOperationsWithRandomFailuresLeaveMemoryAsTheFilesRead) {
  Seeded seeded;
  Lists& lists = seeded.lists;
  std::mt19937 random(20261209);
  const auto pick = [&random](std::size_t count) {
    return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
  };
  // Few names, so that entries meet again; blanks around them, which a file read back trims; a tab,
  // which is no blank; letters beyond ASCII, whose case counts.
  const std::string names[] = {"a.exe", "A.EXE", " c.exe", "a.exe ", "\ta.exe", "", "Caf\xC3\xA9.exe",
                               "CAF\xC3\x89.EXE"};
  const std::string folders[] = {"C:\\x\\", " c:\\X\\", "D:\\y\\"};
  const ListKind kinds[] = {ListKind::Allow, ListKind::Block, ListKind::TrashJar, ListKind::HotKey};
  const auto sizeOf = [&lists](ListKind list) {
    return list == ListKind::Allow ? lists.allowList().size()
           : list == ListKind::Block ? lists.blockList().size()
           : list == ListKind::TrashJar ? lists.trashJar().size() : lists.hotKeys().size();
  };
  for (int step = 0; step < 600; ++step) {
    seeded.files.refuseAllWrites = pick(8) == 0;
    seeded.files.refusedWrites = {pick(3) == 0 ? seeded.files.writes + 1 + static_cast<int>(pick(2)) : -1};
    const std::string name = names[pick(std::size(names))];
    const std::string path = folders[pick(3)] + TrimSpaces(name);
    const ListKind kind = kinds[pick(4)];
    const ListKind from = kinds[pick(2)];
    std::string moved;
    switch (pick(9)) {
      case 0:
        lists.Allow(name, path);
        break;
      case 1:
        lists.Block(name, path);
        break;
      case 2:
        lists.AddToTrashJar(path);
        break;
      case 3:
        lists.ThrowAway(name, path);
        break;
      case 4:
        if (sizeOf(from) == 0) break;
        moved = from == ListKind::Allow ? lists.allowList()[0].path : lists.blockList()[0].path;
        lists.Move(from, 0, kinds[pick(3)]);
        break;
      case 5:
        if (sizeOf(kind) != 0) lists.Remove(kind, pick(sizeOf(kind)));
        break;
      case 6:
        if (pick(6) == 0) lists.Clear(kind);
        break;
      case 7:
        if (pick(2) == 0 || lists.hotKeys().empty()) {
          lists.AddHotKey({path, "Ctrl + Shift + " + std::string(1, static_cast<char>('A' + pick(3)))});
        } else {
          lists.RemoveHotKey(lists.hotKeys()[pick(lists.hotKeys().size())]);
        }
        break;
      case 8:
        lists.SetAllowFingerprint(name, path, {std::string(64, static_cast<char>('a' + pick(3))), "2026-12-09"});
        break;
    }
    seeded.files.refuseAllWrites = false;
    seeded.files.refusedWrites.clear();
    seeded.ExpectMemoryAsFilesRead("step " + std::to_string(step));
    EXPECT_TRUE(moved.empty() || seeded.Listed(moved)) << "step " << step;
    // The look-ups answer from their indexes as a scan of the lists by the comparison rule does.
    for (const std::string& n : names) {
      const auto named = [&n](const ProgramListEntry& entry) { return SameNameOrPath(entry.name, n); };
      const BlockList& blocked = lists.blockList();
      EXPECT_EQ(lists.IsInBlockList(n), std::any_of(blocked.begin(), blocked.end(), named)) << step;
      for (const std::string& folder : folders) {
        const std::string p = folder + TrimSpaces(n);
        const auto same = [&](const ProgramListEntry& entry) { return named(entry) && SameNameOrPath(entry.path, p); };
        const auto at = [&p](const std::string& entry) { return SameNameOrPath(entry, p); };
        EXPECT_EQ(lists.IsInAllowList(n, p), std::any_of(lists.allowList().begin(), lists.allowList().end(), same));
        EXPECT_EQ(lists.IsInTrashJar(p), std::any_of(lists.trashJar().begin(), lists.trashJar().end(), at));
      }
    }
    if (::testing::Test::HasFailure()) return;
  }
}

}  // namespace
}  // namespace corvane
