#include "rizaz/win/list_file_win.h"

#include <windows.h>

#include "base/win/handle.h"

namespace corvane::win {

namespace {
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
}  // namespace

bool Win32ListFileReader::ReadWhole(std::string& text) {
  // Read access is all that is needed; asking for write access too would fail in a folder the user
  // may only read, and then a perfectly readable list would never load.
  UniqueFileHandle file(
      ::CreateFileW(path_.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    if (::GetLastError() != ERROR_FILE_NOT_FOUND) return false;  // locked, denied: try again later
    // No list yet: leave an empty one behind, as the main program expects to find it.
    UniqueFileHandle created(
        ::CreateFileW(path_.c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    text.clear();
    return true;
  }
  std::string content;
  LARGE_INTEGER size{};
  if (::GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 && size.QuadPart < (1LL << 31)) {
    content.reserve(static_cast<size_t>(size.QuadPart));
  }
  // Read to the end rather than trusting the size: the main program may be appending right now.
  char buffer[64 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr)) return false;
    if (got == 0) break;
    content.append(buffer, got);
  }
  text = std::move(content);
  return true;
}

}  // namespace corvane::win
