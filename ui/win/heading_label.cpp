#include "ui/win/heading_label.h"

#include <iterator>

#include "base/win/ui_font.h"
#include "ui/dialog_layout.h"
#include "ui/win/paint.h"

namespace corvane::ui::win {

bool HeadingLabel::Create(HWND parent, const RECT& bounds, HFONT font, int dpi, COLORREF background) {
  font_ = font;
  dpi_ = dpi;
  background_ = background;
  return CreateWindowOf(0, L"", WS_CHILD | WS_VISIBLE, bounds.left, bounds.top, bounds.right - bounds.left,
                        bounds.bottom - bounds.top, parent);
}

LRESULT HeadingLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETTEXT: {
      const LRESULT result = WindowBase::HandleMessage(message, wParam, lParam);
      ::InvalidateRect(Hwnd(), nullptr, TRUE);
      return result;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    default:
      break;
  }
  return WindowBase::HandleMessage(message, wParam, lParam);
}

void HeadingLabel::Paint() {
  PAINTSTRUCT ps{};
  HDC dc = ::BeginPaint(Hwnd(), &ps);
  RECT client{};
  ::GetClientRect(Hwnd(), &client);
  FillSolid(dc, client, background_);
  wchar_t text[128] = {};
  ::GetWindowTextW(Hwnd(), text, static_cast<int>(std::size(text)));
  HGDIOBJ old = ::SelectObject(dc, font_);
  ::SetBkMode(dc, TRANSPARENT);
  const int shift = corvane::win::Scale(3, dpi_);
  RECT shadow{client.left, client.top + corvane::win::Scale(5, dpi_), client.right, client.bottom};
  ::SetTextColor(dc, kBlack);
  ::DrawTextW(dc, text, -1, &shadow, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  RECT face{client.left + shift, client.top, client.right, client.bottom};
  ::SetTextColor(dc, kWhite);
  ::DrawTextW(dc, text, -1, &face, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  ::SelectObject(dc, old);
  ::EndPaint(Hwnd(), &ps);
}

}  // namespace corvane::ui::win
