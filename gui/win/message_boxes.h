#pragma once
// The program's own message windows: the confirmation (Ok and Cancel) and the information (Ok). Both
// are modal: the owner is disabled while one is open, the program's timers keep running, and the
// window stays above every other window until a button closes it. Every use builds a fresh window.
#include <windows.h>

#include <string_view>

#include "gui/dialogs.h"

namespace corvane::gui::win {

// The message label's control id; the Ok button is IDOK and the Cancel button IDCANCEL.
inline constexpr int kMessageLabelId = 1001;

// How a confirmation ended: Ok; Cancel, Escape, Alt+F4 or the close box; or without the user (the
// program quit or the session ended while it was open, or it could not be shown).
enum class ConfirmOutcome { Confirmed, Declined, Unanswered };

class FrmMessageBoxYesAndNo {
 public:
  static constexpr const wchar_t* kCaption = L"Corvane - Confirmation";
  // Asks and returns the answer (the program's bConfirmed): true only when Ok was pressed; Cancel,
  // Escape, Alt+F4, the close box and a window that cannot be created all give false. Cancel has the
  // focus when the window opens, so a stray Enter never confirms.
  static bool Show(HWND owner, std::string_view message);
  // The same question, for callers to whom an unanswered question is not a No. ending (if given) is
  // set when it ended because the program is quitting or the session is ending.
  static ConfirmOutcome Ask(HWND owner, std::string_view message, bool* ending = nullptr);
};

class FrmMessageBoxOK {
 public:
  static constexpr const wchar_t* kCaption = L"Corvane - Information";
  // Returns when the user has pressed Ok or closed the window in any other way.
  static void Show(HWND owner, std::string_view message);
};

// Dialogs for the rest of the program, shown over owner (which may be null or change later).
class WindowDialogs final : public Dialogs {
 public:
  explicit WindowDialogs(HWND owner = nullptr) : owner_(owner) {}

  void SetOwner(HWND owner) { owner_ = owner; }
  HWND Owner() const { return owner_; }

  bool Confirm(std::string_view message) override;
  void Inform(std::string_view message) override;

 private:
  HWND owner_;
};

}  // namespace corvane::gui::win
