#include "hotkeys/win/system_win.h"

#include <windows.h>

#include "base/win/scoped_privilege.h"

namespace corvane::hotkeys::win {

namespace {
void AskWindowsToEnd(UINT flags) {
  // The token is closed with the object; the privilege is back as it was if Windows says no.
  corvane::win::ScopedPrivilege privilege;
  privilege.Enable(SE_SHUTDOWN_NAME);
  ::ExitWindowsEx(flags, 0xFFFFFFFF);
}
}  // namespace

bool Win32KeyboardState::IsKeyPressed(int virtualKey) { return ::GetAsyncKeyState(virtualKey) != 0; }

void Win32PowerControl::ShutDown() { AskWindowsToEnd(EWX_SHUTDOWN | EWX_FORCE); }
void Win32PowerControl::Restart() { AskWindowsToEnd(EWX_REBOOT | EWX_FORCE); }

}  // namespace corvane::hotkeys::win
