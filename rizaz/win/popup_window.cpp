#include "rizaz/win/popup_window.h"

#include <algorithm>

#include "base/dpi.h"
#include "base/palette.h"
#include "base/win/ui_font.h"
#include "base/win/utf.h"

namespace corvane::win {

namespace {

constexpr int kClientWidth = 346;
constexpr int kClientHeight = 103;
constexpr DWORD kStyle = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;  // WS_BORDER: the one-pixel frame
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
constexpr UINT_PTR kSlideTimerId = 1;
constexpr UINT_PTR kHoldTimerId = 2;

constexpr Color kNameColour = palette::kPaleBlue;
constexpr Color kTextColour = palette::kWhite;
constexpr Color kLineColour = palette::kBlue;
constexpr Color kBackgroundTop = palette::kPopupTop;
constexpr Color kBackgroundBottom = palette::kPopupBottom;

LOGFONTW MessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return metrics.lfMessageFont;
  LOGFONTW font{};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
  return font;
}

// The background's colour at row of rows: top to bottom in even steps.
Color RowColour(int row, int rows) {
  const auto mix = [&](int top, int bottom) { return top + (bottom - top) * row / std::max(rows - 1, 1); };
  return MakeColor(mix(RedOf(kBackgroundTop), RedOf(kBackgroundBottom)),
                   mix(GreenOf(kBackgroundTop), GreenOf(kBackgroundBottom)),
                   mix(BlueOf(kBackgroundTop), BlueOf(kBackgroundBottom)));
}

}  // namespace

rizaz::ScreenFacts PopupWindow::MeasureScreen() {
  rizaz::ScreenFacts facts;
  // The popup shows on the primary monitor, where the hidden owner sits: its DPI is the one the
  // popup is drawn for, and the one its twips are converted at.
  dpi_ = std::max(WindowDpi(owner_), 1);
  facts.dpi = dpi_;
  // The taskbar counts only by its height, wherever it sits; without one the popup starts at the
  // bottom edge of the screen.
  if (HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", L"")) {
    RECT rect{};
    if (::GetClientRect(taskbar, &rect)) facts.taskbarHeightPx = rect.bottom;
  }
  RECT desktop{};
  ::GetClientRect(::GetDesktopWindow(), &desktop);
  facts.screenWidthPx = desktop.right;
  facts.screenHeightPx = desktop.bottom;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
    facts.workArea = {monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right, monitor.rcWork.bottom};
  }
  facts.popupClientWidthPx = Scale(kClientWidth);
  RECT outer{0, 0, Scale(kClientWidth), Scale(kClientHeight)};
  ::AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
  facts.popupOuterHeightTwips = PixelsToTwips(outer.bottom - outer.top, dpi_);
  facts.popupOuterWidthTwips = PixelsToTwips(outer.right - outer.left, dpi_);
  return facts;
}

void PopupWindow::CreateResources() {
  // Made once, and again only when the screen's DPI has changed since.
  if (boldFont_ && resourcesDpi_ == dpi_) return;
  resourcesDpi_ = dpi_;
  const LOGFONTW message = MessageFont();
  // Tahoma where it is installed, else the interface font's face in the same size and weight.
  boldFont_ = CreateUiFont(dpi_, 9, FW_BOLD, {L"Tahoma"});
  interfaceFont_.reset(::CreateFontIndirectW(&message));

  const int width = Scale(kClientWidth);
  const int height = Scale(kClientHeight);
  const WindowDc screen(nullptr);
  const UniqueMemoryDc memory(::CreateCompatibleDC(screen.get()));
  background_.reset(::CreateCompatibleBitmap(screen.get(), width, height));
  if (memory && background_) {
    {
      const SelectedObject bitmap(memory.get(), background_.get());
      const SelectedObject brush(memory.get(), ::GetStockObject(DC_BRUSH));
      for (int y = 0; y < height; ++y) {
        ::SetDCBrushColor(memory.get(), RowColour(y, height));
        ::PatBlt(memory.get(), 0, y, width, 1, PATCOPY);
      }
    }
    backgroundBrush_.reset(::CreatePatternBrush(static_cast<HBITMAP>(background_.get())));
  }
  if (!backgroundBrush_) backgroundBrush_.reset(::CreateSolidBrush(kBackgroundBottom));
}

void PopupWindow::Open(const rizaz::PopupPlacement& placement) {
  if (Hwnd() != nullptr) Close();
  CreateResources();
  RECT outer{0, 0, Scale(kClientWidth), Scale(kClientHeight)};
  ::AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
  CreateWindowOf(kExStyle, L"", kStyle, TwipsToPixels(placement.leftTwips, dpi_),
                 TwipsToPixels(static_cast<double>(placement.topTwips), dpi_), outer.right - outer.left,
                 outer.bottom - outer.top, owner_);
  if (Hwnd() == nullptr) return;
  CreateControls();
  // On top of everything, but the user's window keeps the focus.
  ::SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

HWND PopupWindow::AddLabel(int id, const wchar_t* text, int x, int y, HFONT font, DWORD extraStyle) {
  HWND label = ::CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX | extraStyle,
                                 Scale(x), Scale(y), Scale(50), Scale(14), Hwnd(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
  if (label != nullptr) {
    ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    FitLabel(label);
  }
  return label;
}

void PopupWindow::CreateControls() {
  const HFONT bold = static_cast<HFONT>(boldFont_.get());
  lblProcessname_ = AddLabel(kLblProcessnameId, L"", 57, 21, bold, SS_ENDELLIPSIS);
  AddLabel(kLabel1Id, L"The file has been blocked from running . ", 57, 49, bold, 0);
  // The label acts as the check box's caption; SS_NOTIFY lets it report clicks.
  AddLabel(kLabel2Id, L"Dont show this dialog again.", 23, 78, static_cast<HFONT>(interfaceFont_.get()), SS_NOTIFY);
  chkDontShow_ = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_CHECKBOX, Scale(8), Scale(77), Scale(12),
                                   Scale(13), Hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kChkDontShowId)),
                                   ::GetModuleHandleW(nullptr), nullptr);
}

// Labels size themselves to their text, as far as the popup reaches.
void PopupWindow::FitLabel(HWND label) {
  const int length = ::GetWindowTextLengthW(label);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  ::GetWindowTextW(label, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  SIZE extent{};
  {
    const WindowDc dc(label);
    if (!dc) return;
    const SelectedObject font(dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), length, &extent);
  }
  RECT rect{};
  ::GetWindowRect(label, &rect);
  ::MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&rect), 2);
  const int room = Scale(kClientWidth) - rect.left - Scale(4);
  ::SetWindowPos(label, nullptr, 0, 0, std::clamp(static_cast<int>(extent.cx) + 1, 1, std::max(room, 1)),
                 std::max(static_cast<int>(extent.cy), Scale(13)), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PopupWindow::SetName(const std::string& name) {
  if (lblProcessname_ == nullptr) return;
  ::SetWindowTextW(lblProcessname_, Widen(name).c_str());
  FitLabel(lblProcessname_);
  ::InvalidateRect(lblProcessname_, nullptr, TRUE);
}

void PopupWindow::MoveTo(long long topTwips, double leftTwips) {
  if (Hwnd() == nullptr) return;
  ::SetWindowPos(Hwnd(), HWND_TOPMOST, TwipsToPixels(leftTwips, dpi_),
                 TwipsToPixels(static_cast<double>(topTwips), dpi_), 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void PopupWindow::SetChecked(bool checked) {
  if (chkDontShow_ != nullptr) ::SendMessageW(chkDontShow_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void PopupWindow::StartSlideTimer() {
  if (Hwnd() != nullptr) ::SetTimer(Hwnd(), kSlideTimerId, rizaz::kSlideIntervalMs, nullptr);
}
void PopupWindow::StopSlideTimer() {
  if (Hwnd() != nullptr) ::KillTimer(Hwnd(), kSlideTimerId);
}
void PopupWindow::StartHoldTimer() {
  if (Hwnd() != nullptr) ::SetTimer(Hwnd(), kHoldTimerId, rizaz::kHoldMs, nullptr);
}
void PopupWindow::StopHoldTimer() {
  if (Hwnd() != nullptr) ::KillTimer(Hwnd(), kHoldTimerId);
}

void PopupWindow::Close() {
  if (Hwnd() != nullptr) ::DestroyWindow(Hwnd());
}

LRESULT PopupWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;  // a click on the popup must not take the focus from the user's window
    case WM_ERASEBKGND: {
      RECT client{};
      ::GetClientRect(Hwnd(), &client);
      ::SetBrushOrgEx(reinterpret_cast<HDC>(wParam), 0, 0, nullptr);
      ::FillRect(reinterpret_cast<HDC>(wParam), &client, static_cast<HBRUSH>(backgroundBrush_.get()));
      return 1;
    }
    case WM_PAINT: {
      const PaintDc dc(Hwnd());
      if (!dc) return 0;
      const UniqueGdiObject pen(::CreatePen(PS_SOLID, 1, kLineColour));
      const SelectedObject usePen(dc.get(), pen.get());
      ::MoveToEx(dc.get(), Scale(1), Scale(101), nullptr);
      ::LineTo(dc.get(), Scale(344) + 1, Scale(101));  // the end point is included
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      // Labels and the check box show the background picture behind them: the brush is aligned
      // with the popup's client area, not with the control's own.
      const HDC dc = reinterpret_cast<HDC>(wParam);
      const HWND control = reinterpret_cast<HWND>(lParam);
      POINT origin{0, 0};
      ::MapWindowPoints(control, Hwnd(), &origin, 1);
      ::SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
      ::SetBkMode(dc, TRANSPARENT);
      ::SetTextColor(dc, control == lblProcessname_ ? kNameColour : kTextColour);
      return reinterpret_cast<LRESULT>(backgroundBrush_.get());
    }
    case WM_COMMAND:
      if (controller_ != nullptr) {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == kChkDontShowId && code == BN_CLICKED) controller_->OnCheckBoxClicked();
        if (id == kLabel2Id && code == STN_CLICKED) controller_->OnLabelClicked();
      }
      return 0;
    case WM_TIMER:
      if (controller_ != nullptr) {
        if (wParam == kSlideTimerId) controller_->OnSlideTick();
        if (wParam == kHoldTimerId) controller_->OnHoldTick();
      }
      return 0;
    case WM_DESTROY:
      ::KillTimer(Hwnd(), kSlideTimerId);
      ::KillTimer(Hwnd(), kHoldTimerId);
      if (controller_ != nullptr) controller_->OnWindowGone();
      return 0;
    case WM_NCDESTROY:
      lblProcessname_ = nullptr;
      chkDontShow_ = nullptr;
      return ::DefWindowProcW(Hwnd(), message, wParam, lParam);
    default:
      return ::DefWindowProcW(Hwnd(), message, wParam, lParam);
  }
}

}  // namespace corvane::win
