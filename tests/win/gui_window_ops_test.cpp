#include "gui/win/window_ops.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cwchar>

#include "base/win/ui_font.h"

namespace corvane::gui::win {
namespace {

HWND PlainWindow(DWORD style = WS_POPUP | WS_VISIBLE) {
  return ::CreateWindowExW(0, L"STATIC", L"plain", style, 30, 40, 120, 60, nullptr, nullptr,
                           ::GetModuleHandleW(nullptr), nullptr);
}

TEST(SetTopMost, TogglesTheTopmostStateInPlace) {
  HWND hwnd = PlainWindow();
  ASSERT_NE(hwnd, nullptr);
  RECT before{};
  ::GetWindowRect(hwnd, &before);
  SetTopMost(hwnd, true);
  EXPECT_TRUE(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetTopMost(hwnd, true);  // twice is harmless
  EXPECT_TRUE(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetTopMost(hwnd, false);
  EXPECT_FALSE(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT after{};
  ::GetWindowRect(hwnd, &after);
  EXPECT_TRUE(::EqualRect(&before, &after));
  ::DestroyWindow(hwnd);
  // Gone or missing windows are ignored.
  SetTopMost(hwnd, true);
  SetTopMost(nullptr, false);
  SetProgressBarColor(nullptr, RGB(1, 2, 3));
}

TEST(ProgressBarColors, BarAndBackgroundTakeTheGivenColours) {
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_PROGRESS_CLASS};
  ASSERT_TRUE(::InitCommonControlsEx(&init));
  HWND bar = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_POPUP | WS_VISIBLE, 10, 10, 200, 20, nullptr, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(bar, nullptr);
  SetProgressBarColor(bar, RGB(200, 0, 0));
  SetProgressBackColor(bar, RGB(0, 0, 90));
  EXPECT_EQ(static_cast<COLORREF>(::SendMessageW(bar, PBM_GETBARCOLOR, 0, 0)), RGB(200, 0, 0));
  EXPECT_EQ(static_cast<COLORREF>(::SendMessageW(bar, PBM_GETBKCOLOR, 0, 0)), RGB(0, 0, 90));
  ::DestroyWindow(bar);
}

LOGFONTW Describe(const corvane::win::UniqueGdiObject& font) {
  LOGFONTW lf{};
  ::GetObjectW(font.get(), sizeof(lf), &lf);
  return lf;
}

TEST(UiFont, FirstInstalledFaceSizedForTheDpiElseTheMessageFont) {
  // Point size to pixels: 9 pt is 12 px at 96 DPI and 18 px at 144.
  const auto at96 = corvane::win::CreateUiFont(96, 9);
  const auto at144 = corvane::win::CreateUiFont(144, 9, FW_BOLD);
  ASSERT_TRUE(at96);
  ASSERT_TRUE(at144);
  EXPECT_EQ(Describe(at96).lfHeight, -12);
  EXPECT_EQ(Describe(at144).lfHeight, -18);
  EXPECT_EQ(Describe(at144).lfWeight, FW_BOLD);

  // The first installed face of the list wins; missing ones are skipped.
  wchar_t installed[LF_FACESIZE] = {};
  HDC screen = ::GetDC(nullptr);
  LOGFONTW any{};
  any.lfCharSet = DEFAULT_CHARSET;
  ::EnumFontFamiliesExW(
      screen, &any,
      [](const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM out) -> int {
        if (font->lfFaceName[0] == L'@') return 1;  // vertical variants
        wcsncpy(reinterpret_cast<wchar_t*>(out), font->lfFaceName, LF_FACESIZE - 1);
        return 0;
      },
      reinterpret_cast<LPARAM>(installed), 0);
  ::ReleaseDC(nullptr, screen);
  ASSERT_NE(installed[0], L'\0') << "no font family installed at all";
  EXPECT_TRUE(corvane::win::IsFontFamilyInstalled(installed));
  const auto skipping = corvane::win::CreateUiFont(96, 9, FW_NORMAL, {L"No Such Family Qx", installed, L"Courier New"});
  EXPECT_STREQ(Describe(skipping).lfFaceName, installed);

  // None installed: the system's message font, at the size asked for.
  EXPECT_FALSE(corvane::win::IsFontFamilyInstalled(L"No Such Family Qx"));
  EXPECT_FALSE(corvane::win::IsFontFamilyInstalled(L""));
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
  const auto fallback = corvane::win::CreateUiFont(120, 10, FW_NORMAL, {L"No Such Family Qx"});
  ASSERT_TRUE(fallback);
  EXPECT_STREQ(Describe(fallback).lfFaceName, metrics.lfMessageFont.lfFaceName);
  EXPECT_EQ(Describe(fallback).lfHeight, -17);  // 10 pt at 120 DPI: 16.67 px

  // The default list: its first installed face, else the same fallback.
  const wchar_t* expected = metrics.lfMessageFont.lfFaceName;
  for (const wchar_t* face : corvane::win::kUiFaces) {
    if (corvane::win::IsFontFamilyInstalled(face)) {
      expected = face;
      break;
    }
  }
  EXPECT_STREQ(Describe(at96).lfFaceName, expected);
}

TEST(UiFont, WindowDpiIsTheScreensForAnUnawareProcess) {
  HWND hwnd = PlainWindow();
  EXPECT_GE(corvane::win::WindowDpi(hwnd), 96);
  EXPECT_EQ(corvane::win::WindowDpi(nullptr), corvane::win::WindowDpi(hwnd));  // one screen, one DPI
  ::DestroyWindow(hwnd);
}

}  // namespace
}  // namespace corvane::gui::win
