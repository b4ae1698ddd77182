#pragma once
// The push button of the program's windows: a real BUTTON (owner-drawn), so keyboard focus, Enter
// and Space, screen readers and BM_CLICK / WM_GETTEXT work as with any button. Its window text is
// its caption. It is drawn as a rounded rectangle with the caption (and an optional small icon);
// while the mouse is over it, it shows its highlighted look, and it returns to the normal look when
// the mouse moves on to the surrounding background. A click sends WM_COMMAND / BN_CLICKED with the
// button's id to the parent, as every button does.
//
// The button draws itself: it hooks its parent for the WM_DRAWITEM of its own buttons, so a parent
// needs no drawing code. The parent must stay the same for the button's life.
#include <windows.h>

#include <string_view>

#include "gui/dialog_layout.h"

namespace corvane::gui::win {

class ImageButton {
 public:
  // Creates a visible child button of parent at bounds (pixels of the parent's client area).
  // font may be null (the system font). nullptr when the button cannot be created.
  static HWND Create(HWND parent, int id, std::string_view caption, const RECT& bounds, const ButtonPalette& palette,
                     HFONT font = nullptr, DWORD extraStyle = WS_TABSTOP);

  static bool IsImageButton(HWND button);
  // True while the button shows its highlighted look.
  static bool IsHot(HWND button);
  // The normal look again, for one button or every image button directly inside parent.
  static void ShowNormal(HWND button);
  static void ShowAllNormal(HWND parent);

  static void SetPalette(HWND button, const ButtonPalette& palette);
  // A small icon left of the caption; the caller keeps ownership and keeps it alive. nullptr: none.
  static void SetIcon(HWND button, HICON icon);
};

}  // namespace corvane::gui::win
