#include "ui/win/message_boxes.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "base/win/handle.h"
#include "base/win/ui_font.h"
#include "base/win/utf.h"
#include "ui/dialog_layout.h"
#include "ui/win/image_button.h"
#include "ui/win/modal_loop.h"
#include "ui/win/window_ops.h"

namespace corvane::ui::win {
namespace {

using corvane::win::UniqueGdiObject;

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFOREGROUND;
constexpr int kFontPoints = 9;
// The separator: a lighter blue than the background, calm against the white text.
constexpr Color kLineColor = Blend(kMessageBoxBlue, kWhite, 30);
// The buttons: a slightly lighter blue than the window, white captions.
const ButtonPalette& DialogButtonPalette() {
  static const ButtonPalette palette = MakeButtonPalette(kMessageBoxBlue, Blend(kMessageBoxBlue, kWhite, 8), kWhite);
  return palette;
}

// An empty dialog template: the controls are created and placed in code, sized for the DPI.
std::vector<WORD> DialogTemplate(const wchar_t* caption) {
  std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
  header->style = kDialogStyle;
  header->dwExtendedStyle = 0;
  header->cdit = 0;
  words.push_back(0);  // no menu
  words.push_back(0);  // the standard dialog class
  for (const wchar_t* c = caption; *c != L'\0'; ++c) words.push_back(static_cast<WORD>(*c));
  words.push_back(0);
  return words;
}

RECT ToRect(const PixelRect& r) { return {r.left, r.top, r.right, r.bottom}; }

class MessageWindow {
 public:
  MessageWindow(MessageBoxKind kind, std::string_view message) : kind_(kind), message_(corvane::win::Widen(message)) {}

  // Shows the window modally and tells how it ended.
  ConfirmOutcome Run(HWND owner) {
    owner_ = (owner != nullptr && ::IsWindow(owner)) ? owner : nullptr;
    const std::vector<WORD> dialog =
        DialogTemplate(Confirmation() ? FrmMessageBoxYesAndNo::kCaption : FrmMessageBoxOK::kCaption);
    const INT_PTR result =
        ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(dialog.data()),
                                  owner_, &MessageWindow::DialogProc, reinterpret_cast<LPARAM>(this));
    // The dialog manager ends its loop by itself only for a WM_QUIT (posted again for the program's
    // own loop): the program is quitting.
    if (result != -1 && !answered_ && !endedHere_) ending_ = true;
    if (!answered_) return ConfirmOutcome::Unanswered;
    return result == IDOK && confirmed_ ? ConfirmOutcome::Confirmed : ConfirmOutcome::Declined;
  }

  bool ending() const { return ending_; }

 private:
  bool Confirmation() const { return kind_ == MessageBoxKind::Confirmation; }
  // The button Enter presses when no button has the focus: never Ok in the confirmation.
  int SafeDefaultId() const { return Confirmation() ? IDCANCEL : IDOK; }

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    auto* self = reinterpret_cast<MessageWindow*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr) return FALSE;
    try {
      return self->Handle(hwnd, message, wParam, lParam);
    } catch (...) {
      // Nothing may leave a window procedure. A window that failed to set itself up closes as
      // "not confirmed" rather than stay on the screen half-built.
      if (message == WM_INITDIALOG) {
        self->endedHere_ = true;
        ::EndDialog(hwnd, IDCANCEL);
      }
      return FALSE;
    }
  }

  INT_PTR Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG:
        hwnd_ = hwnd;
        return Load();
      case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) OnButton(LOWORD(wParam));
        return TRUE;
      case DM_GETDEFID: {
        // Enter presses the button that has the focus, else the safe one.
        const HWND focus = ::GetFocus();
        const int id =
            (focus != nullptr && (focus == ok_ || focus == cancel_)) ? ::GetDlgCtrlID(focus) : SafeDefaultId();
        ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, MAKELONG(id, DC_HASDEFID));
        return TRUE;
      }
      case WM_CLOSE:
        // Alt+F4, the close box: never a confirmation.
        answered_ = true;
        Close(false);
        return TRUE;
      case WM_ENDSESSION:
        // The session ends: nobody answered.
        if (wParam != FALSE) {
          ending_ = true;
          Close(false);
        }
        return TRUE;
      case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(background_.get());
      case WM_CTLCOLORSTATIC: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, kWhite);
        ::SetBkColor(dc, kMessageBoxBlue);
        return reinterpret_cast<INT_PTR>(background_.get());
      }
      case WM_PAINT:
        Paint();
        return TRUE;
      case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        Arrange(HIWORD(wParam), suggested);
        return TRUE;
      }
      default:
        return FALSE;
    }
  }

  BOOL Load() {
    background_.reset(::CreateSolidBrush(kMessageBoxBlue));
    lineBrush_.reset(::CreateSolidBrush(kLineColor));
    // SS_NOPREFIX: an "&" in a file name is text, not a mnemonic. SS_EDITCONTROL: long words such as
    // paths wrap inside the label instead of running out of it.
    label_ = ::CreateWindowExW(
        0, WC_STATICW, message_.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, 0, 0, 0, 0,
        hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMessageLabelId)), ::GetModuleHandleW(nullptr), nullptr);
    const RECT none{};
    ok_ = ImageButton::Create(hwnd_, IDOK, "Ok", none, DialogButtonPalette());
    if (Confirmation()) cancel_ = ImageButton::Create(hwnd_, IDCANCEL, "Cancel", none, DialogButtonPalette());
    if (label_ == nullptr || ok_ == nullptr || (Confirmation() && cancel_ == nullptr)) {
      endedHere_ = true;
      ::EndDialog(hwnd_, IDCANCEL);
      return FALSE;
    }
    Arrange(corvane::win::WindowDpi(hwnd_), nullptr);
    SetTopMost(hwnd_, true);
    // The initial focus: the dialog manager then also knows it when the window is activated.
    ::SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Confirmation() ? cancel_ : ok_), TRUE);
    return FALSE;  // the focus is set
  }

  // Sizes everything for dpi; the window is centred, or placed at suggested (a DPI change).
  void Arrange(int dpi, const RECT* suggested) {
    dpi_ = dpi;
    UniqueGdiObject font = corvane::win::CreateUiFont(dpi_, kFontPoints);
    for (HWND control : {label_, ok_, cancel_}) {
      if (control != nullptr) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    }
    font_ = std::move(font);  // the controls no longer use the old one

    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
    const RECT area = suggested != nullptr ? *suggested : CentringArea(owner_);
    RECT frame{0, 0, 0, 0};
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int frameWidth = frame.right - frame.left;
    const int frameHeight = frame.bottom - frame.top;

    const int unwrapped = LayoutMessageBox(kind_, dpi_).message.Width();
    const int maxClient =
        suggested != nullptr ? 0 : std::max(0, static_cast<int>(area.bottom - area.top) - frameHeight);
    layout_ = LayoutMessageBox(kind_, dpi_, MessageHeight(unwrapped), maxClient);

    ::MoveWindow(label_, layout_.message.left, layout_.message.top, layout_.message.Width(), layout_.message.Height(),
                 FALSE);
    ::MoveWindow(ok_, layout_.ok.left, layout_.ok.top, layout_.ok.Width(), layout_.ok.Height(), FALSE);
    if (cancel_ != nullptr) {
      ::MoveWindow(cancel_, layout_.cancel.left, layout_.cancel.top, layout_.cancel.Width(), layout_.cancel.Height(),
                   FALSE);
    }

    const int width = layout_.clientWidth + frameWidth;
    const int height = layout_.clientHeight + frameHeight;
    PixelPoint place{area.left, area.top};
    if (suggested == nullptr) place = CentreInArea({area.left, area.top, area.right, area.bottom}, width, height);
    ::SetWindowPos(hwnd_, nullptr, place.x, place.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
  }

  // The height the message needs when wrapped at width, in the label's font.
  int MessageHeight(int width) const {
    HDC dc = ::GetDC(label_);
    if (dc == nullptr) return 0;
    const HGDIOBJ old = font_ ? ::SelectObject(dc, font_.get()) : nullptr;
    RECT rect{0, 0, width, 0};
    ::DrawTextW(dc, message_.c_str(), static_cast<int>(message_.size()), &rect,
                DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_EDITCONTROL | DT_EXPANDTABS | DT_NOPREFIX);
    if (old != nullptr) ::SelectObject(dc, old);
    ::ReleaseDC(label_, dc);
    return rect.bottom - rect.top;
  }

  void Paint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd_, &ps);
    if (dc == nullptr) return;
    const RECT line = ToRect(layout_.line);
    ::FillRect(dc, &line, static_cast<HBRUSH>(lineBrush_.get()));
    ::EndPaint(hwnd_, &ps);
  }

  void OnButton(int id) {
    if (id == IDOK) {
      SetTopMost(hwnd_, false);
      confirmed_ = Confirmation();
      answered_ = true;
      endedHere_ = true;
      ::EndDialog(hwnd_, IDOK);
    } else if (id == IDCANCEL) {
      // Cancel, or Escape (which the dialog manager reports as IDCANCEL in both windows).
      SetTopMost(hwnd_, false);
      answered_ = true;
      Close(false);
    }
  }

  void Close(bool confirmed) {
    confirmed_ = confirmed;
    endedHere_ = true;
    ::EndDialog(hwnd_, IDCANCEL);
  }

  MessageBoxKind kind_;
  std::wstring message_;
  HWND owner_ = nullptr;
  HWND hwnd_ = nullptr;
  HWND label_ = nullptr;
  HWND ok_ = nullptr;
  HWND cancel_ = nullptr;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  MessageBoxLayout layout_;
  UniqueGdiObject font_;
  UniqueGdiObject background_;
  UniqueGdiObject lineBrush_;
  bool confirmed_ = false;  // bConfirmed: written true by Ok in the confirmation only
  bool answered_ = false;   // a button, Escape or the user's closing ended it
  bool endedHere_ = false;  // this window ended the dialog itself (answered or not)
  bool ending_ = false;     // the program or the session is ending
};

}  // namespace

bool FrmMessageBoxYesAndNo::Show(HWND owner, std::string_view message) {
  return Ask(owner, message) == ConfirmOutcome::Confirmed;
}

ConfirmOutcome FrmMessageBoxYesAndNo::Ask(HWND owner, std::string_view message, bool* ending) {
  MessageWindow window(MessageBoxKind::Confirmation, message);
  const ConfirmOutcome outcome = window.Run(owner);
  if (ending != nullptr) *ending = window.ending();
  return outcome;
}

void FrmMessageBoxOK::Show(HWND owner, std::string_view message) {
  MessageWindow window(MessageBoxKind::Information, message);
  window.Run(owner);
}

bool WindowDialogs::Confirm(std::string_view message) { return FrmMessageBoxYesAndNo::Show(owner_, message); }

void WindowDialogs::Inform(std::string_view message) { FrmMessageBoxOK::Show(owner_, message); }

}  // namespace corvane::ui::win
