#include "ui/win/splash_window.h"

#include "base/dpi.h"
#include "base/palette.h"
#include "base/win/ui_font.h"
#include "base/win/utf.h"
#include "corvane_version.h"
#include "gui/dialog_layout.h"
#include "gui/win/controls.h"
#include "gui/win/paint.h"

namespace corvane::ui::win {

using gui::CentreInArea;
using gui::PixelPoint;
using gui::win::ClientRectOf;
using gui::win::CreateChildControl;
using gui::win::FillSolid;
using gui::win::LabelColorsReply;

using corvane::win::WindowDpi;

namespace {
constexpr int kWidth = 420;
constexpr int kHeight = 230;
constexpr Color kTop = palette::kBlue;
constexpr Color kBottom = palette::kDeepBlue;
constexpr Color kBlockOff = palette::kMutedBlue;
constexpr Color kBlockOn = palette::kPaleBlue;
// The gradient's colour behind the status text.
constexpr Color kLabelBackground = Blend(kTop, kBottom, 67);
constexpr gui::win::FontSpec kTitleFont{22, FW_BOLD};
constexpr gui::win::FontSpec kTextFont{9};
}  // namespace

bool SplashWindow::Create(std::function<void()> handOver) {
  handOver_ = std::move(handOver);
  scaling_.Reset(WindowDpi(nullptr));
  const int dpi = scaling_.Dpi();
  const int width = Scale(kWidth, dpi);
  const int height = Scale(kHeight, dpi);
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const PixelPoint place = CentreInArea({work.left, work.top, work.right, work.bottom}, width, height);
  if (!CreateWindowOf(WS_EX_TOOLWINDOW, L"Corvane", WS_POPUP | WS_BORDER, place.x, place.y, width, height, nullptr)) {
    return false;
  }

  label_ = CreateChildControl(L"STATIC", L"Loading", SS_LEFT, Scale(24, dpi), Scale(150, dpi),
                              Scale(kWidth - 48, dpi), Scale(20, dpi), Hwnd(), 0, scaling_.Font(kTextFont));
  ::SetTimer(Hwnd(), kProgressTimer, 1000, nullptr);
  ::ShowWindow(Hwnd(), SW_SHOW);
  ::UpdateWindow(Hwnd());
  return true;
}

void SplashWindow::SetStatusText(std::string_view text) {
  if (label_ == nullptr) return;
  ::SetWindowTextW(label_, corvane::win::Widen(text).c_str());
  ::UpdateWindow(label_);
}

void SplashWindow::Close() {
  if (Hwnd() == nullptr) return;
  ::KillTimer(Hwnd(), kProgressTimer);
  ::ShowWindow(Hwnd(), SW_HIDE);
  ::PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
}

void SplashWindow::Paint() {
  const corvane::win::PaintDc paint(Hwnd());
  if (!paint) return;
  const HDC dc = paint.get();
  const int dpi = scaling_.Dpi();
  const RECT client = ClientRectOf(Hwnd());
  // A vertical gradient in bands: cheap and smooth enough for a short-lived window.
  const int bands = 32;
  for (int i = 0; i < bands; ++i) {
    RECT band = client;
    band.top = client.top + (client.bottom - client.top) * i / bands;
    band.bottom = client.top + (client.bottom - client.top) * (i + 1) / bands;
    FillSolid(dc, band, Blend(kTop, kBottom, i * 100 / (bands - 1)));
  }
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, palette::kWhite);
  {
    const corvane::win::SelectedObject font(dc, scaling_.Font(kTitleFont));
    RECT title{Scale(24, dpi), Scale(28, dpi), client.right, Scale(78, dpi)};
    ::DrawTextW(dc, L"Corvane", -1, &title, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
  }
  {
    const corvane::win::SelectedObject font(dc, scaling_.Font(kTextFont));
    ::SetTextColor(dc, kBlockOn);
    RECT version{Scale(26, dpi), Scale(80, dpi), client.right, Scale(100, dpi)};
    ::DrawTextW(dc, L"Version " CORVANE_VERSION_TEXT L"  \x2022  desktop protection", -1, &version, DT_LEFT | DT_SINGLELINE);
  }
  // The six progress blocks.
  const int blockWidth = Scale(56, dpi);
  const int gap = Scale(6, dpi);
  const int top = Scale(184, dpi);
  for (int i = 0; i < SplashProgress::kBlocks; ++i) {
    RECT block{Scale(24, dpi) + i * (blockWidth + gap), top, 0, top + Scale(14, dpi)};
    block.right = block.left + blockWidth;
    FillSolid(dc, block, i < progress_.VisibleBlocks() ? kBlockOn : kBlockOff);
  }
}

LRESULT SplashWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_CTLCOLORSTATIC:
      if (!labelBrush_) labelBrush_.reset(::CreateSolidBrush(kLabelBackground));
      return LabelColorsReply(wParam, palette::kWhite, kLabelBackground, static_cast<HBRUSH>(labelBrush_.get()));
    case WM_TIMER:
      if (wParam == kProgressTimer) {
        if (progress_.Tick()) {
          ::KillTimer(Hwnd(), kProgressTimer);
          if (handOver_) handOver_();
        } else {
          ::InvalidateRect(Hwnd(), nullptr, FALSE);
        }
        return 0;
      }
      break;
    case WM_DPICHANGED:
      return scaling_.OnDpiChanged(Hwnd(), wParam, lParam);
    case WM_CLOSE:
      ::DestroyWindow(Hwnd());
      return 0;
    default:
      break;
  }
  return WindowBase::HandleMessage(message, wParam, lParam);
}

}  // namespace corvane::ui::win
