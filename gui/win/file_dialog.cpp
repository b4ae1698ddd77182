#include "gui/win/file_dialog.h"

#include <commdlg.h>

#include "base/win/utf.h"

namespace corvane::gui::win {

namespace {
// Room for the longest path the system allows, so a long one is never cut off.
constexpr DWORD kPathCapacity = 32768;
}  // namespace

std::optional<std::string> ShowFileOpenDialog(HWND owner, std::string_view title, std::string_view initialFolder) {
  std::wstring file(kPathCapacity, L'\0');
  const std::wstring wideTitle = corvane::win::Widen(title);
  const std::wstring folder = corvane::win::Widen(initialFolder);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner != nullptr && ::IsWindow(owner) ? owner : nullptr;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = kPathCapacity;
  dialog.lpstrTitle = wideTitle.c_str();
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  // The process's current folder is left alone, whatever folder the user browses to.
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  if (!::GetOpenFileNameW(&dialog)) return std::nullopt;
  file.resize(file.find(L'\0'));
  return corvane::win::Narrow(file);
}

}  // namespace corvane::gui::win
