#include "hotkeys/win/system_win.h"

#include <windows.h>

#include <string>

#include "base/win/handle.h"
#include "base/win/scoped_privilege.h"

namespace corvane::hotkeys::win {

namespace {
// True when the request went to the log named by the environment instead.
bool LoggedInstead(const char* request) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = ::GetEnvironmentVariableW(kPowerOffLogVariable, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  corvane::win::UniqueFileHandle log(::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (log) {
    const std::string line = std::string(request) + "\r\n";
    DWORD written = 0;
    ::WriteFile(log.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  }
  return true;
}

void AskWindowsToEnd(UINT flags) {
  // The token is closed with the object; the privilege is back as it was if Windows says no.
  corvane::win::ScopedPrivilege privilege;
  privilege.Enable(SE_SHUTDOWN_NAME);
  ::ExitWindowsEx(flags, 0xFFFFFFFF);
}
}  // namespace

bool Win32KeyboardState::IsKeyPressed(int virtualKey) { return ::GetAsyncKeyState(virtualKey) != 0; }

void Win32PowerControl::ShutDown() {
  if (!LoggedInstead("shutdown")) AskWindowsToEnd(EWX_SHUTDOWN | EWX_FORCE);
}
void Win32PowerControl::Restart() {
  if (!LoggedInstead("restart")) AskWindowsToEnd(EWX_REBOOT | EWX_FORCE);
}

}  // namespace corvane::hotkeys::win
