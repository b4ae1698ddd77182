// Stands in for a web browser: appends its command line, as one UTF-8 line, to the file named like
// the program with ".log" added ("fake_browser.exe.log" beside it), then ends.
#include <windows.h>

#include <iterator>
#include <string>

#include "base/win/utf.h"

int main() {
  wchar_t self[MAX_PATH * 4] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
  if (length == 0 || length >= std::size(self)) return 1;
  const std::wstring log = std::wstring(self, length) + L".log";
  const std::string line = corvane::win::Narrow(::GetCommandLineW()) + "\r\n";
  // Appends even when two starts come at once.
  const HANDLE file = ::CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const BOOL ok = ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  ::CloseHandle(file);
  return ok ? 0 : 1;
}
