#pragma once
// The Trash Jar panel: the files to be removed, one row per path, each with the default file icon.
#include "ui/win/list_panel.h"

namespace corvane::ui::win {

class TrashJarPanel final : public ListPanel {
 public:
  TrashJarPanel(gui::win::FileIconList& icons, ListPanelHost& host);

 protected:
  void AddColumns(int width, int dpi) override;
  void InsertRow(std::size_t row, const PanelEntry& entry) override;
  bool ListResetsButtons() const override { return true; }
};

}  // namespace corvane::ui::win
