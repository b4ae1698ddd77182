#include "process/win/system_folders.h"

#include <windows.h>

#include "base/text.h"
#include "base/win/utf.h"
#include "process/paths.h"

namespace corvane::win {
namespace {

// Both calls report the size they need (NUL included) when the buffer is too small, and the length
// they wrote (NUL excluded) when it was large enough.
template <typename Call>
std::string ReadFolder(Call call) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (int tries = 0; tries < 4; ++tries) {
    const UINT length = call(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      return Narrow(buffer);
    }
    buffer.resize(length);
  }
  return {};
}

}  // namespace

std::string GetSystemFolder() {
  return ReadFolder([](wchar_t* buffer, UINT size) { return ::GetSystemDirectoryW(buffer, size); });
}

std::string GetWindowsFolder() {
  return ReadFolder([](wchar_t* buffer, UINT size) { return ::GetWindowsDirectoryW(buffer, size); });
}

std::string GetSystemWow64Folder() {
  // Fails (ERROR_CALL_NOT_IMPLEMENTED) on 32-bit Windows, which has no such folder.
  return ReadFolder([](wchar_t* buffer, UINT size) { return ::GetSystemWow64DirectoryW(buffer, size); });
}

std::string NormalizeSystem32Path(std::string_view path) {
  // Only the native forms need the folders, and they are the rare case: ordinary paths cost no
  // folder look-up.
  const std::string trimmed = TrimSpaces(path);
  if (trimmed.empty() || trimmed.front() != '\\') return std::string(path);
  return corvane::NormalizeSystem32Path(path, GetSystemFolder(), GetWindowsFolder());
}

}  // namespace corvane::win
