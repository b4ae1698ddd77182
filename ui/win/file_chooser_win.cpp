#include "ui/win/file_chooser_win.h"

#include <commdlg.h>

#include <string>

#include "base/win/utf.h"

namespace corvane::ui::win {

namespace {
// Room for the longest path the system allows, so a long one is never cut off.
constexpr DWORD kPathCapacity = 32768;
}  // namespace

std::optional<std::string> Win32FileChooser::ChooseFileToOpen(std::string_view title) {
  std::wstring file(kPathCapacity, L'\0');
  const std::wstring wideTitle = corvane::win::Widen(title);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner_ != nullptr && ::IsWindow(owner_) ? owner_ : nullptr;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = kPathCapacity;
  dialog.lpstrTitle = wideTitle.c_str();
  // The process's current folder is left alone, whatever folder the user browses to.
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  if (!::GetOpenFileNameW(&dialog)) return std::nullopt;
  file.resize(file.find(L'\0'));
  return corvane::win::Narrow(file);
}

}  // namespace corvane::ui::win
