#pragma once
// File facts that need no operating system: the company-name search over a file's bytes, the
// priority-class names and the date-text rule. The Win32 side (process/win/file_facts_win.h) reads
// files, attributes, times and processes and hands them to these.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

// Every occurrence of find replaced, scanning again from the start after each replacement (so a
// replacement that completes a new occurrence is replaced too). Unchanged when find is empty or
// absent. A replacement at least as long as find is applied in one left-to-right pass instead:
// scanning again could then go on for ever (find "a", replacement "aa").
std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement);

// The byte pattern of key's entry in a wide (UTF-16LE) version string table: byte 1 (the low byte
// of the entry's type field), then for each character a 0 byte followed by the character. Lines up
// with the type's high byte and the key's characters; the key's own terminator is not included.
// "CompanyName" gives 23 bytes; an empty key an empty pattern.
std::string MakeVersionKeyPattern(std::string_view key);

// The largest a version resource can be (its length fields are 16 bits wide): a company name found
// in a file is never longer than this many bytes before its NULs are removed.
inline constexpr std::size_t kVersionResourceLimit = 65535;

// The "CompanyName" value of the first version string table in bytes, a whole file's contents: the
// wide table first, the 8-bit table of old 16-bit executables second. Empty when there is none.
// Each byte is one character of code 0 to 255; the result is returned as UTF-8 with NULs removed.
// Time is linear in the size of bytes.
std::string GetCompanyNameFromBytes(std::string_view bytes);

// The text shown for a process's priority class value: "Normal", "Idle", "High" or "Real Time";
// every other value (below and above normal, 0 for a failed query) reads "Normal".
std::string PriorityNameForClass(std::uint32_t priorityClass);

// The locale's general date form from its parts: the short date, a blank and the long time, the
// time left out when it is exactly midnight.
std::string GeneralDateText(std::string_view shortDate, std::string_view longTime, bool midnight);

// GetModuleMaker's texts: the prefix, followed by the module file's company name, or the whole text
// when the module file is in neither the system nor the Windows directory.
inline constexpr std::string_view kModuleMakerPrefix = ", Created by: ";
inline constexpr std::string_view kModuleMakerUnknown = ", Created by: Not Available";

}  // namespace corvane
