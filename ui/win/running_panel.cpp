#include "ui/win/running_panel.h"

namespace corvane::ui::win {

namespace {
constexpr Color kUnjudgedText = palette::kUnjudgedText;
}  // namespace

RunningPanel::RunningPanel(FileIconList& icons, ListPanelHost& host)
    : ListPanel(Panel::Running, "Total Running Processes : ", icons, host) {}

LRESULT RunningPanel::OnCustomDraw(NMLVCUSTOMDRAW& draw) {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
    const PanelEntry* entry = EntryAt(static_cast<std::size_t>(draw.nmcd.dwItemSpec));
    if (entry != nullptr && entry->unjudged) draw.clrText = kUnjudgedText;
  }
  return CDRF_DODEFAULT;
}

}  // namespace corvane::ui::win
