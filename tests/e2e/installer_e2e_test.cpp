// The setup program as a Windows user's administrator runs it: silently, into a folder of the test's
// own, then once more over that install, then the uninstaller with both programs running. One run
// for the whole life of an install: each step needs the state the one before leaves.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "base/win/handle.h"
#include "base/win/utf.h"
#include "tests/support/child_process.h"
#include "tests/support/e2e_support.h"

namespace corvane::testing {
namespace {

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvane";
constexpr wchar_t kMainClass[] = L"CorvaneMain";
constexpr wchar_t kBlockerClass[] = L"RizazFrmMain";
// The splash takes about seven seconds before the main window loads.
constexpr DWORD kStartMs = 30000;
// The uninstaller waits up to 10 s for the programs; Wine may be slow on top.
constexpr DWORD kUninstallMs = 40000;

std::wstring WindowsPath(const char* path) {
  std::wstring wide = corvane::win::Widen(path);
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  return wide;
}

std::wstring StartMenuShortcut() {
  wchar_t programs[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs))) return {};
  return std::wstring(programs) + L"\\Corvane.lnk";
}

std::wstring UninstallValue(const wchar_t* name) {
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kUninstallKey, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return {};
  const corvane::win::UniqueHKey key(raw);
  wchar_t value[1024] = {};
  DWORD bytes = sizeof(value) - sizeof(wchar_t);
  if (::RegQueryValueExW(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &bytes) !=
      ERROR_SUCCESS) {
    return {};
  }
  return value;
}

bool UninstallKeyExists() {
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kUninstallKey, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return false;
  ::RegCloseKey(raw);
  return true;
}

class InstallerE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder.Path().empty());
    // Left by an earlier interrupted run, it would decide where an upgrade goes.
    ASSERT_FALSE(UninstallKeyExists()) << "an install of Corvane is registered in this prefix already";
    installDir = folder.Path() + L"\\Corvane";
    DeleteSettingValues({L"Support"});
    // The advertisement area asks a closed port on this machine: nothing leaves it.
    WriteSettingValue(L"AdvServer", L"http://127.0.0.1:9");
  }

  void TearDown() override {
    corvane.Terminate();
    blocker.Terminate();
    // Whatever step failed, nothing of the install stays registered in the prefix.
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey);
    ::DeleteFileW(StartMenuShortcut().c_str());
    DeleteSettingValues({L"Support", L"AdvServer"});
  }

  // Runs the setup program silently and waits for it; its exit code.
  DWORD RunSetup(const std::wstring& arguments) {
    ChildProcess setup;
    if (!setup.Start(WindowsPath(CORVANE_TEST_SETUP_EXE), arguments)) return static_cast<DWORD>(-1);
    if (!setup.HasEnded(60000)) return STILL_ACTIVE;
    return setup.ExitCode();
  }

  std::wstring Installed(const wchar_t* name) const { return installDir + L"\\" + name; }

  // First, so it goes last: every start of Corvane writes its Run value.
  RunValueCleanup runValue;
  ScratchFolder folder;
  std::wstring installDir;
  ChildProcess corvane;
  ChildProcess blocker;
};

TEST_F(InstallerE2eTest, InstallsUpgradesKeepingListsAndUninstallEndsBothProgramsKeepingLists) {
  const wchar_t* programFiles[] = {L"Corvane.exe", L"rizaz.exe", L"README.txt", L"LICENSE.txt", L"uninstall.exe"};
  const wchar_t* listFiles[] = {L"midmo.ocx", L"cekdn.ocx", L"hovsfd.dll", L"shudw.dll"};

  // A silent install lands every file, the shortcut and the uninstall entry, and ships no list.
  ASSERT_EQ(RunSetup(L"/S /D=" + installDir), 0u);
  for (const wchar_t* file : programFiles) EXPECT_TRUE(FileExists(Installed(file))) << corvane::win::Narrow(file);
  for (const wchar_t* file : listFiles) EXPECT_FALSE(FileExists(Installed(file))) << corvane::win::Narrow(file);
  EXPECT_TRUE(FileExists(StartMenuShortcut()));
  EXPECT_EQ(UninstallValue(L"DisplayVersion"), corvane::win::Widen(CORVANE_TEST_VERSION));
  EXPECT_EQ(UninstallValue(L"InstallLocation"), installDir);
  EXPECT_EQ(UninstallValue(L"UninstallString"), L"\"" + Installed(L"uninstall.exe") + L"\"");

  // The user's lists, written between two installs. Everything running now is allowed, so the
  // program started below asks about nothing.
  ASSERT_TRUE(WriteListFile(Installed(L"midmo.ocx"), RunningProgramRecords()));
  ASSERT_TRUE(WriteListFile(Installed(L"cekdn.ocx"), {"C:\\nowhere\\blocked.exe^^^^blocked.exe"}));
  const std::string allowed = ReadWholeFile(Installed(L"midmo.ocx"));
  const std::string blocked = ReadWholeFile(Installed(L"cekdn.ocx"));
  ASSERT_FALSE(allowed.empty());

  // Run again without a folder: the upgrade finds the earlier install and leaves the lists alone.
  ASSERT_EQ(RunSetup(L"/S"), 0u);
  EXPECT_EQ(ReadWholeFile(Installed(L"midmo.ocx")), allowed);
  EXPECT_EQ(ReadWholeFile(Installed(L"cekdn.ocx")), blocked);
  EXPECT_TRUE(FileExists(Installed(L"Corvane.exe")));

  // Both programs run from the installed folder; the main program says it is alive.
  ASSERT_TRUE(corvane.Start(Installed(L"Corvane.exe")));
  ASSERT_TRUE(WaitFor([] { return ReadSettingValue(L"Support") == L"True"; }, kStartMs));
  ASSERT_TRUE(blocker.Start(Installed(L"rizaz.exe"), L"plumtide"));
  ASSERT_TRUE(WaitFor([&] { return !WindowsOf(blocker.Id(), kBlockerClass).empty(); }));
  ASSERT_TRUE(WaitFor([&] { return !WindowsOf(corvane.Id(), kMainClass).empty(); }));
  ASSERT_TRUE(RunValueText().has_value());

  // A silent uninstall ends both programs, then removes everything but the lists. The uninstaller
  // hands over to a copy of itself and returns at once, so the test waits for what it leaves.
  ChildProcess uninstall;
  ASSERT_TRUE(uninstall.Start(Installed(L"uninstall.exe"), L"/S"));
  EXPECT_TRUE(corvane.HasEnded(kUninstallMs));
  EXPECT_TRUE(blocker.HasEnded(kUninstallMs));
  EXPECT_EQ(ReadSettingValue(L"Support"), L"False");
  ASSERT_TRUE(WaitFor([] { return !UninstallKeyExists(); }, kUninstallMs));
  EXPECT_TRUE(WaitFor([&] { return !FileExists(Installed(L"uninstall.exe")); }));
  for (const wchar_t* file : programFiles) EXPECT_FALSE(FileExists(Installed(file))) << corvane::win::Narrow(file);
  EXPECT_FALSE(FileExists(StartMenuShortcut()));
  EXPECT_FALSE(RunValueText().has_value());
  EXPECT_EQ(ReadWholeFile(Installed(L"midmo.ocx")), allowed);
  EXPECT_EQ(ReadWholeFile(Installed(L"cekdn.ocx")), blocked);
}

}  // namespace
}  // namespace corvane::testing
