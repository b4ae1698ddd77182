#pragma once
// The system's file-open dialog.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace corvane::gui::win {

// Shows the file-open dialog over owner (may be null), starting in initialFolder (empty: where the
// system chooses). The chosen file's full path; nothing when the user cancelled.
std::optional<std::string> ShowFileOpenDialog(HWND owner, std::string_view title, std::string_view initialFolder);

}  // namespace corvane::gui::win
