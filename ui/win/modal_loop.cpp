#include "ui/win/modal_loop.h"

#include <algorithm>

namespace corvane::ui::win {

HWND ModalOwner(HWND owner) {
  if (owner == nullptr || !::IsWindow(owner)) return nullptr;
  return ::GetAncestor(owner, GA_ROOT);
}

bool RunModalLoop(HWND window, HWND owner, const bool& done) {
  const bool disableOwner = owner != nullptr && ::IsWindowEnabled(owner);
  if (disableOwner) ::EnableWindow(owner, FALSE);
  bool quit = false;
  int quitCode = 0;
  MSG message{};
  while (!done && ::IsWindow(window)) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      quit = true;
      quitCode = static_cast<int>(message.wParam);
      break;
    }
    if (got == -1) break;
    if (!::IsDialogMessageW(window, &message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  if (disableOwner && ::IsWindow(owner)) ::EnableWindow(owner, TRUE);
  if (quit) ::PostQuitMessage(quitCode);
  return !quit;
}

RECT CentringArea(HWND owner) {
  HMONITOR monitor = nullptr;
  if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
    monitor = ::MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY);
  } else {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    monitor = ::MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY);
  }
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (monitor != nullptr && ::GetMonitorInfoW(monitor, &info)) return info.rcWork;
  RECT area{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

void CentreOnWorkArea(HWND window, HWND owner) {
  const RECT area = CentringArea(owner);
  RECT rect{};
  ::GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const int x = area.left + std::max(0, static_cast<int>(area.right - area.left) - width) / 2;
  const int y = area.top + std::max(0, static_cast<int>(area.bottom - area.top) - height) / 2;
  ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace corvane::ui::win
