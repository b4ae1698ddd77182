#include "ui/win/panel_window.h"

#include "ui/win/image_button.h"
#include "ui/win/paint.h"

namespace corvane::ui::win {

bool PanelWindow::Create(HWND parent, const RECT& bounds, const PanelSetup& setup) {
  brush_.reset(::CreateSolidBrush(kPanelColor));
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  if (!CreateWindowOf(WS_EX_CONTROLPARENT, L"", WS_CHILD | WS_CLIPCHILDREN, bounds.left, bounds.top, width, height,
                      parent)) {
    return false;
  }
  CreateControls(width, height, setup);
  return true;
}

LRESULT PanelWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client{};
      ::GetClientRect(Hwnd(), &client);
      ::FillRect(reinterpret_cast<HDC>(wParam), &client, static_cast<HBRUSH>(brush_.get()));
      return 1;
    }
    case WM_CTLCOLORSTATIC:
      return LabelColorsReply(wParam, kPanelCaptionText, kPanelColor, static_cast<HBRUSH>(brush_.get()));
    case WM_MOUSEMOVE:
      // Over the background: every button of the panel shows its normal look again.
      ImageButton::ShowAllNormal(Hwnd());
      return 0;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) return result;
      return ::SendMessageW(::GetParent(Hwnd()), message, wParam, lParam);
    }
    case WM_COMMAND:
    case WM_CONTEXTMENU:
      return ::SendMessageW(::GetParent(Hwnd()), message, wParam, lParam);
    default:
      break;
  }
  return WindowBase::HandleMessage(message, wParam, lParam);
}

HWND CreateChildControl(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int width, int height,
                      HWND parent, int id, HFONT font) {
  HWND hwnd = ::CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
  if (hwnd != nullptr && font != nullptr) ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return hwnd;
}

}  // namespace corvane::ui::win
