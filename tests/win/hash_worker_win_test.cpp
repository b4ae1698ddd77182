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

TEST(HashWorker, HashesTheFileAProcessRunsInChunksOnItsThreadAndAnswersOnTheAskingOne) {
  testing::ScratchFolder folder;
  const std::wstring abc = folder.Path() + L"\\abc.exe";
  const std::wstring big = folder.Path() + L"\\big.exe";
  const std::wstring locked = folder.Path() + L"\\locked.exe";
  const std::wstring none = folder.Path() + L"\\none.exe";
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
  // A program running from the allowed path.
  const std::wstring tool = folder.CopyIn(testing::HelperPath(L"sleeper"), L"tool.exe");
  testing::ChildProcess running;
  ASSERT_TRUE(running.Start(tool, L"60"));
  FILETIME created{}, exited{}, kernel{}, user{};
  ASSERT_TRUE(::GetProcessTimes(running.Handle(), &created, &exited, &kernel, &user));
  const ProcessIdentity process{running.Id(),
                                (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime};
  const std::string toolPath = corvane::win::Narrow(tool);

  std::map<std::string, FileLook> answers;
  DWORD answeringThread = 0;
  HashWorker worker([&](const std::string& path, const ProcessIdentity& asked, const FileLook& look) {
    answers[path + (asked.processId != 0 ? "@" : "")] = look;
    answeringThread = ::GetCurrentThreadId();
  });
  for (const std::wstring& path : {abc, big, locked, none}) worker.RequestLook(corvane::win::Narrow(path), {}, {});
  worker.RequestLook(toolPath, process, {});
  ASSERT_TRUE(PumpUntil([&] { return answers.size() == 5; }));
  EXPECT_EQ(answeringThread, ::GetCurrentThreadId());
  EXPECT_EQ(answers[corvane::win::Narrow(abc)].sha256, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(answers[corvane::win::Narrow(big)].sha256, "ffe7fe4b5e2866a0433ec4ae27932c3f50ef8b8ff5b4aa4bc3808aaf8bd2dd70");
  EXPECT_EQ(answers[corvane::win::Narrow(locked)].sha256, std::nullopt);
  EXPECT_EQ(answers[corvane::win::Narrow(none)].sha256, std::nullopt);
  // The process runs the file at its path.
  const FileLook same = answers[toolPath + "@"];
  EXPECT_TRUE(same.sha256);
  EXPECT_FALSE(same.runsOtherFile);
  ASSERT_TRUE(same.version);

  // A known hash is reused only on proof of the version; without a change journal (Wine) there is
  // none, so the file is read again and the true hash comes back.
  answers.clear();
  worker.RequestLook(toolPath, process, KnownHash{*same.version, std::string(64, 'a')});
  ASSERT_TRUE(PumpUntil([&] { return answers.size() == 1; }));
  EXPECT_EQ(answers[toolPath + "@"].sha256, same.version->Proven() ? std::string(64, 'a') : *same.sha256);

  // Renamed away while it runs, another program put at its path: the process does not run that one.
  answers.clear();
  ASSERT_TRUE(::MoveFileW(tool.c_str(), (folder.Path() + L"\\away.exe").c_str()));
  ASSERT_TRUE(::CopyFileW(testing::HelperPath(L"counter").c_str(), tool.c_str(), FALSE));
  worker.RequestLook(toolPath, process, {});
  ASSERT_TRUE(PumpUntil([&] { return answers.size() == 1; }));
  EXPECT_TRUE(answers[toolPath + "@"].runsOtherFile);
  // And nothing at all at its path: the same.
  answers.clear();
  ASSERT_TRUE(::DeleteFileW(tool.c_str()));
  worker.RequestLook(toolPath, process, {});
  ASSERT_TRUE(PumpUntil([&] { return answers.size() == 1; }));
  EXPECT_TRUE(answers[toolPath + "@"].runsOtherFile);

  // Closing with work queued and running ends at once and delivers nothing more.
  answers.clear();
  {
    HashWorker closing([&](const std::string& path, const ProcessIdentity&, const FileLook& look) {
      answers[path] = look;
    });
    for (int i = 0; i < 20; ++i) closing.RequestLook(corvane::win::Narrow(big), {}, {});
  }
  PumpUntil([] { return false; }, 200);
  EXPECT_TRUE(answers.empty());
}

}  // namespace
}  // namespace corvane::watch::win
