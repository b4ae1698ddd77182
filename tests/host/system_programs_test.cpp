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
