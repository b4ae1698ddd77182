#pragma once
// The tray menu of the main window, as data: the Win32 layer builds the pop-up menu from it and tests
// check captions and order without a screen.
#include <span>
#include <string_view>

namespace corvane::ui {

// Command ids of the tray menu items. Stable: end-to-end tests send them as WM_COMMAND.
enum class MenuCommand : unsigned {
  None = 0,
  ShowCorvane = 40001,
  Normal,
  AllowAll,
  RunningProcesses,
  BlockedProcesses,  // sub-menu
  ShowBlocked,
  ClearBlockedList,
  AllowedProcesses,  // sub-menu
  ShowAllowedProcess,
  AllowClear,
  TrashCan,  // sub-menu
  ShowTrashJar,
  TrashJarAdd,
  TrashClear,
  HotKeys,
  Options,  // sub-menu
  ShowOptions,
  StartWithWindows,
  Beep,
  Notifications,
  Help,
  Close,
  Separator = 0xFFFF,
};

struct TrayMenuItem {
  std::string_view name;     // the item's name in the program's vocabulary, e.g. "mnuMainClose"
  MenuCommand parent;        // None for top-level items
  MenuCommand command;       // Separator for separator lines
  std::string_view caption;  // "-" for separators
};

// Top to bottom; items of a sub-menu follow their parent.
std::span<const TrayMenuItem> TrayMenuItems();

}  // namespace corvane::ui
