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

TEST(NormalizeSystem32, RewritesSystemFormsOntoTheSystemFolder) {
  const std::string sys = "C:\\Windows\\system32";
  // The native forms the system reports for its own services.
  EXPECT_EQ(NormalizeSystem32Path("\\SystemRoot\\System32\\smss.exe", sys), sys + "\\smss.exe");
  EXPECT_EQ(NormalizeSystem32Path("\\??\\C:\\WINDOWS\\system32\\winlogon.exe", sys), sys + "\\winlogon.exe");
  // Everything after the folder is kept, subfolders and letter case included.
  EXPECT_EQ(NormalizeSystem32Path("C:\\WINDOWS\\SYSTEM32\\drivers\\etc\\x", sys), sys + "\\drivers\\etc\\x");
  EXPECT_EQ(NormalizeSystem32Path("  D:\\WinNT\\System32\\Svc.EXE  ", sys), sys + "\\Svc.EXE");
  // The last System32 folder counts.
  EXPECT_EQ(NormalizeSystem32Path("X:\\system32\\y\\System32\\z.exe", sys), sys + "\\z.exe");
}

TEST(NormalizeSystem32, LeavesOtherPathsAlone) {
  const std::string sys = "C:\\Windows\\system32";
  EXPECT_EQ(NormalizeSystem32Path("C:\\Program Files\\x.exe", sys), "C:\\Program Files\\x.exe");
  EXPECT_EQ(NormalizeSystem32Path(" C:\\x.exe ", sys), " C:\\x.exe ");
  EXPECT_EQ(NormalizeSystem32Path("", sys), "");
  // Without the backslash it is a file, not a folder.
  EXPECT_EQ(NormalizeSystem32Path("C:\\backup\\system32", sys), "C:\\backup\\system32");
  // A folder whose name only ends in System32 is another folder: its programs must not pass for
  // programs of the system directory.
  EXPECT_EQ(NormalizeSystem32Path("C:\\Tools\\MySystem32\\svchost.exe", sys), "C:\\Tools\\MySystem32\\svchost.exe");
  EXPECT_EQ(NormalizeSystem32Path("C:\\Windows\\System32\\x\\notsystem32\\a.exe", sys), sys + "\\x\\notsystem32\\a.exe");
}

}  // namespace
}  // namespace corvane
