#include "ui/win/window_decision_ui.h"

#include "ui/win/alert_window.h"
#include "ui/win/message_boxes.h"

namespace corvane::ui::win {

watch::AlertDecision WindowDecisionUi::ShowAlert(const watch::AlertRequest& request) {
  return FrmMessage::Show(owner_, request, facts_);
}

bool WindowDecisionUi::Confirm(std::string_view message) { return FrmMessageBoxYesAndNo::Show(owner_, message); }

}  // namespace corvane::ui::win
