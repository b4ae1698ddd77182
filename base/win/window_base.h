#pragma once
// One class per window: the window procedure is a static trampoline that stores `this` at
// WM_NCCREATE and forwards every message to HandleMessage. No exception may leave a window
// procedure, so the trampoline catches them and falls back to the default handling.
#include <windows.h>

namespace corvane::win {

template <typename Derived>
class WindowBase {
 public:
  WindowBase() = default;
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;
  virtual ~WindowBase() {
    if (hwnd_ != nullptr) {
      ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      ::DestroyWindow(hwnd_);
    }
  }

  HWND Hwnd() const { return hwnd_; }

 protected:
  // A window class, registered once per process by the first window created in it.
  struct WindowClass {
    const wchar_t* name = nullptr;
    UINT style = CS_DBLCLKS;
    HICON (*icon)(HINSTANCE) = nullptr;  // asked only when the class is registered
    HBRUSH background = nullptr;
  };
  // Creates the window in the class Derived::ClassName().
  bool CreateWindowOf(DWORD exStyle, const wchar_t* title, DWORD style, int x, int y, int width, int height,
                      HWND parent, HMENU menu = nullptr, HBRUSH background = nullptr) {
    const WindowClass windowClass{Derived::ClassName(), Derived::ClassStyle(), &Derived::ClassIcon, background};
    return CreateWindowOfClass(windowClass, exStyle, title, style, x, y, width, height, parent, menu);
  }

  // Creates the window in the class given, for a base whose windows differ in class.
  bool CreateWindowOfClass(const WindowClass& windowClass, DWORD exStyle, const wchar_t* title, DWORD style, int x,
                           int y, int width, int height, HWND parent, HMENU menu = nullptr) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    if (!::GetClassInfoExW(instance, windowClass.name, &wc)) {
      wc = {};
      wc.cbSize = sizeof(wc);
      wc.style = windowClass.style;
      wc.lpfnWndProc = &WindowBase::Trampoline;
      wc.hInstance = instance;
      wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
      wc.hbrBackground = windowClass.background;
      wc.hIcon = windowClass.icon != nullptr ? windowClass.icon(instance) : nullptr;
      wc.hIconSm = wc.hIcon;
      wc.lpszClassName = windowClass.name;
      if (!::RegisterClassExW(&wc)) return false;
    }
    return ::CreateWindowExW(exStyle, windowClass.name, title, style, x, y, width, height, parent, menu, instance,
                             this) != nullptr;
  }

  static HICON ClassIcon(HINSTANCE) { return nullptr; }
  static UINT ClassStyle() { return CS_DBLCLKS; }

  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
  }

 private:
  static LRESULT CALLBACK Trampoline(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowBase* self = nullptr;
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      self = static_cast<WindowBase*>(create->lpCreateParams);
      self->hwnd_ = hwnd;
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
      self = reinterpret_cast<WindowBase*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (self == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    try {
      result = self->HandleMessage(message, wParam, lParam);
    } catch (...) {
      result = ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
    }
    return result;
  }

  HWND hwnd_ = nullptr;
};

}  // namespace corvane::win
