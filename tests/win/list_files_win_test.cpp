#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <thread>

#include "base/win/handle.h"
#include "base/win/utf.h"
#include "rizaz/win/list_file_win.h"
#include "store/cipher.h"
#include "store/list_files.h"
#include "store/lists.h"
#include "store/win/win32_list_file_system.h"
#include "tests/fakes/fake_dialogs.h"
#include "tests/fakes/fake_file_chooser.h"
#include "tests/fakes/fake_list_operations_host.h"
#include "tests/fakes/memory_settings.h"
#include "ui/list_operations.h"

namespace corvane::win {
namespace {

// A fresh folder under the temporary folder, emptied (hidden and read-only files too) and removed
// at the end of the test.
class ListScratch {
 public:
  ListScratch() {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, temp);
    for (int n = 0; n < 100 && path_.empty(); ++n) {
      const std::wstring candidate = std::wstring(temp) + L"corvane-lists-" + std::to_wstring(::GetCurrentProcessId()) +
                                     L"-" + std::to_wstring(n);
      if (::CreateDirectoryW(candidate.c_str(), nullptr)) path_ = candidate;
    }
  }
  ~ListScratch() {
    if (path_.empty()) return;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((path_ + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring full = path_ + L"\\" + name;
        ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          ::RemoveDirectoryW(full.c_str());
        } else {
          ::DeleteFileW(full.c_str());
        }
      } while (::FindNextFileW(find, &data));
      ::FindClose(find);
    }
    ::RemoveDirectoryW(path_.c_str());
  }
  ListScratch(const ListScratch&) = delete;
  ListScratch& operator=(const ListScratch&) = delete;

  std::string Dir() const { return Narrow(path_); }
  std::string File(const char* name) const { return Dir() + "\\" + name; }

 private:
  std::wstring path_;
};

std::string Stored(std::initializer_list<std::string> plainRecords) {
  std::string text;
  for (const std::string& plain : plainRecords) text += EncryptText(plain) + "\r\n";
  return text;
}

void WriteRaw(const std::string& path, const std::string& bytes) {
  UniqueFileHandle file(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file);
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

std::string ReadRaw(const std::string& path) {
  Win32ListFileSystem files;
  std::string content;
  files.ReadWholeFile(path, 1 << 20, content);
  return content;
}

void SetAttributes(const std::string& path, DWORD attributes) {
  ASSERT_TRUE(::SetFileAttributesW(Widen(path).c_str(), attributes));
}

class ListFilesWin : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(scratch.Dir().empty()); }

  ListScratch scratch;
  Win32ListFileSystem files;
  testing::MemorySettings settings;
  ListFileStore store{files, settings, scratch.Dir()};
};

TEST_F(ListFilesWin, HiddenFileCountsAsMissingForLoadingButIsSeenByDeleteFileWithRetry) {
  const std::string path = store.ListFilePath(ListKind::Block);
  WriteRaw(path, Stored({"C:\\x.exe^^^^x.exe"}));
  EXPECT_TRUE(files.VisibleFileExists(path));
  SetAttributes(path, FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(files.VisibleFileExists(path));
  EXPECT_TRUE(files.AnyFileExists(path));
  store.LoadListFile(ListKind::Block);
  EXPECT_TRUE(store.blockList().empty());

  EXPECT_TRUE(store.DeleteFileWithRetry(" " + path + " "));
  EXPECT_FALSE(files.AnyFileExists(path));
}

TEST_F(ListFilesWin, ExistenceTestsSeeFilesOnly) {
  const std::string system = scratch.File("system.txt");
  WriteRaw(system, "x");
  SetAttributes(system, FILE_ATTRIBUTE_SYSTEM);
  EXPECT_FALSE(files.VisibleFileExists(system));
  EXPECT_TRUE(files.AnyFileExists(system));
  // A folder is no file, under either test.
  const std::string folder = scratch.File("folder.ocx");
  ASSERT_TRUE(::CreateDirectoryW(Widen(folder).c_str(), nullptr));
  EXPECT_FALSE(files.VisibleFileExists(folder));
  EXPECT_FALSE(files.AnyFileExists(folder));
  EXPECT_TRUE(store.DeleteFileWithRetry(folder));
  // A wildcard is not taken as a pattern that happens to match a file.
  WriteRaw(scratch.File("plain.txt"), "x");
  EXPECT_TRUE(files.VisibleFileExists(scratch.File("plain.txt")));
  EXPECT_FALSE(files.VisibleFileExists(scratch.File("pl*.txt")));
  EXPECT_FALSE(files.VisibleFileExists(scratch.File("plain.tx?")));
  EXPECT_FALSE(files.VisibleFileExists(scratch.File("missing.txt")));
}

TEST_F(ListFilesWin, AppendCreatesTheFileAndKeepsEveryRecordOnALineOfItsOwn) {
  const std::string path = store.ListFilePath(ListKind::Allow);
  EXPECT_TRUE(store.AppendListLine(ListKind::Allow, "C:\\a.exe^^^^a.exe"));
  EXPECT_EQ(ReadRaw(path), Stored({"C:\\a.exe^^^^a.exe"}));
  EXPECT_TRUE(store.AppendListLine(ListKind::Allow, "C:\\b.exe^^^^b.exe"));
  EXPECT_EQ(ReadRaw(path), Stored({"C:\\a.exe^^^^a.exe", "C:\\b.exe^^^^b.exe"}));

  // A last line without CR LF (written by someone else) gets one before the new record.
  const std::string cut = EncryptText("C:\\c.exe^^^^c.exe");
  WriteRaw(path, cut);
  EXPECT_TRUE(store.AppendListLine(ListKind::Allow, "C:\\d.exe^^^^d.exe"));
  EXPECT_EQ(ReadRaw(path), cut + "\r\n" + EncryptText("C:\\d.exe^^^^d.exe") + "\r\n");
  store.LoadListFile(ListKind::Allow);
  EXPECT_EQ(store.allowList(), (AllowList{{"c.exe", "C:\\c.exe"}, {"d.exe", "C:\\d.exe"}}));
}

TEST_F(ListFilesWin, RewriteReplacesTheFileInOneStepAndLeavesNothingBeside) {
  const std::string path = store.ListFilePath(ListKind::Block);
  store.AppendListLine(ListKind::Block, "C:\\a.exe^^^^a.exe");
  store.AppendListLine(ListKind::Block, "C:\\b.exe^^^^b.exe");
  store.LoadListFile(ListKind::Block);
  store.blockList().erase(store.blockList().begin());
  EXPECT_TRUE(store.RewriteListFile(ListKind::Block));
  EXPECT_EQ(ReadRaw(path), Stored({"C:\\b.exe^^^^b.exe"}));
  EXPECT_FALSE(files.AnyFileExists(path + ".tmp"));
  EXPECT_EQ(settings.Get(settings::kRead), "True");

  // A hidden list file is replaced by an ordinary one; a hidden leftover temp file is no obstacle.
  SetAttributes(path, FILE_ATTRIBUTE_HIDDEN);
  WriteRaw(path + ".tmp", "leftover");
  SetAttributes(path + ".tmp", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
  store.blockList().push_back({"c.exe", "C:\\c.exe"});
  EXPECT_TRUE(store.RewriteListFile(ListKind::Block));
  EXPECT_TRUE(files.VisibleFileExists(path));
  EXPECT_EQ(ReadRaw(path), Stored({"C:\\b.exe^^^^b.exe", "C:\\c.exe^^^^c.exe"}));
  EXPECT_FALSE(files.AnyFileExists(path + ".tmp"));

  // The last entry gone: no file at all.
  store.blockList().clear();
  EXPECT_TRUE(store.RewriteListFile(ListKind::Block));
  EXPECT_FALSE(files.AnyFileExists(path));
}

TEST_F(ListFilesWin, ARewriteThatCannotReplaceTheFileLeavesItWhole) {
  const std::string path = store.ListFilePath(ListKind::TrashJar);
  const std::string old = Stored({"C:\\one.txt", "C:\\two.txt"});
  WriteRaw(path, old);
  SetAttributes(path, FILE_ATTRIBUTE_READONLY);
  store.trashJar() = {"C:\\two.txt"};
  EXPECT_FALSE(store.RewriteListFile(ListKind::TrashJar));
  EXPECT_EQ(ReadRaw(path), old);
  EXPECT_FALSE(files.AnyFileExists(path + ".tmp"));
  EXPECT_EQ(store.trashJar(), (TrashJarList{"C:\\two.txt"}));
}

TEST_F(ListFilesWin, AFileLockedByAnotherHandleIsNeitherReadNorChanged) {
  const std::string path = store.ListFilePath(ListKind::Allow);
  const std::string old = Stored({"C:\\a.exe^^^^a.exe"});
  WriteRaw(path, old);
  {
    UniqueFileHandle lock(::CreateFileW(Widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(lock);
    store.allowList() = {{"had.exe", "C:\\had.exe"}};
    store.LoadListFile(ListKind::Allow);
    EXPECT_EQ(store.allowList(), (AllowList{{"had.exe", "C:\\had.exe"}}));
    EXPECT_FALSE(store.AppendListLine(ListKind::Allow, "C:\\b.exe^^^^b.exe"));
    EXPECT_FALSE(store.RewriteListFile(ListKind::Allow));
    EXPECT_FALSE(files.RemoveFile(path));
    EXPECT_FALSE(store.DeleteFileWithRetry(path));
  }
  EXPECT_EQ(ReadRaw(path), old);
  EXPECT_FALSE(files.AnyFileExists(path + ".tmp"));
}

TEST_F(ListFilesWin, ABlockListThatRizazHoldsBrieflyIsStillRewritten) {
  const std::string path = store.ListFilePath(ListKind::Block);
  WriteRaw(path, Stored({"C:\\a.exe^^^^a.exe"}));
  // rizaz opens the file this way while it reloads, for a moment.
  const auto openAsRizaz = [&path] {
    return UniqueFileHandle(::CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  };
  UniqueFileHandle reader = openAsRizaz();
  ASSERT_TRUE(reader);
  EXPECT_TRUE(store.AppendListLine(ListKind::Block, "C:\\b.exe^^^^b.exe"));
  std::thread release([&reader] {
    ::Sleep(30);
    reader.reset();
  });
  store.blockList() = {{"c.exe", "C:\\c.exe"}};
  EXPECT_TRUE(store.RewriteListFile(ListKind::Block));
  release.join();
  EXPECT_EQ(ReadRaw(path), Stored({"C:\\c.exe^^^^c.exe"}));

  // Held for good: the rewrite gives up and the file keeps its last complete content.
  reader = openAsRizaz();
  ASSERT_TRUE(reader);
  store.blockList() = {{"d.exe", "C:\\d.exe"}};
  EXPECT_FALSE(store.RewriteListFile(ListKind::Block));
  reader.reset();
  EXPECT_EQ(ReadRaw(path), Stored({"C:\\c.exe^^^^c.exe"}));
  EXPECT_FALSE(files.AnyFileExists(path + ".tmp"));
}

TEST_F(ListFilesWin, AReadOnlyFileAskedGoneIsDeletedUnlessHeldOpenThenItKeepsItsAttributes) {
  const std::string path = scratch.File("readonly.txt");
  WriteRaw(path, "x");
  SetAttributes(path, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  // The system's own deletion refuses it.
  EXPECT_FALSE(files.RemoveFile(path));
  {
    // Held open without delete sharing: it stays, read-only as before.
    UniqueFileHandle held(::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    EXPECT_FALSE(store.DeleteFileWithRetry(path));
    EXPECT_TRUE(files.AnyFileExists(path));
    EXPECT_EQ(::GetFileAttributesW(Widen(path).c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY |
                                                                           FILE_ATTRIBUTE_ARCHIVE));
  }
  // Let go: deleted, read-only or not.
  EXPECT_TRUE(store.DeleteFileWithRetry(path));
  EXPECT_FALSE(files.AnyFileExists(path));
}

TEST_F(ListFilesWin, AppendsFromTwoWritersAtOnceLoseNoRecord) {
  // Each append opens the file afresh, as two programs (or a program and a tick) would.
  const std::string path = store.ListFilePath(ListKind::TrashJar);
  constexpr int kPerWriter = 150;
  const auto writer = [&path](char tag) {
    Win32ListFileSystem own;
    for (int i = 0; i < kPerWriter; ++i) {
      own.AppendLine(path, EncryptText(std::string("C:\\") + tag + "\\record " + std::to_string(i) + ".txt"));
    }
  };
  std::thread first(writer, 'a');
  std::thread second(writer, 'b');
  first.join();
  second.join();
  store.LoadListFile(ListKind::TrashJar);
  ASSERT_EQ(store.trashJar().size(), 2u * kPerWriter);
  // Every record whole, each writer's records in its own order.
  int next[2] = {0, 0};
  for (const std::string& entry : store.trashJar()) {
    ASSERT_TRUE(entry.size() > 3 && (entry[3] == 'a' || entry[3] == 'b')) << entry;
    const int writerIndex = entry[3] - 'a';
    EXPECT_EQ(entry, std::string("C:\\") + entry[3] + "\\record " + std::to_string(next[writerIndex]++) + ".txt");
  }
}

TEST(BlockerListReader, ReadsUpToTheLimitAndSaysWhenItStopped) {
  ListScratch scratch;
  ASSERT_FALSE(scratch.Dir().empty());
  const std::string path = scratch.File("cekdn.ocx");
  Win32ListFileReader reader(Widen(path));
  std::string text = "old";
  // Missing: made empty, read as empty.
  EXPECT_EQ(reader.Read(100, text), rizaz::ListRead::Whole);
  EXPECT_EQ(text, "");
  EXPECT_TRUE(Win32ListFileSystem().AnyFileExists(path));
  // More than the limit, across more than one read chunk; exactly the limit; less.
  std::string content(200000, 'x');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>('a' + i % 26);
  WriteRaw(path, content);
  EXPECT_EQ(reader.Read(100, text), rizaz::ListRead::Capped);
  EXPECT_EQ(text, content.substr(0, 100));
  EXPECT_EQ(reader.Read(150000, text), rizaz::ListRead::Capped);
  EXPECT_EQ(text, content.substr(0, 150000));
  EXPECT_EQ(reader.Read(content.size(), text), rizaz::ListRead::Whole);
  EXPECT_EQ(text, content);
  EXPECT_EQ(reader.Read(1 << 20, text), rizaz::ListRead::Whole);
  EXPECT_EQ(text, content);
  // Held without sharing by another program: failed, try again later.
  UniqueFileHandle lock(
      ::CreateFileW(Widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(lock);
  EXPECT_EQ(reader.Read(1 << 20, text), rizaz::ListRead::Failed);
}

// The allowed panel's move to the block list, onto a read-only cekdn.ocx: the user is told, and the
// next start still finds the program allowed, not blocked.
TEST_F(ListFilesWin, AMoveOntoAReadOnlyBlockFileIsToldAndTheProgramIsStillAllowedAfterARestart) {
  Lists lists(files, settings, scratch.Dir());
  ASSERT_TRUE(lists.Allow("tool.exe", "C:\\apps\\tool.exe").saved());
  ASSERT_TRUE(lists.Block("old.exe", "C:\\apps\\old.exe").saved());
  SetAttributes(lists.ListFilePath(ListKind::Block), FILE_ATTRIBUTE_READONLY);
  watch::RunningProgramList running;
  ui::ListPanelsModel panels({lists.allowList(), lists.blockList(), lists.trashJar(), running});
  testing::FakeListOperationsHost host(panels);
  testing::FakeDialogs dialogs;
  dialogs.unscriptedAnswer = true;
  testing::FakeFileChooser chooser;
  ui::ListOperations operations(lists, running, panels, dialogs, chooser, host);
  host.ListsChanged();
  panels.SetSelected(ui::Panel::Allowed, 0, true);
  operations.Run(ui::PanelCommand::AllowedToBlockList);
  EXPECT_EQ(dialogs.informations, std::vector<std::string>{UnsavedListMessage(ListKind::Block)});
  EXPECT_FALSE(lists.IsInBlockList("tool.exe"));

  Lists restarted(files, settings, scratch.Dir());
  restarted.Load();
  EXPECT_TRUE(restarted.IsInAllowList("tool.exe", "C:\\apps\\tool.exe"));
  EXPECT_FALSE(restarted.IsInBlockList("tool.exe"));
  EXPECT_TRUE(restarted.IsInBlockList("old.exe"));
}

}  // namespace
}  // namespace corvane::win
