#include "web/site.h"

#include "base/text.h"
#include "web/web_address.h"

namespace corvane::web {

std::string SiteAddress(std::string_view path) { return std::string(kMakerSite) + std::string(path); }

std::string AdvertServer(std::string_view stored) {
  std::string server = TrimSpaces(stored);
  while (!server.empty() && server.back() == '/') server.pop_back();
  if (server.empty() || !IsSafeWebAddress(server + std::string(kAdvertListPath))) return std::string(kMakerSite);
  return server;
}

std::string_view HelpPathFor(const PanelVisibility& panels) {
  if (panels.running) return "/corvane/running.htm";
  if (panels.blocked) return "/corvane/block.htm";
  if (panels.allowed) return "/corvane/allow.htm";
  if (panels.trashJar) return "/corvane/trash.htm";
  if (panels.options) return "/corvane/options.htm";
  return kHomePagePath;
}

}  // namespace corvane::web
