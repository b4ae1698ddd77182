#pragma once
// The running panel: the programs seen running, in the order they were first seen. Programs listed
// in Allow All mode were never judged and stand out in blue.
#include "ui/win/list_panel.h"

namespace corvane::ui::win {

class RunningPanel final : public ListPanel {
 public:
  RunningPanel(FileIconList& icons, ListPanelHost& host);

 protected:
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw) override;
};

}  // namespace corvane::ui::win
