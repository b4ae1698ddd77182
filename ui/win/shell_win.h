#pragma once
#include <windows.h>

#include "ui/main_controller.h"

namespace corvane::ui::win {

// Opens files through ShellExecuteW with their default action, shown normally.
class Win32Shell final : public Shell {
 public:
  void SetOwner(HWND owner) { owner_ = owner; }
  bool Open(std::string_view file, std::string_view parameters, std::string_view workingDirectory) override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace corvane::ui::win
