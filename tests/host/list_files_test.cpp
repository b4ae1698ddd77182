#include "store/list_files.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <string>

#include "base/text.h"
#include "process/paths.h"
#include "store/cipher.h"
#include "tests/fakes/memory_list_file_system.h"
#include "tests/fakes/memory_settings.h"

namespace corvane {
namespace {

using testing::MemoryListFileSystem;
using testing::MemorySettings;

constexpr ListKind kAllKinds[] = {ListKind::Allow, ListKind::Block, ListKind::TrashJar, ListKind::HotKey};

// A file as the program writes it: one enciphered record and CR LF per line.
std::string Stored(std::initializer_list<std::string> plainRecords) {
  std::string text;
  for (const std::string& plain : plainRecords) text += EncryptText(plain) + "\r\n";
  return text;
}

// Notes the block-list file as it is at the moment "Read" is written.
class WatchingSettings final : public SettingsStore {
 public:
  WatchingSettings(MemoryListFileSystem& files, std::string blockPath)
      : files_(files), blockPath_(std::move(blockPath)) {}
  std::string ReadSetting(std::string_view key, std::string_view defaultValue) override {
    return inner.ReadSetting(key, defaultValue);
  }
  bool WriteSetting(std::string_view key, std::string_view value) override {
    if (key == settings::kRead) {
      ++readRaised;
      blockFileAtRaise = files_.Has(blockPath_) ? files_.Content(blockPath_) : "<none>";
    }
    return inner.WriteSetting(key, value);
  }
  MemorySettings inner;
  int readRaised = 0;
  std::string blockFileAtRaise;

 private:
  MemoryListFileSystem& files_;
  std::string blockPath_;
};

class ListFilesTest : public ::testing::Test {
 protected:
  std::string PathOf(ListKind kind) const { return store.ListFilePath(kind); }
  // A second store over the same files, as at the next start of the program.
  ListFileStore Reopened() { return ListFileStore(files, settings, "C:\\Corvane"); }

  MemoryListFileSystem files;
  MemorySettings settings;
  ListFileStore store{files, settings, "C:\\Corvane"};
};

TEST_F(ListFilesTest, FilesLiveInTheProgramDirectoryUnderTheirNames) {
  EXPECT_EQ(PathOf(ListKind::Allow), "C:\\Corvane\\midmo.ocx");
  EXPECT_EQ(PathOf(ListKind::Block), "C:\\Corvane\\cekdn.ocx");
  EXPECT_EQ(PathOf(ListKind::TrashJar), "C:\\Corvane\\hovsfd.dll");
  EXPECT_EQ(PathOf(ListKind::HotKey), "C:\\Corvane\\shudw.dll");
  EXPECT_EQ(ProgramRecord("C:\\a\\x.exe", "x.exe"), "C:\\a\\x.exe^^^^x.exe");
  EXPECT_EQ(HotKeyRecord("C:\\doc.txt", "Ctrl + Shift + D"), "C:\\doc.txt^^^^Ctrl + Shift + D");
}

TEST_F(ListFilesTest, NoFilesAtAllThenFirstAllowCreatesTheFileWithOneLine) {
  for (ListKind kind : kAllKinds) store.LoadListFile(kind);
  EXPECT_TRUE(store.allowList().empty());
  EXPECT_TRUE(store.blockList().empty());
  EXPECT_TRUE(store.trashJar().empty());
  EXPECT_TRUE(store.hotKeys().empty());
  EXPECT_TRUE(files.files.empty());

  const std::string record = ProgramRecord("C:\\Apps\\tool.exe", "tool.exe");
  EXPECT_TRUE(store.AppendListLine(ListKind::Allow, record));
  EXPECT_EQ(files.Content(PathOf(ListKind::Allow)), EncryptText(record) + "\r\n");
  EXPECT_EQ(files.files.size(), 1u);
  // Appending to the allow list is no business of rizaz.
  EXPECT_FALSE(settings.Has(settings::kRead));
  // The store leaves the caller's allow list alone: the caller adds the entry itself.
  EXPECT_TRUE(store.allowList().empty());

  // Loading adds to what the list already holds.
  ListFileStore next = Reopened();
  next.allowList().push_back({"first.exe", "C:\\first.exe"});
  next.LoadListFile(ListKind::Allow);
  EXPECT_EQ(next.allowList(),
            (AllowList{{"first.exe", "C:\\first.exe"}, {"tool.exe", "C:\\Apps\\tool.exe"}}));
}

TEST_F(ListFilesTest, EachLoaderReadsItsRecordsAndALastLineWithoutLineEnd) {
  const auto withoutLastLineEnd = [](std::string text) {
    text.resize(text.size() - 2);
    return text;
  };
  files.Put(PathOf(ListKind::Allow),
            withoutLastLineEnd(Stored({"C:\\a\\one.exe^^^^one.exe", "C:\\b\\two.exe^^^^two.exe"})));
  files.Put(PathOf(ListKind::Block), withoutLastLineEnd(Stored({"C:\\c\\bad.exe^^^^bad.exe"})));
  files.Put(PathOf(ListKind::TrashJar), withoutLastLineEnd(Stored({"C:\\junk.txt", "C:\\old.exe"})));
  files.Put(PathOf(ListKind::HotKey), withoutLastLineEnd(Stored({"C:\\doc.txt^^^^Ctrl + Shift + 7"})));
  for (ListKind kind : kAllKinds) store.LoadListFile(kind);

  EXPECT_EQ(store.allowList(), (AllowList{{"one.exe", "C:\\a\\one.exe"}, {"two.exe", "C:\\b\\two.exe"}}));
  EXPECT_EQ(store.blockList(), (BlockList{{"bad.exe", "C:\\c\\bad.exe"}}));
  EXPECT_EQ(store.trashJar(), (TrashJarList{"C:\\junk.txt", "C:\\old.exe"}));
  EXPECT_EQ(store.hotKeys(), (HotKeyList{{"C:\\doc.txt", "Ctrl + Shift + 7"}}));
}

TEST_F(ListFilesTest, AllowDuplicatesLoadOnceAndTheNextRewriteStoresThemOnce) {
  files.Put(PathOf(ListKind::Allow), Stored({
                                         "C:\\Apps\\tool.exe^^^^tool.exe",
                                         "C:\\Other\\tool.exe^^^^tool.exe",  // same name, other path: kept
                                         "C:\\APPS\\TOOL.EXE^^^^Tool.Exe",   // other letter case: dropped
                                         "C:\\Apps\\tool.exe^^^^tool.exe",   // exact repeat: dropped
                                     }));
  store.LoadListFile(ListKind::Allow);
  ASSERT_EQ(store.allowList().size(), 2u);
  EXPECT_EQ(store.allowList()[0].path, "C:\\Apps\\tool.exe");
  EXPECT_EQ(store.allowList()[1].path, "C:\\Other\\tool.exe");
  // A second load (the list already filled) adds nothing either.
  store.LoadListFile(ListKind::Allow);
  EXPECT_EQ(store.allowList().size(), 2u);

  EXPECT_TRUE(store.RewriteListFile(ListKind::Allow));
  EXPECT_EQ(files.Content(PathOf(ListKind::Allow)),
            Stored({"C:\\Apps\\tool.exe^^^^tool.exe", "C:\\Other\\tool.exe^^^^tool.exe"}));
}

TEST_F(ListFilesTest, BlockAndTrashJarKeepDuplicates) {
  files.Put(PathOf(ListKind::Block), Stored({"C:\\x.exe^^^^x.exe", "C:\\x.exe^^^^x.exe"}));
  files.Put(PathOf(ListKind::TrashJar), Stored({"C:\\f.txt", "C:\\f.txt"}));
  store.LoadListFile(ListKind::Block);
  store.LoadListFile(ListKind::TrashJar);
  EXPECT_EQ(store.blockList().size(), 2u);
  EXPECT_EQ(store.trashJar().size(), 2u);
}

TEST_F(ListFilesTest, BlankAndMalformedLinesAreSkippedWithoutDisturbingTheOthers) {
  const std::string spaces = "        ";
  // Lines of spaces (stored), empty lines, records without separator, and extra fields.
  files.Put(PathOf(ListKind::HotKey), spaces + "\r\n" + Stored({"C:\\a.txt^^^^Ctrl + Shift + A"}) + "\r\n" +
                                          Stored({"no separator here"}) + spaces + "\r\n" +
                                          Stored({"C:\\b.txt^^^^Ctrl + Shift + B^^^^extra"}));
  files.Put(PathOf(ListKind::Allow), "\r\n" + Stored({"C:\\just a path.exe", "", "   "}) + spaces + "\r\n" +
                                         Stored({"C:\\a^^^^b^^^^c.exe", "C:\\ok.exe^^^^ok.exe"}));
  files.Put(PathOf(ListKind::Block),
            "\r\n\r\n" + Stored({"lonely.exe", "C:\\b.exe^^^^b.exe"}) + spaces + "\r\n");
  files.Put(PathOf(ListKind::TrashJar), Stored({"", "   ", "C:\\t.txt"}) + "\r\n" + spaces);
  for (ListKind kind : kAllKinds) store.LoadListFile(kind);

  // A hot-key label follows the last separator.
  EXPECT_EQ(store.hotKeys(),
            (HotKeyList{{"C:\\a.txt", "Ctrl + Shift + A"}, {"C:\\b.txt^^^^Ctrl + Shift + B", "extra"}}));
  // Several separators, none followed by the path's end: skipped rather than guessed.
  EXPECT_EQ(store.allowList(), (AllowList{{"ok.exe", "C:\\ok.exe"}}));
  EXPECT_EQ(store.blockList(), (BlockList{{"b.exe", "C:\\b.exe"}}));
  EXPECT_EQ(store.trashJar(), (TrashJarList{"C:\\t.txt"}));
}

TEST_F(ListFilesTest, AHiddenListFileCountsAsMissing) {
  files.Put(PathOf(ListKind::Block), Stored({"C:\\x.exe^^^^x.exe"}), /*hidden=*/true);
  store.LoadListFile(ListKind::Block);
  EXPECT_TRUE(store.blockList().empty());
  EXPECT_EQ(files.reads, 0);
  // A rewrite still replaces it, with a plain visible file.
  store.blockList().push_back({"y.exe", "C:\\y.exe"});
  EXPECT_TRUE(store.RewriteListFile(ListKind::Block));
  EXPECT_TRUE(files.VisibleFileExists(PathOf(ListKind::Block)));
  EXPECT_EQ(files.Content(PathOf(ListKind::Block)), Stored({"C:\\y.exe^^^^y.exe"}));
}

TEST_F(ListFilesTest, UnicodePathsComeBackExactlySoTheEntryStillMatchesItsProgram) {
  const std::string accented = "C:\\Caf\xC3\xA9\\menu.exe";
  store.allowList().push_back({"menu.exe", accented});
  store.AppendListLine(ListKind::Allow, ProgramRecord(accented, "menu.exe"));
  // Blocking "Café.exe" must not block "Caf.exe", nor a soft hyphen "explorer.exe".
  const std::string cafe = "C:\\Caf\xC3\xA9.exe";
  const std::string hyphen = "C:\\t\\explorer\xC2\xAD.exe";
  for (const std::string& path : {cafe, hyphen}) {
    store.AppendListLine(ListKind::Block, ProgramRecord(path, GetFileNameFromPath(path)));
  }
  const std::string photo = "D:\\\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE\\old.jpg";
  store.AppendListLine(ListKind::TrashJar, photo);
  const std::string target = "C:\\\xF0\x9F\x98\x80\tdoc.txt";  // beyond the BMP, and a tab
  store.AppendListLine(ListKind::HotKey, HotKeyRecord(target, "Ctrl + Shift + 1"));

  ListFileStore next = Reopened();
  for (ListKind kind : kAllKinds) next.LoadListFile(kind);
  EXPECT_EQ(next.allowList(), (AllowList{{"menu.exe", accented}}));
  EXPECT_TRUE(next.IsInAllowList("menu.exe", accented));
  EXPECT_EQ(next.blockList(), (BlockList{{"Caf\xC3\xA9.exe", cafe}, {"explorer\xC2\xAD.exe", hyphen}}));
  EXPECT_TRUE(next.IsInBlockList("Caf\xC3\xA9.exe"));
  EXPECT_FALSE(next.IsInBlockList("Caf.exe"));
  EXPECT_FALSE(next.IsInBlockList("explorer.exe"));
  EXPECT_EQ(next.trashJar(), (TrashJarList{photo}));
  EXPECT_EQ(next.hotKeys(), (HotKeyList{{target, "Ctrl + Shift + 1"}}));
}

TEST_F(ListFilesTest, RecordsWithTheSeparatorInsideReadBackAsWritten) {
  const std::string folder = "C:\\Downloads\\^^^^Corvane.exe^^^^\\setup.exe";
  const std::string file = "C:\\Games\\x^^^^explorer.exe";
  for (const std::string& path : {folder, file}) {
    store.AppendListLine(ListKind::Block, ProgramRecord(path, GetFileNameFromPath(path)));
    store.AppendListLine(ListKind::Allow, ProgramRecord(path, GetFileNameFromPath(path)));
    store.AppendListLine(ListKind::HotKey, HotKeyRecord(path, "Ctrl + Shift + Z"));
  }
  ListFileStore next = Reopened();
  for (ListKind kind : kAllKinds) next.LoadListFile(kind);
  const BlockList expected = {{"setup.exe", folder}, {"x^^^^explorer.exe", file}};
  EXPECT_EQ(next.blockList(), expected);
  EXPECT_EQ(next.allowList(), expected);
  EXPECT_EQ(next.hotKeys(), (HotKeyList{{folder, "Ctrl + Shift + Z"}, {file, "Ctrl + Shift + Z"}}));
  EXPECT_FALSE(next.IsInBlockList("Corvane.exe"));
  EXPECT_FALSE(next.IsInBlockList("explorer.exe"));
  // A rewrite keeps them so.
  EXPECT_TRUE(next.RewriteListFile(ListKind::Block));
  ListFileStore third = Reopened();
  third.LoadListFile(ListKind::Block);
  EXPECT_EQ(third.blockList(), expected);
}

TEST_F(ListFilesTest, RecordsWithAFingerprintLoadBesideThoseWithoutAndRewriteAsRead) {
  const std::string hash(64, 'c');
  const std::string older = "C:\\a\\old.exe^^^^old.exe";
  const std::string withHash = "C:\\b\\new.exe^^^^new.exe^^^^" + hash;
  const std::string withDay = "C:\\c\\day.exe^^^^day.exe^^^^" + hash + "^^^^2026-12-09";
  files.Put(PathOf(ListKind::Allow), Stored({older, withHash, withDay, "C:\\d\\bad.exe^^^^bad.exe^^^^not-a-hash"}));
  // A fingerprinted record copied into the block list still blocks its program.
  files.Put(PathOf(ListKind::Block), Stored({withHash, older}));
  store.LoadListFile(ListKind::Allow);
  store.LoadListFile(ListKind::Block);
  EXPECT_EQ(store.allowList(), (AllowList{{"old.exe", "C:\\a\\old.exe", {}},
                                          {"new.exe", "C:\\b\\new.exe", {hash, ""}},
                                          {"day.exe", "C:\\c\\day.exe", {hash, "2026-12-09"}},
                                          {"bad.exe", "C:\\d\\bad.exe", {}}}));
  EXPECT_TRUE(store.IsInAllowList("NEW.EXE", "c:\\b\\new.exe"));
  EXPECT_EQ(store.FindAllowEntry("day.exe", " C:\\C\\DAY.EXE")->fingerprint.storedOn, "2026-12-09");
  EXPECT_EQ(store.FindAllowEntry("day.exe", "C:\\other\\day.exe"), nullptr);
  EXPECT_TRUE(store.IsInBlockList("new.exe"));
  EXPECT_EQ(store.blockList().front().path, "C:\\b\\new.exe");

  // Rewritten: every sound record exactly as it stood, the damaged field gone; block records carry
  // no fingerprint.
  ASSERT_TRUE(store.RewriteListFile(ListKind::Allow));
  EXPECT_EQ(files.Content(PathOf(ListKind::Allow)), Stored({older, withHash, withDay, "C:\\d\\bad.exe^^^^bad.exe"}));
  ASSERT_TRUE(store.RewriteListFile(ListKind::Block));
  EXPECT_EQ(files.Content(PathOf(ListKind::Block)), Stored({"C:\\b\\new.exe^^^^new.exe", older}));
  // The next start reads the same.
  ListFileStore next = Reopened();
  next.LoadListFile(ListKind::Allow);
  EXPECT_EQ(next.allowList(), store.allowList());
  // A record of the same program appended later brings its newer fingerprint; one without a
  // fingerprint takes nothing away.
  const std::string newer(64, 'd');
  files.Put(PathOf(ListKind::Allow), Stored({withHash, "C:\\B\\NEW.EXE^^^^NEW.EXE^^^^" + newer, older + "^^^^" + hash, older}));
  ListFileStore appended = Reopened();
  appended.LoadListFile(ListKind::Allow);
  EXPECT_EQ(appended.allowList(), (AllowList{{"new.exe", "C:\\b\\new.exe", {newer, ""}}, {"old.exe", "C:\\a\\old.exe", {hash, ""}}}));
}

TEST_F(ListFilesTest, AnAllowanceTakesItsFingerprintInOneRewriteOfItsFile) {
  const std::string hash(64, 'e');
  files.Put(PathOf(ListKind::Allow), Stored({"C:\\a.exe^^^^a.exe", "C:\\b.exe^^^^b.exe"}));
  store.LoadListFile(ListKind::Allow);
  files.log.clear();
  // Found by the comparison rule; the other record stays as it was.
  EXPECT_TRUE(store.SetAllowFingerprint(" B.EXE", "c:\\b.exe", {hash, "2026-12-09"}));
  EXPECT_EQ(files.Content(PathOf(ListKind::Allow)),
            Stored({"C:\\a.exe^^^^a.exe", "C:\\b.exe^^^^b.exe^^^^" + hash + "^^^^2026-12-09"}));
  EXPECT_EQ(files.log, (std::vector<std::string>{"replace " + PathOf(ListKind::Allow)}));
  // A program that is not allowed gets nothing, and the file is not touched.
  files.log.clear();
  EXPECT_FALSE(store.SetAllowFingerprint("c.exe", "C:\\c.exe", {hash, ""}));
  EXPECT_TRUE(files.log.empty());
  // A file that cannot be written: false, and the fingerprint stays in memory for the next rewrite.
  files.Find(PathOf(ListKind::Allow))->locked = true;
  EXPECT_FALSE(store.SetAllowFingerprint("a.exe", "C:\\a.exe", {hash, ""}));
  EXPECT_EQ(store.FindAllowEntry("a.exe", "C:\\a.exe")->fingerprint.sha256, hash);
}

TEST_F(ListFilesTest, AllowEntriesThatDifferOnlyInWhereALineBreakSitsAreNotDuplicates) {
  // Fields may now hold any character, a line break too; the duplicate check must still tell
  // {name "a\nb", path "c"} from {name "a", path "b\nc"}.
  store.AppendListLine(ListKind::Allow, ProgramRecord("c", "a\nb"));
  store.AppendListLine(ListKind::Allow, ProgramRecord("b\nc", "a"));
  store.LoadListFile(ListKind::Allow);
  EXPECT_EQ(store.allowList(), (AllowList{{"a\nb", "c"}, {"a", "b\nc"}}));
}

TEST_F(ListFilesTest, LookupsFollowTheComparisonRule) {
  store.allowList() = {{"tool.exe", "C:\\Apps\\tool.exe"}};
  store.blockList() = {{"bad.exe", "C:\\Somewhere\\bad.exe"}};
  store.trashJar() = {"C:\\Temp\\junk.txt"};

  EXPECT_TRUE(store.IsInAllowList("  TOOL.EXE ", "c:\\apps\\TOOL.exe  "));
  EXPECT_FALSE(store.IsInAllowList("tool.exe", "D:\\Apps\\tool.exe"));  // both must match
  EXPECT_FALSE(store.IsInAllowList("other.exe", "C:\\Apps\\tool.exe"));
  // Blocked by name wherever it lies.
  EXPECT_TRUE(store.IsInBlockList(" Bad.EXE"));
  EXPECT_FALSE(store.IsInBlockList("bad.ex"));
  EXPECT_TRUE(store.IsInTrashJar("c:\\temp\\JUNK.txt "));
  EXPECT_FALSE(store.IsInTrashJar("C:\\Temp\\junk.txt.bak"));
  // Only spaces are trimmed, not tabs.
  EXPECT_FALSE(store.IsInBlockList("\tbad.exe"));
}

TEST_F(ListFilesTest, AListChangedThroughAKeptReferenceIsNoticedByItsLength) {
  AllowList& kept = store.allowList();
  EXPECT_FALSE(store.IsInAllowList("late.exe", "C:\\late.exe"));
  kept.push_back({"late.exe", "C:\\late.exe"});
  EXPECT_TRUE(store.IsInAllowList("LATE.exe", "C:\\late.exe"));
  kept.pop_back();
  EXPECT_FALSE(store.IsInAllowList("late.exe", "C:\\late.exe"));
}

TEST_F(ListFilesTest, RemovingTheOnlyEntryLeavesNoFileAndNoPause) {
  store.AppendListLine(ListKind::Allow, "C:\\a.exe^^^^a.exe");
  store.AppendListLine(ListKind::Block, "C:\\b.exe^^^^b.exe");
  store.AppendListLine(ListKind::TrashJar, "C:\\c.txt");
  store.AppendListLine(ListKind::HotKey, "C:\\d.txt^^^^Ctrl + Shift + D");
  files.log.clear();
  for (ListKind kind : kAllKinds) {
    ASSERT_TRUE(files.Has(PathOf(kind)));
    EXPECT_TRUE(store.RewriteListFile(kind));  // all in-memory lists are empty
    EXPECT_FALSE(files.Has(PathOf(kind)));
  }
  // One deletion each, and nothing else.
  EXPECT_EQ(files.log.size(), 4u);
  // An empty list without a file stays without one.
  EXPECT_TRUE(store.RewriteListFile(ListKind::Allow));
  EXPECT_TRUE(store.ClearListFile(ListKind::Allow));
  EXPECT_TRUE(files.files.empty());
}

TEST_F(ListFilesTest, RewriteWritesTheWholeListInOrderInOneStep) {
  store.trashJar() = {"C:\\old1.txt", "C:\\old2.txt"};
  store.RewriteListFile(ListKind::TrashJar);
  store.trashJar() = {"C:\\z.txt", "C:\\a.txt", "C:\\m.txt"};
  files.log.clear();
  EXPECT_TRUE(store.RewriteListFile(ListKind::TrashJar));
  EXPECT_EQ(files.Content(PathOf(ListKind::TrashJar)), Stored({"C:\\z.txt", "C:\\a.txt", "C:\\m.txt"}));
  // Never deleted first: there is no moment without the list.
  EXPECT_EQ(files.log, (std::vector<std::string>{"replace " + PathOf(ListKind::TrashJar)}));
}

TEST_F(ListFilesTest, ARewriteThatFailsHalfWayLeavesTheOldFileWhole) {
  const std::string old = Stored({"C:\\a.exe^^^^a.exe", "C:\\b.exe^^^^b.exe", "C:\\c.exe^^^^c.exe"});
  files.Put(PathOf(ListKind::Block), old);
  store.LoadListFile(ListKind::Block);
  store.blockList().erase(store.blockList().begin());
  const BlockList expected = store.blockList();

  // The disk fills up in the middle of the new content.
  files.diskSpace = 10;
  EXPECT_FALSE(store.RewriteListFile(ListKind::Block));
  EXPECT_EQ(files.Content(PathOf(ListKind::Block)), old);
  EXPECT_EQ(store.blockList(), expected);

  // The new content was written but could not be moved into place.
  files.diskSpace.reset();
  files.failMoves = true;
  EXPECT_FALSE(store.RewriteListFile(ListKind::Block));
  EXPECT_EQ(files.Content(PathOf(ListKind::Block)), old);

  // Held by another program.
  files.failMoves = false;
  files.Find(PathOf(ListKind::Block))->locked = true;
  EXPECT_FALSE(store.RewriteListFile(ListKind::Block));
  EXPECT_EQ(files.Content(PathOf(ListKind::Block)), old);
  EXPECT_EQ(store.blockList(), expected);

  // Once the file can be written again, the next change brings it in line with the list.
  files.Find(PathOf(ListKind::Block))->locked = false;
  EXPECT_TRUE(store.RewriteListFile(ListKind::Block));
  EXPECT_EQ(files.Content(PathOf(ListKind::Block)), Stored({"C:\\b.exe^^^^b.exe", "C:\\c.exe^^^^c.exe"}));
}

TEST_F(ListFilesTest, ALockedFileIsNotEmptiedByWaiting) {
  files.Put(PathOf(ListKind::HotKey), Stored({"C:\\keep.exe^^^^keep.exe"}));
  files.Find(PathOf(ListKind::HotKey))->locked = true;
  // Emptying a list whose file cannot be deleted: one deletion and one replacement are tried, with
  // no waiting in between on the user-interface thread; the file stays.
  files.log.clear();
  EXPECT_FALSE(store.ClearListFile(ListKind::HotKey));
  EXPECT_TRUE(files.Has(PathOf(ListKind::HotKey)));
  EXPECT_EQ(files.log, (std::vector<std::string>{"remove " + PathOf(ListKind::HotKey),
                                                 "replace " + PathOf(ListKind::HotKey)}));
}

TEST_F(ListFilesTest, AnEmptiedListWhoseFileCannotBeDeletedAtLeastHoldsNoEntries) {
  files.Put(PathOf(ListKind::Block), Stored({"C:\\x.exe^^^^x.exe"}));
  files.failRemoves = true;
  EXPECT_TRUE(store.RewriteListFile(ListKind::Block));
  EXPECT_EQ(files.Content(PathOf(ListKind::Block)), "");
  ListFileStore next = Reopened();
  next.LoadListFile(ListKind::Block);
  EXPECT_TRUE(next.blockList().empty());
}

TEST_F(ListFilesTest, ReadIsRaisedAfterBlockListChangesOnlyOnceTheFileIsComplete) {
  WatchingSettings watching(files, "C:\\Corvane\\cekdn.ocx");
  ListFileStore watched(files, watching, "C:\\Corvane");

  // Changes of the other three lists leave "Read" alone.
  watched.AppendListLine(ListKind::Allow, "C:\\a.exe^^^^a.exe");
  watched.AppendListLine(ListKind::TrashJar, "C:\\t.txt");
  watched.AppendListLine(ListKind::HotKey, "C:\\d.txt^^^^Ctrl + Shift + D");
  watched.RewriteListFile(ListKind::Allow);
  watched.RewriteListFile(ListKind::TrashJar);
  watched.ClearListFile(ListKind::HotKey);
  EXPECT_EQ(watching.readRaised, 0);

  // Append: raised with the new record already in the file.
  watched.blockList() = {{"x.exe", "C:\\x.exe"}};
  watched.AppendListLine(ListKind::Block, "C:\\x.exe^^^^x.exe");
  EXPECT_EQ(watching.readRaised, 1);
  EXPECT_EQ(watching.blockFileAtRaise, Stored({"C:\\x.exe^^^^x.exe"}));
  EXPECT_EQ(watching.inner.Get(settings::kRead), "True");

  // Rewrite: raised with the whole new list in the file.
  watched.blockList() = {{"y.exe", "C:\\y.exe"}, {"x.exe", "C:\\x.exe"}};
  watched.RewriteListFile(ListKind::Block);
  EXPECT_EQ(watching.readRaised, 2);
  EXPECT_EQ(watching.blockFileAtRaise, Stored({"C:\\y.exe^^^^y.exe", "C:\\x.exe^^^^x.exe"}));

  // rizaz has consumed the signal; a clear raises it again with the file gone.
  watching.inner.values[std::string(settings::kRead)] = "False";
  watched.blockList().clear();
  watched.ClearListFile(ListKind::Block);
  EXPECT_EQ(watching.readRaised, 3);
  EXPECT_EQ(watching.blockFileAtRaise, "<none>");
  EXPECT_EQ(watching.inner.Get(settings::kRead), "True");

  // Also after a failed write, which may have changed part of the file.
  files.diskSpace = 3;
  EXPECT_FALSE(watched.AppendListLine(ListKind::Block, "C:\\z.exe^^^^z.exe"));
  EXPECT_EQ(watching.readRaised, 4);
}

TEST_F(ListFilesTest, AppendAfterAHalfWrittenRecordKeepsTheNewRecordWhole) {
  store.AppendListLine(ListKind::Block, "C:\\a.exe^^^^a.exe");
  files.diskSpace = 5;
  EXPECT_FALSE(store.AppendListLine(ListKind::Block, "C:\\b.exe^^^^b.exe"));
  files.diskSpace.reset();
  EXPECT_TRUE(store.AppendListLine(ListKind::Block, "C:\\c.exe^^^^c.exe"));
  ListFileStore next = Reopened();
  next.LoadListFile(ListKind::Block);
  ASSERT_GE(next.blockList().size(), 2u);
  EXPECT_EQ(next.blockList().front(), (ProgramListEntry{"a.exe", "C:\\a.exe"}));
  EXPECT_EQ(next.blockList().back(), (ProgramListEntry{"c.exe", "C:\\c.exe"}));
}

TEST_F(ListFilesTest, UnreadableFilesKeepWhatWasReadAndTheProgramGoesOn) {
  // Locked from the start: nothing read, the list keeps what it had.
  store.allowList().push_back({"had.exe", "C:\\had.exe"});
  files.Put(PathOf(ListKind::Allow), Stored({"C:\\x.exe^^^^x.exe"}));
  files.Find(PathOf(ListKind::Allow))->locked = true;
  store.LoadListFile(ListKind::Allow);
  EXPECT_EQ(store.allowList(), (AllowList{{"had.exe", "C:\\had.exe"}}));

  // A read error inside the second line: the first line counts, the cut one does not pass for a
  // shorter path.
  const std::string first = Stored({"C:\\first.txt"});
  files.Put(PathOf(ListKind::TrashJar), first + Stored({"C:\\second\\deep\\file.txt"}));
  files.Find(PathOf(ListKind::TrashJar))->readFailsAfter = first.size() + 8;
  store.LoadListFile(ListKind::TrashJar);
  EXPECT_EQ(store.trashJar(), (TrashJarList{"C:\\first.txt"}));

  // A read error right after a complete line: that line still counts.
  files.Put(PathOf(ListKind::Block), Stored({"C:\\a.exe^^^^a.exe", "C:\\b.exe^^^^b.exe"}));
  files.Find(PathOf(ListKind::Block))->readFailsAfter = Stored({"C:\\a.exe^^^^a.exe"}).size();
  store.LoadListFile(ListKind::Block);
  EXPECT_EQ(store.blockList(), (BlockList{{"a.exe", "C:\\a.exe"}}));
}

TEST_F(ListFilesTest, RandomBytesAndHugeLinesLoadWhatTheyCanWithoutHarm) {
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<int> byte(0, 255);
  const auto randomBytes = [&](size_t count) {
    std::string s;
    for (size_t i = 0; i < count; ++i) {
      // Plenty of line ends, so that many short junk lines are tried too.
      s.push_back(i % 37 == 36 ? '\n' : i % 37 == 35 ? '\r' : static_cast<char>(byte(rng)));
    }
    return s;
  };
  const std::string good = Stored({"C:\\good.exe^^^^good.exe"});
  const std::string hugeLine(1 << 20, 'q');  // 1 MB without a line break
  for (ListKind kind : {ListKind::Allow, ListKind::Block, ListKind::HotKey}) {
    files.Put(PathOf(kind), randomBytes(200000) + "\r\n" + good + hugeLine + "\r\n" + good + hugeLine);
  }
  for (ListKind kind : kAllKinds) store.LoadListFile(kind);
  // Real records among the junk are found; a junk line only passes when it happens to decipher to
  // something with a separator, which random data does rarely.
  const auto count = [](const auto& list, auto pred) {
    size_t n = 0;
    for (const auto& entry : list) n += pred(entry) ? 1 : 0;
    return n;
  };
  EXPECT_EQ(count(store.allowList(), [](const ProgramListEntry& e) { return e.name == "good.exe"; }), 1u);
  EXPECT_EQ(count(store.blockList(), [](const ProgramListEntry& e) { return e.name == "good.exe"; }), 2u);
  EXPECT_EQ(count(store.hotKeys(), [](const HotKeyEntry& e) { return e.keyLabel == "good.exe"; }), 2u);
  EXPECT_LT(store.blockList().size(), 20u);

}

TEST_F(ListFilesTest, DeleteFileWithRetryMakesOneAttemptAndLeavesRetriesToTheCaller) {
  // Nothing there: nothing left to delete.
  EXPECT_TRUE(store.DeleteFileWithRetry("C:\\Temp\\gone.txt"));

  // A hidden file is seen and deleted; the path is trimmed first.
  files.Put("C:\\Temp\\hidden.txt", "x", /*hidden=*/true);
  EXPECT_TRUE(store.DeleteFileWithRetry("  C:\\Temp\\hidden.txt "));
  EXPECT_FALSE(files.Has("C:\\Temp\\hidden.txt"));
  // Read-only does not save a file whose removal the user asked for.
  files.Put("C:\\Temp\\kept.txt", "x");
  files.Find("C:\\Temp\\kept.txt")->readOnly = true;
  EXPECT_TRUE(store.DeleteFileWithRetry("C:\\Temp\\kept.txt"));
  EXPECT_FALSE(files.Has("C:\\Temp\\kept.txt"));

  // A file held by another program: one attempt, then back to the caller, the file still there.
  files.Put("C:\\Temp\\locked.txt", "x");
  files.Find("C:\\Temp\\locked.txt")->locked = true;
  files.log.clear();
  EXPECT_FALSE(store.DeleteFileWithRetry("C:\\Temp\\locked.txt"));
  EXPECT_EQ(files.log, (std::vector<std::string>{"remove C:\\Temp\\locked.txt"}));
  EXPECT_TRUE(files.Has("C:\\Temp\\locked.txt"));
  // Once it is let go, the next call deletes it.
  files.Find("C:\\Temp\\locked.txt")->locked = false;
  EXPECT_TRUE(store.DeleteFileWithRetry("C:\\Temp\\locked.txt"));
  EXPECT_FALSE(files.Has("C:\\Temp\\locked.txt"));
}

}  // namespace
}  // namespace corvane
