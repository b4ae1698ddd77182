#pragma once
// Window operations several windows share: keeping a window above all others, and the colours of a
// progress bar.
#include <windows.h>

namespace corvane::gui::win {

// Puts the window above every non-topmost window (true) or back among them (false), keeping its place
// and size. A failure leaves the window where it was in the z-order.
void SetTopMost(HWND hwnd, bool onTop);

// The colour of a progress bar's bar and of its background. A themed progress bar ignores colours,
// so the bar is switched to the classic look first.
void SetProgressBarColor(HWND progressBar, COLORREF color);
void SetProgressBackColor(HWND progressBar, COLORREF color);

}  // namespace corvane::gui::win
