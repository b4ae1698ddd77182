#include "base/win/app_dir.h"

#include <windows.h>

#include "base/win/utf.h"

namespace corvane::win {

std::string ProgramPath() {
  // Grow until the path fits: it can be longer than MAX_PATH.
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD count = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (count == 0) return {};
    if (count < buffer.size()) {
      buffer.resize(count);
      return Narrow(buffer);
    }
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

std::string ProgramDirectory() {
  std::string path = ProgramPath();
  const auto slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return {};
  path.resize(slash);
  return path;
}

}  // namespace corvane::win
