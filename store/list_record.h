#pragma once
// The plain records of the list files and how both programs split them into their two fields.
//
// Allow and block records are path + "^^^^" + name, hot-key records target + "^^^^" + key label.
// "^" is legal in file names, so a path or a name may itself hold "^^^^", and the first separator
// is not always the real one: "C:\^^^^x.exe^^^^\setup.exe^^^^setup.exe" must not read as the
// program "x.exe". The name a program writes is always the last component of its path, and that
// is what identifies the real separator.
#include <string>
#include <string_view>

namespace corvane {

namespace list_files {
inline constexpr std::string_view kFieldSeparator = "^^^^";
}  // namespace list_files

// The plain records the callers pass to AppendListLine.
std::string ProgramRecord(std::string_view path, std::string_view name);  // path^^^^name
std::string HotKeyRecord(std::string_view target, std::string_view keyLabel);

// Splits an allow or block record. Every position where "^^^^" starts is a candidate (overlapping
// ones too). The split is at the first candidate whose right side equals, by the comparison rule,
// the text after the last backslash of its left side. When none does but there is exactly one
// candidate, the record splits there (older records whose name is not the path's end, such as one
// with an empty path). Otherwise the record is ambiguous or has no separator: false, and it must be
// skipped, never guessed at.
bool SplitProgramRecord(std::string_view plain, std::string& path, std::string& name);

// Splits a hot-key record at its last candidate: key labels never hold "^". False when it has none.
bool SplitHotKeyRecord(std::string_view plain, std::string& target, std::string& keyLabel);

}  // namespace corvane
