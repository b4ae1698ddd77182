#pragma once
// The Windows and system directories, and the system-path rewrite that needs the latter.
#include <string>
#include <string_view>

namespace corvane::win {

// The Windows system directory (such as C:\Windows\system32), no trailing backslash; empty when it
// cannot be read.
std::string GetSystemFolder();
// The Windows directory (such as C:\Windows), no trailing backslash; empty when it cannot be read.
std::string GetWindowsFolder();
// NormalizeSystem32Path against this machine's system directory.
std::string NormalizeSystem32Path(std::string_view path);

}  // namespace corvane::win
