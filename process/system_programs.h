#pragma once
// Which programs belong to Windows (or to Corvane itself), so that blocking or discarding them is
// asked about twice and the watch cycle lets them run without an alert. Neither test forbids
// anything.
#include <array>
#include <string>
#include <string_view>

namespace corvane {

// The protected executable names, in the order they are tested. Fixed: nothing adds to them.
inline constexpr std::array<std::string_view, 18> kProtectedProgramNames = {
    "smss.exe",     "winlogon.exe", "services.exe", "lsass.exe",    "svchost.exe", "spoolsv.exe",
    "ccEvtMgr.exe", "cisvc.exe",    "navapsvc.exe", "Explorer.exe", "hkcmd.exe",   "ccApp.exe",
    "cidaemon.exe", "wmiapsrv.exe", "iexplore.exe", "Rizaz.exe",    "Corvane.exe", "rundll32.exe",
};

// Corvane's own two programs among the protected names.
inline constexpr std::array<std::string_view, 2> kOwnProgramNames = {"Rizaz.exe", "Corvane.exe"};

// The word that marks a file made by Windows' maker.
inline constexpr std::string_view kMicrosoftMakerWord = "MICROSOFT";

// True when fileName, trimmed of blanks, is a protected name in any letter case. Only bare names
// match: a full path is not a protected name. fullPath is accepted for the callers' convenience and
// not consulted. This is the test for warnings; whether a running program may pass without a
// question is IsWindowsProcessInPlace.
bool IsWindowsProcess(std::string_view fileName, std::string_view fullPath = {});

// The folders where the protected programs really live, without trailing backslashes; an empty
// folder matches nothing.
struct ProtectedFolders {
  std::string system;       // the system directory, such as C:\Windows\system32
  std::string systemWow64;  // the 32-bit system directory of 64-bit Windows; empty elsewhere
  std::string windows;      // the Windows directory
  std::string program;      // the folder of Corvane.exe and rizaz.exe
};

// True when the program file at fullPath carries a protected name and lies directly in its own
// folder: Corvane's own two programs in the program folder, the others in the system, 32-bit system
// or Windows folder. A copy under such a name anywhere else (a user's folder, a subfolder of the
// Windows folder, which users may write to) is an ordinary program. Folders are compared by the
// comparison rule.
bool IsWindowsProcessInPlace(std::string_view fullPath, const ProtectedFolders& folders);

// True when the file lies directly in the Windows, system or 32-bit system folder, whatever its
// name. Only administrators can put a file there; subfolders are not included, as some of them
// (Temp, Tasks) take any user's files.
bool IsInSystemFolder(std::string_view fullPath, const ProtectedFolders& folders);

// True when a file's company name contains "MICROSOFT" in any letter case. IsMicrosoftFile
// (process/win/file_facts_win.h) reads the name from the file.
bool IsMicrosoftCompanyName(std::string_view companyName);

}  // namespace corvane
