#include "process/paths.h"

#include "base/text.h"

namespace corvane {

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

std::string NormalizeSystem32Path(std::string_view path, std::string_view systemFolder) {
  static constexpr std::string_view kFolder = "SYSTEM32\\";
  const std::string trimmed = TrimSpaces(path);
  const std::string upper = ToUpperAscii(trimmed);
  // Only a whole folder named System32 counts: "C:\Tools\MySystem32\app.exe" must keep its own
  // location, or a program there would pass for one in the system directory.
  size_t hit = upper.rfind(kFolder);
  while (hit != std::string::npos && hit != 0 && upper[hit - 1] != '\\') {
    hit = upper.rfind(kFolder, hit - 1);
  }
  if (hit == std::string::npos) return std::string(path);
  std::string out(systemFolder);
  out += '\\';
  out.append(trimmed, hit + kFolder.size());
  return out;
}

}  // namespace corvane
