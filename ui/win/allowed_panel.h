#pragma once
// The allowed panel: the allow list, one row per entry in list order.
#include "ui/win/list_panel.h"

namespace corvane::ui::win {

class AllowedPanel final : public ListPanel {
 public:
  AllowedPanel(gui::win::FileIconList& icons, ListPanelHost& host)
      : ListPanel(Panel::Allowed, "Total Allowed Processes : ", icons, host) {}
};

}  // namespace corvane::ui::win
