#include "gui/win/image_button.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/dialog_layout.h"

namespace corvane::gui::win {
namespace {

constexpr int kFirstId = 101;
constexpr int kSecondId = 102;
const ButtonPalette kPalette = MakeButtonPalette(palette::kBlue, MakeColor(20, 100, 180), palette::kWhite);

// A plain visible window that records the button notifications it receives.
class HostWindow {
 public:
  HostWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &HostWindow::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CorvaneImageButtonTestHost";
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    ::RegisterClassW(&wc);  // fails harmlessly when already registered
    hwnd_ = ::CreateWindowExW(0, wc.lpszClassName, L"image button test", WS_POPUP | WS_VISIBLE, 40, 40, 300, 120,
                              nullptr, nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~HostWindow() { ::DestroyWindow(hwnd_); }
  HWND hwnd() const { return hwnd_; }

  struct Click {
    int id;
    int code;
    HWND from;
  };
  std::vector<Click> clicks;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<HostWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && message == WM_COMMAND) {
      self->clicks.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
      return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
  HWND hwnd_ = nullptr;
};

void PumpPending() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[256] = {};
  ::SendMessageW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

HWND MakeButton(HostWindow& host, int id, const char* caption, int left) {
  return ImageButton::Create(host.hwnd(), id, caption, RECT{left, 20, left + 110, 46}, kPalette);
}

TEST(ImageButton, IsAnOwnerDrawnButtonWhoseTextIsTheCaption) {
  HostWindow host;
  HWND button = MakeButton(host, kFirstId, "Running Process", 10);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(TextOf(button), L"Running Process");
  wchar_t className[32] = {};
  ::GetClassNameW(button, className, 32);
  EXPECT_EQ(_wcsicmp(className, L"Button"), 0);
  EXPECT_EQ(::GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_EQ(::GetDlgCtrlID(button), kFirstId);
  EXPECT_TRUE(ImageButton::IsImageButton(button));
  EXPECT_FALSE(ImageButton::IsImageButton(host.hwnd()));
  EXPECT_FALSE(ImageButton::IsImageButton(nullptr));
  // A dialog that moves its default button restyles buttons; the image button must stay owner-drawn.
  ::SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_EQ(::GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  // No parent, no button.
  EXPECT_EQ(ImageButton::Create(nullptr, 1, "x", RECT{0, 0, 10, 10}, kPalette), nullptr);
}

TEST(ImageButton, MouseOverHighlightsAndLeavingOrTheBackgroundRestores) {
  HostWindow host;
  HWND first = MakeButton(host, kFirstId, "Ok", 10);
  HWND second = MakeButton(host, kSecondId, "Cancel", 140);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_FALSE(ImageButton::IsHot(first));

  // The mouse over the button: highlighted; leaving it: normal again.
  ::SendMessageW(first, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(ImageButton::IsHot(first));
  EXPECT_FALSE(ImageButton::IsHot(second));
  ::SendMessageW(first, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(ImageButton::IsHot(first));

  // The mouse over the surrounding background shows every button normal.
  ::SendMessageW(first, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  ::SendMessageW(second, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  ::SendMessageW(host.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_FALSE(ImageButton::IsHot(first));
  EXPECT_FALSE(ImageButton::IsHot(second));

  // The same reset from code; a disabled button never stays highlighted.
  ::SendMessageW(second, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  ImageButton::ShowAllNormal(host.hwnd());
  EXPECT_FALSE(ImageButton::IsHot(second));
  ::SendMessageW(second, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  ::EnableWindow(second, FALSE);
  EXPECT_FALSE(ImageButton::IsHot(second));
}

TEST(ImageButton, RealPointerMovesHighlightAndRestore) {
  HostWindow host;
  HWND button = MakeButton(host, kFirstId, "Ok", 10);
  ASSERT_NE(button, nullptr);
  POINT inside{40, 10};
  ::ClientToScreen(button, &inside);
  POINT background{5, 100};
  ::ClientToScreen(host.hwnd(), &background);

  ::SetCursorPos(inside.x, inside.y);
  for (int i = 0; i < 50 && !ImageButton::IsHot(button); ++i) {
    PumpPending();
    ::Sleep(20);
  }
  EXPECT_TRUE(ImageButton::IsHot(button));
  ::SetCursorPos(background.x, background.y);
  for (int i = 0; i < 50 && ImageButton::IsHot(button); ++i) {
    PumpPending();
    ::Sleep(20);
  }
  EXPECT_FALSE(ImageButton::IsHot(button));
}

TEST(ImageButton, ClickAndSpaceNotifyTheParent) {
  HostWindow host;
  HWND button = MakeButton(host, kFirstId, "Ok", 10);
  ASSERT_NE(button, nullptr);

  ::SendMessageW(button, BM_CLICK, 0, 0);
  ASSERT_EQ(host.clicks.size(), 1u);
  EXPECT_EQ(host.clicks[0].id, kFirstId);
  EXPECT_EQ(host.clicks[0].code, BN_CLICKED);
  EXPECT_EQ(host.clicks[0].from, button);

  // Space on the focused button presses it on release.
  ::SetFocus(button);
  ::SendMessageW(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
  EXPECT_EQ(host.clicks.size(), 1u);
  ::SendMessageW(button, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
  ASSERT_EQ(host.clicks.size(), 2u);
  EXPECT_EQ(host.clicks[1].id, kFirstId);
  EXPECT_EQ(host.clicks[1].code, BN_CLICKED);
}

// What the screen shows at a point of the button, after it has painted.
COLORREF PixelOf(HWND button, int x, int y) {
  ::RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = ::GetDC(button);
  const COLORREF color = ::GetPixel(dc, x, y);
  ::ReleaseDC(button, dc);
  return color;
}

TEST(ImageButton, DrawsItselfNormalHighlightedAndAroundTheCorners) {
  HostWindow host;
  HWND button = MakeButton(host, kFirstId, "Ok", 10);
  ASSERT_NE(button, nullptr);
  PumpPending();
  // Left of the caption, inside the border: the fill; the very corner: the parent's background.
  EXPECT_EQ(PixelOf(button, 6, 13), kPalette.fill);
  EXPECT_EQ(PixelOf(button, 0, 0), kPalette.background);
  ::SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(PixelOf(button, 6, 13), kPalette.hotFill);
  ::SendMessageW(button, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(PixelOf(button, 6, 13), kPalette.fill);
  // A new palette shows at once.
  const ButtonPalette green = MakeButtonPalette(palette::kWhite, MakeColor(0, 128, 0), palette::kBlack);
  ImageButton::SetPalette(button, green);
  EXPECT_EQ(PixelOf(button, 6, 13), green.fill);
}

}  // namespace
}  // namespace corvane::gui::win
