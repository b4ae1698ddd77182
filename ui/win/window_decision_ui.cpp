#include "ui/win/window_decision_ui.h"

#include "gui/win/message_boxes.h"
#include "ui/win/alert_window.h"

namespace corvane::ui::win {

using gui::win::ConfirmOutcome;
using gui::win::FrmMessageBoxOK;
using gui::win::FrmMessageBoxYesAndNo;

watch::AlertDecision WindowDecisionUi::ShowAlert(const watch::AlertRequest& request) {
  bool ending = false;
  const watch::AlertDecision decision = FrmMessage::Show(owner_, request, facts_, &ending);
  if (ending) ending_ = true;
  return decision;
}

watch::ConfirmAnswer WindowDecisionUi::Confirm(std::string_view message) {
  bool ending = false;
  const ConfirmOutcome outcome = FrmMessageBoxYesAndNo::Ask(owner_, message, &ending);
  if (ending) ending_ = true;
  switch (outcome) {
    case ConfirmOutcome::Confirmed:
      return watch::ConfirmAnswer::Yes;
    case ConfirmOutcome::Declined:
      return watch::ConfirmAnswer::No;
    case ConfirmOutcome::Unanswered:
      break;
  }
  return watch::ConfirmAnswer::Undecided;
}

void WindowDecisionUi::Inform(std::string_view message) { FrmMessageBoxOK::Show(owner_, message); }

}  // namespace corvane::ui::win
