#pragma once
// The Windows and system directories, and the rewrite of native paths that needs them.
#include <string>
#include <string_view>

namespace corvane::win {

// The Windows system directory (such as C:\Windows\system32), no trailing backslash; empty when it
// cannot be read.
std::string GetSystemFolder();
// The Windows directory (such as C:\Windows), no trailing backslash; empty when it cannot be read.
std::string GetWindowsFolder();
// The 32-bit system directory of 64-bit Windows (such as C:\Windows\SysWOW64); empty where there is
// none.
std::string GetSystemWow64Folder();
// NormalizeSystem32Path against this machine's system and Windows directories.
std::string NormalizeSystem32Path(std::string_view path);

}  // namespace corvane::win
