#include "rizaz/win/popup_window.h"

#include <algorithm>

#include "base/dpi.h"
#include "base/palette.h"
#include "base/win/ui_font.h"
#include "base/win/utf.h"
#include "gui/win/controls.h"
#include "gui/win/paint.h"

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

// Tahoma where it is installed, else the interface font's face in the same size and weight.
constexpr gui::win::FontSpec kBoldFont{9, FW_BOLD, L"Tahoma"};
constexpr gui::win::FontSpec kInterfaceFont = gui::win::FontSpec::MessageFont();

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
  // A closed popup takes the screen's DPI at once; an open one follows WM_DPICHANGED.
  if (Hwnd() == nullptr && scaling_.Dpi() != dpi_) scaling_.Reset(dpi_);
  const SIZE outer = OuterSize();
  facts.popupClientWidthPx = corvane::Scale(kClientWidth, dpi_);
  facts.popupOuterHeightTwips = PixelsToTwips(outer.cy, dpi_);
  facts.popupOuterWidthTwips = PixelsToTwips(outer.cx, dpi_);
  return facts;
}

SIZE PopupWindow::OuterSize() const {
  RECT outer{0, 0, Scale(kClientWidth), Scale(kClientHeight)};
  ::AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
  return {outer.right - outer.left, outer.bottom - outer.top};
}

void PopupWindow::CreateBackground() {
  if (backgroundBrush_ && backgroundDpi_ == scaling_.Dpi()) return;
  backgroundDpi_ = scaling_.Dpi();
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
  if (scaling_.Dpi() != dpi_) scaling_.Reset(dpi_);
  CreateBackground();
  const SIZE outer = OuterSize();
  CreateWindowOf(kExStyle, L"", kStyle, TwipsToPixels(placement.leftTwips, dpi_),
                 TwipsToPixels(static_cast<double>(placement.topTwips), dpi_), outer.cx, outer.cy, owner_);
  if (Hwnd() == nullptr) return;
  CreateControls();
  // On top of everything, but the user's window keeps the focus.
  ::SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

HWND PopupWindow::AddLabel(int id, const wchar_t* text, int x, int y, HFONT font, DWORD extraStyle) {
  HWND label = gui::win::CreateChildControl(L"STATIC", text, SS_LEFTNOWORDWRAP | SS_NOPREFIX | extraStyle, Scale(x),
                                            Scale(y), Scale(50), Scale(14), Hwnd(), id, font);
  if (label != nullptr) FitLabel(label);
  return label;
}

void PopupWindow::CreateControls() {
  const HFONT bold = scaling_.Font(kBoldFont);
  lblProcessname_ = AddLabel(kLblProcessnameId, L"", 57, 21, bold, SS_ENDELLIPSIS);
  AddLabel(kLabel1Id, L"The file has been blocked from running . ", 57, 49, bold, 0);
  // The label acts as the check box's caption; SS_NOTIFY lets it report clicks.
  AddLabel(kLabel2Id, L"Dont show this dialog again.", 23, 78, scaling_.Font(kInterfaceFont), SS_NOTIFY);
  chkDontShow_ = gui::win::CreateChildControl(L"BUTTON", L"", BS_CHECKBOX, Scale(8), Scale(77), Scale(12), Scale(13),
                                              Hwnd(), kChkDontShowId, nullptr);
}

// Labels size themselves to their text, as far as the popup reaches.
void PopupWindow::FitLabel(HWND label) {
  const SIZE extent = gui::win::TextExtent(
      label, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)), gui::win::WindowTextOf(label));
  RECT rect{};
  ::GetWindowRect(label, &rect);
  ::MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&rect), 2);
  const int room = Scale(kClientWidth) - rect.left - Scale(4);
  ::SetWindowPos(label, nullptr, 0, 0, std::clamp(static_cast<int>(extent.cx) + 1, 1, std::max(room, 1)),
                 std::max(static_cast<int>(extent.cy), Scale(13)), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PopupWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  dpi_ = dpi;
  scaling_.ChangeDpi(Hwnd(), dpi, gui::win::DpiScaling::Children::Rescale);
  CreateBackground();
  const SIZE outer = OuterSize();
  ::SetWindowPos(Hwnd(), nullptr, suggested.left, suggested.top, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  // Each label's width is its text's in the new font.
  for (const int id : {kLblProcessnameId, kLabel1Id, kLabel2Id}) {
    if (HWND label = ::GetDlgItem(Hwnd(), id)) FitLabel(label);
  }
  ::InvalidateRect(Hwnd(), nullptr, TRUE);
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
      const RECT client = gui::win::ClientRectOf(Hwnd());
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
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
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
