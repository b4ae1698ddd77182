#include "web/win/browser_shell_win.h"

#include <shellapi.h>

#include <vector>

#include "base/win/handle.h"
#include "base/win/utf.h"
#include "web/site.h"

namespace corvane::web::win {

using corvane::win::Narrow;
using corvane::win::Widen;

std::optional<std::string> Win32BrowserShell::TemporaryFolder() {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD length = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) return std::nullopt;
    if (length < buffer.size()) return Narrow(std::wstring_view(buffer.data(), length));
    buffer.resize(length + 1);
  }
}

bool Win32BrowserShell::WriteProbeFile(const std::string& path) {
  corvane::win::UniqueFileHandle file(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  // Only the file's existence matters; a line with an empty quoted string, as any text file would do.
  const char line[] = "\"\"\r\n";
  DWORD written = 0;
  return ::WriteFile(file.get(), line, sizeof(line) - 1, &written, nullptr) != FALSE;
}

std::optional<std::string> Win32BrowserShell::FindAssociatedProgram(const std::string& path) {
  // The result buffer must hold MAX_PATH characters; the call cannot be told a larger one.
  wchar_t found[MAX_PATH + 1] = {};
  const auto code = reinterpret_cast<INT_PTR>(::FindExecutableW(Widen(path).c_str(), nullptr, found));
  if (code <= 32) return std::nullopt;
  return Narrow(found);
}

void Win32BrowserShell::StartProgram(const std::string& program, const std::string& parameters) {
  ::ShellExecuteW(owner_, L"open", Widen(program).c_str(), Widen(parameters).c_str(), nullptr, SW_SHOWMAXIMIZED);
}

void Win32BrowserShell::OpenAddress(const std::string& address) {
  ::ShellExecuteW(owner_, L"open", Widen(address).c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

void Win32BrowserShell::DeleteProbeFile(const std::string& path) { ::DeleteFileW(Widen(path).c_str()); }

void OpenInBrowser(HWND owner, std::string_view address) {
  Win32BrowserShell shell(owner);
  web::OpenInBrowser(shell, address, "htm");
}

void OpenSitePage(HWND owner, std::string_view path) { OpenInBrowser(owner, SiteAddress(path)); }

}  // namespace corvane::web::win
