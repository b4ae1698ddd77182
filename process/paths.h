#pragma once
// Path routines shared by the watch cycle, the blocker and the panels. Paths are Windows paths with
// backslashes, as UTF-8 text; nothing here touches the file system.
#include <string>
#include <string_view>

namespace corvane {

// The file-name part of a path: the text after the last backslash, or all of it when there is none.
// Text from a fixed, NUL-filled buffer is cut at its first NUL first.
std::string GetFileNameFromPath(std::string_view path);

// The extension of the last path component, lower case, trimmed of blanks, without the dot; empty
// when the last component has none (so "C:\Tools.old\run" has none).
std::string GetFileExtension(std::string_view path);

// Rewrites a path that runs through a "System32" folder onto systemFolder (the real system
// directory, without a trailing backslash): the system reports its own services as
// "\SystemRoot\System32\smss.exe" or "\??\C:\WINDOWS\system32\winlogon.exe", and those must compare
// equal to the ordinary form stored in the lists. Other paths come back unchanged.
std::string NormalizeSystem32Path(std::string_view path, std::string_view systemFolder);

}  // namespace corvane
