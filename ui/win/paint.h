#pragma once
// Small painting and layout steps the program's windows share.
#include <windows.h>

namespace corvane::ui::win {

// Fills rect with one colour; the brush lives only for the call.
void FillSolid(HDC dc, const RECT& rect, COLORREF color);

// Draws icon stretched to rect.
void DrawIconIn(HDC dc, HICON icon, const RECT& rect);

// Moves and sizes a child control without repainting it (the parent repaints once after its layout).
// A null control is skipped.
void Place(HWND control, int left, int top, int width, int height);

// Sizes the window so that its client area is width x height, for the styles it has now; its place
// and z-order stay.
void ResizeClientArea(HWND hwnd, int width, int height);

}  // namespace corvane::ui::win
