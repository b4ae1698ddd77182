#include "ui/win/details_window.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <string>

#include "base/win/ui_font.h"
#include "base/win/utf.h"
#include "process/process_control.h"
#include "ui/dialog_layout.h"
#include "ui/win/file_icons.h"
#include "ui/win/image_button.h"
#include "ui/win/modal_loop.h"
#include "ui/win/paint.h"
#include "ui/win/process_facts_win.h"
#include "ui/win/window_ops.h"

namespace corvane::ui::win {
namespace {

// Layout in pixels at 96 DPI.
constexpr int kClientWidth = 520;
constexpr int kClientHeight = 468;
constexpr int kBannerHeight = 80;
constexpr int kMargin = 16;
constexpr int kIconSize = 32;
constexpr int kTextLeft = 68;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 30;

constexpr Color kBannerColor = kMessageBoxBlue;
constexpr Color kBodyColor = MakeColor(244, 247, 252);
constexpr Color kBannerSubtleText = MakeColor(196, 223, 253);

const ButtonPalette& OkPalette() {
  static const ButtonPalette palette = MakeButtonPalette(kBodyColor, kMessageBoxBlue, kWhite);
  return palette;
}

HWND CreateChild(HWND parent, const wchar_t* className, std::string_view text, DWORD style, int id,
                 DWORD exStyle = 0) {
  return ::CreateWindowExW(exStyle, className, corvane::win::Widen(text).c_str(), WS_CHILD | style, 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                           nullptr);
}

HTREEITEM InsertItem(HWND tree, HTREEITEM parent, std::string_view text) {
  std::wstring wide = corvane::win::Widen(text);
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent != nullptr ? parent : TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = wide.data();
  return reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

}  // namespace

FrmFullProcessDetails::FrmFullProcessDetails(const ProcessReport& report, HICON icon) : report_(report), icon_(icon) {}

void FrmFullProcessDetails::Show(HWND owner, const ProcessReport& report, HICON icon) {
  owner = ModalOwner(owner);
  FrmFullProcessDetails window(report, icon);
  if (!window.Create(owner)) return;
  // Above every window while it is shown, the alert included.
  SetTopMost(window.Hwnd(), true);
  ::ShowWindow(window.Hwnd(), SW_SHOW);
  ::SetForegroundWindow(window.Hwnd());
  ::SetFocus(window.tree_);
  RunModalLoop(window.Hwnd(), owner, window.done_);
}

bool FrmFullProcessDetails::Create(HWND owner) {
  if (icon_ == nullptr) {
    defaultIcon_ = LoadFileIcon("", false);
    icon_ = defaultIcon_.get();
  }
  bannerBrush_.reset(::CreateSolidBrush(kBannerColor));
  bodyBrush_.reset(::CreateSolidBrush(kBodyColor));
  const std::wstring caption = corvane::win::Widen(report_.caption);
  // Created topmost, not only made so before it is shown: once the tree view has its tooltip window
  // (a popup owned by this window), Wine's SetWindowPos(HWND_TOPMOST) leaves the flag off.
  if (!CreateWindowOf(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_TOPMOST, caption.c_str(),
                      WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, 0, 0, kClientWidth, kClientHeight,
                      owner)) {
    return false;
  }
  CreateControls();
  if (headline_ == nullptr || tree_ == nullptr || ok_ == nullptr) return false;
  FillTree();
  Arrange(corvane::win::WindowDpi(Hwnd()));
  CentreOnWorkArea(Hwnd(), owner);
  return true;
}

void FrmFullProcessDetails::CreateControls() {
  // SS_NOPREFIX: an "&" in a file name is text. The end of a headline too long for the banner is
  // replaced by an ellipsis.
  const DWORD label = SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS;
  headline_ = CreateChild(Hwnd(), WC_STATICW, report_.headline, WS_VISIBLE | label, kDetailsHeadlineId);
  version_ = CreateChild(Hwnd(), WC_STATICW, kDetailsVersionText, WS_VISIBLE | SS_RIGHT | SS_NOPREFIX,
                         kDetailsVersionId);
  notRunning_ = CreateChild(Hwnd(), WC_STATICW, kNotRunningText, (report_.notRunning ? WS_VISIBLE : 0) | label,
                            kDetailsNotRunningId);
  tree_ = CreateChild(Hwnd(), WC_TREEVIEWW, "",
                      WS_VISIBLE | WS_TABSTOP | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                          TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP,
                      kDetailsTreeId);
  if (tree_ != nullptr) ::SetWindowTheme(tree_, L"Explorer", nullptr);
  const RECT none{};
  ok_ = ImageButton::Create(Hwnd(), IDOK, "OK", none, OkPalette());
}

void FrmFullProcessDetails::FillTree() {
  ::SendMessageW(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  for (const ReportLine& line : report_.lines) {
    const HTREEITEM item = InsertItem(tree_, nullptr, line.text);
    for (const std::string& child : line.children) InsertItem(tree_, item, child);
  }
  // The first line selected, so the keyboard has somewhere to start.
  const auto first = reinterpret_cast<HTREEITEM>(::SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  if (first != nullptr) ::SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(first));
}

void FrmFullProcessDetails::Arrange(int dpi) {
  dpi_ = dpi;
  const auto s = [dpi](int pixels) { return corvane::win::Scale(pixels, dpi); };
  corvane::win::UniqueGdiObject font = corvane::win::CreateUiFont(dpi, 9);
  corvane::win::UniqueGdiObject headlineFont = corvane::win::CreateUiFont(dpi, 12, FW_BOLD);
  corvane::win::UniqueGdiObject smallFont = corvane::win::CreateUiFont(dpi, 8);
  const auto setFont = [](HWND control, const corvane::win::UniqueGdiObject& f) {
    if (control != nullptr) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(f.get()), FALSE);
  };
  setFont(headline_, headlineFont);
  setFont(notRunning_, font);
  setFont(version_, smallFont);
  setFont(tree_, font);
  setFont(ok_, font);
  // The controls use the new fonts now; the old ones can go.
  font_ = std::move(font);
  headlineFont_ = std::move(headlineFont);
  smallFont_ = std::move(smallFont);

  const int width = s(kClientWidth);
  const int height = s(kClientHeight);
  banner_ = {0, 0, width, s(kBannerHeight)};
  iconRect_ = {s(20), s(24), s(20) + s(kIconSize), s(24) + s(kIconSize)};
  const int textWidth = width - s(kTextLeft) - s(96);
  Place(headline_, s(kTextLeft), s(20), textWidth, s(24));
  Place(notRunning_, s(kTextLeft), s(48), textWidth, s(18));
  Place(version_, width - s(88), s(8), s(88) - s(10), s(16));
  const int buttonTop = height - s(kMargin) - s(kButtonHeight);
  Place(tree_, s(kMargin), s(kBannerHeight) + s(kMargin), width - 2 * s(kMargin),
        buttonTop - s(kMargin) - s(kBannerHeight) - s(kMargin));
  Place(ok_, width - s(kMargin) - s(kButtonWidth), buttonTop, s(kButtonWidth), s(kButtonHeight));

  ResizeClientArea(Hwnd(), width, height);
  ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

void FrmFullProcessDetails::Paint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(Hwnd(), &ps);
  if (dc == nullptr) return;
  RECT client{};
  ::GetClientRect(Hwnd(), &client);
  ::FillRect(dc, &client, static_cast<HBRUSH>(bodyBrush_.get()));
  ::FillRect(dc, &banner_, static_cast<HBRUSH>(bannerBrush_.get()));
  if (icon_ != nullptr) {
    DrawIconIn(dc, icon_, iconRect_);
  }
  ::EndPaint(Hwnd(), &ps);
}

void FrmFullProcessDetails::Close() {
  if (done_) return;
  SetTopMost(Hwnd(), false);
  done_ = true;
  // Wakes the modal loop when this came from outside it.
  ::PostMessageW(Hwnd(), WM_NULL, 0, 0);
}

LRESULT FrmFullProcessDetails::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // OK, Enter (IDOK) and Escape (IDCANCEL) all close the report.
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) Close();
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_DESTROY:
      done_ = true;
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_CTLCOLORSTATIC: {
      // Every label sits on the banner.
      HDC dc = reinterpret_cast<HDC>(wParam);
      const auto control = reinterpret_cast<HWND>(lParam);
      ::SetTextColor(dc, control == headline_ ? kWhite : kBannerSubtleText);
      ::SetBkColor(dc, kBannerColor);
      return reinterpret_cast<LRESULT>(bannerBrush_.get());
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

void ShowProcessDetails(HWND owner, std::string_view path, std::string_view name, ProcessTable& processes) {
  const HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  ProcessReportInput input;
  input.path = std::string(path);
  input.name = std::string(name);
  input.processId = GetProcessIdByName(processes, name);
  input.parent = std::to_string(GetThreadsOrParentId(processes, input.processId, false));
  input.threads = GetThreadsOrParentId(processes, input.processId, true);
  Win32ProcessFacts facts;
  const ProcessReport report = BuildProcessReport(input, facts);
  const corvane::win::UniqueIcon icon = LoadFileIcon(path, false);
  ::SetCursor(previous);
  FrmFullProcessDetails::Show(owner, report, icon.get());
}

}  // namespace corvane::ui::win
