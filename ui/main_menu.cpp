#include "ui/main_menu.h"

#include <array>

namespace corvane::ui {

namespace {
using C = MenuCommand;
constexpr C kTop = C::None;

constexpr std::array kTrayMenu = {
    TrayMenuItem{"mnuMainShowCorvane", kTop, C::ShowCorvane, "Corvane"},
    TrayMenuItem{"mnuline2", kTop, C::Separator, "-"},
    TrayMenuItem{"mnuMainNormal", kTop, C::Normal, "Normal"},
    TrayMenuItem{"mnuMainAllowAll", kTop, C::AllowAll, "Allow All"},
    TrayMenuItem{"mnuline", kTop, C::Separator, "-"},
    TrayMenuItem{"mnuMainRunningProcesses", kTop, C::RunningProcesses, "Running Process"},
    TrayMenuItem{"mnuMainBlockedProcesses", kTop, C::BlockedProcesses, "Blocked Process"},
    TrayMenuItem{"mnushowblocked", C::BlockedProcesses, C::ShowBlocked, "Show Blocked Process"},
    TrayMenuItem{"mnuline9", C::BlockedProcesses, C::Separator, "-"},
    TrayMenuItem{"mnuClearBlockedList", C::BlockedProcesses, C::ClearBlockedList, "Clear"},
    TrayMenuItem{"mnuMainAllowedProcesses", kTop, C::AllowedProcesses, "Allowed Process"},
    TrayMenuItem{"mnuSHowAllowedProcess", C::AllowedProcesses, C::ShowAllowedProcess, "Show Allowed Process"},
    TrayMenuItem{"mnulione10", C::AllowedProcesses, C::Separator, "-"},
    TrayMenuItem{"mnuAllowClear", C::AllowedProcesses, C::AllowClear, "Clear"},
    TrayMenuItem{"mnuline3", kTop, C::Separator, "-"},
    TrayMenuItem{"mnuMainTrashCan", kTop, C::TrashCan, "Trash Jar"},
    TrayMenuItem{"mnuShowTrashJar", C::TrashCan, C::ShowTrashJar, "Show Trash Jar"},
    TrayMenuItem{"mnuline19", C::TrashCan, C::Separator, "-"},
    TrayMenuItem{"mnuTrashjarAdd", C::TrashCan, C::TrashJarAdd, "Add"},
    TrayMenuItem{"mnuTrashClear", C::TrashCan, C::TrashClear, "Clear"},
    TrayMenuItem{"mnuline4", kTop, C::Separator, "-"},
    TrayMenuItem{"mnuHotkeys", kTop, C::HotKeys, "Show Hot Keys"},
    TrayMenuItem{"mnuMainOptions", kTop, C::Options, "Options"},
    TrayMenuItem{"mnuShowOptions", C::Options, C::ShowOptions, "Show Options"},
    TrayMenuItem{"mnuline12", C::Options, C::Separator, "-"},
    TrayMenuItem{"mnuStartWithWIndows", C::Options, C::StartWithWindows, "Start with Windows"},
    TrayMenuItem{"mnuBeep", C::Options, C::Beep, "Beep when file is Blocked"},
    TrayMenuItem{"mnuNotifications", C::Options, C::Notifications, "Don't show notifications when file is blocked"},
    TrayMenuItem{"mnuline6", kTop, C::Separator, "-"},
    TrayMenuItem{"mnuHelp", kTop, C::Help, "Help"},
    TrayMenuItem{"mnuline18", kTop, C::Separator, "-"},
    TrayMenuItem{"mnuMainClose", kTop, C::Close, "Close"},
};
}  // namespace

std::span<const TrayMenuItem> TrayMenuItems() { return kTrayMenu; }

}  // namespace corvane::ui
