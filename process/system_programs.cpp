#include "process/system_programs.h"

#include <string>

#include "base/text.h"

namespace corvane {

bool IsWindowsProcess(std::string_view fileName, std::string_view /*fullPath*/) {
  const std::string name = TrimSpaces(fileName);
  for (const std::string_view protectedName : kProtectedProgramNames) {
    if (EqualsNoCase(name, protectedName)) return true;
  }
  return false;
}

bool IsMicrosoftCompanyName(std::string_view companyName) {
  return ToUpperAscii(companyName).find(kMicrosoftMakerWord) != std::string::npos;
}

}  // namespace corvane
