// The windows that had no window test of their own, moved to a screen of another scale. The
// system's suggested rectangle is sent by hand, as the system sends it when a window is dragged.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/dpi.h"
#include "base/win/hidden_owner.h"
#include "base/win/ui_font.h"
#include "gui/dpi_rescale.h"
#include "rizaz/popup.h"
#include "rizaz/win/popup_window.h"
#include "tests/fakes/memory_settings.h"
#include "tests/support/message_pump.h"
#include "ui/win/splash_window.h"

namespace corvane {
namespace {

gui::PixelRect PlaceOf(HWND control) {
  RECT rect{};
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

int FontHeight(HWND control) {
  LOGFONTW font{};
  ::GetObjectW(reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
  return font.lfHeight;
}

void MoveToDpi(HWND window, int dpi, RECT suggested) {
  ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

TEST(SplashWindow, FollowsADpiChangeAndComesBackToItsFirstLayout) {
  ui::win::SplashWindow splash;
  ASSERT_TRUE(splash.Create({}));
  const HWND label = splash.StatusLabel();
  const int dpi = win::WindowDpi(nullptr);
  const int to = dpi * 3 / 2;
  const gui::PixelRect before = PlaceOf(label);
  const int fontBefore = FontHeight(label);

  const RECT suggested{30, 40, 30 + Scale(420, to), 40 + Scale(230, to)};
  MoveToDpi(splash.Hwnd(), to, suggested);
  RECT window{};
  ::GetWindowRect(splash.Hwnd(), &window);
  EXPECT_TRUE(::EqualRect(&window, &suggested));
  EXPECT_EQ(PlaceOf(label), gui::RescaleRect(before, dpi, to));
  EXPECT_EQ(FontHeight(label), -PointsToPixels(9, to));
  EXPECT_TRUE(::UpdateWindow(splash.Hwnd()));  // paints at the new scale

  // Back on the first screen: everything where and as large as it was, not off by roundings.
  MoveToDpi(splash.Hwnd(), dpi, RECT{0, 0, Scale(420, dpi), Scale(230, dpi)});
  EXPECT_EQ(PlaceOf(label), before);
  EXPECT_EQ(FontHeight(label), fontBefore);
  splash.Close();
}

TEST(PopupWindow, FollowsADpiChangeWhileItSlidesAndStillCloses) {
  win::HiddenOwnerWindow owner;
  ASSERT_TRUE(owner.Create());
  testing::MemorySettings settings;
  win::PopupWindow window(owner.Hwnd());
  rizaz::PopupController popup(window, settings);
  window.SetController(&popup);
  popup.Show("probe.exe");
  ASSERT_NE(window.Hwnd(), nullptr);
  const HWND name = ::GetDlgItem(window.Hwnd(), win::kLblProcessnameId);
  const HWND box = ::GetDlgItem(window.Hwnd(), win::kChkDontShowId);
  const int dpi = win::WindowDpi(owner.Hwnd());
  const int to = dpi * 2;
  const gui::PixelRect boxBefore = PlaceOf(box);
  const int nameWidthBefore = PlaceOf(name).Width();

  RECT now{};
  ::GetWindowRect(window.Hwnd(), &now);
  MoveToDpi(window.Hwnd(), to, now);
  RECT client{};
  ::GetClientRect(window.Hwnd(), &client);
  EXPECT_EQ(client.right, Scale(346, to));
  EXPECT_EQ(client.bottom, Scale(103, to));
  EXPECT_EQ(PlaceOf(box), gui::RescaleRect(boxBefore, dpi, to));
  EXPECT_EQ(FontHeight(name), -PointsToPixels(9, to));
  // The name's label fits its text in the larger font.
  EXPECT_GT(PlaceOf(name).Width(), nameWidthBefore * 3 / 2);

  // The slide runs on to its rest, and the popup closes as ever.
  EXPECT_TRUE(testing::PumpUntil([&] { return popup.state() == rizaz::PopupState::Holding; }, 20000));
  window.Close();
  EXPECT_EQ(popup.state(), rizaz::PopupState::Closed);
  window.SetController(nullptr);
}

}  // namespace
}  // namespace corvane
