#pragma once
// The user's side of the new-program decision, in the program's own windows: the alert, the
// confirmation before blocking a program made by Microsoft, and the information dialog. All are
// owned by owner (the main window), which may be set once it exists.
#include <windows.h>

#include <string_view>

#include "ui/process_report.h"
#include "watch/new_program_decision.h"

namespace corvane::ui::win {

class WindowDecisionUi final : public watch::DecisionUi {
 public:
  WindowDecisionUi(HWND owner, ProcessFacts& facts) : owner_(owner), facts_(facts) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  watch::AlertDecision ShowAlert(const watch::AlertRequest& request) override;
  watch::ConfirmAnswer Confirm(std::string_view message) override;
  void Inform(std::string_view message) override;

  // True once one of its windows ended because the program was quitting or the session ending.
  bool ProgramEnding() const { return ending_; }

 private:
  HWND owner_;
  ProcessFacts& facts_;
  bool ending_ = false;
};

}  // namespace corvane::ui::win
