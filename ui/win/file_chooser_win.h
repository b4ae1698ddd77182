#pragma once
// The list operations' file chooser: the system's file-open dialog, owned by the main window.
#include <windows.h>

#include "ui/list_operations.h"

namespace corvane::ui::win {

class Win32FileChooser final : public FileChooser {
 public:
  void SetOwner(HWND owner) { owner_ = owner; }
  std::optional<std::string> ChooseFileToOpen(std::string_view title) override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace corvane::ui::win
