#include "ui/win/startup_entry_win.h"

#include <windows.h>

#include "base/win/handle.h"
#include "base/win/utf.h"

namespace corvane::ui::win {

namespace {

std::wstring RunKeyPath() { return corvane::win::Widen(kRunKeyPath); }
std::wstring RunValueName() { return corvane::win::Widen(kRunValueName); }

}  // namespace

bool Win32StartupEntry::WriteRunValue(std::string_view data) {
  corvane::win::UniqueHKey key;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, RunKeyPath().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const std::wstring text = corvane::win::Widen(data);
  // The length counts the terminating NUL, which is stored with the text.
  const DWORD byteCount = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(key.get(), RunValueName().c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          byteCount) == ERROR_SUCCESS;
}

bool Win32StartupEntry::DeleteRunValue() {
  corvane::win::UniqueHKey key;
  const LSTATUS opened = ::RegOpenKeyExW(HKEY_CURRENT_USER, RunKeyPath().c_str(), 0, KEY_SET_VALUE, key.put());
  // No key, no value: what deleting is for.
  if (opened == ERROR_FILE_NOT_FOUND) return true;
  if (opened != ERROR_SUCCESS) return false;
  const LSTATUS deleted = ::RegDeleteValueW(key.get(), RunValueName().c_str());
  return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

}  // namespace corvane::ui::win
