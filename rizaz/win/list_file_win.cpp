#include "rizaz/win/list_file_win.h"

#include <windows.h>

#include <algorithm>

#include "base/win/handle.h"

namespace corvane::win {

namespace {
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
}  // namespace

rizaz::ListRead Win32ListFileReader::Read(std::size_t maxBytes, std::string& text) {
  // Read access is all that is needed; asking for write access too would fail in a folder the user
  // may only read, and then a perfectly readable list would never load.
  UniqueFileHandle file(
      ::CreateFileW(path_.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    if (::GetLastError() != ERROR_FILE_NOT_FOUND) return rizaz::ListRead::Failed;  // locked, denied: try again later
    // No list yet: leave an empty one behind, as the main program expects to find it.
    UniqueFileHandle created(
        ::CreateFileW(path_.c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    text.clear();
    return rizaz::ListRead::Whole;
  }
  std::string content;
  LARGE_INTEGER size{};
  if (::GetFileSizeEx(file.get(), &size) && size.QuadPart > 0) {
    content.reserve(static_cast<size_t>(std::min<ULONGLONG>(static_cast<ULONGLONG>(size.QuadPart), maxBytes)));
  }
  // Read to the end rather than trusting the size: the main program may be appending right now.
  char buffer[64 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr)) return rizaz::ListRead::Failed;
    if (got == 0) break;
    if (got > maxBytes - content.size()) {
      content.append(buffer, maxBytes - content.size());
      text = std::move(content);
      return rizaz::ListRead::Capped;
    }
    content.append(buffer, got);
  }
  text = std::move(content);
  return rizaz::ListRead::Whole;
}

}  // namespace corvane::win
