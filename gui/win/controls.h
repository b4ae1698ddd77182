#pragma once
// Child controls as every window of both programs makes and measures them.
#include <windows.h>

#include <string>
#include <string_view>

namespace corvane::gui::win {

// A visible child control with the given font (none: the system font).
HWND CreateChildControl(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int width,
                        int height, HWND parent, int id, HFONT font);

// Hands the control a font without redrawing it (its window repaints once after its layout). A null
// control is skipped.
void SetFont(HWND control, HFONT font);

// The window's text, however long.
std::wstring WindowTextOf(HWND hwnd);

// The size text takes on one line in font, as drawn on window's DC; empty when it cannot be measured.
SIZE TextExtent(HWND window, HFONT font, std::wstring_view text);

}  // namespace corvane::gui::win
