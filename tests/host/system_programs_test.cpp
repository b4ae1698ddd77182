#include "process/system_programs.h"

#include <gtest/gtest.h>

#include <string>

namespace corvane {
namespace {

TEST(WindowsProcess, ProtectedNamesInAnyCaseAndWithBlanks) {
  EXPECT_TRUE(IsWindowsProcess("svchost.exe"));
  EXPECT_TRUE(IsWindowsProcess("SVCHOST.EXE"));
  EXPECT_TRUE(IsWindowsProcess("  svchost.exe  "));
  EXPECT_TRUE(IsWindowsProcess("explorer.exe"));
  // The program's own two executables.
  EXPECT_TRUE(IsWindowsProcess("rizaz.exe"));
  EXPECT_TRUE(IsWindowsProcess("RIZAZ.EXE"));
  EXPECT_TRUE(IsWindowsProcess("corvane.exe"));
  // The path is not consulted, whatever it says.
  EXPECT_TRUE(IsWindowsProcess("lsass.exe", "D:\\Downloads\\lsass.exe"));
  EXPECT_TRUE(IsWindowsProcess("CCEVTMGR.EXE"));
}

TEST(WindowsProcess, OnlyWholeBareNamesMatch) {
  EXPECT_FALSE(IsWindowsProcess("svchost"));
  EXPECT_FALSE(IsWindowsProcess("svchost.exe.bak"));
  EXPECT_FALSE(IsWindowsProcess("xsvchost.exe"));
  EXPECT_FALSE(IsWindowsProcess("C:\\WINDOWS\\system32\\svchost.exe"));
  EXPECT_FALSE(IsWindowsProcess("csrss.exe"));
  EXPECT_FALSE(IsWindowsProcess("notepad.exe"));
  EXPECT_FALSE(IsWindowsProcess(""));
  EXPECT_FALSE(IsWindowsProcess("   "));
  // Only blanks are trimmed.
  EXPECT_FALSE(IsWindowsProcess("svchost.exe\t"));
}

TEST(WindowsProcessInPlace, ProtectedNamesPassOnlyFromTheirOwnFolders) {
  const ProtectedFolders folders{"C:\\Windows\\system32", "C:\\Windows\\SysWOW64", "C:\\Windows", "D:\\Tools\\Corvane"};
  // The real ones, compared by the comparison rule.
  EXPECT_TRUE(IsWindowsProcessInPlace("C:\\Windows\\system32\\svchost.exe", folders));
  EXPECT_TRUE(IsWindowsProcessInPlace("c:\\WINDOWS\\System32\\SVCHOST.EXE", folders));
  EXPECT_TRUE(IsWindowsProcessInPlace("C:\\Windows\\SysWOW64\\rundll32.exe", folders));
  EXPECT_TRUE(IsWindowsProcessInPlace("C:\\Windows\\explorer.exe", folders));
  EXPECT_TRUE(IsWindowsProcessInPlace(" D:\\Tools\\Corvane\\Corvane.exe ", folders));
  EXPECT_TRUE(IsWindowsProcessInPlace("D:\\Tools\\Corvane\\rizaz.exe", folders));
  // Look-alikes in the user's folders, and in folders below the system ones that users may write to.
  EXPECT_FALSE(IsWindowsProcessInPlace("C:\\Users\\u\\AppData\\Roaming\\svchost.exe", folders));
  EXPECT_FALSE(IsWindowsProcessInPlace("C:\\Users\\u\\Downloads\\rundll32.exe", folders));
  EXPECT_FALSE(IsWindowsProcessInPlace("C:\\Windows\\Temp\\lsass.exe", folders));
  EXPECT_FALSE(IsWindowsProcessInPlace("C:\\Windows\\system32\\spool\\drivers\\color\\svchost.exe", folders));
  EXPECT_FALSE(IsWindowsProcessInPlace("C:\\Temp\\x\\System32\\svchost.exe", folders));
  EXPECT_FALSE(IsWindowsProcessInPlace("C:\\Windows\\system32x\\svchost.exe", folders));
  // Corvane's own names only in the program folder, and the system's names not there.
  EXPECT_FALSE(IsWindowsProcessInPlace("C:\\Windows\\system32\\Corvane.exe", folders));
  EXPECT_FALSE(IsWindowsProcessInPlace("C:\\Users\\u\\Desktop\\rizaz.exe", folders));
  EXPECT_FALSE(IsWindowsProcessInPlace("D:\\Tools\\Corvane\\svchost.exe", folders));
  // Unprotected names, bare names and unknown folders never pass.
  EXPECT_FALSE(IsWindowsProcessInPlace("C:\\Windows\\system32\\notepad.exe", folders));
  EXPECT_FALSE(IsWindowsProcessInPlace("svchost.exe", folders));
  EXPECT_FALSE(IsWindowsProcessInPlace("\\svchost.exe", ProtectedFolders{}));
  EXPECT_FALSE(IsWindowsProcessInPlace("C:\\Windows\\SysWOW64\\svchost.exe",
                                       ProtectedFolders{"C:\\Windows\\system32", "", "C:\\Windows", ""}));
}

TEST(MicrosoftCompany, ContainsTheWordInAnyCase) {
  EXPECT_TRUE(IsMicrosoftCompanyName("Microsoft Corporation"));
  EXPECT_TRUE(IsMicrosoftCompanyName("MICROSOFT"));
  EXPECT_TRUE(IsMicrosoftCompanyName(" built with microsoft tools "));
  EXPECT_TRUE(IsMicrosoftCompanyName("NotMicroSoftAtAll"));
  EXPECT_FALSE(IsMicrosoftCompanyName("Micro Soft"));
  EXPECT_FALSE(IsMicrosoftCompanyName("Microsof"));
  EXPECT_FALSE(IsMicrosoftCompanyName(""));
}

}  // namespace
}  // namespace corvane
