#include "ui/main_menu.h"

#include <array>

namespace corvane::ui {

namespace {
using C = MenuCommand;
constexpr C kTop = C::None;

constexpr std::array kTrayMenu = {
    MenuItemSpec{"mnuMainShowCorvane", kTop, C::ShowCorvane, "Corvane"},
    MenuItemSpec{"mnuline2", kTop, C::Separator, "-"},
    MenuItemSpec{"mnuMainNormal", kTop, C::Normal, "Normal"},
    MenuItemSpec{"mnuMainAllowAll", kTop, C::AllowAll, "Allow All"},
    MenuItemSpec{"mnuline", kTop, C::Separator, "-"},
    MenuItemSpec{"mnuMainRunningProcesses", kTop, C::RunningProcesses, "Running Process"},
    MenuItemSpec{"mnuMainBlockedProcesses", kTop, C::BlockedProcesses, "Blocked Process"},
    MenuItemSpec{"mnushowblocked", C::BlockedProcesses, C::ShowBlocked, "Show Blocked Process"},
    MenuItemSpec{"mnuline9", C::BlockedProcesses, C::Separator, "-"},
    MenuItemSpec{"mnuClearBlockedList", C::BlockedProcesses, C::ClearBlockedList, "Clear"},
    MenuItemSpec{"mnuMainAllowedProcesses", kTop, C::AllowedProcesses, "Allowed Process"},
    MenuItemSpec{"mnuSHowAllowedProcess", C::AllowedProcesses, C::ShowAllowedProcess, "Show Allowed Process"},
    MenuItemSpec{"mnulione10", C::AllowedProcesses, C::Separator, "-"},
    MenuItemSpec{"mnuAllowClear", C::AllowedProcesses, C::AllowClear, "Clear"},
    MenuItemSpec{"mnuline3", kTop, C::Separator, "-"},
    MenuItemSpec{"mnuMainTrashCan", kTop, C::TrashCan, "Trash Jar"},
    MenuItemSpec{"mnuShowTrashJar", C::TrashCan, C::ShowTrashJar, "Show Trash Jar"},
    MenuItemSpec{"mnuline19", C::TrashCan, C::Separator, "-"},
    MenuItemSpec{"mnuTrashjarAdd", C::TrashCan, C::TrashJarAdd, "Add"},
    MenuItemSpec{"mnuTrashClear", C::TrashCan, C::TrashClear, "Clear"},
    MenuItemSpec{"mnuline4", kTop, C::Separator, "-"},
    MenuItemSpec{"mnuHotkeys", kTop, C::HotKeys, "Show Hot Keys"},
    MenuItemSpec{"mnuMainOptions", kTop, C::Options, "Options"},
    MenuItemSpec{"mnuShowOptions", C::Options, C::ShowOptions, "Show Options"},
    MenuItemSpec{"mnuline12", C::Options, C::Separator, "-"},
    MenuItemSpec{"mnuStartWithWIndows", C::Options, C::StartWithWindows, "Start with Windows"},
    MenuItemSpec{"mnuBeep", C::Options, C::Beep, "Beep when file is Blocked"},
    MenuItemSpec{"mnuNotifications", C::Options, C::Notifications, "Don't show notifications when file is blocked"},
    MenuItemSpec{"mnuline6", kTop, C::Separator, "-"},
    MenuItemSpec{"mnuHelp", kTop, C::Help, "Help"},
    MenuItemSpec{"mnuline18", kTop, C::Separator, "-"},
    MenuItemSpec{"mnuMainClose", kTop, C::Close, "Close"},
};
}  // namespace

std::span<const MenuItemSpec> TrayMenuItems() { return kTrayMenu; }

}  // namespace corvane::ui
