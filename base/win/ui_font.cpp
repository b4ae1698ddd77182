#include "base/win/ui_font.h"

#include <cwchar>

namespace corvane::win {

namespace {

// GetDpiForWindow exists from Windows 10 1607 on; older systems report the screen's DPI.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

GetDpiForWindowFn LookUpGetDpiForWindow() {
  HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  // Through a plain function pointer type: converting FARPROC straight to another signature warns.
  auto* proc = reinterpret_cast<void (*)()>(::GetProcAddress(user32, "GetDpiForWindow"));
  return reinterpret_cast<GetDpiForWindowFn>(proc);
}

int ScreenDpi() {
  const WindowDc screen(nullptr);
  if (!screen) return kDesignDpi;
  const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
  return dpi > 0 ? dpi : kDesignDpi;
}

int CALLBACK NoteFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one match is enough
}

}  // namespace

int WindowDpi(HWND hwnd) {
  static const GetDpiForWindowFn getDpiForWindow = LookUpGetDpiForWindow();
  if (getDpiForWindow != nullptr && hwnd != nullptr) {
    const UINT dpi = getDpiForWindow(hwnd);
    if (dpi != 0) return static_cast<int>(dpi);
  }
  return ScreenDpi();
}

bool IsFontFamilyInstalled(const wchar_t* face) {
  if (face == nullptr || *face == L'\0' || std::wcslen(face) >= LF_FACESIZE) return false;
  const WindowDc screen(nullptr);
  if (!screen) return false;
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  std::wcsncpy(query.lfFaceName, face, LF_FACESIZE - 1);
  bool found = false;
  ::EnumFontFamiliesExW(screen.get(), &query, &NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

UniqueGdiObject CreateUiFont(int dpi, int pointSize, int weight, std::initializer_list<const wchar_t*> faces) {
  LOGFONTW font{};
  bool chosen = false;
  for (const wchar_t* face : faces) {
    if (IsFontFamilyInstalled(face)) {
      std::wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
      font.lfCharSet = DEFAULT_CHARSET;
      chosen = true;
      break;
    }
  }
  if (!chosen) {
    // The face the user's system shows its own messages in; its size is replaced below.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
      font = metrics.lfMessageFont;
    } else {
      font.lfCharSet = DEFAULT_CHARSET;  // an empty face: GDI picks its default
    }
  }
  font.lfHeight = -PointsToPixels(pointSize, dpi);
  font.lfWidth = 0;
  font.lfWeight = weight;
  font.lfItalic = FALSE;
  font.lfUnderline = FALSE;
  font.lfStrikeOut = FALSE;
  font.lfQuality = DEFAULT_QUALITY;
  return UniqueGdiObject(::CreateFontIndirectW(&font));
}

}  // namespace corvane::win
