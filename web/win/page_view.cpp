#include "web/win/page_view.h"

#include <utility>

#include "base/win/utf.h"
#include "gui/win/paint.h"

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
  banner_ = false;
  if (Hwnd() != nullptr) {
    ::SetWindowTextW(Hwnd(), L"");
    ::InvalidateRect(Hwnd(), nullptr, TRUE);
  }
}

void PageView::ShowText(const std::string& text) {
  picture_.reset();
  text_ = corvane::win::Widen(text);
  banner_ = false;
  if (Hwnd() != nullptr) {
    ::SetWindowTextW(Hwnd(), text_.c_str());
    ::InvalidateRect(Hwnd(), nullptr, TRUE);
  }
}

void PageView::ShowBanner(const std::string& title) {
  ShowText(title);
  banner_ = true;
}

void PageView::PaintBanner(HDC dc, const RECT& client) {
  constexpr COLORREF kFrame = RGB(0x1F, 0x4E, 0x8C);
  constexpr COLORREF kTop = RGB(0xF4, 0xF8, 0xFD);
  constexpr COLORREF kBottom = RGB(0xD6, 0xE4, 0xF5);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  if (width <= 0 || height <= 0) return;
  // A soft vertical shade, one band per few pixels.
  constexpr int kBands = 16;
  for (int band = 0; band < kBands; ++band) {
    const auto mix = [&](int a, int b) { return a + (b - a) * band / (kBands - 1); };
    const COLORREF colour = RGB(mix(GetRValue(kTop), GetRValue(kBottom)), mix(GetGValue(kTop), GetGValue(kBottom)),
                                mix(GetBValue(kTop), GetBValue(kBottom)));
    const RECT strip{client.left, client.top + height * band / kBands, client.right,
                     client.top + height * (band + 1) / kBands};
    gui::win::FillSolid(dc, strip, colour);
  }
  // A frame, and a thin inner line a little inside it.
  corvane::win::UniqueGdiObject frame(::CreateSolidBrush(kFrame));
  ::FrameRect(dc, &client, static_cast<HBRUSH>(frame.get()));
  RECT inner = client;
  ::InflateRect(&inner, -3, -3);
  if (inner.right > inner.left && inner.bottom > inner.top) {
    ::FrameRect(dc, &inner, static_cast<HBRUSH>(frame.get()));
  }

  // The title in bold, as large as a third of the height allows, and a line asking for a click.
  const int titleHeight = height / 3 < 12 ? 12 : (height / 3 > 40 ? 40 : height / 3);
  corvane::win::UniqueGdiObject titleFont(::CreateFontW(-titleHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                                        CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, kFrame);
  RECT title{inner.left + 4, inner.top, inner.right - 4, client.top + height * 2 / 3};
  {
    corvane::win::SelectedObject font(dc, titleFont ? titleFont.get() : ::GetStockObject(DEFAULT_GUI_FONT));
    ::DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &title,
                DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  RECT line{inner.left + 4, title.bottom + 2, inner.right - 4, inner.bottom - 2};
  corvane::win::SelectedObject font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
  ::SetTextColor(dc, RGB(0x44, 0x55, 0x66));
  ::DrawTextW(dc, L"Click to find out more", -1, &line,
              DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void PageView::Paint() {
  corvane::win::PaintDc paint(Hwnd());
  if (!paint) return;
  const RECT client = gui::win::ClientRectOf(Hwnd());
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
  if (banner_) {
    PaintBanner(paint.get(), client);
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
