#include "gui/win/message_boxes.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/win/ui_font.h"
#include "gui/dialog_layout.h"
#include "gui/win/image_button.h"

namespace corvane::gui::win {
namespace {

// Drives a message window from inside its own modal loop: a thread timer looks for the window by
// caption among this thread's windows and runs the steps on it, one per tick (so that a posted key is
// handled before the next step looks at the focus). If the window is still open long after the last
// step, it is closed and the test flagged as stuck.
class Driver {
 public:
  using Step = std::function<void(HWND)>;

  Driver(const wchar_t* caption, std::vector<Step> steps, int delayTicks = 0)
      : caption_(caption), steps_(std::move(steps)), delayTicks_(delayTicks) {
    current_ = this;
    timer_ = ::SetTimer(nullptr, 0, 30, &Driver::Tick);
  }
  Driver(const wchar_t* caption, Step step, int delayTicks = 0)
      : Driver(caption, std::vector<Step>{std::move(step)}, delayTicks) {}
  ~Driver() {
    ::KillTimer(nullptr, timer_);
    current_ = nullptr;
  }

  HWND dialog() const { return dialog_; }
  bool acted() const { return next_ == steps_.size(); }
  bool stuck() const { return stuck_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (current_ != nullptr) current_->Advance();
  }

  void Advance() {
    HWND found = FindOwnWindow(caption_);
    if (found == nullptr) return;
    if (dialog_ == nullptr) dialog_ = found;
    if (found != dialog_) return;
    if (seenTicks_++ < delayTicks_) return;
    if (next_ < steps_.size()) {
      steps_[next_++](found);
    } else if (++ticksAfter_ > 150) {
      stuck_ = true;
      ::PostMessageW(found, WM_CLOSE, 0, 0);
    }
  }

  static HWND FindOwnWindow(const wchar_t* caption) {
    struct Search {
      const wchar_t* caption;
      HWND found;
    } search{caption, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM data) -> BOOL {
          auto* s = reinterpret_cast<Search*>(data);
          wchar_t text[128] = {};
          ::GetWindowTextW(hwnd, text, 128);
          if (::IsWindowVisible(hwnd) && wcscmp(text, s->caption) == 0) {
            s->found = hwnd;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  static inline Driver* current_ = nullptr;
  const wchar_t* caption_;
  std::vector<Step> steps_;
  int delayTicks_;
  UINT_PTR timer_ = 0;
  HWND dialog_ = nullptr;
  size_t next_ = 0;
  int seenTicks_ = 0;
  int ticksAfter_ = 0;
  bool stuck_ = false;
};

std::wstring TextOf(HWND hwnd) {
  const int length = ::GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(hwnd, text.data(), length + 1)));
  return text;
}

std::vector<HWND> Buttons(HWND dialog) {
  std::vector<HWND> buttons;
  ::EnumChildWindows(
      dialog,
      [](HWND hwnd, LPARAM data) -> BOOL {
        wchar_t className[32] = {};
        ::GetClassNameW(hwnd, className, 32);
        if (_wcsicmp(className, L"Button") == 0) reinterpret_cast<std::vector<HWND>*>(data)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&buttons));
  return buttons;
}

HWND ButtonByText(HWND dialog, const wchar_t* text) {
  for (HWND button : Buttons(dialog)) {
    if (TextOf(button) == text) return button;
  }
  return nullptr;
}

void Click(HWND dialog, const wchar_t* text) {
  HWND button = ButtonByText(dialog, text);
  ASSERT_NE(button, nullptr) << "no button " << testing::PrintToString(std::wstring(text));
  ::SendMessageW(button, BM_CLICK, 0, 0);
}

// A key as the keyboard would deliver it: posted to the window with the focus.
void PostKey(UINT key) {
  HWND focus = ::GetFocus();
  ::PostMessageW(focus, WM_KEYDOWN, key, 1);
  ::PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

bool IsTopMost(HWND hwnd) { return (::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

bool AskWithSteps(std::vector<Driver::Step> steps) {
  Driver driver(FrmMessageBoxYesAndNo::kCaption, std::move(steps));
  const bool answer = FrmMessageBoxYesAndNo::Show(nullptr, "Are you sure?");
  EXPECT_TRUE(driver.acted());
  EXPECT_FALSE(driver.stuck());
  return answer;
}

bool AskWith(Driver::Step step) { return AskWithSteps({std::move(step)}); }

TEST(ConfirmationWindow, TrueOnlyForOk) {
  EXPECT_TRUE(AskWith([](HWND d) { Click(d, L"Ok"); }));
  EXPECT_FALSE(AskWith([](HWND d) { Click(d, L"Cancel"); }));
  // Closing it any other way: WM_CLOSE, Alt+F4 / the close box, Escape.
  EXPECT_FALSE(AskWith([](HWND d) { ::PostMessageW(d, WM_CLOSE, 0, 0); }));
  EXPECT_FALSE(AskWith([](HWND d) { ::PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }));
  EXPECT_FALSE(AskWith([](HWND) { PostKey(VK_ESCAPE); }));
}

TEST(ConfirmationWindow, EnterPressesTheFocusedButtonAndCancelHasTheFocusFirst) {
  // A stray Enter right after the question appears does not confirm.
  HWND focusAtStart = nullptr;
  HWND cancel = nullptr;
  EXPECT_FALSE(AskWith([&](HWND d) {
    focusAtStart = ::GetFocus();
    cancel = ButtonByText(d, L"Cancel");
    PostKey(VK_RETURN);
  }));
  EXPECT_NE(cancel, nullptr);
  EXPECT_EQ(focusAtStart, cancel);
  // Tab moves to Ok; Enter then confirms. Space on Ok confirms too.
  EXPECT_TRUE(AskWithSteps({[](HWND) { PostKey(VK_TAB); }, [](HWND) { PostKey(VK_RETURN); }}));
  EXPECT_TRUE(AskWithSteps({[](HWND) { PostKey(VK_TAB); }, [](HWND) { PostKey(VK_SPACE); }}));
  // Space on Cancel, and Tab twice (round to Cancel again) then Enter, do not confirm.
  EXPECT_FALSE(AskWith([](HWND) { PostKey(VK_SPACE); }));
  EXPECT_FALSE(
      AskWithSteps({[](HWND) { PostKey(VK_TAB); }, [](HWND) { PostKey(VK_TAB); }, [](HWND) { PostKey(VK_RETURN); }}));
}

// A visible window with a running timer, standing for the main window.
class OwnerWindow {
 public:
  OwnerWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &OwnerWindow::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CorvaneDialogTestOwner";
    ::RegisterClassW(&wc);
    hwnd_ = ::CreateWindowExW(0, wc.lpszClassName, L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                              nullptr, nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetTimer(hwnd_, 1, 20, nullptr);
  }
  ~OwnerWindow() { ::DestroyWindow(hwnd_); }
  HWND hwnd() const { return hwnd_; }
  int ticks = 0;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<OwnerWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && message == WM_TIMER) {
      ++self->ticks;
      return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
  HWND hwnd_ = nullptr;
};

TEST(ConfirmationWindow, ModalTopmostOverItsOwnerWhileTimersRun) {
  OwnerWindow owner;
  WindowDialogs dialogs;
  dialogs.SetOwner(owner.hwnd());
  bool topmost = false;
  bool ownerEnabled = true;
  HWND ownerSeen = nullptr;
  int ticksWhileOpen = 0;
  std::wstring message;
  // Acts after about a third of a second, so the owner's 20 ms timer has had its chances.
  Driver driver(
      FrmMessageBoxYesAndNo::kCaption,
      [&](HWND d) {
        topmost = IsTopMost(d);
        ownerEnabled = ::IsWindowEnabled(owner.hwnd()) != FALSE;
        ownerSeen = ::GetWindow(d, GW_OWNER);
        ticksWhileOpen = owner.ticks;
        message = TextOf(::GetDlgItem(d, kMessageLabelId));
        Click(d, L"Ok");
      },
      10);
  EXPECT_TRUE(dialogs.Confirm("Block this program?"));
  EXPECT_TRUE(driver.acted());
  EXPECT_TRUE(topmost);
  EXPECT_FALSE(ownerEnabled);
  EXPECT_EQ(ownerSeen, owner.hwnd());
  EXPECT_GE(ticksWhileOpen, 3);
  EXPECT_EQ(message, L"Block this program?");
  // Closed: the owner takes input again.
  EXPECT_TRUE(::IsWindowEnabled(owner.hwnd()));
}

TEST(ConfirmationWindow, ShowsWhileItsOwnerIsMinimisedAndHidden) {
  // The main window lives in the tray this way; questions from the tray menu must still be seen.
  OwnerWindow owner;
  ::ShowWindow(owner.hwnd(), SW_MINIMIZE);
  ::ShowWindow(owner.hwnd(), SW_HIDE);
  WindowDialogs dialogs(owner.hwnd());
  bool visible = false;
  Driver driver(FrmMessageBoxYesAndNo::kCaption, [&](HWND d) {
    visible = ::IsWindowVisible(d) && !::IsIconic(d);
    Click(d, L"Cancel");
  });
  EXPECT_FALSE(dialogs.Confirm("Clear the block list?"));
  EXPECT_TRUE(driver.acted());
  EXPECT_TRUE(visible);
  EXPECT_FALSE(::IsWindowVisible(owner.hwnd()));
  EXPECT_TRUE(::IsWindowEnabled(owner.hwnd()));
}

TEST(InformationWindow, ShowsTheMessageTopmostWithOnlyOkAndReturnsOnOk) {
  // Non-ASCII text and an ampersand arrive unchanged.
  const std::string utf8 = "Datei \xC3\xA4rger & Co.exe wurde gel\xC3\xB6scht";
  std::wstring label;
  bool topmost = false;
  std::vector<std::wstring> captions;
  HWND focus = nullptr;
  HWND ok = nullptr;
  Driver driver(FrmMessageBoxOK::kCaption, [&](HWND d) {
    label = TextOf(::GetDlgItem(d, kMessageLabelId));
    topmost = IsTopMost(d);
    for (HWND button : Buttons(d)) captions.push_back(TextOf(button));
    focus = ::GetFocus();
    ok = ButtonByText(d, L"Ok");
    PostKey(VK_RETURN);
  });
  FrmMessageBoxOK::Show(nullptr, utf8);
  EXPECT_TRUE(driver.acted());
  EXPECT_FALSE(driver.stuck());
  EXPECT_EQ(label, L"Datei \u00E4rger & Co.exe wurde gel\u00F6scht");
  EXPECT_TRUE(topmost);
  EXPECT_EQ(captions, std::vector<std::wstring>{L"Ok"});
  EXPECT_EQ(focus, ok);
}

TEST(InformationWindow, EveryUseIsAFreshWindow) {
  HWND first = nullptr;
  {
    Driver driver(FrmMessageBoxOK::kCaption, [&](HWND d) {
      first = d;
      Click(d, L"Ok");
    });
    FrmMessageBoxOK::Show(nullptr, "first message");
    EXPECT_TRUE(driver.acted());
  }
  ASSERT_NE(first, nullptr);
  EXPECT_FALSE(::IsWindow(first));

  std::wstring label;
  Driver driver(FrmMessageBoxOK::kCaption, [&](HWND d) {
    label = TextOf(::GetDlgItem(d, kMessageLabelId));
    Click(d, L"Ok");
  });
  WindowDialogs dialogs;
  dialogs.Inform("second message");
  EXPECT_TRUE(driver.acted());
  EXPECT_EQ(label, L"second message");
}

struct Geometry {
  RECT client{};
  RECT label{};  // in client coordinates
  RECT ok{};
  RECT window{};
  int needed = 0;  // height the label's text needs at the label's width
  int dpi = 0;
};

RECT ChildRect(HWND dialog, HWND child) {
  RECT r{};
  ::GetWindowRect(child, &r);
  ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

Geometry MeasureInformation(const std::string& message) {
  Geometry g;
  Driver driver(FrmMessageBoxOK::kCaption, [&](HWND d) {
    g.dpi = corvane::win::WindowDpi(d);
    ::GetClientRect(d, &g.client);
    ::GetWindowRect(d, &g.window);
    HWND label = ::GetDlgItem(d, kMessageLabelId);
    g.label = ChildRect(d, label);
    g.ok = ChildRect(d, ButtonByText(d, L"Ok"));
    const std::wstring text = TextOf(label);
    HDC dc = ::GetDC(label);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT calc{0, 0, g.label.right - g.label.left, 0};
    ::DrawTextW(dc, text.c_str(), -1, &calc, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::ReleaseDC(label, dc);
    g.needed = calc.bottom - calc.top;
    Click(d, L"Ok");
  });
  FrmMessageBoxOK::Show(nullptr, message);
  EXPECT_TRUE(driver.acted());
  return g;
}

TEST(InformationWindow, LaidOutAtDesignSizeAndGrowsForLongMessages) {
  const Geometry shortOne = MeasureInformation("Done.");
  const MessageBoxLayout design = LayoutMessageBox(MessageBoxKind::Information, shortOne.dpi);
  EXPECT_EQ(shortOne.client.right, design.clientWidth);
  EXPECT_EQ(shortOne.client.bottom, design.clientHeight);
  EXPECT_EQ(shortOne.label.left, design.message.left);
  EXPECT_EQ(shortOne.label.top, design.message.top);

  // Centred on the work area of the screen.
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR((shortOne.window.left + shortOne.window.right) / 2, (work.left + work.right) / 2, 1);
  EXPECT_NEAR((shortOne.window.top + shortOne.window.bottom) / 2, (work.top + work.bottom) / 2, 1);

  // Many lines, and a path with no space to break at: all of it fits inside the label, and the
  // button stays below it.
  std::string text = "The following files were added to the Trash Jar and will be removed:";
  for (int i = 0; i < 8; ++i)
    text += " C:\\Program Files\\Some Vendor\\Some Product\\bin\\helper" + std::to_string(i) + ".exe";
  text += " C:\\a\\very\\long\\path\\without\\any\\space\\" + std::string(120, 'x') + ".exe";
  const Geometry longOne = MeasureInformation(text);
  EXPECT_GT(longOne.client.bottom, design.clientHeight);
  EXPECT_GE(longOne.label.bottom - longOne.label.top, longOne.needed);
  EXPECT_LT(longOne.label.bottom, longOne.ok.top);
  EXPECT_EQ(longOne.client.right, design.clientWidth);

  // A message longer than the screen can hold keeps the window on the screen.
  const Geometry huge = MeasureInformation(std::string(40000, 'w'));
  EXPECT_GE(huge.window.top, work.top);
  EXPECT_LE(huge.window.bottom, work.bottom);
  EXPECT_LE(huge.ok.bottom, huge.client.bottom);
}

}  // namespace
}  // namespace corvane::gui::win
