#pragma once
// The panel heading in the main window's header band: white text over a black copy of itself,
// 3 pixels to the left and 5 below, so that it shows a shadow. The window text is the heading; its
// font comes and goes with WM_SETFONT / WM_GETFONT, as a control's does.
#include <windows.h>

#include "base/win/window_base.h"

namespace corvane::ui::win {

class HeadingLabel final : public corvane::win::WindowBase<HeadingLabel> {
 public:
  static const wchar_t* ClassName() { return L"CorvaneHeading"; }
  // background: the header band's colour; font: owned by the caller, alive as long as the label.
  bool Create(HWND parent, const RECT& bounds, HFONT font, COLORREF background);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint();

  HFONT font_ = nullptr;
  COLORREF background_ = 0;
};

}  // namespace corvane::ui::win
