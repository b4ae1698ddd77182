#pragma once
// Switches one privilege of our own token on for the lifetime of the object and puts back what was
// there before, so a privilege is held only for the operation that needs it (termination of another
// user's process, shutting Windows down). The token handle is owned and always closed.
#include <windows.h>

#include "base/win/handle.h"

namespace corvane::win {

class ScopedPrivilege {
 public:
  ScopedPrivilege() = default;
  ScopedPrivilege(const ScopedPrivilege&) = delete;
  ScopedPrivilege& operator=(const ScopedPrivilege&) = delete;
  ~ScopedPrivilege() {
    // previous_ lists only what the call changed: empty when the privilege was on already.
    if (adjusted_ && previous_.PrivilegeCount > 0) {
      ::AdjustTokenPrivileges(token_.get(), FALSE, &previous_, 0, nullptr, nullptr);
    }
  }

  // privilegeName: SE_DEBUG_NAME, SE_SHUTDOWN_NAME, ... False when the token cannot be opened, the
  // privilege not looked up or the adjustment fails. A user who does not hold the privilege at all
  // still gets true: the adjustment itself worked, and the operation that follows will say no.
  bool Enable(const wchar_t* privilegeName) {
    if (adjusted_) return true;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token_.put())) {
      return false;
    }
    TOKEN_PRIVILEGES wanted{};
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!::LookupPrivilegeValueW(nullptr, privilegeName, &wanted.Privileges[0].Luid)) return false;
    DWORD previousSize = 0;
    if (!::AdjustTokenPrivileges(token_.get(), FALSE, &wanted, sizeof(previous_), &previous_, &previousSize)) {
      return false;
    }
    adjusted_ = true;
    return true;
  }

 private:
  UniqueHandle token_;
  TOKEN_PRIVILEGES previous_{};
  bool adjusted_ = false;
};

}  // namespace corvane::win
