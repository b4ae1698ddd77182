#include "ui/win/alert_window.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "base/win/ui_font.h"
#include "base/win/utf.h"
#include "ui/dialog_layout.h"
#include "ui/win/app_icon.h"
#include "ui/win/details_window.h"
#include "ui/win/file_icons.h"
#include "ui/win/image_button.h"
#include "ui/win/modal_loop.h"
#include "ui/win/paint.h"
#include "ui/win/window_ops.h"

namespace corvane::ui::win {
namespace {

using watch::AlertDecision;

// Layout in pixels at 96 DPI.
constexpr int kClientWidth = 460;
constexpr int kBannerHeight = 72;
constexpr int kMargin = 20;
constexpr int kIconSize = 32;
constexpr int kCaptionWidth = 92;
constexpr int kRowHeight = 20;
constexpr int kRowGap = 4;
constexpr int kLocationMaxLines = 5;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 30;
constexpr int kButtonGap = 10;

constexpr Color kBannerColor = kMessageBoxBlue;
constexpr Color kBodyColor = MakeColor(244, 247, 252);
constexpr Color kCaptionColor = MakeColor(90, 104, 128);
constexpr Color kValueColor = MakeColor(20, 30, 50);
constexpr Color kQuestionColor = MakeColor(0, 45, 110);
constexpr Color kSeparatorColor = MakeColor(208, 218, 232);

// Allow and Block carry the decision and look alike, so neither invites the click; Details is the
// quieter one.
const ButtonPalette& DecisionPalette() {
  static const ButtonPalette palette = MakeButtonPalette(kBodyColor, kMessageBoxBlue, kWhite);
  return palette;
}
const ButtonPalette& DetailsPalette() {
  static const ButtonPalette palette = MakeButtonPalette(kBodyColor, kWhite, kMessageBoxBlue);
  return palette;
}

HWND CreateLabel(HWND parent, std::string_view text, int id, DWORD extraStyle = SS_ENDELLIPSIS) {
  // SS_NOPREFIX: an "&" in a file name is text, not a mnemonic.
  return ::CreateWindowExW(0, WC_STATICW, corvane::win::Widen(text).c_str(),
                           WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | extraStyle, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
}

void SetFont(HWND control, const corvane::win::UniqueGdiObject& font) {
  if (control != nullptr) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
}

bool IsBannerControl(int id) { return id == kAlertNameId; }
bool IsCaptionControl(int id) {
  return id == kAlertProcessIdCaptionId || id == kAlertCreatedCaptionId || id == kAlertLocationCaptionId;
}

}  // namespace

FrmMessage::FrmMessage(const watch::AlertRequest& request, ProcessFacts& facts) : request_(request), facts_(facts) {}

AlertDecision FrmMessage::Show(HWND owner, const watch::AlertRequest& request, ProcessFacts& facts, bool* ending) {
  if (ending != nullptr) *ending = false;
  owner = ModalOwner(owner);
  FrmMessage window(request, facts);
  // A question that cannot be put decides nothing; the program is asked about again.
  if (!window.Create(owner)) return AlertDecision::Undecided;
  SetTopMost(window.Hwnd(), true);
  ::ShowWindow(window.Hwnd(), SW_SHOW);
  ::SetForegroundWindow(window.Hwnd());
  ::SetFocus(window.details_);
  const bool quit = !RunModalLoop(window.Hwnd(), owner, window.done_);
  if (quit || window.sessionEnding_) {
    if (ending != nullptr) *ending = true;
    return AlertDecision::Undecided;
  }
  return window.decision_;
}

bool FrmMessage::Create(HWND owner) {
  programIcon_ = LoadFileIcon(request_.path, false);
  bannerBrush_.reset(::CreateSolidBrush(kBannerColor));
  bodyBrush_.reset(::CreateSolidBrush(kBodyColor));
  separatorBrush_.reset(::CreateSolidBrush(kSeparatorColor));
  // WS_EX_APPWINDOW: a button on the taskbar even while the main window is hidden in the tray, so
  // the waiting question can always be found.
  if (!CreateWindowOf(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW, kCaption,
                      WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, 0, 0, kClientWidth, 300, owner)) {
    return false;
  }
  bigAppIcon_ = CreateAppIcon(::GetSystemMetrics(SM_CXICON));
  smallAppIcon_ = CreateAppIcon(::GetSystemMetrics(SM_CXSMICON));
  ::SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigAppIcon_.get()));
  ::SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallAppIcon_.get()));
  CreateControls();
  if (name_ == nullptr || location_ == nullptr || allow_ == nullptr || block_ == nullptr || details_ == nullptr) {
    return false;
  }
  Arrange(corvane::win::WindowDpi(Hwnd()));
  CentreOnWorkArea(Hwnd(), owner);
  return true;
}

void FrmMessage::CreateControls() {
  const HWND hwnd = Hwnd();
  name_ = CreateLabel(hwnd, request_.name, kAlertNameId);
  CreateLabel(hwnd, "Process ID:", kAlertProcessIdCaptionId);
  CreateLabel(hwnd, std::to_string(request_.processId), kAlertProcessIdId);
  CreateLabel(hwnd, "Created on :", kAlertCreatedCaptionId);
  CreateLabel(hwnd, facts_.FileCreated(request_.path), kAlertCreatedId);
  CreateLabel(hwnd, "Location:", kAlertLocationCaptionId);
  // SS_EDITCONTROL: a path has few blanks, so it is wrapped anywhere rather than cut off.
  location_ = CreateLabel(hwnd, "\"" + request_.path + "\"", kAlertLocationId, SS_EDITCONTROL);
  question_ = CreateLabel(hwnd, "What you would like to do ?", kAlertQuestionId);
  // Created in the order Tab visits them, left to right.
  const RECT none{};
  details_ = ImageButton::Create(hwnd, kAlertDetailsId, "Details", none, DetailsPalette());
  allow_ = ImageButton::Create(hwnd, kAlertAllowId, "Allow", none, DecisionPalette());
  block_ = ImageButton::Create(hwnd, kAlertBlockId, "Block", none, DecisionPalette());
}

// The height the quoted path needs, wrapped at width, between one line and kLocationMaxLines.
int FrmMessage::LocationHeight(int width) const {
  const int line = corvane::win::Scale(kRowHeight, dpi_);
  HDC dc = ::GetDC(location_);
  if (dc == nullptr) return line;
  const HGDIOBJ old = ::SelectObject(dc, font_.get());
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  const std::wstring text = corvane::win::Widen("\"" + request_.path + "\"");
  RECT rect{0, 0, width, 0};
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
  ::SelectObject(dc, old);
  ::ReleaseDC(location_, dc);
  const int lineHeight = std::max(1, static_cast<int>(metrics.tmHeight));
  const int needed = static_cast<int>(rect.bottom - rect.top) + lineHeight / 4;
  return std::clamp(needed, line, kLocationMaxLines * lineHeight + lineHeight / 4);
}

void FrmMessage::Arrange(int dpi) {
  dpi_ = dpi;
  const auto s = [dpi](int pixels) { return corvane::win::Scale(pixels, dpi); };
  corvane::win::UniqueGdiObject font = corvane::win::CreateUiFont(dpi, 9);
  corvane::win::UniqueGdiObject nameFont = corvane::win::CreateUiFont(dpi, 15, FW_BOLD);
  corvane::win::UniqueGdiObject questionFont = corvane::win::CreateUiFont(dpi, 10, FW_BOLD);
  for (HWND child = ::GetWindow(Hwnd(), GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    SetFont(child, child == name_ ? nameFont : child == question_ ? questionFont : font);
  }
  // The controls use the new fonts now; the old ones can go.
  font_ = std::move(font);
  nameFont_ = std::move(nameFont);
  questionFont_ = std::move(questionFont);

  const int width = s(kClientWidth);
  const int margin = s(kMargin);
  banner_ = {0, 0, width, s(kBannerHeight)};
  const int iconTop = (s(kBannerHeight) - s(kIconSize)) / 2;
  iconRect_ = {margin, iconTop, margin + s(kIconSize), iconTop + s(kIconSize)};
  const int nameLeft = iconRect_.right + s(14);
  Place(name_, nameLeft, (s(kBannerHeight) - s(32)) / 2, width - nameLeft - margin, s(32));

  const int valueLeft = margin + s(kCaptionWidth);
  const int valueWidth = width - valueLeft - margin;
  int top = s(kBannerHeight) + s(16);
  const auto row = [&](int captionId, int valueId, int height) {
    Place(::GetDlgItem(Hwnd(), captionId), margin, top, s(kCaptionWidth), s(kRowHeight));
    Place(::GetDlgItem(Hwnd(), valueId), valueLeft, top, valueWidth, height);
    top += height + s(kRowGap);
  };
  row(kAlertProcessIdCaptionId, kAlertProcessIdId, s(kRowHeight));
  row(kAlertCreatedCaptionId, kAlertCreatedId, s(kRowHeight));
  row(kAlertLocationCaptionId, kAlertLocationId, LocationHeight(valueWidth));

  top += s(8);
  separator_ = {margin, top, width - margin, top + std::max(1, s(1))};
  top = separator_.bottom + s(12);
  Place(question_, margin, top, width - 2 * margin, s(24));
  top += s(24) + s(14);

  Place(details_, margin, top, s(kButtonWidth), s(kButtonHeight));
  const int blockLeft = width - margin - s(kButtonWidth);
  Place(block_, blockLeft, top, s(kButtonWidth), s(kButtonHeight));
  Place(allow_, blockLeft - s(kButtonGap) - s(kButtonWidth), top, s(kButtonWidth), s(kButtonHeight));
  const int height = top + s(kButtonHeight) + margin;

  ResizeClientArea(Hwnd(), width, height);
  ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

void FrmMessage::Paint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(Hwnd(), &ps);
  if (dc == nullptr) return;
  RECT client{};
  ::GetClientRect(Hwnd(), &client);
  ::FillRect(dc, &client, static_cast<HBRUSH>(bodyBrush_.get()));
  ::FillRect(dc, &banner_, static_cast<HBRUSH>(bannerBrush_.get()));
  ::FillRect(dc, &separator_, static_cast<HBRUSH>(separatorBrush_.get()));
  if (programIcon_) {
    DrawIconIn(dc, programIcon_.get(), iconRect_);
  }
  ::EndPaint(Hwnd(), &ps);
}

void FrmMessage::Decide(AlertDecision decision) {
  if (done_) return;
  SetTopMost(Hwnd(), false);
  decision_ = decision;
  done_ = true;
  // Wakes the modal loop when this came from outside it.
  ::PostMessageW(Hwnd(), WM_NULL, 0, 0);
}

void FrmMessage::OnCommand(int id) {
  switch (id) {
    case kAlertAllowId:
      Decide(AlertDecision::Allow);
      break;
    case kAlertBlockId:
      Decide(AlertDecision::Block);
      break;
    case kAlertDetailsId:
      OnDetails();
      break;
    default:
      // IDOK is Enter with no button focused, IDCANCEL is Escape: deliberately nothing.
      break;
  }
}

void FrmMessage::OnDetails() {
  if (showingDetails_ || done_) return;
  showingDetails_ = true;
  ImageButton::ShowAllNormal(Hwnd());
  ::EnableWindow(details_, FALSE);
  const HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  // The facts recorded when the program was detected, not looked up again by name.
  ProcessReportInput input;
  input.path = request_.path;
  input.name = request_.name;
  input.parent = std::to_string(request_.parentProcessId);
  input.processId = request_.processId;
  input.threads = request_.threadCount;
  const ProcessReport report = BuildProcessReport(input, facts_);
  ::SetCursor(previous);
  // The details go above the alert while they are open; the alert comes back on top after.
  SetTopMost(Hwnd(), false);
  FrmFullProcessDetails::Show(Hwnd(), report, programIcon_.get());
  if (Hwnd() == nullptr) return;  // destroyed meanwhile
  if (!done_) SetTopMost(Hwnd(), true);
  ::EnableWindow(details_, TRUE);
  ::SetFocus(details_);
  showingDetails_ = false;
}

LRESULT FrmMessage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
      return 0;
    case DM_GETDEFID: {
      // Enter presses only a button the user has moved to; otherwise it reaches OnCommand as IDOK,
      // which does nothing.
      const HWND focus = ::GetFocus();
      if (focus != nullptr && (focus == allow_ || focus == block_ || focus == details_)) {
        return MAKELRESULT(::GetDlgCtrlID(focus), DC_HASDEFID);
      }
      return 0;
    }
    case WM_CLOSE:
      // The close box, Alt+F4: the user's own act, the program is blocked.
      Decide(AlertDecision::Block);
      return 0;
    case WM_ENDSESSION:
      // The session ends (the process may end any moment after this returns): nobody answered.
      if (wParam != FALSE && !done_) {
        sessionEnding_ = true;
        done_ = true;
        ::PostMessageW(Hwnd(), WM_NULL, 0, 0);
      }
      return 0;
    case WM_DESTROY:
      // Destroyed from outside before an answer: decision_ stays Undecided.
      done_ = true;
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      if (IsBannerControl(id)) {
        ::SetTextColor(dc, kWhite);
        ::SetBkColor(dc, kBannerColor);
        return reinterpret_cast<LRESULT>(bannerBrush_.get());
      }
      ::SetTextColor(dc, IsCaptionControl(id) ? kCaptionColor : id == kAlertQuestionId ? kQuestionColor : kValueColor);
      ::SetBkColor(dc, kBodyColor);
      return reinterpret_cast<LRESULT>(bodyBrush_.get());
    }
    case WM_MOUSEMOVE:
      ImageButton::ShowAllNormal(Hwnd());
      return 0;
    case WM_DPICHANGED: {
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      Arrange(HIWORD(wParam));
      ::SetWindowPos(Hwnd(), nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    default:
      return ::DefWindowProcW(Hwnd(), message, wParam, lParam);
  }
}

}  // namespace corvane::ui::win
