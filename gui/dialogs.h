#pragma once
// The program's own confirmation and information messages, as the rest of the program sees them.
// The Win32 implementation shows the two modal message windows; tests use a scripted fake.
#include <string_view>

namespace corvane::gui {

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // Asks the user to confirm. True only when the user pressed Ok; Cancel, Escape and every other
  // way of closing the question give false, and so does a window that could not be shown.
  virtual bool Confirm(std::string_view message) = 0;
  // Tells the user something and returns when the user has pressed Ok (or closed the window).
  virtual void Inform(std::string_view message) = 0;
};

}  // namespace corvane::gui
