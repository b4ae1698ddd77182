#include "ui/panel_commands.h"

#include <array>

#include "ui/main_menu.h"

namespace corvane::ui {

namespace {
using C = PanelCommand;

constexpr std::array kRunningButtons = {
    PanelButton{C::RunningToBlockList, "Move To Block List"},
    PanelButton{C::RunningToTrashJar, "Move To Trash Jar"},
    PanelButton{C::RunningDetails, "Details"},
};
constexpr std::array kBlockedButtons = {
    PanelButton{C::BlockedToAllowList, "Move To Allow List"}, PanelButton{C::BlockedToTrashJar, "Move To Trash Jar"},
    PanelButton{C::RemoveBlocked, "Remove"},                  PanelButton{C::ClearBlocked, "Clear"},
    PanelButton{C::BlockedDetails, "Details"},
};
constexpr std::array kAllowedButtons = {
    PanelButton{C::AllowedToBlockList, "Move To Block List"}, PanelButton{C::AllowedToTrashJar, "Move To Trash Jar"},
    PanelButton{C::RemoveAllowed, "Remove"},                  PanelButton{C::ClearAllowed, "Clear"},
    PanelButton{C::AllowedDetails, "Details"},
};
constexpr std::array kTrashJarButtons = {
    PanelButton{C::AddToTrashJar, "Add"},
    PanelButton{C::RemoveFromTrashJar, "Remove"},
    PanelButton{C::ClearTrashJar, "Clear"},
};

constexpr std::array kRunningMenu = {
    PanelMenuItem{"mnuRunningProcessMoveToBlockList", C::RunningToBlockList, "Move to Block list"},
    PanelMenuItem{"mnuRunningProcessMoveToTrsahCan", C::RunningToTrashJar, "Move To Trash Can"},
    PanelMenuItem{"mnuline13", C::Separator, "-"},
    PanelMenuItem{"mnuDetail", C::RunningDetails, "Details"},
};
constexpr std::array kBlockedMenu = {
    PanelMenuItem{"mnuBlockedProcessesMovetoTrashCan", C::BlockedToTrashJar, "Move To Trash Can"},
    PanelMenuItem{"mnuBlockedProcessesMovetoAllowListlvwBlocked", C::BlockedToAllowList, "Move To Allow List"},
    PanelMenuItem{"mnuline7", C::Separator, "-"},
    PanelMenuItem{"mnuBlockedProcessesRemove", C::RemoveBlocked, "Remove"},
};
constexpr std::array kAllowedMenu = {
    PanelMenuItem{"mnuAlowedProcessesMoveToBlockList", C::AllowedToBlockList, "Move To Block List"},
    PanelMenuItem{"mnuline8", C::Separator, "-"},
    PanelMenuItem{"mnuAlowedProcessesRemove", C::RemoveAllowed, "Remove"},
};
constexpr std::array kTrashJarMenu = {
    PanelMenuItem{"mnuTrashAdd", C::AddToTrashJar, "Add"},
    PanelMenuItem{"mnuTrashRemove", C::RemoveFromTrashJar, "Remove"},
};

// Both kinds of command arrive as WM_COMMAND ids of the main window.
static_assert(kFirstPanelCommand > static_cast<unsigned>(MenuCommand::Close) && kLastPanelCommand < 0xFFFF);
}  // namespace

std::span<const PanelButton> PanelButtons(Panel panel) {
  switch (panel) {
    case Panel::Running:
      return kRunningButtons;
    case Panel::Blocked:
      return kBlockedButtons;
    case Panel::Allowed:
      return kAllowedButtons;
    case Panel::TrashJar:
      return kTrashJarButtons;
    case Panel::Options:
      break;
  }
  return {};
}

std::span<const PanelMenuItem> PanelMenuItems(Panel panel) {
  switch (panel) {
    case Panel::Running:
      return kRunningMenu;
    case Panel::Blocked:
      return kBlockedMenu;
    case Panel::Allowed:
      return kAllowedMenu;
    case Panel::TrashJar:
      return kTrashJarMenu;
    case Panel::Options:
      break;
  }
  return {};
}

std::string_view PanelMenuName(Panel panel) {
  switch (panel) {
    case Panel::Running:
      return "mnuRunningProcess";
    case Panel::Blocked:
      return "mnuBlockedProcesses";
    case Panel::Allowed:
      return "mnuAlowedProcesses";
    case Panel::TrashJar:
      return "mnutrashcan";
    case Panel::Options:
      break;
  }
  return {};
}

}  // namespace corvane::ui
