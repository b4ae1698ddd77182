#pragma once
// The blocked panel: the block list, one row per entry in list order; a program is ended wherever
// it runs from.
#include "ui/win/list_panel.h"

namespace corvane::ui::win {

class BlockedPanel final : public ListPanel {
 public:
  BlockedPanel(gui::win::FileIconList& icons, ListPanelHost& host)
      : ListPanel(Panel::Blocked, "Total Blocked Processes : ", icons, host) {}
};

}  // namespace corvane::ui::win
