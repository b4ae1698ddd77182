#include "ui/win/trash_jar_panel.h"

#include "base/win/ui_font.h"

namespace corvane::ui::win {

using gui::win::FileIconList;

TrashJarPanel::TrashJarPanel(FileIconList& icons, ListPanelHost& host)
    : ListPanel(Panel::TrashJar, "Total Trash Jar contents : ", icons, host) {}

void TrashJarPanel::AddColumns(int width, int dpi) { AddColumn(0, L"File", width - corvane::Scale(24, dpi)); }

void TrashJarPanel::InsertRow(std::size_t row, const PanelEntry& entry) {
  // Every Trash Jar row shows the default file icon: the file is on its way out.
  InsertText(row, entry.path, Icons().IndexFor(""));
}

}  // namespace corvane::ui::win
