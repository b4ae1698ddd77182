#pragma once
// A top-level window that is never shown and only owns others. An owned window gets no taskbar
// button, whatever is done to it once shown, and keeps its ordinary caption (WS_EX_TOOLWINDOW would
// also keep the button away, but draws a smaller caption).
#include <windows.h>

#include "base/win/window_base.h"

namespace corvane::win {

class HiddenOwnerWindow final : public WindowBase<HiddenOwnerWindow> {
 public:
  static const wchar_t* ClassName() { return L"CorvaneOwner"; }

  // Not a message-only window: only a top-level window can own another.
  bool Create() { return CreateWindowOf(WS_EX_TOOLWINDOW, L"", WS_POPUP, 0, 0, 0, 0, nullptr); }
};

}  // namespace corvane::win
