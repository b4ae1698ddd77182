#include "web/site.h"

namespace corvane::web {

std::string SiteAddress(std::string_view path) { return std::string(kMakerSite) + std::string(path); }

std::string_view HelpPathFor(const PanelVisibility& panels) {
  if (panels.running) return "/corvane/running.htm";
  if (panels.blocked) return "/corvane/block.htm";
  if (panels.allowed) return "/corvane/allow.htm";
  if (panels.trashJar) return "/corvane/trash.htm";
  if (panels.options) return "/corvane/options.htm";
  return kHomePagePath;
}

}  // namespace corvane::web
