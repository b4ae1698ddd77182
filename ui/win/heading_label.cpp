#include "ui/win/heading_label.h"

#include <iterator>

#include "base/dpi.h"
#include "base/palette.h"
#include "base/win/handle.h"
#include "base/win/ui_font.h"
#include "gui/win/paint.h"

namespace corvane::ui::win {

using gui::win::ClientRectOf;
using gui::win::FillSolid;

bool HeadingLabel::Create(HWND parent, const RECT& bounds, HFONT font, COLORREF background) {
  font_ = font;
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
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam) != 0) ::InvalidateRect(Hwnd(), nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
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
  const corvane::win::PaintDc paint(Hwnd());
  if (!paint) return;
  const HDC dc = paint.get();
  const RECT client = ClientRectOf(Hwnd());
  FillSolid(dc, client, background_);
  wchar_t text[128] = {};
  ::GetWindowTextW(Hwnd(), text, static_cast<int>(std::size(text)));
  const corvane::win::SelectedObject font(dc, font_);
  ::SetBkMode(dc, TRANSPARENT);
  // The window's DPI now: it follows its screen.
  const int dpi = corvane::win::WindowDpi(Hwnd());
  const int shift = Scale(3, dpi);
  RECT shadow{client.left, client.top + Scale(5, dpi), client.right, client.bottom};
  ::SetTextColor(dc, palette::kBlack);
  ::DrawTextW(dc, text, -1, &shadow, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  RECT face{client.left + shift, client.top, client.right, client.bottom};
  ::SetTextColor(dc, palette::kWhite);
  ::DrawTextW(dc, text, -1, &face, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace corvane::ui::win
