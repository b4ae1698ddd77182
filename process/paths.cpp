#include "process/paths.h"

#include "base/text.h"

namespace corvane {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

// "C:\..." : a drive letter, a colon and a backslash.
bool IsDrivePath(std::string_view path) {
  if (path.size() < 3 || path[1] != ':' || path[2] != '\\') return false;
  const char drive = path[0];
  return (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
}

}  // namespace

std::string GetFileNameFromPath(std::string_view path) {
  const size_t nul = path.find('\0');
  if (nul != std::string_view::npos) path = path.substr(0, nul);
  const size_t slash = path.rfind('\\');
  if (slash != std::string_view::npos) path = path.substr(slash + 1);
  return std::string(path);
}

std::string GetFileExtension(std::string_view path) {
  const size_t stop = path.find_last_of(".:\\");
  if (stop == std::string_view::npos || path[stop] != '.') return {};
  return TrimSpaces(ToLowerAscii(path.substr(stop + 1)));
}

std::string NormalizeSystem32Path(std::string_view path, std::string_view systemFolder,
                                  std::string_view windowsFolder) {
  // Only the native forms are rewritten. An ordinary path stays exactly as it is wherever it runs
  // through a "System32" folder: "%TEMP%\x\System32\conhost.exe" is not the system's conhost.exe.
  const std::string trimmed = TrimSpaces(path);
  const std::string_view text = trimmed;

  static constexpr std::string_view kSystemRoot = "\\SystemRoot\\";
  static constexpr std::string_view kSystem32 = "System32\\";
  if (StartsWithNoCase(text, kSystemRoot)) {
    const std::string_view rest = text.substr(kSystemRoot.size());
    if (!systemFolder.empty() && StartsWithNoCase(rest, kSystem32)) {
      return std::string(systemFolder) + "\\" + std::string(rest.substr(kSystem32.size()));
    }
    if (!windowsFolder.empty()) return std::string(windowsFolder) + "\\" + std::string(rest);
    return std::string(path);
  }

  // "\??\C:\..." and "\\?\C:\..." are Win32 paths behind a prefix; "...\UNC\server\share\..." is
  // a network path. Other objects behind the prefix (devices, volumes) are left alone.
  static constexpr std::string_view kUnc = "UNC\\";
  for (const std::string_view prefix : {std::string_view("\\??\\"), std::string_view("\\\\?\\")}) {
    if (text.substr(0, prefix.size()) != prefix) continue;
    const std::string_view rest = text.substr(prefix.size());
    if (IsDrivePath(rest)) return std::string(rest);
    if (StartsWithNoCase(rest, kUnc)) return "\\\\" + std::string(rest.substr(kUnc.size()));
  }
  return std::string(path);
}

}  // namespace corvane
