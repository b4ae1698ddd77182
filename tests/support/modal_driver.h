#pragma once
// Drives the program's modal windows from inside their own message loops: a thread timer looks for
// the window a step names (by caption, among this thread's visible windows) and runs the step on it,
// one step per tick, so a posted key or click is handled before the next step looks. Steps that open
// another modal window should post rather than send, so the tick returns. Windows still open long
// after the last step are closed and the driver reports itself stuck.
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace corvane::testing {

class ModalDriver {
 public:
  struct Step {
    std::wstring caption;
    std::function<void(HWND)> action;
  };

  explicit ModalDriver(std::vector<Step> steps, int delayTicks = 0)
      : steps_(std::move(steps)), delayTicks_(delayTicks) {
    current_ = this;
    timer_ = ::SetTimer(nullptr, 0, 30, &ModalDriver::Tick);
  }
  ~ModalDriver() {
    ::KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  ModalDriver(const ModalDriver&) = delete;
  ModalDriver& operator=(const ModalDriver&) = delete;

  bool acted() const { return next_ == steps_.size(); }
  bool stuck() const { return stuck_; }
  // Every window a step ran on, in step order.
  const std::vector<HWND>& windows() const { return windows_; }

  static HWND FindOwnWindow(const std::wstring& caption) {
    struct Search {
      const std::wstring* caption;
      HWND found;
    } search{&caption, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM data) -> BOOL {
          auto* s = reinterpret_cast<Search*>(data);
          wchar_t text[256] = {};
          ::GetWindowTextW(hwnd, text, 256);
          if (::IsWindowVisible(hwnd) && *s->caption == text) {
            s->found = hwnd;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (current_ != nullptr) current_->Advance();
  }

  void Advance() {
    if (next_ < steps_.size()) {
      const HWND found = FindOwnWindow(steps_[next_].caption);
      if (found == nullptr || seenTicks_++ < delayTicks_) return;
      seenTicks_ = 0;
      windows_.push_back(found);
      // Advanced first: a step that runs a nested modal loop lets the next step run inside it.
      steps_[next_++].action(found);
      return;
    }
    if (++ticksAfter_ < 150) return;
    for (const Step& step : steps_) {
      if (const HWND open = FindOwnWindow(step.caption)) {
        stuck_ = true;
        ::PostMessageW(open, WM_CLOSE, 0, 0);
      }
    }
  }

  static inline ModalDriver* current_ = nullptr;
  std::vector<Step> steps_;
  int delayTicks_;
  UINT_PTR timer_ = 0;
  std::size_t next_ = 0;
  int seenTicks_ = 0;
  int ticksAfter_ = 0;
  bool stuck_ = false;
  std::vector<HWND> windows_;
};

inline std::wstring TextOf(HWND hwnd) {
  const int length = ::GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd, text.data(), length + 1)));
  return text;
}

// The first child of parent whose window text is text; null when there is none.
inline HWND ChildByText(HWND parent, const std::wstring& text) {
  struct Search {
    const std::wstring* text;
    HWND found;
  } search{&text, nullptr};
  ::EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (TextOf(hwnd) == *s->text) {
          s->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A click as the mouse would make it, posted so that the tick returns at once.
inline void PostClick(HWND button) { ::PostMessageW(button, BM_CLICK, 0, 0); }

// A key as the keyboard would deliver it: posted to the window with the focus.
inline void PostKey(UINT key) {
  const HWND focus = ::GetFocus();
  ::PostMessageW(focus, WM_KEYDOWN, key, 1);
  ::PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

// A visible window with a 20 ms timer, standing for the main window that owns a modal window.
class TimedOwnerWindow {
 public:
  TimedOwnerWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &TimedOwnerWindow::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CorvaneTestTimedOwner";
    ::RegisterClassW(&wc);
    hwnd_ = ::CreateWindowExW(0, wc.lpszClassName, L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                              nullptr, nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetTimer(hwnd_, 1, 20, nullptr);
  }
  ~TimedOwnerWindow() { ::DestroyWindow(hwnd_); }
  TimedOwnerWindow(const TimedOwnerWindow&) = delete;
  TimedOwnerWindow& operator=(const TimedOwnerWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  int ticks = 0;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TimedOwnerWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && message == WM_TIMER) {
      ++self->ticks;
      return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
  HWND hwnd_ = nullptr;
};

inline bool IsTopMost(HWND hwnd) { return (::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

}  // namespace corvane::testing
