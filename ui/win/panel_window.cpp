#include "ui/win/panel_window.h"

#include "gui/win/image_button.h"
#include "gui/win/paint.h"

namespace corvane::ui::win {

using gui::win::ImageButton;
using gui::win::LabelColorsReply;

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

}  // namespace corvane::ui::win
