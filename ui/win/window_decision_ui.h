#pragma once
// The user's side of the new-program decision, in the program's own windows: the alert, and the
// confirmation before blocking a program made by Microsoft. Both are owned by owner (the main
// window), which may be set once it exists.
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
  bool Confirm(std::string_view message) override;

 private:
  HWND owner_;
  ProcessFacts& facts_;
};

}  // namespace corvane::ui::win
