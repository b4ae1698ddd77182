#pragma once
// What the main window shows, without the window: which panel is visible, the heading, the counters,
// the tray tooltip and the splash progress. The Win32 window mirrors this state.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "corvane_version.h"

namespace corvane::ui {

enum class Panel { Running = 0, Blocked, Allowed, Options, TrashJar };
inline constexpr std::size_t kPanelCount = 5;

inline constexpr std::string_view kMainWindowCaption = "Corvane v " CORVANE_VERSION_TEXT;
inline constexpr std::string_view kTipNormal = "Corvane :: Normal";
inline constexpr std::string_view kTipAllowAll = "Corvane :: Allow All";
inline constexpr std::string_view kSplashLoading = " Loading ...";
inline constexpr std::string_view kSplashLoadingServices = " Loading Services. This may take several minutes ...";
// The program's own command line that starts it hidden in the tray (written into the Run value).
inline constexpr std::string_view kAutoStartArgument = "auto";

std::string_view PanelHeading(Panel panel);
// The navigation button's caption, which is also the tray menu's wording.
std::string_view NavigationCaption(Panel panel);

class MainWindowModel {
 public:
  // Makes the panels visible as flagged and sets the heading to the first flagged panel's heading;
  // with no flag set the heading stays as it was.
  void ShowPanel(bool running, bool blocked, bool allowed, bool options, bool trash);
  void ShowOnly(Panel panel);

  bool IsVisible(Panel panel) const { return visible_[static_cast<std::size_t>(panel)]; }
  const std::string& Heading() const { return heading_; }

  // The panels' counter labels: set by navigation and by the watch cycle, never by themselves.
  void SetCount(Panel panel, std::size_t count) { counts_[static_cast<std::size_t>(panel)] = count; }
  std::size_t Count(Panel panel) const { return counts_[static_cast<std::size_t>(panel)]; }

 private:
  std::array<bool, kPanelCount> visible_{};
  std::array<std::size_t, kPanelCount> counts_{};
  std::string heading_;
};

// The tooltip of the tray icon: cut to 64 characters (the field is large enough for the terminator).
std::string TrayTipText(std::string_view text);
std::string_view SecurityModeTip(bool allowAll);

// True only for exactly "auto": case-sensitive, nothing before or after it.
bool IsAutoStart(std::string_view argumentText);

// Six progress blocks, one per second; the tick that finds all six shown hands over to the main window.
class SplashProgress {
 public:
  static constexpr int kBlocks = 6;
  // One timer tick. Returns true when this tick is the hand-over.
  bool Tick();
  int VisibleBlocks() const { return visible_; }

 private:
  int counter_ = 0;
  int visible_ = 0;
};

}  // namespace corvane::ui
