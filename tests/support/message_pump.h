#pragma once
// Tests that wait for answers posted to this thread's windows run its messages while they wait.
#include <windows.h>

#include <functional>

namespace corvane::testing {

// Runs this thread's messages until done() holds or a generous guard against hangs runs out.
inline bool PumpUntil(const std::function<bool()>& done, DWORD guardMs = 60000) {
  const ULONGLONG until = ::GetTickCount64() + guardMs;
  while (!done()) {
    if (::GetTickCount64() > until) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  return true;
}

}  // namespace corvane::testing
