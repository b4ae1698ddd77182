#pragma once
// Which programs belong to Windows (or to Corvane itself), so that blocking or discarding them is
// asked about twice and the watch cycle lets them run without an alert. Neither test forbids
// anything.
#include <array>
#include <string_view>

namespace corvane {

// The protected executable names, in the order they are tested. Fixed: nothing adds to them.
inline constexpr std::array<std::string_view, 18> kProtectedProgramNames = {
    "smss.exe",     "winlogon.exe", "services.exe", "lsass.exe",    "svchost.exe", "spoolsv.exe",
    "ccEvtMgr.exe", "cisvc.exe",    "navapsvc.exe", "Explorer.exe", "hkcmd.exe",   "ccApp.exe",
    "cidaemon.exe", "wmiapsrv.exe", "iexplore.exe", "Rizaz.exe",    "Corvane.exe", "rundll32.exe",
};

// The word that marks a file made by Windows' maker.
inline constexpr std::string_view kMicrosoftMakerWord = "MICROSOFT";

// True when fileName, trimmed of blanks, is a protected name in any letter case. Only bare names
// match: a full path is not a protected name. fullPath is accepted for the callers' convenience and
// not consulted.
bool IsWindowsProcess(std::string_view fileName, std::string_view fullPath = {});

// True when a file's company name contains "MICROSOFT" in any letter case. IsMicrosoftFile
// (process/win/file_facts_win.h) reads the name from the file.
bool IsMicrosoftCompanyName(std::string_view companyName);

}  // namespace corvane
