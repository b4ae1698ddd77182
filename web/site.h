#pragma once
// The maker's web site: help pages, the other product's page and the advertisement server all live
// on one host.
#include <string>
#include <string_view>

namespace corvane::web {

inline constexpr std::string_view kMakerSite = "https://www.corvane.example";

inline constexpr std::string_view kTrayHelpPath = "/corvane/help.htm";
inline constexpr std::string_view kHomePagePath = "/corvane.htm";
// The page of the maker's other product, opened from the advertisement placeholder.
inline constexpr std::string_view kOtherProductPath = "/rizaz.htm";
inline constexpr std::string_view kAdvertListPath = "/adv/ver.htm";

// kMakerSite followed by a path that starts with "/".
std::string SiteAddress(std::string_view path);

// The setting that points the advertisement area at another server (a mirror, or a test's own
// server on this machine): an http or https address without a path. Absent or unsafe: kMakerSite.
inline constexpr std::string_view kAdvertServerSetting = "AdvServer";
std::string AdvertServer(std::string_view stored);

// The panels of the main window, each visible or not.
struct PanelVisibility {
  bool running = false;
  bool blocked = false;
  bool allowed = false;
  bool trashJar = false;
  bool options = false;
};

// The help page for what the user is looking at: the first visible panel in the order running,
// blocked, allowed, Trash Jar, options; the home page when none shows. A path on the maker's site.
std::string_view HelpPathFor(const PanelVisibility& panels);

}  // namespace corvane::web
