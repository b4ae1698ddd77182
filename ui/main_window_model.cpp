#include "ui/main_window_model.h"

namespace corvane::ui {

namespace {
constexpr std::array<std::string_view, kPanelCount> kHeadings = {"Running Process", "Blocked Process", "Allowed Process",
                                                                 "Options/Settings", "Trash Jar"};
constexpr std::array<std::string_view, kPanelCount> kCaptions = {"Running Process", "Blocked Process", "Allowed Process",
                                                                 "Options", "Trash Jar"};
constexpr std::size_t kTipLimit = 64;
}  // namespace

std::string_view PanelHeading(Panel panel) { return kHeadings[static_cast<std::size_t>(panel)]; }
std::string_view NavigationCaption(Panel panel) { return kCaptions[static_cast<std::size_t>(panel)]; }

void MainWindowModel::ShowPanel(bool running, bool blocked, bool allowed, bool options, bool trash) {
  visible_ = {running, blocked, allowed, options, trash};
  for (std::size_t i = 0; i < kPanelCount; ++i) {
    if (visible_[i]) {
      heading_ = std::string(kHeadings[i]);
      break;
    }
  }
}

void MainWindowModel::ShowOnly(Panel panel) {
  ShowPanel(panel == Panel::Running, panel == Panel::Blocked, panel == Panel::Allowed, panel == Panel::Options,
            panel == Panel::TrashJar);
}

std::string TrayTipText(std::string_view text) { return std::string(text.substr(0, kTipLimit)); }

std::string_view SecurityModeTip(bool allowAll) { return allowAll ? kTipAllowAll : kTipNormal; }

bool IsAutoStart(std::string_view argumentText) { return argumentText == kAutoStartArgument; }

bool SplashProgress::Tick() {
  if (counter_ >= kBlocks) return true;
  visible_ = counter_ + 1;
  ++counter_;
  return false;
}

}  // namespace corvane::ui
