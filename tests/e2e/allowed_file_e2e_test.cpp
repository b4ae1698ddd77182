// Allowed programs whose file was replaced at the allowed path, in the shipped main program: started
// from a scratch copy of the program folder with an allow list that remembers the helpers' files.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/win/handle.h"
#include "base/win/utf.h"
#include "store/cipher.h"
#include "store/list_record.h"
#include "tests/support/child_process.h"
#include "tests/support/e2e_support.h"
#include "ui/main_menu.h"
#include "ui/win/alert_window.h"
#include "watch/win/file_hasher_win.h"

namespace corvane::testing {
namespace {

constexpr DWORD kStartMs = 30000;

std::vector<std::string> PlainRecords(const std::string& fileText) {
  std::vector<std::string> records;
  std::size_t start = 0;
  while (start < fileText.size()) {
    std::size_t end = fileText.find("\r\n", start);
    if (end == std::string::npos) end = fileText.size();
    records.push_back(DecryptText(fileText.substr(start, end - start)));
    start = end + 2;
  }
  return records;
}

bool Holds(const std::vector<std::string>& records, const std::string& record) {
  for (const std::string& r : records) {
    if (r == record) return true;
  }
  return false;
}

std::string Today() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return FingerprintDay(now.wYear, now.wMonth, now.wDay);
}

// No blocker of the test may outlive it, however it ends.
struct BlockerCleanup {
  ~BlockerCleanup() {
    WriteSettingValue(L"Support", L"False");
    DeleteSettingValues({L"AdvServer"});
    for (const std::uint32_t id : ProcessIdsNamed(L"rizaz.exe")) {
      corvane::win::UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, id));
      if (process) ::WaitForSingleObject(process.get(), 3000);
    }
  }
};

TEST(AllowedFileE2eTest, AReplacedAllowedFileIsAskedAboutWithItsChangeAndAnUntouchedOneIsNot) {
  RunValueCleanup runValue;
  BlockerCleanup blocker;
  DeleteSettingValues({L"Support", L"Read", L"OptAllowAll", L"ChkBeep", L"ChkDontShow"});
  WriteSettingValue(L"AdvServer", L"http://127.0.0.1:9");
  ScratchFolder folder;
  ASSERT_FALSE(folder.Path().empty());
  const std::wstring corvane = folder.CopyIn(DistPath(L"Corvane.exe"), L"Corvane.exe");
  ASSERT_FALSE(folder.CopyIn(DistPath(L"rizaz.exe"), L"rizaz.exe").empty());

  // Two helpers allowed on 4 March 2026 as the same file; one of them is then replaced by another
  // file (the same program with bytes added at its end, so it still runs).
  ScratchFolder apps;
  const std::wstring same = apps.CopyIn(HelperPath(L"sleeper"), L"cvsame.exe");
  const std::wstring swapped = apps.CopyIn(HelperPath(L"sleeper"), L"cvswapped.exe");
  ASSERT_FALSE(same.empty());
  ASSERT_FALSE(swapped.empty());
  watch::win::Win32FileHasher hasher;
  const auto hashOf = [&hasher](const std::wstring& path) {
    return hasher.LookAtFile(corvane::win::Narrow(path), {}, std::nullopt).sha256.value_or("");
  };
  const std::string allowedHash = hashOf(same);
  ASSERT_EQ(allowedHash.size(), 64u);
  ASSERT_TRUE(WriteWholeFile(swapped, ReadWholeFile(swapped) + "another file"));
  const std::string newHash = hashOf(swapped);
  ASSERT_EQ(newHash.size(), 64u);
  ASSERT_NE(newHash, allowedHash);
  const FileFingerprint allowed{allowedHash, "2026-03-04"};
  const std::string sameRecord = ProgramRecord(corvane::win::Narrow(same), "cvsame.exe", allowed);
  std::vector<std::string> records = RunningProgramRecords();
  records.push_back(sameRecord);
  records.push_back(ProgramRecord(corvane::win::Narrow(swapped), "cvswapped.exe", allowed));
  // A third one, still the allowed file, to be rewritten later under its old size and times.
  const std::wstring forged = apps.CopyIn(HelperPath(L"sleeper"), L"cvforged.exe");
  ASSERT_FALSE(forged.empty());
  records.push_back(ProgramRecord(corvane::win::Narrow(forged), "cvforged.exe", allowed));
  ASSERT_TRUE(WriteListFile(folder.Path() + L"\\midmo.ocx", records));

  ChildProcess main;
  HWND window = StartCorvaneWindow(main, corvane, L"", true, kStartMs);
  ASSERT_NE(window, nullptr);
  ChildProcess untouched;
  ChildProcess replaced;
  ASSERT_TRUE(untouched.Start(same, L"90"));
  ASSERT_TRUE(replaced.Start(swapped, L"90"));

  const auto waitForAlert = [&](DWORD timeoutMs) { return WaitForAlertOf(main.Id(), timeoutMs); };
  HWND alert = waitForAlert(kE2eTimeoutMs);
  ASSERT_NE(alert, nullptr);
  EXPECT_NE(FindChild(alert, L"cvswapped.exe"), nullptr);
  const HWND note = FindChildById(alert, ui::win::kAlertNotesId);
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(WindowText(note).rfind(L"This file has changed since you allowed it on 4 March 2026.", 0), 0u);
  HWND allow = FindChild(alert, L"Allow");
  ASSERT_NE(allow, nullptr);
  ::PostMessageW(allow, BM_CLICK, 0, 0);

  // The allowance now remembers the new file, from today; the untouched one keeps its record.
  const std::string replacedRecord =
      ProgramRecord(corvane::win::Narrow(swapped), "cvswapped.exe", {newHash, Today()});
  // Read now and then rather than every few milliseconds: a reader holding the file open makes the
  // program's replacement of it wait and retry.
  EXPECT_TRUE(WaitFor([&] {
    ::Sleep(100);
    return Holds(PlainRecords(ReadWholeFile(folder.Path() + L"\\midmo.ocx")), replacedRecord);
  }));
  const std::vector<std::string> after = PlainRecords(ReadWholeFile(folder.Path() + L"\\midmo.ocx"));
  EXPECT_TRUE(Holds(after, sameRecord));
  std::vector<std::string> swappedRecords;
  for (const std::string& record : after) {
    if (record.find("cvswapped.exe") != std::string::npos) swappedRecords.push_back(record);
  }
  EXPECT_EQ(swappedRecords, std::vector<std::string>{replacedRecord});
  // Nothing more is asked: not the untouched helper, not the one just allowed again.
  EXPECT_EQ(waitForAlert(3000), nullptr);
  EXPECT_FALSE(untouched.HasEnded());
  EXPECT_FALSE(replaced.HasEnded());


  // The third runs once as allowed and is looked at; then its content is rewritten in place, same
  // size, its times put back: the next start is asked about all the same.
  {
    ChildProcess first;
    ASSERT_TRUE(first.Start(forged, L"90"));
    EXPECT_EQ(waitForAlert(3000), nullptr);
    first.Terminate();
    ASSERT_TRUE(first.HasEnded(kE2eTimeoutMs));
  }
  FILETIME created{}, accessed{}, written{};
  {
    corvane::win::UniqueFileHandle file(::CreateFileW(forged.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                      OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    ASSERT_TRUE(::GetFileTime(file.get(), &created, &accessed, &written));
  }
  std::string content = ReadWholeFile(forged);
  const std::size_t stub = content.find("DOS mode");
  ASSERT_NE(stub, std::string::npos);
  content[stub] = 'd';  // the same size, another file, still a program that runs
  ASSERT_TRUE(WriteWholeFile(forged, content));
  {
    corvane::win::UniqueFileHandle file(::CreateFileW(forged.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                                      OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    ASSERT_TRUE(::SetFileTime(file.get(), &created, &accessed, &written));
  }
  ASSERT_NE(hashOf(forged), allowedHash);
  ChildProcess again;
  ASSERT_TRUE(again.Start(forged, L"90"));
  alert = waitForAlert(kE2eTimeoutMs);
  ASSERT_NE(alert, nullptr);
  EXPECT_NE(FindChild(alert, L"cvforged.exe"), nullptr);
  const HWND forgedNote = FindChildById(alert, ui::win::kAlertNotesId);
  ASSERT_NE(forgedNote, nullptr);
  EXPECT_EQ(WindowText(forgedNote).rfind(L"This file has changed since you allowed it on 4 March 2026.", 0), 0u);
  HWND block = FindChild(alert, L"Block");
  ASSERT_NE(block, nullptr);
  ::PostMessageW(block, BM_CLICK, 0, 0);
  EXPECT_TRUE(again.HasEnded(kE2eTimeoutMs));

  ::PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(ui::MenuCommand::Close), 0);
  EXPECT_TRUE(main.HasEnded(kE2eTimeoutMs));
}

}  // namespace
}  // namespace corvane::testing
