#include "store/win/message_pump_pause.h"

#include <windows.h>

namespace corvane::win {

namespace {
constexpr int kMaxMessagesPerPump = 1000;
}  // namespace

void MessagePumpPause::RunPendingEvents() {
  MSG message;
  for (int count = 0; count < kMaxMessagesPerPump && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
       ++count) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

void MessagePumpPause::Sleep(int milliseconds) {
  if (milliseconds > 0) ::Sleep(static_cast<DWORD>(milliseconds));
}

}  // namespace corvane::win
