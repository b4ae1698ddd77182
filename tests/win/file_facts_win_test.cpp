#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "base/win/utf.h"
#include "process/file_facts.h"
#include "process/win/file_facts_win.h"
#include "process/win/memory_figures_win.h"
#include "process/win/system_folders.h"
#include "tests/support/child_process.h"
#include "tests/support/version_resource_bytes.h"

namespace corvane::win {
namespace {

using corvane::testing::ChildProcess;
using corvane::testing::HelperPath;
using corvane::testing::ScratchFolder;

constexpr std::uint32_t kUnusedId = 0x7FFFFFF0;

std::string HelperFile(const wchar_t* name) { return Narrow(HelperPath(name)); }

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  const UniqueFileHandle file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// The system's version-information calls, loaded at run time: the tests link no more than the
// program does.
struct VersionCalls {
  using SizeCall = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
  using InfoCall = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
  using QueryCall = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
  VersionCalls() {
    const HMODULE library = ::LoadLibraryW(L"version.dll");
    if (library == nullptr) return;
    size = reinterpret_cast<SizeCall>(reinterpret_cast<void*>(::GetProcAddress(library, "GetFileVersionInfoSizeW")));
    info = reinterpret_cast<InfoCall>(reinterpret_cast<void*>(::GetProcAddress(library, "GetFileVersionInfoW")));
    query = reinterpret_cast<QueryCall>(reinterpret_cast<void*>(::GetProcAddress(library, "VerQueryValueW")));
  }
  bool Loaded() const { return size != nullptr && info != nullptr && query != nullptr; }
  SizeCall size = nullptr;
  InfoCall info = nullptr;
  QueryCall query = nullptr;
};

const VersionCalls& Version() {
  static const VersionCalls calls;
  return calls;
}

bool HasVersionInformation(const std::wstring& path) {
  DWORD ignored = 0;
  return Version().size(path.c_str(), &ignored) != 0;
}

// The company name as the system's own version calls read it, from the first translation.
std::string SystemCompanyName(const std::string& path) {
  const std::wstring widePath = Widen(path);
  DWORD ignored = 0;
  const DWORD size = Version().size(widePath.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<unsigned char> data(size);
  if (!Version().info(widePath.c_str(), 0, size, data.data())) return {};
  struct Translation {
    WORD language;
    WORD codePage;
  }* translations = nullptr;
  UINT length = 0;
  if (!Version().query(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                       &length) ||
      length < sizeof(Translation)) {
    return {};
  }
  wchar_t key[64];
  std::swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\CompanyName", translations[0].language,
                translations[0].codePage);
  wchar_t* value = nullptr;
  if (!Version().query(data.data(), key, reinterpret_cast<void**>(&value), &length) || value == nullptr) return {};
  return Narrow(std::wstring_view(value, ::wcsnlen(value, length)));
}

TEST(CompanyNameWin, ReadsRealExecutables) {
  EXPECT_EQ(GetCompanyName(HelperFile(L"ver_microsoft")), "Microsoft Corporation");
  EXPECT_TRUE(IsMicrosoftFile(HelperFile(L"ver_microsoft")));
  // An empty company entry followed by the description.
  EXPECT_EQ(GetCompanyName(HelperFile(L"ver_empty")), "");
  EXPECT_FALSE(IsMicrosoftFile(HelperFile(L"ver_empty")));
  // The system agrees that the stand-in program has no version information at all.
  ASSERT_TRUE(Version().Loaded());
  EXPECT_TRUE(HasVersionInformation(HelperPath(L"ver_empty")));
  EXPECT_FALSE(HasVersionInformation(HelperPath(L"sleeper")));
  EXPECT_EQ(GetCompanyName(HelperFile(L"sleeper")), "");
  EXPECT_FALSE(IsMicrosoftFile(HelperFile(L"sleeper")));
}

TEST(CompanyNameWin, AgreesWithTheSystemOnItsOwnLibraries) {
  const std::string system = GetSystemFolder();
  ASSERT_FALSE(system.empty());
  ASSERT_TRUE(Version().Loaded());
  // Libraries whose tables carry the usual entry types (a table written with type 0, as some
  // resource compilers do, is not recognised by the byte search and is looked for as 8-bit text).
  for (const char* name : {"kernel32.dll", "ntdll.dll", "user32.dll", "advapi32.dll"}) {
    const std::string path = system + "\\" + name;
    const std::string expected = SystemCompanyName(path);
    ASSERT_FALSE(expected.empty()) << path;
    EXPECT_EQ(GetCompanyName(path), expected) << path;
  }
}

TEST(CompanyNameWin, ReadsAProgramWhileItRuns) {
  ScratchFolder folder;
  const std::wstring copy = folder.CopyIn(HelperPath(L"ver_microsoft"), L"running maker.exe");
  ASSERT_FALSE(copy.empty());
  ChildProcess child;
  ASSERT_TRUE(child.Start(copy, L"60"));
  ASSERT_TRUE(child.WaitUntilListed());
  EXPECT_EQ(GetCompanyName(Narrow(copy)), "Microsoft Corporation");
  EXPECT_TRUE(IsMicrosoftFile(Narrow(copy)));
}

TEST(CompanyNameWin, UnreadableOrEmptyFilesGiveNothing) {
  ScratchFolder folder;
  ASSERT_FALSE(folder.Path().empty());
  const std::wstring empty = folder.Path() + L"\\empty.exe";
  ASSERT_TRUE(WriteBytes(empty, ""));
  EXPECT_EQ(GetCompanyName(Narrow(empty)), "");
  EXPECT_EQ(GetCompanyName(Narrow(folder.Path())), "");
  EXPECT_EQ(GetCompanyName(Narrow(folder.Path() + L"\\missing.exe")), "");
  EXPECT_EQ(GetCompanyName(""), "");
  EXPECT_FALSE(IsMicrosoftFile(Narrow(folder.Path() + L"\\missing.exe")));
  // A device opens by name but has no bytes to search.
  EXPECT_EQ(GetCompanyName("NUL"), "");
  // An old program's 8-bit table, in a file whose name is not ASCII.
  const std::wstring old = folder.Path() + L"\\\u00e4lter.exe";
  ASSERT_TRUE(WriteBytes(old, corvane::testing::FileAround(corvane::testing::NarrowVersionResource(
                                  {{"CompanyName", "Old Maker"}, {"FileDescription", "d"}}))));
  EXPECT_EQ(GetCompanyName(Narrow(old)), "Old Maker");
}

TEST(CompanyNameWin, SearchesOnlyTheFirstBytesUpToTheLimit) {
  ScratchFolder folder;
  ASSERT_FALSE(folder.Path().empty());
  const std::wstring path = folder.Path() + L"\\big.bin";
  const std::string resource = corvane::testing::WideVersionResource("Deep Maker", "d");
  constexpr size_t kLimit = 1 << 20;
  // The table just inside the limit, then just past it.
  std::string bytes(kLimit - 4096, '\0');
  bytes += resource + std::string(3 * kLimit, '\0');
  ASSERT_TRUE(WriteBytes(path, bytes));
  EXPECT_EQ(GetCompanyName(Narrow(path), kLimit), "Deep Maker");
  EXPECT_EQ(GetCompanyName(Narrow(path)), "Deep Maker");
  bytes.insert(0, std::string(8192, '\0'));
  ASSERT_TRUE(WriteBytes(path, bytes));
  EXPECT_EQ(GetCompanyName(Narrow(path), kLimit), "");
  EXPECT_EQ(GetCompanyName(Narrow(path)), "Deep Maker");
  EXPECT_EQ(GetCompanyName(Narrow(path), 0), "");
}

// A file time for a local date and time of this machine.
std::uint64_t LocalFileTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
  SYSTEMTIME local{};
  local.wYear = year;
  local.wMonth = month;
  local.wDay = day;
  local.wHour = hour;
  local.wMinute = minute;
  local.wSecond = second;
  SYSTEMTIME utc{};
  FILETIME time{};
  if (!::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !::SystemTimeToFileTime(&utc, &time)) return 0;
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::string LocaleText(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, bool withTime) {
  SYSTEMTIME local{};
  local.wYear = year;
  local.wMonth = month;
  local.wDay = day;
  local.wHour = hour;
  local.wMinute = minute;
  local.wSecond = second;
  wchar_t date[128] = {};
  wchar_t time[128] = {};
  ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, 128, nullptr);
  ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &local, nullptr, time, 128);
  std::wstring text = date;
  if (withTime) text += L" " + std::wstring(time);
  return Narrow(text);
}

TEST(GeneralDateWin, LocaleShortDateAndLongTimeWithoutTimeAtMidnight) {
  EXPECT_EQ(GeneralDateFromFileTime(LocalFileTime(2021, 3, 4, 5, 6, 7)), LocaleText(2021, 3, 4, 5, 6, 7, true));
  EXPECT_EQ(GeneralDateFromFileTime(LocalFileTime(2021, 7, 14, 0, 0, 0)), LocaleText(2021, 7, 14, 0, 0, 0, false));
  // A second past midnight keeps its time.
  EXPECT_EQ(GeneralDateFromFileTime(LocalFileTime(2021, 7, 14, 0, 0, 1)), LocaleText(2021, 7, 14, 0, 0, 1, true));
}

class FileFactWin : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder.Path().empty());
    path = folder.Path() + L"\\facts.exe";
    ASSERT_TRUE(WriteBytes(path, std::string(1234, 'x')));
  }
  // Sets the file's times and attributes.
  void SetTimes(std::uint64_t created, std::uint64_t modified) {
    const UniqueFileHandle file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    const FILETIME c{static_cast<DWORD>(created), static_cast<DWORD>(created >> 32)};
    const FILETIME m{static_cast<DWORD>(modified), static_cast<DWORD>(modified >> 32)};
    ASSERT_TRUE(::SetFileTime(file.get(), &c, nullptr, &m));
  }
  void SetAttributes(DWORD attributes) {
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes));
    ASSERT_EQ(::GetFileAttributesW(path.c_str()) & attributes, attributes) << "attributes not kept here";
  }
  std::string Fact(bool size, bool created, bool modified) { return GetFileFact(Narrow(path), size, created, modified); }

  ScratchFolder folder;
  std::wstring path;
};

TEST_F(FileFactWin, SizeCreatedAndModifiedByPrecedence) {
  SetTimes(LocalFileTime(2020, 1, 2, 3, 4, 5), LocalFileTime(2022, 11, 30, 0, 0, 0));
  // Not every file system keeps a creation time of its own (Wine's take it from the last change),
  // so the creation time expected is the one the system reports.
  WIN32_FIND_DATAW found{};
  const HANDLE find = ::FindFirstFileW(path.c_str(), &found);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  ::FindClose(find);
  const std::string createdText = GeneralDateFromFileTime(
      (static_cast<std::uint64_t>(found.ftCreationTime.dwHighDateTime) << 32) | found.ftCreationTime.dwLowDateTime);
  ASSERT_FALSE(createdText.empty());

  EXPECT_EQ(Fact(true, false, false), "1234");
  EXPECT_EQ(Fact(false, true, false), createdText);
  EXPECT_EQ(Fact(false, false, true), LocaleText(2022, 11, 30, 0, 0, 0, false));
  // More than one flag: size before created before modified.
  EXPECT_EQ(Fact(true, true, true), "1234");
  EXPECT_EQ(Fact(false, true, true), createdText);
  EXPECT_EQ(Fact(false, false, false), "");
  // The modified time with its time part.
  SetTimes(LocalFileTime(2020, 1, 2, 3, 4, 5), LocalFileTime(2023, 6, 7, 8, 9, 10));
  EXPECT_EQ(Fact(false, false, true), LocaleText(2023, 6, 7, 8, 9, 10, true));
}

TEST_F(FileFactWin, HiddenFilesAreFoundSystemFilesAreNot) {
  SetAttributes(FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(Fact(true, false, false), "1234");
  EXPECT_FALSE(Fact(false, true, false).empty());
  SetAttributes(FILE_ATTRIBUTE_SYSTEM);
  EXPECT_EQ(Fact(true, false, false), "");
  EXPECT_EQ(Fact(false, false, true), "");
  SetAttributes(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  EXPECT_EQ(Fact(true, false, false), "");
  SetAttributes(FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(Fact(true, false, false), "1234");
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FileFactWin, MissingFilesAndFoldersGiveNothing) {
  EXPECT_EQ(GetFileFact(Narrow(folder.Path() + L"\\missing.exe"), true, false, false), "");
  EXPECT_EQ(GetFileFact(Narrow(folder.Path() + L"\\missing.exe"), false, true, false), "");
  EXPECT_EQ(GetFileFact(Narrow(folder.Path()), true, false, false), "");
  EXPECT_EQ(GetFileFact("", true, false, false), "");
  // An empty file has a size.
  ASSERT_TRUE(WriteBytes(path, ""));
  EXPECT_EQ(Fact(true, false, false), "0");
}

TEST(ModuleMakerWin, NamesTheMakerOfSystemAndWindowsFolderFiles) {
  const std::string system = GetSystemFolder();
  const std::string windows = GetWindowsFolder();
  const std::string kernel = ", Created by: " + GetCompanyName(system + "\\kernel32.dll");
  ASSERT_NE(kernel, ", Created by: ");
  EXPECT_EQ(GetModuleMaker("kernel32.dll"), kernel);
  EXPECT_EQ(GetModuleMaker("  KERNEL32.DLL  "), kernel);
  // Only in the Windows folder.
  ASSERT_EQ(::GetFileAttributesW(Widen(system + "\\regedit.exe").c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_NE(::GetFileAttributesW(Widen(windows + "\\regedit.exe").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetModuleMaker("regedit.exe"), ", Created by: " + GetCompanyName(windows + "\\regedit.exe"));
  // Anywhere else, or nowhere: not available.
  EXPECT_EQ(GetModuleMaker("corvane-no-such-module.dll"), ", Created by: Not Available");
  EXPECT_EQ(GetModuleMaker(""), ", Created by: Not Available");
  // A folder is no module file.
  EXPECT_EQ(GetModuleMaker("drivers"), ", Created by: Not Available");
}

TEST(ModuleMakerWin, ModulesOfARunningProgram) {
  ChildProcess child;
  ASSERT_TRUE(child.Start(HelperPath(L"ver_microsoft"), L"60"));
  ASSERT_TRUE(child.WaitUntilListed());
  // Its modules are loaded a moment after it is listed.
  std::vector<HMODULE> modules(1024);
  DWORD bytes = 0;
  for (int tries = 0; tries < 200; ++tries) {
    ASSERT_TRUE(::EnumProcessModulesEx(child.Handle(), modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)),
                                       &bytes, LIST_MODULES_ALL));
    if (bytes / sizeof(HMODULE) >= 3) break;
    ::Sleep(10);
  }
  const size_t count = std::min<size_t>(bytes / sizeof(HMODULE), modules.size());
  ASSERT_GE(count, 3u);
  const std::string system = GetSystemFolder();
  int systemModules = 0;
  for (size_t i = 0; i < count; ++i) {
    wchar_t name[MAX_PATH] = {};
    ASSERT_GT(::GetModuleBaseNameW(child.Handle(), modules[i], name, MAX_PATH), 0u);
    const std::string maker = GetModuleMaker(" " + Narrow(name) + " ");
    if (i == 0) {
      // The program itself lives in the helpers' folder.
      EXPECT_EQ(maker, ", Created by: Not Available") << Narrow(name);
    } else if (::GetFileAttributesW(Widen(system + "\\" + Narrow(name)).c_str()) != INVALID_FILE_ATTRIBUTES) {
      EXPECT_EQ(maker, ", Created by: " + GetCompanyName(system + "\\" + Narrow(name))) << Narrow(name);
      ++systemModules;
    }
  }
  EXPECT_GE(systemModules, 2);
}

TEST(PriorityNameWin, NamesTheClassOfARunningProgram) {
  ChildProcess child;
  ASSERT_TRUE(child.Start(HelperPath(L"sleeper"), L"60"));
  ASSERT_TRUE(child.WaitUntilListed());
  EXPECT_EQ(GetPriorityName(child.Id()), "Normal");
  ASSERT_TRUE(::SetPriorityClass(child.Handle(), IDLE_PRIORITY_CLASS));
  EXPECT_EQ(GetPriorityName(child.Id()), "Idle");
  ASSERT_TRUE(::SetPriorityClass(child.Handle(), HIGH_PRIORITY_CLASS));
  EXPECT_EQ(GetPriorityName(child.Id()), "High");
  ASSERT_TRUE(::SetPriorityClass(child.Handle(), ABOVE_NORMAL_PRIORITY_CLASS));
  EXPECT_EQ(GetPriorityName(child.Id()), "Normal");
  ASSERT_TRUE(::SetPriorityClass(child.Handle(), BELOW_NORMAL_PRIORITY_CLASS));
  EXPECT_EQ(GetPriorityName(child.Id()), "Normal");
  EXPECT_EQ(GetPriorityName(kUnusedId), "Normal");
}

// The digits of a figure grouped in thousands by separator; empty when it is not grouped so.
std::string UngroupedDigits(const std::string& grouped, const std::string& separator) {
  if (separator.empty()) return {};
  std::vector<std::string> groups;
  size_t start = 0;
  for (size_t hit = grouped.find(separator); hit != std::string::npos; hit = grouped.find(separator, start)) {
    groups.push_back(grouped.substr(start, hit - start));
    start = hit + separator.size();
  }
  groups.push_back(grouped.substr(start));
  std::string digits;
  for (size_t i = 0; i < groups.size(); ++i) {
    const std::string& group = groups[i];
    if (group.empty() || group.size() > 3 || (i > 0 && group.size() != 3)) return {};
    if (group.find_first_not_of("0123456789") != std::string::npos) return {};
    digits += group;
  }
  return digits;
}

TEST(MemoryFiguresWin, RunningProgramHasGroupedFigures) {
  ChildProcess child;
  ASSERT_TRUE(child.Start(HelperPath(L"sleeper"), L"60"));
  ASSERT_TRUE(child.WaitUntilListed());
  const std::string separator = LocaleGroupSeparator();
  const std::string usage = GetMemoryUsage(child.Id());
  const std::string peak = GetPeakMemoryUsage(child.Id());
  ASSERT_FALSE(usage.empty());
  ASSERT_FALSE(peak.empty());
  const std::string usageDigits = UngroupedDigits(usage, separator);
  const std::string peakDigits = UngroupedDigits(peak, separator);
  ASSERT_FALSE(usageDigits.empty()) << usage;
  ASSERT_FALSE(peakDigits.empty()) << peak;
  // A program needs more than a megabyte: the figure has a group separator.
  EXPECT_GE(std::stoull(usageDigits), 1000u) << usage;
  EXPECT_NE(usage.find(separator), std::string::npos) << usage;
  EXPECT_GE(std::stoull(peakDigits), std::stoull(usageDigits) / 2);
  EXPECT_GT(GetPeakPageFileUsage(child.Id()), 0u);
  EXPECT_GE(GetPeakPageFileUsage(child.Id()), GetPageFileUsage(child.Id()));
}

TEST(MemoryFiguresWin, NoProcessReadsZeroOrNothing) {
  EXPECT_EQ(GetMemoryUsage(0), "0");
  EXPECT_EQ(GetPeakMemoryUsage(2), "0");
  EXPECT_EQ(GetPageFileUsage(-1), 0u);
  EXPECT_EQ(GetMemoryUsage(kUnusedId), "");
  EXPECT_EQ(GetPeakMemoryUsage(kUnusedId), "");
  EXPECT_EQ(GetPageFileUsage(kUnusedId), 0u);
  EXPECT_EQ(GetPeakPageFileUsage(kUnusedId), 0u);
  EXPECT_EQ(GetPageFaultCount(kUnusedId), 0u);
}

}  // namespace
}  // namespace corvane::win
