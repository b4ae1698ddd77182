#include "gui/win/modal_window.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "base/dpi.h"
#include "gui/win/paint.h"
#include "tests/support/modal_driver.h"

namespace corvane::gui::win {
namespace {

using corvane::testing::ModalDriver;
using corvane::testing::PostClick;
using corvane::testing::PostKey;
using corvane::testing::TimedOwnerWindow;

constexpr const wchar_t* kCaption = L"modal probe";
constexpr int kFirstId = 101;
constexpr int kDoneId = 102;

// The smallest window of the base: two buttons, the second finishes it; it records what the base
// asked of it. The close box stands for the second button (so a stuck test still ends), Escape and
// Enter for nothing.
class ProbeWindow final : public ModalWindow {
 public:
  explicit ProbeWindow(bool canCreateControls = true) : ModalWindow(Look()), canCreate_(canCreateControls) {}

  ModalEnd Show(HWND owner) { return ShowModal(owner); }

  std::vector<int> arranged;  // the DPI of every Arrange
  HWND first = nullptr;
  HWND done = nullptr;

 private:
  static ModalLook Look() {
    ModalLook look;
    look.className = L"CorvaneModalProbe";
    look.caption = kCaption;
    look.keys.closeBox = kDoneId;
    return look;
  }
  bool CreateControls() override {
    first = AddButton(kFirstId, "First", PrimaryButtons());
    done = AddButton(kDoneId, "Done", PrimaryButtons());
    return canCreate_ && first != nullptr && done != nullptr;
  }
  void Arrange(int dpi) override {
    arranged.push_back(dpi);
    Place(first, Scale(10, dpi), Scale(10, dpi), Scale(80, dpi), Scale(30, dpi));
    Place(done, Scale(100, dpi), Scale(10, dpi), Scale(80, dpi), Scale(30, dpi));
    ResizeClientArea(Hwnd(), Scale(200, dpi), Scale(100, dpi));
  }
  HWND FirstFocus() const override { return first; }
  void OnCommand(int id) override {
    if (id == kDoneId) Finish();
  }

  bool canCreate_;
};

// The WM_QUIT a modal loop hands on to the program's own loop, and its exit code; -1 when none.
int TakeQuitCode() {
  MSG quit{};
  return ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) ? static_cast<int>(quit.wParam) : -1;
}

TEST(ModalWindow, AWaitEndedByTheProgramOrFromOutsideHandsTheOwnerBack) {
  TimedOwnerWindow owner;
  const auto endWith = [&](std::function<void(HWND)> step, HWND* seen = nullptr) {
    ProbeWindow probe;
    bool ownerDisabled = false;
    ModalDriver driver({{kCaption, [&, step](HWND window) {
                           ownerDisabled = !::IsWindowEnabled(owner.hwnd());
                           if (seen != nullptr) *seen = window;
                           step(window);
                         }}});
    const ModalEnd end = probe.Show(owner.hwnd());
    EXPECT_TRUE(driver.acted());
    EXPECT_FALSE(driver.stuck());
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(::IsWindowEnabled(owner.hwnd()));
    EXPECT_EQ(ModalDriver::FindOwnWindow(kCaption), nullptr);
    return end;
  };

  // A quit: the loop ends, and the quit with its code is posted again for the program's own loop.
  HWND quitWindow = nullptr;
  EXPECT_EQ(endWith([](HWND) { ::PostQuitMessage(7); }, &quitWindow), ModalEnd::Quit);
  EXPECT_EQ(TakeQuitCode(), 7);
  EXPECT_FALSE(::IsWindow(quitWindow));
  // The session ends; a session end called off changes nothing.
  EXPECT_EQ(endWith([](HWND w) { ::SendMessageW(w, WM_ENDSESSION, TRUE, 0); }), ModalEnd::SessionEnded);
  EXPECT_EQ(endWith([](HWND w) {
              ::SendMessageW(w, WM_ENDSESSION, FALSE, 0);
              PostKey(VK_ESCAPE);  // stands for nothing here
              PostClick(::GetDlgItem(w, kDoneId));
            }),
            ModalEnd::Finished);
  // Destroyed from outside.
  EXPECT_EQ(endWith([](HWND w) { ::DestroyWindow(w); }), ModalEnd::Destroyed);
  EXPECT_EQ(TakeQuitCode(), -1);

  // A window that cannot build its controls is never shown and leaves nothing behind.
  ProbeWindow broken(false);
  EXPECT_EQ(broken.Show(owner.hwnd()), ModalEnd::NotShown);
  EXPECT_EQ(::FindWindowW(L"CorvaneModalProbe", nullptr), nullptr);
  EXPECT_TRUE(::IsWindowEnabled(owner.hwnd()));
}

TEST(ModalWindow, FollowsADpiChangeAndKeepsTheFocusWhereTheUserLeftIt) {
  TimedOwnerWindow bystander;
  ProbeWindow probe;
  RECT placed{};
  RECT client{};
  HWND focusAtStart = nullptr;
  HWND focusBack = nullptr;
  ModalDriver driver(
      {{kCaption,
        [&](HWND w) {
          focusAtStart = ::GetFocus();
          // The window is dragged onto a screen at 150 %: the system suggests where it goes.
          RECT suggested{50, 60, 50 + 400, 60 + 200};
          ::SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
          ::GetWindowRect(w, &placed);
          ::GetClientRect(w, &client);
          PostKey(VK_TAB);  // to Done
        }},
       {kCaption,
        [&](HWND w) {
          // Away to another window and back: the focus returns to Done, as a dialog's would.
          ::SetActiveWindow(bystander.hwnd());
          ::SetActiveWindow(w);
          focusBack = ::GetFocus();
          PostClick(::GetDlgItem(w, kDoneId));
        }}});
  EXPECT_EQ(probe.Show(nullptr), ModalEnd::Finished);
  EXPECT_TRUE(driver.acted());
  EXPECT_FALSE(driver.stuck());
  EXPECT_EQ(focusAtStart, probe.first);
  ASSERT_GE(probe.arranged.size(), 2u);
  EXPECT_EQ(probe.arranged.back(), 144);
  EXPECT_EQ(placed.left, 50);
  EXPECT_EQ(placed.top, 60);
  EXPECT_EQ(client.right, Scale(200, 144));
  EXPECT_EQ(client.bottom, Scale(100, 144));
  EXPECT_EQ(focusBack, probe.done);
}

}  // namespace
}  // namespace corvane::gui::win
