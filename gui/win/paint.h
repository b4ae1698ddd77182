#pragma once
// Small painting and layout steps the program's windows share.
#include <windows.h>

#include <string_view>

namespace corvane::gui::win {

// Fills rect with one colour; the brush lives only for the call.
void FillSolid(HDC dc, const RECT& rect, COLORREF color);

// Draws icon stretched to rect.
void DrawIconIn(HDC dc, HICON icon, const RECT& rect);

// The window's client area, from its top-left corner.
RECT ClientRectOf(HWND hwnd);

// The reply to WM_CTLCOLORSTATIC (wParam: the label's DC): its text in text on background, which
// brush paints; the brush stays the caller's.
LRESULT LabelColorsReply(WPARAM dc, COLORREF text, COLORREF background, HBRUSH brush);

// Moves and sizes a child control without repainting it (the parent repaints once after its layout).
// A null control is skipped.
void Place(HWND control, int left, int top, int width, int height);

// Sizes the window so that its client area is width x height, for the styles it has now; its place
// and z-order stay.
void ResizeClientArea(HWND hwnd, int width, int height);

// The height text takes in font when wrapped at width as a label with SS_EDITCONTROL wraps it (long
// words such as paths break anywhere), and the height of one line; both 0 when it cannot be measured.
struct WrappedText {
  int height = 0;
  int lineHeight = 0;
};
WrappedText MeasureWrappedText(HWND control, HFONT font, std::wstring_view text, int width);

}  // namespace corvane::gui::win
