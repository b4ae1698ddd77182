#pragma once
// File facts read from the system: a file's company name, size and times, the maker of a loaded
// module and a process's priority class. Every failure reads as an empty text (or "Normal", or
// "Not Available") rather than an error.
#include <cstdint>
#include <string>
#include <string_view>

namespace corvane::win {

// How much of a file the company-name search looks at. Version resources sit in the image part of
// an executable, before any data appended to it; the limit keeps a search through a huge file that
// has no version information from stalling the program.
inline constexpr std::uint64_t kCompanyNameSearchLimit = std::uint64_t{1} << 30;

// The company name in the version information of the file at path (GetCompanyNameFromBytes over
// its first kCompanyNameSearchLimit bytes, mapped rather than copied); empty when there is none or
// the file cannot be read. Files in use by a running program are read too.
std::string GetCompanyName(std::string_view path);
// The same over the first searchLimit bytes of the file.
std::string GetCompanyName(std::string_view path, std::uint64_t searchLimit);

// True when the company name of the file at path contains "MICROSOFT", in any letter case.
bool IsMicrosoftFile(std::string_view path);

// One fact of the file at path as text, by precedence of the flags set: its size in bytes (plain
// decimal digits), else its creation time, else its last-modification time (the locale's general
// date form). Hidden files are found; files with the system attribute, folders and missing files
// give an empty text.
std::string GetFileFact(std::string_view path, bool size, bool created, bool modified);

// A file time (100 ns units since 1601, UTC) as the locale's general date form in local time: short
// date, a blank and long time, the time left out at exactly midnight. Empty when it cannot be
// converted.
std::string GeneralDateFromFileTime(std::uint64_t fileTime);

// ", Created by: " and the company name of the module file of that name (blanks around it are
// ignored) in the system directory, else in the Windows directory; ", Created by: Not Available"
// when it is an ordinary file in neither.
std::string GetModuleMaker(std::string_view moduleName);

// "Normal", "Idle", "High" or "Real Time" for the process's priority class; "Normal" for every
// other class and when the process cannot be asked.
std::string GetPriorityName(std::uint32_t processId);

}  // namespace corvane::win
