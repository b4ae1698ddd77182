#include "gui/win/modal_window.h"

#include <commctrl.h>

#include <algorithm>

#include "base/win/ui_font.h"
#include "base/win/utf.h"
#include "gui/win/app_icon.h"
#include "gui/win/controls.h"
#include "gui/win/image_button.h"
#include "gui/win/paint.h"
#include "gui/win/window_ops.h"

namespace corvane::gui::win {

const ButtonPalette& PrimaryButtons() {
  static const ButtonPalette buttons = MakeButtonPalette(palette::kSurface, palette::kBlue, palette::kWhite);
  return buttons;
}

const ButtonPalette& SecondaryButtons() {
  static const ButtonPalette buttons = MakeButtonPalette(palette::kSurface, palette::kWhite, palette::kBlue);
  return buttons;
}

const ButtonPalette& ButtonsOnBlue() {
  // A slightly lighter blue than the window, white captions.
  static const ButtonPalette buttons =
      MakeButtonPalette(palette::kBlue, Blend(palette::kBlue, palette::kWhite, 8), palette::kWhite);
  return buttons;
}

HWND ModalOwner(HWND owner) {
  if (owner == nullptr || !::IsWindow(owner)) return nullptr;
  return ::GetAncestor(owner, GA_ROOT);
}

namespace {

RECT WorkAreaOf(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (monitor != nullptr && ::GetMonitorInfoW(monitor, &info)) return info.rcWork;
  RECT area{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

}  // namespace

RECT CentringArea(HWND owner) {
  if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
    return WorkAreaOf(::MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY));
  }
  POINT cursor{};
  ::GetCursorPos(&cursor);
  return WorkAreaOf(::MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY));
}

ModalWindow::ModalWindow(ModalLook look) : look_(std::move(look)) {}

ModalWindow::~ModalWindow() {
  // Only a window that never reached its wait is still here; the derived window is gone already, so
  // no message may reach it on the way out.
  if (Hwnd() != nullptr) {
    ::SetWindowLongPtrW(Hwnd(), GWLP_USERDATA, 0);
    ::DestroyWindow(Hwnd());
  }
}

ModalEnd ModalWindow::ShowModal(HWND owner) {
  owner_ = ModalOwner(owner);
  area_ = CentringArea(owner_);
  if (!Create(owner_)) {
    if (Hwnd() != nullptr) ::DestroyWindow(Hwnd());
    finished_ = true;
    end_ = ModalEnd::NotShown;
    return end_;
  }
  lastFocus_ = FirstFocus();
  ::ShowWindow(Hwnd(), SW_SHOW);
  ::SetForegroundWindow(Hwnd());
  ::SetFocus(FirstFocus());

  // The owner takes no input meanwhile. It is enabled again while this window still exists, so the
  // system hands the activation back to it.
  const bool disableOwner = owner_ != nullptr && ::IsWindowEnabled(owner_);
  if (disableOwner) ::EnableWindow(owner_, FALSE);
  // Every message of the thread is dispatched, so the program's timers keep running; Tab, arrow
  // keys, Enter and Escape go through IsDialogMessage.
  MSG message{};
  while (!finished_ && ::IsWindow(Hwnd())) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      EndWait(ModalEnd::Quit);
      break;
    }
    if (got == -1) {
      EndWait(ModalEnd::Destroyed);
      break;
    }
    if (!::IsDialogMessageW(Hwnd(), &message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  if (disableOwner && ::IsWindow(owner_)) ::EnableWindow(owner_, TRUE);
  if (Hwnd() != nullptr) ::DestroyWindow(Hwnd());
  // The program's own loop must still see the quit.
  if (end_ == ModalEnd::Quit) ::PostQuitMessage(static_cast<int>(message.wParam));
  return end_;
}

bool ModalWindow::Create(HWND owner) {
  // Created topmost rather than made so after: once a control has a tooltip window (a popup owned by
  // this window), Wine's SetWindowPos(HWND_TOPMOST) leaves the flag off.
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_TOPMOST |
                        (look_.taskbarButton ? WS_EX_APPWINDOW : 0);
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  WindowClass windowClass;
  windowClass.name = look_.className;
  // Made on the monitor it will be centred on, so that it starts at that monitor's DPI.
  if (!CreateWindowOfClass(windowClass, exStyle, look_.caption.c_str(), style, area_.left, area_.top, 400, 200,
                           owner)) {
    return false;
  }
  if (look_.taskbarButton) {
    bigIcon_ = CreateAppIcon(::GetSystemMetrics(SM_CXICON));
    smallIcon_ = CreateAppIcon(::GetSystemMetrics(SM_CXSMICON));
    ::SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    ::SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  }
  scaling_.Reset(corvane::win::WindowDpi(Hwnd()));
  if (!CreateControls()) return false;
  Arrange(scaling_.Dpi());

  RECT rect{};
  ::GetWindowRect(Hwnd(), &rect);
  const PixelPoint place = CentreInArea({area_.left, area_.top, area_.right, area_.bottom},
                                        rect.right - rect.left, rect.bottom - rect.top);
  ::SetWindowPos(Hwnd(), nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

void ModalWindow::Finish() {
  if (finished_) return;
  SetTopMost(Hwnd(), false);
  EndWait(ModalEnd::Finished);
}

void ModalWindow::EndWait(ModalEnd end) {
  // The first end counts; the loop sees it after the message in hand.
  if (finished_) return;
  finished_ = true;
  end_ = end;
}

int ModalWindow::MaxClientHeight() const {
  RECT frame{0, 0, 0, 0};
  ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(Hwnd(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE)));
  return std::max(0, static_cast<int>((area_.bottom - area_.top) - (frame.bottom - frame.top)));
}

HBRUSH ModalWindow::Brush(Color color) {
  corvane::win::UniqueGdiObject& brush = brushes_[color];
  if (!brush) brush.reset(::CreateSolidBrush(color));
  return static_cast<HBRUSH>(brush.get());
}

HWND ModalWindow::AddControl(const wchar_t* className, std::string_view text, DWORD style, int id) {
  return CreateChildControl(className, corvane::win::Widen(text).c_str(), style, 0, 0, 0, 0, Hwnd(), id, nullptr);
}

HWND ModalWindow::AddLabel(std::string_view text, int id, DWORD extraStyle) {
  return AddControl(WC_STATICW, text, WS_VISIBLE | SS_LEFT | SS_NOPREFIX | extraStyle, id);
}

HWND ModalWindow::AddButton(int id, std::string_view caption, const ButtonPalette& palette) {
  return ImageButton::Create(Hwnd(), id, caption, RECT{}, palette);
}

void ModalWindow::Rearrange(int dpi) {
  // Arrange places every control itself.
  scaling_.ChangeDpi(Hwnd(), dpi, DpiScaling::Children::Keep);
  Arrange(scaling_.Dpi());
  ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

bool ModalWindow::IsOwnButton(HWND control) const {
  return control != nullptr && ::GetParent(control) == Hwnd() && ImageButton::IsImageButton(control);
}

void ModalWindow::Command(int id) {
  // The dialog manager reports Escape as IDCANCEL and Enter without a default button as IDOK; they
  // are buttons only in a window that has buttons of those ids.
  if (id == IDCANCEL && ::GetDlgItem(Hwnd(), IDCANCEL) == nullptr) id = look_.keys.escape;
  if (id == IDOK && ::GetDlgItem(Hwnd(), IDOK) == nullptr) id = look_.keys.enter;
  if (id != 0 && !finished_) OnCommand(id);
}

LRESULT ModalWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(Hwnd(), message, wParam, lParam);
}

LRESULT ModalWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) Command(LOWORD(wParam));
      return 0;
    case DM_GETDEFID: {
      // Enter presses the button that has the focus; otherwise the one the window names, if any.
      const HWND focus = ::GetFocus();
      if (IsOwnButton(focus)) return MAKELRESULT(::GetDlgCtrlID(focus), DC_HASDEFID);
      return look_.keys.enter != 0 ? MAKELRESULT(look_.keys.enter, DC_HASDEFID) : 0;
    }
    case WM_CLOSE:
      Command(look_.keys.closeBox);
      return 0;
    case WM_ENDSESSION:
      // The process may end any moment after this returns: nobody answered. A session end that
      // was called off (FALSE) changes nothing.
      if (wParam != FALSE) EndWait(ModalEnd::SessionEnded);
      return 0;
    case WM_DESTROY:
      EndWait(ModalEnd::Destroyed);
      return 0;
    case WM_ACTIVATE:
      // As a dialog does: the focus comes back to the control that had it.
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(Hwnd(), focus)) lastFocus_ = focus;
      } else if (lastFocus_ != nullptr && ::IsChild(Hwnd(), lastFocus_) && ::IsWindowEnabled(lastFocus_)) {
        ::SetFocus(lastFocus_);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      const corvane::win::PaintDc dc(Hwnd());
      if (!dc) return 0;
      const RECT client = ClientRectOf(Hwnd());
      ::FillRect(dc.get(), &client, Brush(look_.background));
      PaintOver(dc.get());
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      const LabelColors colors = ColorsOf(reinterpret_cast<HWND>(lParam));
      return LabelColorsReply(wParam, colors.text, colors.background, Brush(colors.background));
    }
    case WM_DPICHANGED: {
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      area_ = WorkAreaOf(::MonitorFromRect(suggested, MONITOR_DEFAULTTONEAREST));
      Rearrange(HIWORD(wParam));
      ::SetWindowPos(Hwnd(), nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    default:
      break;
  }
  return OnMessage(message, wParam, lParam);
}

}  // namespace corvane::gui::win
