#include "ui/win/paint.h"

#include "base/win/handle.h"

namespace corvane::ui::win {

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
  corvane::win::UniqueGdiObject brush(::CreateSolidBrush(color));
  ::FillRect(dc, &rect, static_cast<HBRUSH>(brush.get()));
}

void DrawIconIn(HDC dc, HICON icon, const RECT& rect) {
  ::DrawIconEx(dc, rect.left, rect.top, icon, rect.right - rect.left, rect.bottom - rect.top, 0, nullptr, DI_NORMAL);
}

void Place(HWND control, int left, int top, int width, int height) {
  if (control != nullptr) ::MoveWindow(control, left, top, width, height, FALSE);
}

void ResizeClientArea(HWND hwnd, int width, int height) {
  RECT frame{0, 0, width, height};
  ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
  ::SetWindowPos(hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace corvane::ui::win
