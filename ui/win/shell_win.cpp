#include "ui/win/shell_win.h"

#include <shellapi.h>

#include "base/win/utf.h"

namespace corvane::ui::win {

bool Win32Shell::Open(std::string_view file, std::string_view parameters, std::string_view workingDirectory) {
  const std::wstring wideFile = corvane::win::Widen(file);
  const std::wstring wideParameters = corvane::win::Widen(parameters);
  const std::wstring wideDirectory = corvane::win::Widen(workingDirectory);
  const HINSTANCE result =
      ::ShellExecuteW(owner_, nullptr, wideFile.c_str(), wideParameters.empty() ? nullptr : wideParameters.c_str(),
                      wideDirectory.empty() ? nullptr : wideDirectory.c_str(), SW_SHOWNORMAL);
  // Values above 32 mean success.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace corvane::ui::win
