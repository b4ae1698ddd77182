#include "gui/win/paint.h"

#include "base/win/handle.h"

namespace corvane::gui::win {

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
  corvane::win::UniqueGdiObject brush(::CreateSolidBrush(color));
  ::FillRect(dc, &rect, static_cast<HBRUSH>(brush.get()));
}

void DrawIconIn(HDC dc, HICON icon, const RECT& rect) {
  ::DrawIconEx(dc, rect.left, rect.top, icon, rect.right - rect.left, rect.bottom - rect.top, 0, nullptr, DI_NORMAL);
}

RECT ClientRectOf(HWND hwnd) {
  RECT client{};
  ::GetClientRect(hwnd, &client);
  return client;
}

LRESULT LabelColorsReply(WPARAM dc, COLORREF text, COLORREF background, HBRUSH brush) {
  ::SetTextColor(reinterpret_cast<HDC>(dc), text);
  ::SetBkColor(reinterpret_cast<HDC>(dc), background);
  return reinterpret_cast<LRESULT>(brush);
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

WrappedText MeasureWrappedText(HWND control, HFONT font, std::wstring_view text, int width) {
  const corvane::win::WindowDc dc(control);
  if (!dc) return {};
  const corvane::win::SelectedObject useFont(dc.get(), font);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc.get(), &metrics);
  RECT rect{0, 0, width, 0};
  ::DrawTextW(dc.get(), text.data(), static_cast<int>(text.size()), &rect,
              DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_EDITCONTROL | DT_EXPANDTABS | DT_NOPREFIX);
  return {static_cast<int>(rect.bottom - rect.top), static_cast<int>(metrics.tmHeight)};
}

}  // namespace corvane::gui::win
