#pragma once
// The Run value that starts the program with Windows, in the current user's registry.
#include <string_view>

#include "ui/options_model.h"

namespace corvane::ui::win {

class Win32StartupEntry final : public StartupEntry {
 public:
  bool WriteRunValue(std::string_view data) override;
  bool DeleteRunValue() override;
};

}  // namespace corvane::ui::win
