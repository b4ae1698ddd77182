#include "process/system_programs.h"

#include <string>

#include "base/text.h"

namespace corvane {
namespace {

bool InFolder(std::string_view folder, std::string_view fileFolder) {
  return !TrimSpaces(folder).empty() && SameNameOrPath(folder, fileFolder);
}

}  // namespace

bool IsWindowsProcess(std::string_view fileName, std::string_view /*fullPath*/) {
  const std::string name = TrimSpaces(fileName);
  for (const std::string_view protectedName : kProtectedProgramNames) {
    if (EqualsNoCase(name, protectedName)) return true;
  }
  return false;
}

bool IsWindowsProcessInPlace(std::string_view fullPath, const ProtectedFolders& folders) {
  const std::string path = TrimSpaces(fullPath);
  const size_t slash = path.rfind('\\');
  if (slash == std::string::npos) return false;
  const std::string_view name = std::string_view(path).substr(slash + 1);
  const std::string_view folder = std::string_view(path).substr(0, slash);
  if (!IsWindowsProcess(name)) return false;
  for (const std::string_view own : kOwnProgramNames) {
    if (EqualsNoCase(name, own)) return InFolder(folders.program, folder);
  }
  return InFolder(folders.system, folder) || InFolder(folders.systemWow64, folder) ||
         InFolder(folders.windows, folder);
}

bool IsInSystemFolder(std::string_view fullPath, const ProtectedFolders& folders) {
  const std::string path = TrimSpaces(fullPath);
  const size_t slash = path.rfind('\\');
  if (slash == std::string::npos) return false;
  const std::string_view folder = std::string_view(path).substr(0, slash);
  return InFolder(folders.system, folder) || InFolder(folders.systemWow64, folder) ||
         InFolder(folders.windows, folder);
}

bool IsMicrosoftCompanyName(std::string_view companyName) {
  return ToUpperAscii(companyName).find(kMicrosoftMakerWord) != std::string::npos;
}

}  // namespace corvane
