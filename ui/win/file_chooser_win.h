#pragma once
// The system's file-open dialog, owned by the main window.
#include <windows.h>

#include "ui/list_operations.h"

namespace corvane::ui::win {

// Shows the file-open dialog over owner (may be null), starting in initialFolder (empty: where the
// system chooses). The chosen file's full path; nothing when the user cancelled.
std::optional<std::string> ShowFileOpenDialog(HWND owner, std::string_view title, std::string_view initialFolder);

class Win32FileChooser final : public FileChooser {
 public:
  void SetOwner(HWND owner) { owner_ = owner; }
  std::optional<std::string> ChooseFileToOpen(std::string_view title) override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace corvane::ui::win
