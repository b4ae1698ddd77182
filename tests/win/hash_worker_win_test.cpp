#include "watch/win/hash_worker_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "base/win/handle.h"
#include "base/win/utf.h"
#include "tests/support/child_process.h"
#include "tests/support/e2e_support.h"
#include "tests/support/message_pump.h"

namespace corvane::watch::win {
namespace {

using corvane::testing::PumpUntil;

TEST(HashWorker, HashesFilesInChunksOnItsThreadAndAnswersOnTheAskingOne) {
  testing::ScratchFolder folder;
  const std::wstring abc = folder.Path() + L"\\abc.exe";
  const std::wstring big = folder.Path() + L"\\big.exe";
  const std::wstring locked = folder.Path() + L"\\locked.exe";
  // More than two chunks, the last one short.
  std::string bytes((5u << 19) + 7, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i % 251);
  ASSERT_TRUE(testing::WriteWholeFile(abc, "abc"));
  ASSERT_TRUE(testing::WriteWholeFile(big, bytes));
  ASSERT_TRUE(testing::WriteWholeFile(locked, "x"));
  // Held open without sharing, as a file being written by an installer may be.
  const corvane::win::UniqueFileHandle holder(
      ::CreateFileW(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);

  Win32FileHasher versions;
  const std::optional<FileVersion> bigVersion = versions.ReadFileVersion(corvane::win::Narrow(big));
  ASSERT_TRUE(bigVersion);
  EXPECT_EQ(bigVersion->size, bytes.size());
  EXPECT_NE(bigVersion->lastWriteTime, 0u);
  EXPECT_EQ(versions.ReadFileVersion(corvane::win::Narrow(folder.Path() + L"\\none.exe")), std::nullopt);
  EXPECT_EQ(versions.ReadFileVersion(corvane::win::Narrow(folder.Path())), std::nullopt);  // a folder

  std::map<std::string, std::optional<std::string>> answers;
  DWORD answeringThread = 0;
  HashWorker worker([&](const std::string& path, const FileVersion&, const std::optional<std::string>& sha256) {
    answers[path] = sha256;
    answeringThread = ::GetCurrentThreadId();
  });
  const auto ask = [&](const std::wstring& path) {
    const std::string narrow = corvane::win::Narrow(path);
    worker.RequestHash(narrow, versions.ReadFileVersion(narrow).value_or(FileVersion{1, 1}));
  };
  ask(abc);
  ask(big);
  ask(locked);
  // Asked at one version and found at another: written meanwhile, so no answer to trust.
  worker.RequestHash(corvane::win::Narrow(abc) + " ", {3, 1});
  ask(folder.Path() + L"\\none.exe");
  ASSERT_TRUE(PumpUntil([&] { return answers.size() == 5; }));
  EXPECT_EQ(answeringThread, ::GetCurrentThreadId());
  EXPECT_EQ(answers[corvane::win::Narrow(abc)], "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(answers[corvane::win::Narrow(big)], "ffe7fe4b5e2866a0433ec4ae27932c3f50ef8b8ff5b4aa4bc3808aaf8bd2dd70");
  EXPECT_EQ(answers[corvane::win::Narrow(locked)], std::nullopt);
  EXPECT_EQ(answers[corvane::win::Narrow(abc) + " "], std::nullopt);
  EXPECT_EQ(answers[corvane::win::Narrow(folder.Path() + L"\\none.exe")], std::nullopt);

  // Closing with work queued and running ends at once and delivers nothing more.
  answers.clear();
  {
    HashWorker closing([&](const std::string& path, const FileVersion&, const std::optional<std::string>&) {
      answers[path] = std::nullopt;
    });
    for (int i = 0; i < 20; ++i) closing.RequestHash(corvane::win::Narrow(big), *bigVersion);
  }
  PumpUntil([] { return false; }, 200);
  EXPECT_TRUE(answers.empty());
}

}  // namespace
}  // namespace corvane::watch::win
