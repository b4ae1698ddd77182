#include "ui/win/running_panel.h"

#include "base/dpi.h"

namespace corvane::ui::win {

using gui::win::FileIconList;

using corvane::Scale;

namespace {
constexpr Color kUnjudgedText = palette::kUnjudgedText;
// The advertisement area's height and the space above it, in pixels at 96 DPI.
constexpr int kAdvertHeight = 64;
constexpr int kAdvertGap = 8;
}  // namespace

RunningPanel::RunningPanel(FileIconList& icons, ListPanelHost& host,
                           std::optional<web::win::AdvertPanelOptions> adverts)
    : ListPanel(Panel::Running, "Total Running Processes : ", icons, host), advertOptions_(std::move(adverts)) {}

void RunningPanel::CreateControls(int width, int height, const PanelSetup& setup) {
  if (!advertOptions_) {
    ListPanel::CreateControls(width, height, setup);
    return;
  }
  const int dpi = setup.dpi;
  const int advertHeight = Scale(kAdvertHeight, dpi);
  // The list, its counter and its buttons above; the area along the bottom.
  ListPanel::CreateControls(width, height - advertHeight - Scale(kAdvertGap, dpi), setup);
  const int margin = Scale(kPanelMargin, dpi);
  advert_ = std::make_unique<web::win::AdvertPanel>(*advertOptions_);
  if (!advert_->Create(Hwnd(), margin, height - margin - advertHeight, width - margin * 2, advertHeight)) {
    advert_.reset();
  }
}

LRESULT RunningPanel::OnCustomDraw(NMLVCUSTOMDRAW& draw) {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
    const PanelEntry* entry = EntryAt(static_cast<std::size_t>(draw.nmcd.dwItemSpec));
    if (entry != nullptr && entry->unjudged) draw.clrText = kUnjudgedText;
  }
  return CDRF_DODEFAULT;
}

}  // namespace corvane::ui::win
