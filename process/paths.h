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

// Rewrites the native forms in which the system may report a program's path into ordinary ones,
// so that they compare equal to the paths stored in the lists: "\SystemRoot\System32\smss.exe"
// onto systemFolder (the real system directory), any other "\SystemRoot\..." onto windowsFolder (the
// Windows directory), "\??\C:\..." and "\\?\C:\..." to "C:\...", "\??\UNC\server\..." and
// "\\?\UNC\server\..." to "\\server\...". Folders come without a trailing backslash. Every other
// path, an ordinary path through a folder named System32 included, comes back unchanged.
std::string NormalizeSystem32Path(std::string_view path, std::string_view systemFolder,
                                  std::string_view windowsFolder);

}  // namespace corvane
