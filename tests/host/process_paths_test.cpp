#include "process/paths.h"

#include <gtest/gtest.h>

#include <string>

namespace corvane {
namespace {

using namespace std::string_literals;

TEST(FileNameFromPath, CutsAtFirstNulThenTakesTextAfterLastBackslash) {
  // Paths read from fixed, NUL-filled buffers.
  EXPECT_EQ(GetFileNameFromPath("C:\\Program Files\\App\\run.exe\0\0\0\0"s), "run.exe");
  EXPECT_EQ(GetFileNameFromPath("run.exe\0\0\0"s), "run.exe");
  // A backslash after the first NUL is garbage from the buffer, not part of the path.
  EXPECT_EQ(GetFileNameFromPath("C:\\a\\run.exe\0old\\stale.exe"s), "run.exe");
  EXPECT_EQ(GetFileNameFromPath("run.exe"), "run.exe");
  EXPECT_EQ(GetFileNameFromPath("C:\\Windows\\"), "");
  EXPECT_EQ(GetFileNameFromPath(""), "");
  // Forward slashes are not separators here: the system reports backslashes.
  EXPECT_EQ(GetFileNameFromPath("C:/tools/run.exe"), "C:/tools/run.exe");
}

TEST(FileExtension, LooksOnlyAtTheLastComponent) {
  EXPECT_EQ(GetFileExtension("SETUP.EXE"), "exe");
  EXPECT_EQ(GetFileExtension("archive.TAR.GZ"), "gz");
  EXPECT_EQ(GetFileExtension("C:\\Tools\\Run.Exe "), "exe");
  // A dot in a folder name does not make an extension.
  EXPECT_EQ(GetFileExtension("C:\\Data.old\\README"), "");
  EXPECT_EQ(GetFileExtension("C:\\Tools.old\\run"), "");
  // Nor does the drive colon.
  EXPECT_EQ(GetFileExtension("C:README"), "");
  EXPECT_EQ(GetFileExtension("name."), "");
  EXPECT_EQ(GetFileExtension(""), "");
  EXPECT_EQ(GetFileExtension("README"), "");
  EXPECT_EQ(GetFileExtension(".hidden"), "hidden");
}

TEST(NormalizeSystem32, RewritesTheNativeFormsOnly) {
  const std::string sys = "C:\\Windows\\system32";
  const std::string win = "C:\\Windows";
  // The native forms the system reports for its own services.
  EXPECT_EQ(NormalizeSystem32Path("\\SystemRoot\\System32\\smss.exe", sys, win), sys + "\\smss.exe");
  EXPECT_EQ(NormalizeSystem32Path("  \\SYSTEMROOT\\system32\\drivers\\x.sys ", sys, win), sys + "\\drivers\\x.sys");
  EXPECT_EQ(NormalizeSystem32Path("\\SystemRoot\\explorer.exe", sys, win), win + "\\explorer.exe");
  EXPECT_EQ(NormalizeSystem32Path("\\??\\C:\\WINDOWS\\system32\\winlogon.exe", sys, win),
            "C:\\WINDOWS\\system32\\winlogon.exe");
  EXPECT_EQ(NormalizeSystem32Path("\\\\?\\D:\\Apps\\tool.exe", sys, win), "D:\\Apps\\tool.exe");
  EXPECT_EQ(NormalizeSystem32Path("\\??\\UNC\\server\\share\\x.exe", sys, win), "\\\\server\\share\\x.exe");
  EXPECT_EQ(NormalizeSystem32Path("\\\\?\\UNC\\server\\share\\x.exe", sys, win), "\\\\server\\share\\x.exe");
}

TEST(NormalizeSystem32, LeavesOrdinaryPathsAlone) {
  const std::string sys = "C:\\Windows\\system32";
  const std::string win = "C:\\Windows";
  EXPECT_EQ(NormalizeSystem32Path("C:\\Program Files\\x.exe", sys, win), "C:\\Program Files\\x.exe");
  EXPECT_EQ(NormalizeSystem32Path(" C:\\x.exe ", sys, win), " C:\\x.exe ");
  EXPECT_EQ(NormalizeSystem32Path("", sys, win), "");
  // A System32 folder elsewhere is another folder: its programs must not pass for the system's,
  // nor show a false location.
  EXPECT_EQ(NormalizeSystem32Path("C:\\Users\\u\\AppData\\Local\\Temp\\x\\System32\\conhost.exe", sys, win),
            "C:\\Users\\u\\AppData\\Local\\Temp\\x\\System32\\conhost.exe");
  EXPECT_EQ(NormalizeSystem32Path("D:\\WinNT\\System32\\Svc.EXE", sys, win), "D:\\WinNT\\System32\\Svc.EXE");
  EXPECT_EQ(NormalizeSystem32Path("C:\\Tools\\MySystem32\\svchost.exe", sys, win),
            "C:\\Tools\\MySystem32\\svchost.exe");
  // The real system folder in its ordinary form needs no rewrite either.
  EXPECT_EQ(NormalizeSystem32Path("C:\\WINDOWS\\SYSTEM32\\drivers\\etc\\x", sys, win),
            "C:\\WINDOWS\\SYSTEM32\\drivers\\etc\\x");
  // Other objects behind the prefixes, and unknown folders, stay as they are.
  EXPECT_EQ(NormalizeSystem32Path("\\\\?\\Volume{1234}\\x.exe", sys, win), "\\\\?\\Volume{1234}\\x.exe");
  EXPECT_EQ(NormalizeSystem32Path("\\??\\C:", sys, win), "\\??\\C:");
  EXPECT_EQ(NormalizeSystem32Path("\\SystemRoot\\explorer.exe", sys, ""), "\\SystemRoot\\explorer.exe");
  EXPECT_EQ(NormalizeSystem32Path("\\Device\\HarddiskVolume2\\x.exe", sys, win), "\\Device\\HarddiskVolume2\\x.exe");
}

}  // namespace
}  // namespace corvane
