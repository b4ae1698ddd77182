#pragma once
// The running panel: the programs seen running, in the order they were first seen. Programs listed
// in Allow All mode were never judged and stand out in blue.
#include <memory>
#include <optional>

#include "ui/win/list_panel.h"
#include "web/win/advert_panel.h"

namespace corvane::ui::win {

class RunningPanel final : public ListPanel {
 public:
  // adverts: where the advertisement area fetches from; none: no area (the lists take the room).
  RunningPanel(gui::win::FileIconList& icons, ListPanelHost& host, std::optional<web::win::AdvertPanelOptions> adverts = {});

  // The advertisement area below the buttons; null without one.
  web::win::AdvertPanel* Adverts() { return advert_.get(); }

 protected:
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw) override;
  void CreateControls(int width, int height, const PanelSetup& setup) override;

 private:
  std::optional<web::win::AdvertPanelOptions> advertOptions_;
  std::unique_ptr<web::win::AdvertPanel> advert_;
};

}  // namespace corvane::ui::win
