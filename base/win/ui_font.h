#pragma once
// The program's UI font and the DPI it is sized for. Fonts are owned by UniqueGdiObject.
#include <windows.h>

#include <initializer_list>

#include "base/dpi.h"
#include "base/win/handle.h"

namespace corvane::win {

// The window's DPI: per monitor where the system and the process support it, else the screen's.
int WindowDpi(HWND hwnd);
// True when a font family of that name is installed.
bool IsFontFamilyInstalled(const wchar_t* face);

// The faces tried in order for the program's windows; the system's message font stands in when none
// of them is installed.
inline constexpr std::initializer_list<const wchar_t*> kUiFaces = {L"Microsoft Sans Serif", L"Tahoma", L"Segoe UI"};

// A font of pointSize points at dpi, of the first installed face of faces; when none is installed,
// the system's message font at that size. Empty only when font creation fails altogether.
UniqueGdiObject CreateUiFont(int dpi, int pointSize = 9, int weight = FW_NORMAL,
                                           std::initializer_list<const wchar_t*> faces = kUiFaces);

inline HFONT FontOf(const UniqueGdiObject& font) { return static_cast<HFONT>(font.get()); }

}  // namespace corvane::win
