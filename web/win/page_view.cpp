#include "web/win/page_view.h"

#include <utility>

#include "base/win/utf.h"

namespace corvane::web::win {

bool PageView::Create(HWND parent, int x, int y, int width, int height, int id) {
  return CreateWindowOf(0, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, y, width, height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void PageView::ShowPicture(corvane::win::UniqueGdiObject picture, int width, int height) {
  picture_ = std::move(picture);
  pictureWidth_ = width;
  pictureHeight_ = height;
  text_.clear();
  if (Hwnd() != nullptr) ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

void PageView::ShowText(const std::string& text) {
  picture_.reset();
  text_ = corvane::win::Widen(text);
  if (Hwnd() != nullptr) ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

void PageView::Paint() {
  corvane::win::PaintDc paint(Hwnd());
  if (!paint) return;
  RECT client{};
  ::GetClientRect(Hwnd(), &client);
  ::FillRect(paint.get(), &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  if (picture_) {
    corvane::win::UniqueMemoryDc memory(::CreateCompatibleDC(paint.get()));
    if (!memory) return;
    corvane::win::SelectedObject selected(memory.get(), picture_.get());
    const int x = (client.right - pictureWidth_) / 2;
    const int y = (client.bottom - pictureHeight_) / 2;
    // The picture's pixels carry premultiplied alpha: blend it onto the white background.
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::GdiAlphaBlend(paint.get(), x, y, pictureWidth_, pictureHeight_, memory.get(), 0, 0, pictureWidth_,
                    pictureHeight_, blend);
    return;
  }
  corvane::win::SelectedObject font(paint.get(), ::GetStockObject(DEFAULT_GUI_FONT));
  ::SetBkMode(paint.get(), TRANSPARENT);
  ::SetTextColor(paint.get(), RGB(0, 0, 0));
  RECT box = client;
  ::InflateRect(&box, -4, -4);
  ::DrawTextW(paint.get(), text_.c_str(), static_cast<int>(text_.size()), &box,
              DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_END_ELLIPSIS);
}

LRESULT PageView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills the whole window
    case WM_SIZE:
      ::InvalidateRect(Hwnd(), nullptr, TRUE);
      return 0;
    case WM_LBUTTONUP:
      if (onClick_) onClick_();
      return 0;
    // No menu of any kind over the page.
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
      return 0;
    case WM_SETCURSOR:
      if (clickable_ && LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    default:
      break;
  }
  return corvane::win::WindowBase<PageView>::HandleMessage(message, wParam, lParam);
}

}  // namespace corvane::web::win
