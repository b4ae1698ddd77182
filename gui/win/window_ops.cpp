#include "gui/win/window_ops.h"

#include <commctrl.h>
#include <uxtheme.h>

namespace corvane::gui::win {
namespace {

void UseClassicLook(HWND progressBar) {
  // Empty names turn visual styles off for this one control; without styles it is a no-op.
  ::SetWindowTheme(progressBar, L"", L"");
}

}  // namespace

void SetTopMost(HWND hwnd, bool onTop) {
  if (hwnd == nullptr || !::IsWindow(hwnd)) return;
  ::SetWindowPos(hwnd, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void SetProgressBarColor(HWND progressBar, COLORREF color) {
  if (progressBar == nullptr || !::IsWindow(progressBar)) return;
  UseClassicLook(progressBar);
  ::SendMessageW(progressBar, PBM_SETBARCOLOR, 0, static_cast<LPARAM>(color));
}

void SetProgressBackColor(HWND progressBar, COLORREF color) {
  if (progressBar == nullptr || !::IsWindow(progressBar)) return;
  UseClassicLook(progressBar);
  ::SendMessageW(progressBar, PBM_SETBKCOLOR, 0, static_cast<LPARAM>(color));
}

}  // namespace corvane::gui::win
