#pragma once
// The buttons and right-click menus of the four list panels, as data. A menu item carries the
// command of the panel button that does the same thing, so both always reach the same operation
// (ui/list_operations.cpp maps commands to operations).
#include <span>
#include <string_view>

#include "ui/main_window_model.h"

namespace corvane::ui {

// One per list operation. The values are the buttons' control ids and the menu items' ids, and they
// travel in WM_COMMAND beside the tray menu's (main_menu.h): the ranges must not meet.
enum class PanelCommand : unsigned {
  None = 0,
  RunningToBlockList = 41001,
  RunningToTrashJar,
  RunningDetails,
  BlockedToAllowList,
  BlockedToTrashJar,
  RemoveBlocked,
  ClearBlocked,
  BlockedDetails,
  AllowedToBlockList,
  AllowedToTrashJar,
  RemoveAllowed,
  ClearAllowed,
  AllowedDetails,
  AddToTrashJar,
  RemoveFromTrashJar,
  ClearTrashJar,
  Separator = 0xFFFF,
};

inline constexpr unsigned kFirstPanelCommand = static_cast<unsigned>(PanelCommand::RunningToBlockList);
inline constexpr unsigned kLastPanelCommand = static_cast<unsigned>(PanelCommand::ClearTrashJar);

// True for an id of a panel button or panel menu item.
constexpr bool IsPanelCommand(unsigned id) { return id >= kFirstPanelCommand && id <= kLastPanelCommand; }

struct PanelButton {
  PanelCommand command;
  std::string_view caption;
};

struct PanelMenuItem {
  std::string_view name;     // the item's name in the program's vocabulary, e.g. "mnuTrashAdd"
  PanelCommand command;      // Separator for separator lines
  std::string_view caption;  // "-" for separators
};

// The panel's buttons, left to right; none for the options panel.
std::span<const PanelButton> PanelButtons(Panel panel);
// The panel's right-click menu, top to bottom; none for the options panel.
std::span<const PanelMenuItem> PanelMenuItems(Panel panel);
// The name of the panel's right-click menu, e.g. "mnuRunningProcess"; empty for the options panel.
std::string_view PanelMenuName(Panel panel);

}  // namespace corvane::ui
